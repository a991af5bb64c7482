#pragma once

#include "medium/autorun.h"
#include "medium/bundle.h"
#include "platform/fileservice.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// Where the running installation (a build tree or an installed Qubrix) keeps what goes onto a
// medium.
struct Installation {
    QString program;
    QString soundLibrary;
    // Where the program looks for its sound library, relative to its own folder.
    QString soundFromProgram;
    QString pluginFolder;
    // The Windows program, where one was built or installed.
    QString windowsProgram;
    // The help page that Contents opens, which both programs find in share/ on the disc.
    QString helpPage;

    // The installation whose programs lie in programFolder: qubrix there, its sound library
    // where it looks for it, and the plugins of the Qt it runs on.
    static Installation around(const QString& programFolder);
    // The installation of the running program.
    static Installation running();
};

enum class PrepareOutcome { Prepared, Failed, Canceled };

// How prepare ended.
struct PrepareReport {
    PrepareOutcome outcome = PrepareOutcome::Failed;
    // What was written, why not, or that it was stopped.
    QString text;
    std::map<qubrix::BundlePart, std::uint64_t> sizes;
    std::uint64_t total = 0;

    bool ok() const { return outcome == PrepareOutcome::Prepared; }
};

// A folder of this machine that is removed with everything in it when the last owner lets go.
class ScratchFolder final {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// What prepare puts at the top of a folder, built on this machine and not yet written there:
// the program folder's files with autorun.sh beside them.
struct PreparePlan {
    QString folder;
    std::shared_ptr<const ScratchFolder> built;
    // Paths inside built, folders before what they hold.
    std::vector<std::string> folders;
    std::vector<std::string> files;
    std::vector<std::uint64_t> fileSizes;
    std::map<qubrix::BundlePart, std::uint64_t> sizes;
    std::uint64_t total = 0;
    // What an older run left at the top, which the new files replace.
    bool hasBundle = false;
    bool hasAutorun = false;
    // The Windows program and autorun.inf are among the files.
    bool hasWindowsProgram = false;
};

// Makes a staging folder ready to be mastered: writes autorun.sh and the program folder at its
// top and touches nothing else there. Run again, it brings an older program folder up to
// date. It asks the system (ldd, patchelf) about the libraries and copies them as they are
// installed; their run paths (DT_RPATH) lead to the folder's lib/, so nothing needs
// LD_LIBRARY_PATH, and a LD_LIBRARY_PATH that is set cannot lead elsewhere.
//
// It works in two steps, so that a window can ask in between: collect builds the program
// folder on this machine and tells its size, write checks the room and writes it into the
// folder. Both may run on a thread of their own: they use no widgets, and the tools they run
// are waited for without an event loop. Setting cancel stops either step within a fraction
// of a second, a running tool included, and the folder is then left as it was.
//
// Writing holds a lock on the folder, so a second prepare of it at the same time is refused. It
// first puts in order what a killed run left, writes the new program folder beside the old one
// and flushes it, then swaps it in and moves autorun.sh out of it to the top: a kill at any
// point leaves the old disc or the new one, and the next run finishes or clears the rest.
class MediumPreparer final {
public:
    // How far a step has come: done of total (files while collecting, bytes while writing) and
    // what it does. Called on the thread the step runs on.
    using Progress =
        std::function<void(std::uint64_t done, std::uint64_t total, const QString& step)>;

    explicit MediumPreparer(Installation installation, Progress progress = {},
                            const std::atomic<bool>* cancel = nullptr);

    // The first step: what would be written into folder and how big it is. Writes nothing
    // into folder; a refusal, a failure or a cancel comes as the report.
    std::variant<PreparePlan, PrepareReport> collect(const QString& folder);
    // Why the plan does not fit into the room that files tells for its folder, or nullopt.
    static std::optional<QString> roomRefusal(const PreparePlan& plan, FileService& files);
    // The room the plan takes in its folder, for blocks of blockSize bytes.
    static std::uint64_t roomNeeded(const PreparePlan& plan, std::uint64_t blockSize);
    // The second step: checks the room first, then writes the plan into its folder. An old
    // program folder that cannot be removed once the new one is in place makes it a failure.
    PrepareReport write(const PreparePlan& plan, FileService& files);
    // Both steps.
    PrepareReport prepare(const QString& folder, FileService& files);

    // "78.5 MB in all: program 1.0 MB, sound 35 kB, ...": the sizes by part.
    static QString sizeText(const std::map<qubrix::BundlePart, std::uint64_t>& sizes,
                            std::uint64_t total);

private:
    void report(std::uint64_t done, std::uint64_t total, const QString& text);
    void checkCancel() const;
    void build(const std::filesystem::path& into, const std::vector<qubrix::BundleFile>& files,
               const qubrix::BundleNeeds& needs);
    void copyOnto(const PreparePlan& plan, const std::filesystem::path& staging);
    bool addWindowsProgram(const std::filesystem::path& into, const std::string& folder);
    PrepareReport canceled(const QString& folder) const;

    Installation m_installation;
    Progress m_progress;
    const std::atomic<bool>* m_cancel;
};
