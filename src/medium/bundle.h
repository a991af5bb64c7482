#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace qubrix {

// The program folder that a prepared medium carries at its top, beside autorun.sh. The dot
// keeps it out of the end user's view of the disc.
inline constexpr std::string_view kBundleFolder = ".qubrix";
// The program inside it, which autorun.sh starts.
inline constexpr std::string_view kProgramTarget = "bin/qubrix";
// The platform plugin Qt falls back on everywhere, which autorun.sh checks before the start.
inline constexpr std::string_view kPlatformPlugin = "plugins/platforms/libqxcb.so";

// Whether soname belongs to the desktop base: the libraries of the C and C++ runtimes, X11,
// xcb, xkbcommon, fontconfig, freetype, GLib, GL, EGL, D-Bus, wayland-client, ALSA and
// PulseAudio that every Linux desktop has. Only these packages' own libraries count: what they
// pull in on this machine (ICU through Mesa, say) differs between releases and comes along.
bool isDesktopBaseLibrary(std::string_view soname);

// The libraries the dynamic loader found for a file, as ldd lists them.
struct LoaderListing {
    std::map<std::string, std::string> found; // soname -> path
    std::set<std::string> notFound;
};
LoaderListing parseLoaderListing(std::string_view lddOutput);

// What the system tells about the libraries.
struct LibraryLookup {
    // The sonames a file names as needed, in its order.
    std::function<std::vector<std::string>(const std::string& path)> needed;
    // Where the loader finds a soname; nullopt when it does not.
    std::function<std::optional<std::string>(const std::string& soname)> locate;
};

// The libraries that files need beyond the desktop base. A base library is relied upon and
// not looked into: what it needs in turn is the target machine's business.
struct LibraryClosure {
    std::map<std::string, std::string> bundled; // soname -> path on this machine
    std::set<std::string> base;
    std::set<std::string> missing;
};
LibraryClosure libraryClosure(const std::vector<std::string>& roots, const LibraryLookup& lookup);

// The Qt plugins the program needs out of those installed (paths relative to the plugin
// folder): the xcb and wayland platforms and what they load. Required ones that are absent
// are listed apart.
struct PluginChoice {
    std::vector<std::string> chosen;
    std::vector<std::string> missing;
};
PluginChoice choosePlugins(const std::vector<std::string>& installed);
// Whether the program cannot do without the plugin: without the others it still runs.
bool isRequiredPlugin(std::string_view plugin);

// One file of the program folder: where it comes from and its path inside the folder.
struct BundleFile {
    std::string source;
    std::string target;
    bool executable = false;
    // An ELF file whose run path is set to find the folder's libraries.
    bool linked = true;
    // Our own build, whose debug information stays behind: the installed libraries come
    // without it.
    bool ownBuild = false;
};

struct BundleSources {
    std::string program;
    // The sound library, and where the program looks for it relative to its own folder.
    std::string soundLibrary;
    std::string soundFromProgram;
    std::string pluginFolder;
    std::vector<std::string> plugins;
};

// The folder's files: bin/ the program, the sound library where the program looks for it, lib/
// every bundled library under its soname, plugins/ the plugins. nullopt when the sound library's
// place lies outside the folder.
std::optional<std::vector<BundleFile>> bundleFiles(const BundleSources& sources,
                                                   const LibraryClosure& closure);

// The run path that makes the loader look in lib/ for a file at target: "$ORIGIN/../lib".
std::string runPathFor(std::string_view target);

// The folder's bin/qt.conf: Qt finds its plugins inside the folder.
inline constexpr std::string_view kQtConfTarget = "bin/qt.conf";
std::string qtConf();

// The parts the size of the folder is told by.
enum class BundlePart { Program, Sound, Qt, Icu, OtherLibraries, Plugins };
BundlePart bundlePart(std::string_view target);
std::string_view partName(BundlePart part);

// A path relative to a folder with "." and ".." taken by their text; nullopt when it climbs out.
std::optional<std::string> normalRelativePath(std::string_view path);

} // namespace qubrix
