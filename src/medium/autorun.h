#pragma once

#include <string>
#include <string_view>

namespace qubrix {

// What the machine that prepared the medium has, and so what the bundle needs where it runs.
struct BundleNeeds {
    // The processor architecture as uname -m names it.
    std::string machine;
    // The GNU C library's version, MAJOR.MINOR.
    std::string libcVersion;
    // The dynamic loader named by the program (PT_INTERP).
    std::string loader;
};

// The medium's autorun.sh: the desktop runs it from the medium's top after asking the user.
// It starts the bundled program there, or tells on stderr and in a dialog why this machine
// cannot run it, and why the program could not start when it fails all the same. It holds no
// text of the medium that a shell would evaluate.
std::string autorunScript(const BundleNeeds& needs);

// text as one word of the POSIX shell, in single quotes.
std::string shellQuoted(std::string_view text);

} // namespace qubrix
