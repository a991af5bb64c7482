#pragma once

#include "core/text/encoding.h"

#include <string>
#include <string_view>
#include <vector>

namespace qubrix {

// The two data files are Windows-1252 unless their text is valid UTF-8 holding at least one
// multi-byte sequence. Lines are kept as the file's own bytes; text is converted only for
// display and input.
TextEncoding detectEncoding(std::string_view bytes);

// A line ends at CR LF, at a lone CR or at a lone LF. A NUL byte is kept in its line like any
// other, so that nothing after it is lost. A final line without an ending still counts as a
// line.
std::vector<std::string> splitLines(std::string_view bytes);
// Every line, the last one included, followed by CR LF.
std::string joinLines(const std::vector<std::string>& lines);

} // namespace qubrix
