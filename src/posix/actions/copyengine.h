#pragma once

#include "core/actions/copyplan.h"

#include <cstdint>
#include <ctime>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace qubrix {

struct CopyProgress {
    std::uint64_t filesDone = 0;
    std::uint64_t filesTotal = 0;
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0;
    std::string currentFile; // the source being copied; empty while the sources are counted
};

struct FileFacts {
    std::uint64_t size = 0;
    std::timespec modified{};
};

struct OverwriteQuestion {
    std::string destination; // the file that exists
    FileFacts existing;
    FileFacts incoming;
};

enum class OverwriteAnswer { Yes, YesToAll, No, NoToAll, Cancel };

struct CopyFailure {
    std::string path; // what on the medium was not copied; empty when it is about none
    std::string reason;
};

struct CopyReport {
    enum class Outcome {
        Finished,  // every file was tried; failures lists those that could not be copied
        Cancelled, // the user stopped it
        NoSpace,   // the destination ran full; the copy stopped there
        Refused    // nothing was copied; failures holds the reason, with an empty path
                   // when it is not about one file
    };
    Outcome outcome = Outcome::Finished;
    std::vector<CopyFailure> failures;
    // Cancelled or NoSpace: the sources of the files that the copy stopped inside or did not
    // reach. Empty after a cancel while the sources were counted: then nothing was copied.
    std::vector<std::string> notCopied;
    std::uint64_t filesCopied = 0;
    std::uint64_t bytesCopied = 0;
};

// Told what the copy does. Every call comes from the copy's own thread.
class CopyObserver {
public:
    virtual ~CopyObserver() = default;
    // At most about ten times a second, and once more when the sources are counted and at the
    // end.
    virtual void copyProgress(const CopyProgress& progress) = 0;
    // A destination file exists; the copy waits for the answer.
    virtual OverwriteAnswer askOverwrite(const OverwriteQuestion& question) = 0;
    // The last call.
    virtual void copyFinished(const CopyReport& report) = 0;
};

// Copies what plan names into its destination folder, which is made when missing: folders
// with all their contents, merged into folders that exist already. A file is written under
// its own name only once complete where it replaces one, and a file left unfinished by a
// cancel or a failure is removed, so a destination never holds a partial file. Copies keep
// their source's modification time, their holes, and give their owner write permission (a
// pressed disc has none). A symbolic link that points inside the folder being copied is
// copied as a link to the same place in the copy, and so is a link to a folder elsewhere on
// the medium that this copy has copied already; a link to anything else on the medium is
// copied as what it points to, and a link loop is reported. A link that leads off the medium
// is copied as the link itself, so the copy never reaches beyond the medium. A failure is
// reported and the copy goes on, except when the destination is full. Runs on the calling
// thread; stop stops it within a fraction of a second.
CopyReport runCopy(const CopyPlan& plan, CopyObserver& observer, std::stop_token stop);

// runCopy on a thread of its own; destroying the engine cancels the copy and waits for it.
class CopyEngine {
public:
    CopyEngine(CopyPlan plan, CopyObserver& observer);
    CopyEngine(const CopyEngine&) = delete;
    CopyEngine& operator=(const CopyEngine&) = delete;

    void cancel() { m_worker.request_stop(); }

private:
    std::jthread m_worker;
};

} // namespace qubrix
