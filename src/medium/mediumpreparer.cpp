#include "medium/mediumpreparer.h"

#include "medium/autorun.h"
#include "medium/preparecheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QLibraryInfo>
#include <QProcess>

#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <system_error>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <gnu/libc-version.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace qubrix;

namespace {

constexpr char kCatalogue[] = "qubrix.dat";
constexpr char kAutorun[] = "autorun.sh";

// A reason to stop that goes into the report as it is.
struct Stop : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string local(const QString& path) {
    return QFile::encodeName(path).toStdString();
}
QString shown(const std::string& path) {
    return QFile::decodeName(path.c_str());
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
    top.catalogue = entryKind(folder + "/" + kCatalogue) == EntryKind::File;
    top.writable = ::access(folder.c_str(), W_OK) == 0;
    top.bundle = entryKind(folder + "/" + std::string(kBundleFolder));
    top.autorun = entryKind(folder + "/" + kAutorun);
    top.leftover = entryKind(folder + "/" + kNewBundleFolder);
    return top;
}

// Runs a tool and gives its standard output; a tool that is missing or fails stops prepare.
QString runTool(const QString& tool, const QStringList& arguments, const QString& package) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForStarted())
        throw Stop(QStringLiteral("%1 could not be started; it comes with the package %2.")
                       .arg(tool, package)
                       .toStdString());
    process.closeWriteChannel();
    process.waitForFinished(-1);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw Stop(QStringLiteral("%1 %2 failed: %3")
                       .arg(tool, arguments.join(' '),
                            QString::fromLocal8Bit(process.readAllStandardError()).trimmed())
                       .toStdString());
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

std::vector<std::string> neededBy(const std::string& file) {
    std::vector<std::string> needed;
    const QString output = runTool("patchelf", {"--print-needed", shown(file)}, "patchelf");
    for (const QString& line : output.split('\n', Qt::SkipEmptyParts))
        needed.push_back(line.trimmed().toStdString());
    return needed;
}

// The libraries the loader finds for a file, through the file's own run paths.
LoaderListing loaderListing(const std::string& file) {
    return parseLoaderListing(runTool("ldd", {shown(file)}, "libc-bin").toStdString());
}

BundleNeeds needsOf(const std::string& program) {
    utsname system{};
    ::uname(&system);
    const std::string libc = ::gnu_get_libc_version();
    const std::size_t minorEnd = libc.find('.', libc.find('.') + 1);
    return {system.machine, libc.substr(0, minorEnd),
            runTool("patchelf", {"--print-interpreter", shown(program)}, "patchelf")
                .trimmed()
                .toStdString()};
}

void writeText(const fs::path& path, std::string_view text, fs::perms mode) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out)
        throw Stop("cannot write " + path.string());
    fs::permissions(path, mode);
}

constexpr fs::perms kProgramMode = fs::perms::owner_all | fs::perms::group_read |
                                   fs::perms::group_exec | fs::perms::others_read |
                                   fs::perms::others_exec;
constexpr fs::perms kFileMode =
    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read;

// Puts the new program folder in place of the old one in one step where the file system can
// swap two names; the old one's files are then removed.
void replaceFolder(const fs::path& fresh, const fs::path& current) {
    if (!fs::exists(fs::symlink_status(current))) {
        fs::rename(fresh, current);
        return;
    }
    if (::renameat2(AT_FDCWD, fresh.c_str(), AT_FDCWD, current.c_str(), RENAME_EXCHANGE) != 0) {
        if (errno != EINVAL && errno != ENOSYS)
            throw fs::filesystem_error("cannot replace", current,
                                       std::error_code(errno, std::generic_category()));
        fs::remove_all(current);
        fs::rename(fresh, current);
        return;
    }
    // The new folder is in place: old files that cannot be removed do not undo that.
    std::error_code ignored;
    fs::remove_all(fresh, ignored);
}

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
LibraryClosure librariesOf(BundleSources& sources) {
    std::vector<std::string> roots{sources.program, sources.soundLibrary};
    std::map<std::string, std::string> found;
    for (const std::string& root : roots)
        found.merge(loaderListing(root).found);
    std::vector<std::string> plugins;
    for (const std::string& plugin : sources.plugins) {
        const std::string path = sources.pluginFolder + "/" + plugin;
        LoaderListing listing = loaderListing(path);
        if (!listing.notFound.empty() && !isRequiredPlugin(plugin))
            continue;
        found.merge(listing.found);
        plugins.push_back(plugin);
        roots.push_back(path);
    }
    sources.plugins = plugins;
    LibraryClosure closure = libraryClosure(roots, {neededBy, [&found](const std::string& soname) {
                                                        const auto at = found.find(soname);
                                                        return at == found.end()
                                                                   ? std::nullopt
                                                                   : std::optional(at->second);
                                                    }});
    if (!closure.missing.empty())
        throw Stop("The library " + *closure.missing.begin() + " that Qubrix needs is missing.");
    return closure;
}

} // namespace

Installation Installation::around(const QString& programFolder) {
    Installation installation;
    installation.program = programFolder + "/qubrix";
    installation.soundFromProgram = QStringLiteral(QUBRIX_SOUND_LIBRARY);
    installation.soundLibrary = QDir::cleanPath(programFolder + "/" + QUBRIX_SOUND_LIBRARY);
    installation.pluginFolder = QLibraryInfo::path(QLibraryInfo::PluginsPath);
    return installation;
}

MediumPreparer::MediumPreparer(Installation installation, Progress progress)
    : m_installation(std::move(installation)), m_progress(std::move(progress)) {}

void MediumPreparer::step(int done, int total, const QString& text) {
    if (m_progress && !m_progress(done, total, text))
        throw Stop("Stopped: nothing was changed.");
}

PrepareReport MediumPreparer::prepare(const QString& folderName) {
    const std::string folder = local(QDir::cleanPath(folderName));
    PrepareReport report;
    if (const auto refusal = prepareRefusal(folder, inspect(folder))) {
        report.text = shown(*refusal);
        return report;
    }
    const fs::path staging = fs::path(folder) / kNewBundleFolder;
    try {
        step(0, 0, QCoreApplication::translate("Medium", "Looking for the libraries..."));
        BundleSources sources = sourcesOf(m_installation);
        const LibraryClosure closure = librariesOf(sources);
        const auto files = bundleFiles(sources, closure);
        if (!files)
            throw Stop("The sound library's place " + sources.soundFromProgram +
                       " lies outside the program folder.");
        writeBundle(staging, *files, needsOf(sources.program), report);
        fs::rename(staging / kAutorun, fs::path(folder) / kAutorun);
        replaceFolder(staging, fs::path(folder) / kBundleFolder);
    } catch (const std::exception& failure) {
        std::error_code ignored;
        fs::remove_all(staging, ignored);
        report = {};
        report.text = QString::fromLocal8Bit(failure.what());
        return report;
    }
    report.ok = true;
    report.text =
        QCoreApplication::translate(
            "Medium", "%1 is ready to be mastered: it holds autorun.sh and the program "
                      "folder %2 (%3).")
            .arg(shown(folder), QString::fromUtf8(kBundleFolder.data(), kBundleFolder.size()),
                 sizeText(report));
    return report;
}

// Writes the program folder into staging, and autorun.sh beside its files, to be moved out.
void MediumPreparer::writeBundle(const fs::path& staging, const std::vector<BundleFile>& files,
                                 const BundleNeeds& needs, PrepareReport& report) {
    fs::remove_all(staging);
    fs::create_directory(staging);
    const int total = static_cast<int>(files.size()) + 1;
    int done = 0;
    for (const BundleFile& file : files) {
        step(done++, total,
             QCoreApplication::translate("Medium", "Copying %1").arg(shown(file.target)));
        const fs::path target = staging / file.target;
        fs::create_directories(target.parent_path());
        fs::copy_file(file.source, target, fs::copy_options::overwrite_existing);
        fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
        if (file.ownBuild)
            runTool("strip", {"--strip-debug", shown(target.string())}, "binutils");
        if (file.linked)
            runTool("patchelf",
                    {"--set-rpath", QString::fromStdString(runPathFor(file.target)),
                     shown(target.string())},
                    "patchelf");
        fs::permissions(target, file.executable ? kProgramMode : kFileMode);
        const std::uint64_t size = fs::file_size(target);
        report.sizes[bundlePart(file.target)] += size;
        report.total += size;
    }
    writeText(staging / kQtConfTarget, qtConf(), kFileMode);
    step(done, total, QCoreApplication::translate("Medium", "Writing autorun.sh"));
    writeText(staging / kAutorun, autorunScript(needs), kProgramMode);
    for (const auto& entry : fs::recursive_directory_iterator(staging)) {
        if (entry.is_directory())
            fs::permissions(entry.path(), kProgramMode);
    }
    fs::permissions(staging, kProgramMode);
}

QString MediumPreparer::sizeText(const PrepareReport& report) {
    const auto megabytes = [](std::uint64_t bytes) -> QString {
        if (bytes < 1000 * 1000)
            return QString::number((bytes + 999) / 1000) + " kB";
        return QString::number(static_cast<double>(bytes) / 1e6, 'f', 1) + " MB";
    };
    QStringList parts;
    for (const auto& [part, size] : report.sizes)
        parts << QString::fromUtf8(partName(part).data(), partName(part).size()) + " " +
                     megabytes(size);
    return QCoreApplication::translate("Medium", "%1 in all: %2")
        .arg(megabytes(report.total), parts.join(", "));
}
