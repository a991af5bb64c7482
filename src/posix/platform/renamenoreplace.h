#pragma once

#include <string>

namespace qubrix {

// Gives the file or folder at from the path to, but never replaces an entry that exists at to:
// then it fails with EEXIST. Refused renames leave errno set and nothing changed. Where the file
// system cannot refuse a replacement by itself, renameByHandWithoutReplacing steps in.
bool renameWithoutReplacing(const std::string& from, const std::string& to);

// The same without the kernel's refusal: a file gets its new name as a hard link that cannot
// replace anything, the old name is then removed; where a file system has no hard links, and
// for folders, the new name is looked up just before the rename. Between that look-up and the
// rename another program could still create the name.
bool renameByHandWithoutReplacing(const std::string& from, const std::string& to);

} // namespace qubrix
