#pragma once

#include <string_view>

namespace qubrix {

// The short-name test of CD mastering. The name splits at its last full stop into base and
// extension (no full stop: all base, no extension). It passes when it holds none of the
// characters "|<>+;:, ", has at most 12 characters in all, a base of at most 8 and an extension
// of at most 3. Letter case and every other character are not tested; further full stops belong
// to the base. The name is UTF-8 and its length counts characters, not bytes.
bool isIsoName(std::string_view name);

// True when a new name keeps the entry in its own folder: not empty, not "." or "..", and
// without a slash, a backslash (the stored paths' separator) or a NUL.
bool isPlainName(std::string_view name);

} // namespace qubrix
