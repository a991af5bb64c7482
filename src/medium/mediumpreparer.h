#pragma once

#include "medium/autorun.h"
#include "medium/bundle.h"

#include <QString>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <vector>

// Where the running installation (a build tree or an installed Qubrix) keeps what goes onto a
// medium.
struct Installation {
    QString program;
    QString soundLibrary;
    // Where the program looks for its sound library, relative to its own folder.
    QString soundFromProgram;
    QString pluginFolder;

    // The installation whose programs lie in programFolder: qubrix there, its sound library
    // where it looks for it, and the plugins of the Qt it runs on.
    static Installation around(const QString& programFolder);
};

// How prepare ended.
struct PrepareReport {
    bool ok = false;
    // Why not, or what was written.
    QString text;
    std::map<qubrix::BundlePart, std::uint64_t> sizes;
    std::uint64_t total = 0;
};

// Makes a staging folder ready to be mastered: writes autorun.sh and the program folder at its
// top and touches nothing else there. Run again, it brings an older program folder up to
// date. It asks the system (ldd, patchelf) about the libraries and copies them as they are
// installed; their run paths lead to the folder's lib/, so nothing needs LD_LIBRARY_PATH.
class MediumPreparer final {
public:
    // Called at each step with how far prepare has come; false stops it, and the folder is left
    // as it was.
    using Progress = std::function<bool(int done, int total, const QString& step)>;

    explicit MediumPreparer(Installation installation, Progress progress = {});

    PrepareReport prepare(const QString& folder);

    // "program 1.2 MB, sound 0.1 MB, ...": the sizes by part.
    static QString sizeText(const PrepareReport& report);

private:
    void step(int done, int total, const QString& text);
    void writeBundle(const std::filesystem::path& staging,
                     const std::vector<qubrix::BundleFile>& files, const qubrix::BundleNeeds& needs,
                     PrepareReport& report);

    Installation m_installation;
    Progress m_progress;
};
