#include "medium/bundle.h"

#include <algorithm>
#include <deque>
#include <iterator>

namespace qubrix {
namespace {

// The sonames of libc6, libstdc++6, libgcc-s1, libx11-6, libx11-xcb1, libxcb1, libxext6,
// libxrender1, libxi6, libxkbcommon0, libfontconfig1, libfreetype6, libglib2.0-0, libgl1,
// libegl1, libdbus-1-3, libwayland-client0, libasound2 and libpulse0.
constexpr std::string_view kBaseLibraries[] = {
    "libc.so.6",
    "libm.so.6",
    "libpthread.so.0",
    "libdl.so.2",
    "librt.so.1",
    "libresolv.so.2",
    "libutil.so.1",
    "libanl.so.1",
    "libmvec.so.1",
    "libthread_db.so.1",
    "libBrokenLocale.so.1",
    "libstdc++.so.6",
    "libgcc_s.so.1",
    "libX11.so.6",
    "libX11-xcb.so.1",
    "libxcb.so.1",
    "libXext.so.6",
    "libXrender.so.1",
    "libXi.so.6",
    "libxkbcommon.so.0",
    "libfontconfig.so.1",
    "libfreetype.so.6",
    "libglib-2.0.so.0",
    "libgobject-2.0.so.0",
    "libgio-2.0.so.0",
    "libgmodule-2.0.so.0",
    "libgthread-2.0.so.0",
    "libGL.so.1",
    "libEGL.so.1",
    "libdbus-1.so.3",
    "libwayland-client.so.0",
    "libasound.so.2",
    "libpulse.so.0",
    "libpulse-simple.so.0",
    "libpulse-mainloop-glib.so.0",
};

// The plugins the program loads: the platforms it runs on and what they load in turn. Of the
// Wayland shells only xdg-shell is loaded on a desktop; the others serve kiosks, cars and Qt's
// own compositors.
constexpr std::string_view kRequiredPlugins[] = {
    "platforms/libqxcb.so",
    "platforms/libqwayland-generic.so",
    "wayland-shell-integration/libxdg-shell.so",
};
constexpr std::string_view kOptionalPlugins[] = {
    "platforms/libqwayland-egl.so",
    "platforminputcontexts/libcomposeplatforminputcontextplugin.so",
};
constexpr std::string_view kPluginFolders[] = {
    "xcbglintegrations/",
    "wayland-decoration-client/",
    "wayland-graphics-integration-client/",
};

std::string_view baseName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// "path (0x00007f...)": the path without the load address.
std::string_view withoutAddress(std::string_view text) {
    const std::size_t address = text.rfind(" (0x");
    return trimmed(address == std::string_view::npos ? text : text.substr(0, address));
}

bool contains(const auto& list, std::string_view item) {
    return std::find(std::begin(list), std::end(list), item) != std::end(list);
}

} // namespace

bool isDesktopBaseLibrary(std::string_view soname) {
    // The dynamic loader (ld-linux-x86-64.so.2, ld-linux-aarch64.so.1, ...) and the name
    // service modules of the C library.
    if (soname.starts_with("ld-linux") || soname.starts_with("libnss_"))
        return true;
    return contains(kBaseLibraries, soname);
}

LoaderListing parseLoaderListing(std::string_view lddOutput) {
    LoaderListing listing;
    while (!lddOutput.empty()) {
        const std::size_t end = lddOutput.find('\n');
        const std::string_view line = trimmed(lddOutput.substr(0, end));
        lddOutput = end == std::string_view::npos ? std::string_view{} : lddOutput.substr(end + 1);
        const std::size_t arrow = line.find(" => ");
        if (arrow == std::string_view::npos)
            continue; // the vDSO and the loader itself, which are no files to carry
        const std::string soname{trimmed(line.substr(0, arrow))};
        const std::string_view target = withoutAddress(line.substr(arrow + 4));
        if (target == "not found")
            listing.notFound.insert(soname);
        else if (!target.empty())
            listing.found.emplace(soname, target);
    }
    return listing;
}

LibraryClosure libraryClosure(const std::vector<std::string>& roots, const LibraryLookup& lookup) {
    LibraryClosure closure;
    std::deque<std::string> files(roots.begin(), roots.end());
    while (!files.empty()) {
        const std::string file = files.front();
        files.pop_front();
        for (const std::string& soname : lookup.needed(file)) {
            if (isDesktopBaseLibrary(soname)) {
                closure.base.insert(soname);
                continue;
            }
            if (closure.bundled.contains(soname) || closure.missing.contains(soname))
                continue;
            const std::optional<std::string> path = lookup.locate(soname);
            if (!path) {
                closure.missing.insert(soname);
                continue;
            }
            closure.bundled.emplace(soname, *path);
            files.push_back(*path);
        }
    }
    return closure;
}

bool isRequiredPlugin(std::string_view plugin) {
    return contains(kRequiredPlugins, plugin);
}

PluginChoice choosePlugins(const std::vector<std::string>& installed) {
    PluginChoice choice;
    for (const std::string& plugin : installed) {
        const bool inFolder = std::any_of(
            std::begin(kPluginFolders), std::end(kPluginFolders), [&](std::string_view folder) {
                return plugin.starts_with(folder) &&
                       plugin.find('/', folder.size()) == std::string::npos;
            });
        if (inFolder || isRequiredPlugin(plugin) || contains(kOptionalPlugins, plugin))
            choice.chosen.push_back(plugin);
    }
    std::sort(choice.chosen.begin(), choice.chosen.end());
    for (std::string_view required : kRequiredPlugins) {
        if (!contains(choice.chosen, required))
            choice.missing.emplace_back(required);
    }
    return choice;
}

std::optional<std::string> normalRelativePath(std::string_view path) {
    std::vector<std::string_view> names;
    while (!path.empty()) {
        const std::size_t slash = path.find('/');
        const std::string_view name = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view{} : path.substr(slash + 1);
        if (name == "..") {
            if (names.empty())
                return std::nullopt;
            names.pop_back();
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
    }
    std::string joined;
    for (std::string_view name : names)
        joined.append(joined.empty() ? "" : "/").append(name);
    return joined;
}

std::optional<std::vector<BundleFile>> bundleFiles(const BundleSources& sources,
                                                   const LibraryClosure& closure) {
    const std::optional<std::string> sound = normalRelativePath("bin/" + sources.soundFromProgram);
    if (!sound || sound->empty())
        return std::nullopt;
    std::vector<BundleFile> files;
    files.push_back({sources.program, std::string(kProgramTarget), true, true, true});
    files.push_back({sources.soundLibrary, *sound, false, true, true});
    for (const auto& [soname, path] : closure.bundled)
        files.push_back({path, "lib/" + soname});
    for (const std::string& plugin : sources.plugins)
        files.push_back({sources.pluginFolder + "/" + plugin, "plugins/" + plugin});
    return files;
}

std::string runPathFor(std::string_view target) {
    const std::size_t slash = target.rfind('/');
    const std::string_view folder =
        slash == std::string_view::npos ? std::string_view{} : target.substr(0, slash);
    const bool inLib = folder == "lib" || folder.starts_with("lib/");
    std::size_t ups = folder.empty() ? 0 : std::count(folder.begin(), folder.end(), '/') + 1;
    if (inLib)
        --ups;
    std::string runPath = "$ORIGIN";
    for (std::size_t i = 0; i < ups; ++i)
        runPath += "/..";
    return inLib ? runPath : runPath + "/lib";
}

std::string qtConf() {
    return "[Paths]\nPrefix = ..\nLibraries = lib\nPlugins = plugins\n";
}

BundlePart bundlePart(std::string_view target) {
    if (target.starts_with("bin/"))
        return BundlePart::Program;
    if (target.starts_with("plugins/"))
        return BundlePart::Plugins;
    if (target.find('/', 4) != std::string_view::npos)
        return BundlePart::Sound; // the only library in a folder of its own below lib/
    const std::string_view name = baseName(target);
    if (name.starts_with("libQt6"))
        return BundlePart::Qt;
    if (name.starts_with("libicu"))
        return BundlePart::Icu;
    return BundlePart::OtherLibraries;
}

std::string_view partName(BundlePart part) {
    switch (part) {
    case BundlePart::Program:
        return "program";
    case BundlePart::Sound:
        return "sound";
    case BundlePart::Qt:
        return "Qt";
    case BundlePart::Icu:
        return "ICU";
    case BundlePart::OtherLibraries:
        return "other libraries";
    case BundlePart::Plugins:
        return "plugins";
    }
    return "";
}

} // namespace qubrix
