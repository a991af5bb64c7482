#pragma once

#include "core/actions/copyplan.h"
#include "core/actions/launch.h"
#include "core/catalogue/datafiles.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qubrix {

// What the window logic asks of the system: the Linux and Windows programs each answer it with
// their own services. Paths are the system's bytes (UTF-8 on Windows).
class SystemPort {
public:
    virtual ~SystemPort() = default;

    // The data files of this system: both read as one, both written as one (pair-safe; a pair
    // that no longer holds expected is left as it is, changedOnDisk).
    virtual PairRead readPair(const DataFilePair& files) = 0;
    virtual WriteOutcome writePair(const DataFilePair& files, std::string_view catalogueBytes,
                                   std::string_view notesBytes, const PairStamp* expected) = 0;

    // The mount point of the file system that holds path ("/" for the root file system; the
    // drive's root on Windows).
    virtual std::string mountPointOf(const std::string& path) = 0;
    // The folder that holds the file at path with its links resolved, as the mount table knows
    // it; empty when that folder cannot be resolved (it does not exist).
    virtual std::string canonicalFolderOf(const std::string& path) = 0;
    // The label of the medium mounted at mountPoint, or empty.
    virtual std::string volumeLabel(const std::string& mountPoint) = 0;
    // Whether the file is write-protected; none when there is no such file.
    virtual std::optional<bool> isReadOnly(const std::string& path) = 0;
    // Sets or clears the read-only attribute; false when the change cannot be made.
    virtual bool setReadOnly(const std::string& path) = 0;
    virtual bool clearReadOnly(const std::string& path) = 0;
    // Renames a file or folder on the same medium, never replacing what is at to.
    virtual bool renameWithoutReplacing(const std::string& from, const std::string& to) = 0;

    // Where the listing at storedPath is read from: the root its stored path is written from.
    virtual std::string storedPathRoot(const std::string& storedPath) = 0;
    // How the Run command starts the listing at storedPath on this system.
    virtual LaunchPlan planLaunch(const std::string& storedPath) = 0;
    // Hands a document to the desktop's "open"; false when the desktop could not open it (no
    // program for its kind).
    virtual bool openDocument(const LaunchPlan& plan) = 0;
    // Starts the plan's program and waits for its end while the window keeps working; once it
    // runs, onStarted is called. False, without onStarted, when the start fails.
    virtual bool runAndWait(const LaunchPlan& plan, const std::function<void()>& onStarted) = 0;
    // Copies what plan names with progress and Cancel; returns once the copy is over.
    virtual void copy(const CopyPlan& plan) = 0;
    // Opens the program's help page at its contents; false when no program could show the
    // page. A help page that is not installed is reported by the system itself.
    virtual bool openHelp() = 0;
    // Ends the program with status once control returns to the event loop.
    virtual void endProgram(int status) = 0;
};

} // namespace qubrix
