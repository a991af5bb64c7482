#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qubrix {

// The two data files are Windows-1252 unless they are valid UTF-8 holding at least one
// multi-byte sequence. Lines are kept as the file's own bytes; text is converted only for
// display and input.
enum class TextEncoding { Windows1252, Utf8 };

TextEncoding detectEncoding(std::string_view bytes);

// The text without the blanks and control characters (codes 0 to 32) at its ends.
std::string_view trimmedText(std::string_view text);
// The value of a hexadecimal digit in either letter case; -1 for any other character.
int hexDigitValue(char c);

// Converts bytes of the given encoding to UTF-8.
std::string toUtf8(std::string_view bytes, TextEncoding encoding);
// Converts UTF-8 text to the given encoding; std::nullopt when the encoding cannot carry it.
std::optional<std::string> fromUtf8(std::string_view utf8, TextEncoding encoding);

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
