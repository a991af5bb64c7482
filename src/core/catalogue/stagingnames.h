#pragma once

#include <optional>
#include <string>
#include <string_view>

// The names a save of the data files writes under beside each of them before it puts them in
// place. The Linux program writes and recovers under them, the Windows program reads a save
// committed under them, and the disc check refuses a disc that still holds one: all three take
// the names from here, so that a name one of them uses is never missing from the others.
namespace qubrix {

// The end of a staged file: complete and, for the catalogue, committed.
inline constexpr std::string_view kStagedEnd = ".qubrix-new";
// The end of the catalogue while it is being written, before the save is committed.
inline constexpr std::string_view kPartialEnd = ".qubrix-partial";

// The staging names of a user end with "-" and the user's id, so that what one user's save
// leaves in a shared sticky folder, which no one else may remove, never stands in another
// user's way. The empty suffix gives the names earlier versions staged under.
std::string userStagingSuffix(unsigned long long userId);

// The hidden staging names beside the file called fileName (a name, not a path).
std::string stagedNameOf(std::string_view fileName, std::string_view suffix);
std::string partialNameOf(std::string_view fileName, std::string_view suffix);

// The suffix of name when it is one of the staging names of the file called fileName: "" for
// the names of earlier versions, "-" and a user's id for a user's; nullopt for any other name.
std::optional<std::string> stagingSuffixOf(std::string_view name, std::string_view fileName);

// Whether name is a staging name of any file, under any user's suffix.
bool isStagingName(std::string_view name);

} // namespace qubrix
