#pragma once

#include "core/catalogue/datafiles.h"
#include "core/catalogue/stagingnames.h"

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

// The calls on files that a save, its recovery and its journal in place share.
namespace qubrix::posixdata {

// Tells the tests' hook that a save has come to step.
void reached(SaveStep step);

// Said where nothing could be locked: the staging files may be a save going on now, or the
// left-overs of one cut short, and without a lock the two cannot be told apart.
inline const std::string kBeingSaved =
    "Another program may be saving the catalogue, and this folder keeps no locks to tell: if "
    "none is, remove the files beside it whose names end in " +
    std::string(kStagedEnd) + " or " + std::string(kPartialEnd);

std::string systemReason(int error);
std::string folderOf(const std::string& path);
std::string nameOf(const std::string& path);
// The file a path names once the symbolic links at its end are followed. A dangling link gives
// the path it points to, so that a save creates the file there.
std::string followLinks(std::string path);
bool exists(const std::string& path);
bool writeAll(int fd, std::string_view bytes, off_t offset = 0);
int closeReportingFirst(int fd, int error);
// Takes room on the medium for a file about to grow to length, beyond its end and without
// changing it: a medium too full for the new text refuses here, before the first byte of the
// file is overwritten. Returns 0 or the errno.
int reserve(int fd, std::size_t length);
// Writes bytes over the start of the file itself and flushes them: its owner, group, mode and
// other names stay. Room for the new length is taken first. With cut, the file is cut to their
// length afterwards, so it is never empty in between. Returns 0 or the errno.
int overwrite(int fd, std::string_view bytes, bool cut);
// Overwrites the file open as fd with bytes, cut to their length, and closes it.
int writeInPlace(int fd, std::string_view bytes);
int openForWriting(const std::string& path);
WriteOutcome failure(const std::string& path, std::string reason);

} // namespace qubrix::posixdata
