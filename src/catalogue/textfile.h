#pragma once

#include "text/encoding.h"

#include <string>
#include <string_view>
#include <vector>

namespace qubrix {

// The two data files are Windows-1252 unless their text is valid UTF-8 holding at least one
// multi-byte sequence. Lines are kept as the file's own bytes; text is converted only for
// display and input.
TextEncoding detectEncoding(std::string_view bytes);

// A line ends at CR LF, at a lone CR or at a lone LF; the text ends at the end or at the
// first NUL byte. A final line without an ending still counts as a line.
std::vector<std::string> splitLines(std::string_view bytes);
// Every line, the last one included, followed by CR LF.
std::string joinLines(const std::vector<std::string>& lines);

struct ReadOutcome {
    enum class Status { Read, Missing, Failed } status = Status::Missing;
    std::string bytes;
    std::string error; // the system's reason when status is Failed
};
ReadOutcome readWholeFile(const std::string& path);

struct FileContent {
    std::string path;
    std::string bytes;
};
struct WriteOutcome {
    bool ok = true;
    std::string failedPath; // the file that could not be written
    std::string error;      // the system's reason
};
// Replaces every file of the set or none: each is written to a temporary file beside it and
// flushed to disk before any of them is renamed over its old file. An existing file that is
// write-protected (no write bit for anyone) is not replaced.
WriteOutcome replaceFilesAtomically(const std::vector<FileContent>& files);

} // namespace qubrix
