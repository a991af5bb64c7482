#include "core/actions/medium.h"

#include <gtest/gtest.h>

namespace qubrix {
namespace {

TEST(ResolveOnMedium, StaysInsideOrIsRefused) {
    struct Case {
        const char* mountPoint;
        const char* storedPath;
        std::optional<std::string> resolved;
    };
    for (const Case& c : {
             Case{"/media/disc", "DEMO\\SETUP.EXE", "/media/disc/DEMO/SETUP.EXE"},
             Case{"/media/disc", "DOCS\\..\\README.TXT", "/media/disc/README.TXT"},
             Case{"/media/disc", ".\\A\\.\\\\B//C", "/media/disc/A/B/C"},
             Case{"/media/disc", "\\DOCS\\X.TXT", "/media/disc/DOCS/X.TXT"},
             Case{"/media/disc", "A\\..", "/media/disc"},
             Case{"/media/disc", "..", std::nullopt},
             Case{"/media/disc", "..\\..\\..\\..\\bin\\sh", std::nullopt},
             Case{"/media/disc", "DOCS\\..\\..\\disc2\\X", std::nullopt},
             Case{"/media/disc", "../etc/passwd", std::nullopt},
             Case{"/media/disc", "A/B/../../../C", std::nullopt},
             Case{"/media/disc", "...\\X", "/media/disc/.../X"},
             Case{"", "bin\\sh", "/bin/sh"},
             Case{"", "..\\etc", std::nullopt},
             Case{"", "", "/"},
         }) {
        EXPECT_EQ(resolveOnMedium(c.mountPoint, c.storedPath), c.resolved)
            << c.mountPoint << " + " << c.storedPath;
    }
}

} // namespace
} // namespace qubrix
