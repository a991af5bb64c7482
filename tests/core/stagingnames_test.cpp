// The staging names: the Linux writer, the Windows reader and the disc check all go by these,
// so a name made here must be one each of them finds again.
#include "core/catalogue/stagingnames.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace qubrix {
namespace {

TEST(StagingNames, MadeFromTheFileAndTheUser) {
    const struct {
        const char* file;
        std::string suffix;
        const char* staged;
        const char* partial;
    } cases[] = {
        {"qubrix.dat", "", ".qubrix.dat.qubrix-new", ".qubrix.dat.qubrix-partial"},
        {"qubrix.dat", userStagingSuffix(1000), ".qubrix.dat.qubrix-new-1000",
         ".qubrix.dat.qubrix-partial-1000"},
        {"descript.txt", userStagingSuffix(0), ".descript.txt.qubrix-new-0",
         ".descript.txt.qubrix-partial-0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.staged);
        EXPECT_EQ(stagedNameOf(c.file, c.suffix), c.staged);
        EXPECT_EQ(partialNameOf(c.file, c.suffix), c.partial);
        // What is made is found again, with the user it was made for.
        EXPECT_EQ(stagingSuffixOf(c.staged, c.file), c.suffix);
        EXPECT_EQ(stagingSuffixOf(c.partial, c.file), c.suffix);
        EXPECT_TRUE(isStagingName(c.staged));
        EXPECT_TRUE(isStagingName(c.partial));
    }
}

TEST(StagingNames, WhichNamesBelongToAFile) {
    const struct {
        const char* name;
        const char* file;
        std::optional<std::string> suffix;
        bool stagingOfAny;
    } cases[] = {
        {".qubrix.dat.qubrix-new-4242", "qubrix.dat", "-4242", true},
        {".qubrix.dat.qubrix-partial", "qubrix.dat", "", true},
        {".descript.txt.qubrix-new-7", "qubrix.dat", std::nullopt, true},
        {".qubrix.dat.qubrix-new-", "qubrix.dat", std::nullopt, false},
        {".qubrix.dat.qubrix-new-12a", "qubrix.dat", std::nullopt, false},
        {".qubrix.dat.qubrix-newer", "qubrix.dat", std::nullopt, false},
        {".qubrix.dat.qubrix-new.bak", "qubrix.dat", std::nullopt, false},
        {"qubrix.dat.qubrix-new", "qubrix.dat", std::nullopt, false},
        {"qubrix.dat", "qubrix.dat", std::nullopt, false},
        {".qubrix.dat.qubrix-new-1000", "qubrix.da", std::nullopt, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " beside " + c.file);
        EXPECT_EQ(stagingSuffixOf(c.name, c.file), c.suffix);
        EXPECT_EQ(isStagingName(c.name), c.stagingOfAny);
    }
}

} // namespace
} // namespace qubrix
