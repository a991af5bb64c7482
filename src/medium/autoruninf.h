#pragma once

#include <string>
#include <string_view>

namespace qubrix {

// The Windows program, in the program folder beside the Linux one's folders.
inline constexpr std::string_view kWindowsProgramTarget = "qubrix.exe";
inline constexpr std::string_view kAutorunInf = "autorun.inf";

// The Windows program's path from the medium's top as Windows names it: ".qubrix\qubrix.exe".
std::string windowsProgramPath();

// The medium's autorun.inf: Windows offers to start the Windows program from it and shows the
// disc with that program's first icon and under label (UTF-8). Lines end in CR LF. A label in
// ASCII leaves the file in ASCII; any other makes it UTF-16 (little-endian, with a byte-order
// mark), which Windows reads as well. Control characters in the label become '_', so that the
// label stays one line.
std::string autorunInf(std::string_view label);

// True when bytes are an autorun.inf that prepare wrote: one that starts the Windows program
// of the program folder. Prepare replaces or removes only such a file and an absent one.
bool isPreparedAutorunInf(std::string_view bytes);

} // namespace qubrix
