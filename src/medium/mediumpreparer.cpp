#include "medium/mediumpreparer.h"

#include "medium/autorun.h"
#include "medium/autoruninf.h"
#include "medium/imagewriter.h"
#include "medium/preparecheck.h"
#include "platform/linuxdesktopservice.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QLibraryInfo>
#include <QProcess>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <system_error>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <gnu/libc-version.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace qubrix;

namespace {

constexpr char kCatalogue[] = "qubrix.dat";
constexpr char kAutorun[] = "autorun.sh";
// Where the Linux program (bin/../share) and the Windows program (beside it) find it.
constexpr char kHelpPageTarget[] = "share/qubrix/help/qubrix.html";

// A reason to stop that goes into the report as it is.
struct Stop : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The user stopped prepare.
struct Canceled {};

const std::atomic<bool> kNeverCanceled{false};

QString tr(const char* text) {
    return QCoreApplication::translate("Medium", text);
}

std::string local(const QString& path) {
    return QFile::encodeName(path).toStdString();
}
QString shown(const std::string& path) {
    return QFile::decodeName(path.c_str());
}

std::string systemError(const std::string& what, const fs::path& path) {
    return what + " " + path.string() + ": " + std::strerror(errno) + ".";
}

EntryKind entryKind(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0)
        return EntryKind::Absent;
    if (S_ISDIR(status.st_mode))
        return EntryKind::Folder;
    if (S_ISREG(status.st_mode))
        return EntryKind::File;
    return S_ISLNK(status.st_mode) ? EntryKind::Link : EntryKind::Other;
}

StagingTop inspect(const std::string& folder) {
    StagingTop top;
    top.catalogue = entryKind(folder + "/" + kCatalogue);
    top.writable = ::access(folder.c_str(), W_OK) == 0;
    top.bundle = entryKind(folder + "/" + std::string(kBundleFolder));
    top.autorun = entryKind(folder + "/" + kAutorun);
    top.leftover = entryKind(folder + "/" + kNewBundleFolder);
    return top;
}

// Runs a tool and gives its standard output; a tool that is missing or fails stops prepare.
// A cancel kills the tool at once.
QString runTool(const QString& tool, const QStringList& arguments, const QString& package,
                const std::atomic<bool>& cancel) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForStarted())
        throw Stop(QStringLiteral("%1 could not be started; it comes with the package %2.")
                       .arg(tool, package)
                       .toStdString());
    process.closeWriteChannel();
    while (process.state() != QProcess::NotRunning) {
        if (cancel) {
            process.kill();
            process.waitForFinished(-1);
            throw Canceled{};
        }
        process.waitForFinished(50);
    }
    // A Ctrl+C on the terminal reaches the tool as well, which then fails.
    if (cancel)
        throw Canceled{};
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw Stop(QStringLiteral("%1 %2 failed: %3")
                       .arg(tool, arguments.join(' '),
                            QString::fromLocal8Bit(process.readAllStandardError()).trimmed())
                       .toStdString());
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

std::vector<std::string> neededBy(const std::string& file, const std::atomic<bool>& cancel) {
    std::vector<std::string> needed;
    const QString output = runTool("patchelf", {"--print-needed", shown(file)}, "patchelf", cancel);
    for (const QString& line : output.split('\n', Qt::SkipEmptyParts))
        needed.push_back(line.trimmed().toStdString());
    return needed;
}

// The libraries the loader finds for a file, through the file's own run paths.
LoaderListing loaderListing(const std::string& file, const std::atomic<bool>& cancel) {
    return parseLoaderListing(runTool("ldd", {shown(file)}, "libc-bin", cancel).toStdString());
}

BundleNeeds needsOf(const std::string& program, const std::atomic<bool>& cancel) {
    utsname system{};
    ::uname(&system);
    const std::string libc = ::gnu_get_libc_version();
    const std::size_t minorEnd = libc.find('.', libc.find('.') + 1);
    return {system.machine, libc.substr(0, minorEnd),
            runTool("patchelf", {"--print-interpreter", shown(program)}, "patchelf", cancel)
                .trimmed()
                .toStdString()};
}

struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

// Copies a file in chunks, telling after each how many bytes it copied; the target is made
// anew, readable and writable by its owner only until its mode is set. With flush, the copy is
// on the disc before it is closed.
void copyFile(const fs::path& from, const fs::path& to,
              const std::function<void(std::uint64_t)>& copied, bool flush = false) {
    const Descriptor in{::open(from.c_str(), O_RDONLY | O_CLOEXEC)};
    if (in.fd < 0)
        throw Stop(systemError("Cannot read", from));
    Descriptor out{::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)};
    if (out.fd < 0)
        throw Stop(systemError("Cannot write", to));
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t got = ::read(in.fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw Stop(systemError("Cannot read", from));
        if (got == 0)
            break;
        for (ssize_t put = 0; put < got;) {
            const ssize_t written = ::write(out.fd, buffer.data() + put, got - put);
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0)
                throw Stop(systemError("Cannot write", to));
            put += written;
        }
        copied(static_cast<std::uint64_t>(got));
    }
    if (flush && ::fsync(out.fd) != 0 && errno != EINVAL)
        throw Stop(systemError("Cannot write", to));
    // Some file systems tell only now that the data did not fit.
    const int fd = std::exchange(out.fd, -1);
    if (::close(fd) != 0)
        throw Stop(systemError("Cannot write", to));
}

void writeText(const fs::path& path, std::string_view text, fs::perms mode) {
    const Descriptor out{::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)};
    if (out.fd < 0 || ::write(out.fd, text.data(), text.size()) != ssize_t(text.size()))
        throw Stop(systemError("Cannot write", path));
    fs::permissions(path, mode);
}

constexpr fs::perms kProgramMode = fs::perms::owner_all | fs::perms::group_read |
                                   fs::perms::group_exec | fs::perms::others_read |
                                   fs::perms::others_exec;
constexpr fs::perms kFileMode =
    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read;

// Puts a folder's entries, as far as they go, on the disc.
void syncFolder(const fs::path& folder) {
    const Descriptor fd{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    // EINVAL: the file system has nothing to flush for folders.
    if (fd.fd < 0 || (::fsync(fd.fd) != 0 && errno != EINVAL))
        throw Stop(systemError("Cannot write", folder));
}

// Gives the owner write access to every folder below path, so that a program folder copied
// back from a finished disc, all read-only, can be removed. Links are not followed.
void makeRemovable(const fs::path& path) {
    std::error_code error;
    if (!fs::is_directory(fs::symlink_status(path, error)))
        return;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, error);
    for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error))
        makeRemovable(it->path());
}

// Removes a folder that prepare wrote, with everything in it; what cannot be removed stops
// prepare.
void removeOwnFolder(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (!fs::exists(status))
        return;
    if (!fs::is_directory(status))
        throw Stop(path.string() + " is in the way: it is not a folder that prepare left. Move it "
                                   "away first.");
    makeRemovable(path);
    fs::remove_all(path, error);
    if (error)
        throw Stop("Cannot remove " + path.string() + ": " + error.message() + ".");
}

// Puts what an earlier run that was cut short left into order, so that the folder holds one
// whole disc again: the old program folder where the new one was not yet moved in, autorun.sh
// and autorun.inf at the top where the new program folder was moved in without them, and no
// half-written or replaced program folder beside it.
void clearLeftovers(const fs::path& folder) {
    const fs::path current = folder / kBundleFolder;
    const fs::path old = folder / kOldBundleFolder;
    std::error_code error;
    if (!fs::exists(fs::symlink_status(current, error)) &&
        fs::is_directory(fs::symlink_status(old, error)))
        fs::rename(old, current);
    for (const std::string_view stranded : {std::string_view(kAutorun), kAutorunInf}) {
        if (fs::is_regular_file(fs::symlink_status(current / stranded, error))) {
            fs::permissions(current, fs::perms::owner_write, fs::perm_options::add);
            fs::rename(current / stranded, folder / stranded);
        }
    }
    removeOwnFolder(old);
    removeOwnFolder(folder / kNewBundleFolder);
    syncFolder(folder);
}

// Swaps the new program folder, which holds the new autorun.sh, in for the old one, then moves
// autorun.sh out of it to the top, over the old one. Gives where the old folder now lies, still
// to be removed. A kill on the way leaves the old disc, or the new one with autorun.sh still in
// its program folder, which clearLeftovers finishes.
fs::path swapIn(const fs::path& fresh, const fs::path& folder) {
    const fs::path current = folder / kBundleFolder;
    fs::path replaced = fresh;
    if (!fs::exists(fs::symlink_status(current))) {
        fs::rename(fresh, current);
    } else if (::renameat2(AT_FDCWD, fresh.c_str(), AT_FDCWD, current.c_str(), RENAME_EXCHANGE) !=
               0) {
        if (errno != EINVAL && errno != ENOSYS)
            throw fs::filesystem_error("cannot replace", current,
                                       std::error_code(errno, std::generic_category()));
        // Where two names cannot be swapped, the old folder steps aside under a name that a
        // run after a kill here puts back.
        replaced = folder / kOldBundleFolder;
        fs::rename(current, replaced);
        fs::rename(fresh, current);
    }
    fs::rename(current / kAutorun, folder / kAutorun);
    syncFolder(folder);
    return replaced;
}

// Holds an exclusive lock on a folder, so that two prepares never write into it at once.
class FolderLock final {
public:
    explicit FolderLock(const std::string& folder)
        : m_fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        // A file system that keeps no locks cannot be guarded; prepare goes ahead there.
        m_taken = m_fd < 0 || ::flock(m_fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
    }
    ~FolderLock() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    bool taken() const { return m_taken; }

private:
    int m_fd;
    bool m_taken = false;
};

// The program, its sound library and the plugins it needs, as this installation has them.
BundleSources sourcesOf(const Installation& installation) {
    BundleSources sources{local(installation.program),
                          local(installation.soundLibrary),
                          local(installation.soundFromProgram),
                          local(installation.pluginFolder),
                          {}};
    for (const std::string& file : {sources.program, sources.soundLibrary}) {
        struct stat status {};
        if (::stat(file.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
            throw Stop(file + " is not there.");
    }
    std::vector<std::string> installed;
    const QDir pluginFolder(installation.pluginFolder);
    for (QDirIterator it(installation.pluginFolder, QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();)
        installed.push_back(local(pluginFolder.relativeFilePath(it.next())));
    const PluginChoice plugins = choosePlugins(installed);
    if (!plugins.missing.empty())
        throw Stop("Qt's plugin " + plugins.missing.front() + " is not installed in " +
                   sources.pluginFolder + " (Debian packages qt6-qpa-plugins, qt6-wayland).");
    sources.plugins = plugins.chosen;
    return sources;
}

// The libraries to carry. A plugin the program can do without stays behind when this machine
// lacks a library of it.
LibraryClosure librariesOf(BundleSources& sources, const std::atomic<bool>& cancel) {
    std::vector<std::string> roots{sources.program, sources.soundLibrary};
    std::map<std::string, std::string> found;
    for (const std::string& root : roots)
        found.merge(loaderListing(root, cancel).found);
    std::vector<std::string> plugins;
    for (const std::string& plugin : sources.plugins) {
        const std::string path = sources.pluginFolder + "/" + plugin;
        LoaderListing listing = loaderListing(path, cancel);
        if (!listing.notFound.empty() && !isRequiredPlugin(plugin))
            continue;
        found.merge(listing.found);
        plugins.push_back(plugin);
        roots.push_back(path);
    }
    sources.plugins = plugins;
    LibraryClosure closure = libraryClosure(
        roots, {[&cancel](const std::string& file) { return neededBy(file, cancel); },
                [&found](const std::string& soname) {
                    const auto at = found.find(soname);
                    return at == found.end() ? std::nullopt : std::optional(at->second);
                }});
    if (!closure.missing.empty())
        throw Stop("The library " + *closure.missing.begin() + " that Qubrix needs is missing.");
    return closure;
}

// autorun.inf goes to the top with the program folder; without a Windows program, an
// autorun.inf that an earlier prepare wrote goes, and an author's own stays.
void placeAutorunInf(const PreparePlan& plan, const fs::path& bundle, const std::string& folder) {
    const fs::path top = fs::path(folder) / kAutorunInf;
    if (plan.hasWindowsProgram) {
        fs::rename(bundle / kAutorunInf, top);
        return;
    }
    if (entryKind(top.string()) != EntryKind::File)
        return;
    std::ifstream in(top, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (isPreparedAutorunInf(bytes))
        fs::remove(top);
}

PrepareReport failed(const QString& text) {
    PrepareReport report;
    report.text = text;
    return report;
}

} // namespace

Installation Installation::around(const QString& programFolder) {
    Installation installation;
    installation.program = programFolder + "/qubrix";
    installation.soundFromProgram = QStringLiteral(QUBRIX_SOUND_LIBRARY);
    installation.soundLibrary = QDir::cleanPath(programFolder + "/" + QUBRIX_SOUND_LIBRARY);
    installation.pluginFolder = QLibraryInfo::path(QLibraryInfo::PluginsPath);
    installation.windowsProgram = QDir::cleanPath(programFolder + "/" + QUBRIX_WINDOWS_PROGRAM);
    installation.helpPage = helpPageOf(programFolder);
    return installation;
}

Installation Installation::running() {
    return around(QCoreApplication::applicationDirPath());
}

ScratchFolder::ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "qubrix-medium-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw Stop(systemError("Cannot make a folder in", fs::temp_directory_path()));
    m_path = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

MediumPreparer::MediumPreparer(Installation installation, Progress progress,
                               const std::atomic<bool>* cancel)
    : m_installation(std::move(installation)), m_progress(std::move(progress)),
      m_cancel(cancel ? cancel : &kNeverCanceled) {}

void MediumPreparer::report(std::uint64_t done, std::uint64_t total, const QString& text) {
    checkCancel();
    if (m_progress)
        m_progress(done, total, text);
}

void MediumPreparer::checkCancel() const {
    if (*m_cancel)
        throw Canceled{};
}

PrepareReport MediumPreparer::canceled(const QString& folder) const {
    PrepareReport report;
    report.outcome = PrepareOutcome::Canceled;
    report.text = tr("Stopped: %1 is as it was.").arg(folder);
    return report;
}

std::variant<PreparePlan, PrepareReport> MediumPreparer::collect(const QString& folderName) {
    const std::string folder = local(QDir::cleanPath(folderName));
    const StagingTop top = inspect(folder);
    if (const auto refusal = prepareRefusal(folder, top))
        return failed(shown(*refusal));
    try {
        report(0, 0, tr("Looking for the libraries..."));
        BundleSources sources = sourcesOf(m_installation);
        const LibraryClosure closure = librariesOf(sources, *m_cancel);
        const auto files = bundleFiles(sources, closure);
        if (!files)
            throw Stop("The sound library's place " + sources.soundFromProgram +
                       " lies outside the program folder.");
        PreparePlan plan;
        plan.folder = shown(folder);
        plan.hasBundle = top.bundle == EntryKind::Folder;
        plan.hasAutorun = top.autorun != EntryKind::Absent;
        auto built = std::make_shared<ScratchFolder>();
        build(built->path(), *files, needsOf(sources.program, *m_cancel));
        plan.hasWindowsProgram = addWindowsProgram(built->path(), folder);
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(built->path()))
            names.push_back(entry.path().lexically_relative(built->path()).string());
        // A folder's name sorts before what it holds.
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) {
            const fs::path path = built->path() / name;
            if (fs::is_directory(fs::symlink_status(path))) {
                plan.folders.push_back(name);
                continue;
            }
            const std::uint64_t size = fs::file_size(path);
            plan.files.push_back(name);
            plan.fileSizes.push_back(size);
            if (name == kAutorun || name == kAutorunInf)
                continue;
            const bool program = name == kWindowsProgramTarget || name == kHelpPageTarget;
            plan.sizes[program ? BundlePart::Program : bundlePart(name)] += size;
            plan.total += size;
        }
        plan.built = std::move(built);
        return plan;
    } catch (const Canceled&) {
        return canceled(shown(folder));
    } catch (const std::exception& failure) {
        return failed(QString::fromLocal8Bit(failure.what()));
    }
}

// Builds the program folder into an empty folder, and autorun.sh beside its files.
void MediumPreparer::build(const fs::path& into, const std::vector<BundleFile>& files,
                           const BundleNeeds& needs) {
    const auto total = static_cast<std::uint64_t>(files.size()) + 1;
    std::uint64_t done = 0;
    for (const BundleFile& file : files) {
        report(done++, total, tr("Copying %1").arg(shown(file.target)));
        const fs::path target = into / file.target;
        fs::create_directories(target.parent_path());
        copyFile(file.source, target, [this](std::uint64_t) { checkCancel(); });
        if (file.ownBuild)
            runTool("strip", {"--strip-debug", shown(target.string())}, "binutils", *m_cancel);
        // DT_RPATH, which the loader reads before LD_LIBRARY_PATH: a system's libraries named
        // there must not take the place of the folder's. DT_RUNPATH would come after it.
        if (file.linked)
            runTool("patchelf",
                    {"--force-rpath", "--set-rpath",
                     QString::fromStdString(runPathFor(file.target)), shown(target.string())},
                    "patchelf", *m_cancel);
        fs::permissions(target, file.executable ? kProgramMode : kFileMode);
    }
    writeText(into / kQtConfTarget, qtConf(), kFileMode);
    if (!m_installation.helpPage.isEmpty()) {
        const fs::path help = into / kHelpPageTarget;
        fs::create_directories(help.parent_path());
        copyFile(local(m_installation.helpPage), help, [this](std::uint64_t) { checkCancel(); });
        fs::permissions(help, kFileMode);
    }
    report(done, total, tr("Writing autorun.sh"));
    writeText(into / kAutorun, autorunScript(needs), kProgramMode);
}

// The Windows program into the program folder and autorun.inf beside autorun.sh, when this
// installation has the program.
bool MediumPreparer::addWindowsProgram(const fs::path& into, const std::string& folder) {
    const std::string program = local(m_installation.windowsProgram);
    if (m_installation.windowsProgram.isEmpty() || entryKind(program) == EntryKind::Absent)
        return false;
    struct stat status {};
    if (::stat(program.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    report(0, 0, tr("Copying %1").arg(shown(std::string(kWindowsProgramTarget))));
    copyFile(program, into / kWindowsProgramTarget, [this](std::uint64_t) { checkCancel(); });
    fs::permissions(into / kWindowsProgramTarget, kFileMode);
    writeText(into / kAutorunInf, autorunInf(volumeLabel(defaultVolumeLabel(folder)).joliet),
              kFileMode);
    return true;
}

std::uint64_t MediumPreparer::roomNeeded(const PreparePlan& plan, std::uint64_t blockSize) {
    // The new program folder itself takes room as well.
    return roomTaken(plan.fileSizes, plan.folders.size() + 1, blockSize);
}

std::optional<QString> MediumPreparer::roomRefusal(const PreparePlan& plan, FileService& files) {
    const std::optional<FileService::Room> room = files.freeRoom(plan.folder);
    // Where the system cannot tell, a lack of room shows while writing, and the folder is
    // left as it was all the same.
    if (!room)
        return std::nullopt;
    const auto refusal =
        qubrix::roomRefusal(local(plan.folder), roomNeeded(plan, room->blockSize), room->available);
    return refusal ? std::optional(shown(*refusal)) : std::nullopt;
}

PrepareReport MediumPreparer::write(const PreparePlan& plan, FileService& files) {
    const std::string folder = local(plan.folder);
    const FolderLock lock(folder);
    if (!lock.taken())
        return failed(
            tr("Another prepare is writing into %1: wait until it has ended.").arg(plan.folder));
    // The folder may have changed since the plan was made.
    if (const auto refusal = prepareRefusal(folder, inspect(folder)))
        return failed(shown(*refusal));
    const fs::path staging = fs::path(folder) / kNewBundleFolder;
    fs::path replaced;
    try {
        clearLeftovers(folder);
        if (const auto refusal = roomRefusal(plan, files))
            return failed(*refusal);
        copyOnto(plan, staging);
        // After this the folder changes; a cancel comes too late.
        checkCancel();
        replaced = swapIn(staging, fs::path(folder));
        placeAutorunInf(plan, fs::path(folder) / kBundleFolder, folder);
    } catch (const Canceled&) {
        std::error_code ignored;
        makeRemovable(staging);
        fs::remove_all(staging, ignored);
        return canceled(plan.folder);
    } catch (const std::exception& failure) {
        std::error_code ignored;
        makeRemovable(staging);
        fs::remove_all(staging, ignored);
        return failed(QString::fromLocal8Bit(failure.what()));
    }
    try {
        removeOwnFolder(replaced);
    } catch (const std::exception& failure) {
        // The new disc stands, but the old program folder beside it would go onto the disc.
        return failed(tr("%1 holds the new program folder, but the old one is left beside it. %2")
                          .arg(plan.folder, QString::fromLocal8Bit(failure.what())));
    }
    PrepareReport report;
    report.outcome = PrepareOutcome::Prepared;
    report.sizes = plan.sizes;
    report.total = plan.total;
    report.text =
        tr("%1 is ready to be mastered: it holds autorun.sh and the program folder %2 "
           "(%3).")
            .arg(plan.folder, QString::fromUtf8(kBundleFolder.data(), kBundleFolder.size()),
                 sizeText(plan.sizes, plan.total));
    if (!plan.hasWindowsProgram)
        report.text += "\n" + tr("No Windows program was found at %1: the medium starts Qubrix "
                                 "on Linux only.")
                                  .arg(m_installation.windowsProgram);
    return report;
}

// Writes the built files into staging, a folder beside the program folder, and puts them on
// the disc before the folder is swapped in.
void MediumPreparer::copyOnto(const PreparePlan& plan, const fs::path& staging) {
    fs::create_directory(staging);
    for (const std::string& folder : plan.folders)
        fs::create_directory(staging / folder);
    std::uint64_t total = 0;
    for (const std::uint64_t size : plan.fileSizes)
        total += size;
    std::uint64_t done = 0;
    for (std::size_t i = 0; i < plan.files.size(); ++i) {
        const QString step = tr("Writing %1").arg(shown(plan.files[i]));
        report(done, total, step);
        const fs::path source = plan.built->path() / plan.files[i];
        const fs::path target = staging / plan.files[i];
        copyFile(
            source, target, [&](std::uint64_t copied) { report(done += copied, total, step); },
            true);
        fs::permissions(target, fs::status(source).permissions());
    }
    for (const std::string& folder : plan.folders) {
        fs::permissions(staging / folder, kProgramMode);
        syncFolder(staging / folder);
    }
    fs::permissions(staging, kProgramMode);
    syncFolder(staging);
}

PrepareReport MediumPreparer::prepare(const QString& folder, FileService& files) {
    auto collected = collect(folder);
    if (auto* report = std::get_if<PrepareReport>(&collected))
        return std::move(*report);
    return write(std::get<PreparePlan>(collected), files);
}

QString MediumPreparer::sizeText(const std::map<BundlePart, std::uint64_t>& sizes,
                                 std::uint64_t total) {
    const auto text = [](std::uint64_t bytes) {
        return QString::fromStdString(byteText(bytes, Rounding::Up));
    };
    QStringList parts;
    for (const auto& [part, size] : sizes)
        parts << QString::fromUtf8(partName(part).data(), partName(part).size()) + " " + text(size);
    return tr("%1 in all: %2").arg(text(total), parts.join(", "));
}
