#include "core/actions/copyplan.h"

#include "core/actions/launch.h"
#include "core/actions/medium.h"
#include "core/text/ascii.h"

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <system_error>

namespace qubrix {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view everyFile = "*.*";

// The stored path with a program's arguments cut off, as the file copy takes it.
std::string withoutArguments(std::string_view storedPath) {
    std::string line(storedPath);
    classifyCommandLine(line, true, "");
    return line;
}

// The stored path as the medium resolves it, relative to the mount point, with backslashes.
std::string relativeOnMedium(std::string_view mediumRoot, const std::string& resolved) {
    std::string relative =
        resolved.size() > mediumRoot.size() + 1 ? resolved.substr(mediumRoot.size() + 1) : "";
    std::replace(relative.begin(), relative.end(), '/', '\\');
    return relative;
}

// A pattern's folder: the text before "*.*", without its last backslash.
std::string patternFolder(std::string_view mediumRoot, std::string_view pattern) {
    std::string_view folder = pattern.substr(0, pattern.size() - everyFile.size());
    if (folder.empty())
        return mediumRoot.empty() ? "/" : std::string(mediumRoot);
    folder.remove_suffix(1);
    return std::string(mediumRoot) + "/" + slashes(std::string(folder));
}

std::string withoutTrailingSlashes(std::string_view path) {
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    return std::string(path);
}

std::string joinedPath(const std::string& folder, std::string_view name) {
    return folder == "/" ? folder + std::string(name) : folder + "/" + std::string(name);
}

// Windows's file systems are case-blind: there "GAMES" and "games" are the same folder.
bool sameElement(const fs::path& a, const fs::path& b) {
#ifdef _WIN32
    return std::equal(a.native().begin(), a.native().end(), b.native().begin(), b.native().end(),
                      [](wchar_t x, wchar_t y) { return std::towupper(x) == std::towupper(y); });
#else
    return a == b;
#endif
}

bool isInsideOrSame(const fs::path& inner, const fs::path& outer) {
    return std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end(), sameElement)
               .first == outer.end();
}

bool isFolder(const std::string& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

// A Windows path with "\" for every "/" and no doubled "\" but the two that start a share.
std::string windowsPath(std::string_view path) {
    std::string out;
    for (const char c : path) {
        const char next = c == '/' ? '\\' : c;
        if (next == '\\' && out.size() > 1 && out.back() == '\\')
            continue;
        out += next;
    }
    return out;
}

std::string lowerAsciiText(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return lowerAscii(c); });
    return text;
}

std::string withBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    return folder;
}

} // namespace

std::string folderPattern(std::string_view storedPath) {
    const std::size_t lastBackslash = storedPath.rfind('\\');
    if (lastBackslash == std::string_view::npos)
        return std::string(everyFile);
    return std::string(storedPath.substr(0, lastBackslash + 1)) + std::string(everyFile);
}

bool namesWholeMedium(std::string_view storedPath) {
    const std::optional<std::string> onMedium = resolveOnMedium("", withoutArguments(storedPath));
    return onMedium && onMedium->rfind('/') == 0;
}

std::string parentFolderName(std::string_view storedPath) {
    const std::size_t folderEnd = storedPath.rfind('\\');
    if (folderEnd == std::string_view::npos)
        return {};
    const std::string_view folder = storedPath.substr(0, folderEnd);
    const std::size_t nameStart = folder.rfind('\\');
    if (nameStart == std::string_view::npos)
        return {};
    return std::string(folder.substr(nameStart + 1)) + '\\';
}

// A folder copy cuts a program's arguments off first as well: a backslash in them (as in
// <DRIVE>\DATA) would otherwise name a folder that does not exist.
CopyPlan planCopy(std::string_view mediumRoot, const std::vector<std::string>& storedPaths,
                  CopyMode mode, std::string_view pickedFolder) {
    CopyPlan plan;
    plan.mediumRoot = mediumRoot.empty() ? "/" : std::string(mediumRoot);
    plan.destinationFolder = withoutTrailingSlashes(pickedFolder);
    for (const std::string& storedPath : storedPaths) {
        const std::optional<std::string> onMedium =
            resolveOnMedium(mediumRoot, withoutArguments(storedPath));
        if (!onMedium) {
            plan.error = "This path leads outside the medium and is not used:\n" + storedPath;
            plan.sources.clear();
            return plan;
        }
        if (mode == CopyMode::File) {
            plan.sources.push_back({*onMedium, false});
            continue;
        }
        // The folder rules read the path with its "." and ".." resolved, so that a ".." never
        // names the destination's subfolder.
        const std::string entry = relativeOnMedium(mediumRoot, *onMedium);
        const std::string parentName = parentFolderName(entry);
        if (!parentName.empty())
            plan.destinationFolder =
                joinedPath(plan.destinationFolder, parentName.substr(0, parentName.size() - 1));
        plan.sources.push_back({patternFolder(mediumRoot, folderPattern(entry)), true});
    }
    return plan;
}

ShellCopy shellCopyOf(const CopyPlan& plan) {
    ShellCopy copy;
    copy.error = plan.error;
    if (!plan.error.empty())
        return copy;
    copy.destination = windowsPath(plan.destinationFolder);
    const std::string inside = lowerAsciiText(withBackslash(copy.destination));
    for (const CopySource& source : plan.sources) {
        std::string path = windowsPath(source.path);
        if (source.contentsOnly) {
            if (inside.starts_with(lowerAsciiText(withBackslash(path)))) {
                copy.error = "Cannot copy \"" + path + "\" into \"" + copy.destination +
                             "\": the destination lies inside what is copied. Nothing was "
                             "copied.";
                copy.sources.clear();
                return copy;
            }
            path = withBackslash(path) + std::string(everyFile);
        }
        copy.sources.push_back(std::move(path));
    }
    return copy;
}

ResolvedPlan resolveCopyPlan(const CopyPlan& plan) {
    ResolvedPlan resolved;
    resolved.error = plan.error;
    if (!plan.error.empty())
        return resolved;
    std::error_code error;
    const fs::path destination = fs::weakly_canonical(plan.destinationFolder, error);
    for (const CopySource& source : plan.sources) {
        const std::optional<std::string> found = resolvePathCaseBlind(source.path);
        if (!found) {
            resolved.missing.push_back(source.path);
            continue;
        }
        const fs::path real = fs::canonical(*found, error);
        if (!error && !destination.empty() && isFolder(*found) &&
            isInsideOrSame(destination, real)) {
            resolved.error = "Cannot copy \"" + *found + "\" into \"" + plan.destinationFolder +
                             "\": the destination lies inside what is copied. Nothing was "
                             "copied.";
            resolved.sources.clear();
            return resolved;
        }
        resolved.sources.push_back({*found, source.contentsOnly});
    }
    return resolved;
}

} // namespace qubrix
