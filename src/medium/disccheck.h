#pragma once

#include "medium/imagecheck.h"

#include <string>
#include <vector>

namespace qubrix {

// What the catalogue at the top of a staging folder lists that the finished disc would not
// find: each listing whose path leads to no file in the folder, read the way Run reads it on
// the disc (from its top, letter case ignored, a program's arguments cut off), named by its
// category and description. Warnings: the author may go on. A folder without a catalogue that
// can be read gives one warning of its own.
std::vector<NameIssue> checkCatalogueListings(const std::string& folder);

// What an image of folder should warn of beyond its names: a folder that was never prepared
// (without autorun.sh and the program folder at its top the disc would not start its menu),
// what a prepare or a save of the catalogue that was cut short left at its top, then the
// listings as checkCatalogueListings finds them.
std::vector<NameIssue> checkDiscBeforeImage(const std::string& folder);

// Adds more to the end of issues.
void appendIssues(std::vector<NameIssue>& issues, const std::vector<NameIssue>& more);

} // namespace qubrix
