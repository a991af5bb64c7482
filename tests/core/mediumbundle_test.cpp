#include "medium/bundle.h"
#include "medium/preparecheck.h"

#include <gtest/gtest.h>

namespace qubrix {
namespace {

// A made-up machine: who needs what, and where the loader finds it.
LibraryLookup graph(const std::map<std::string, std::vector<std::string>>& needs) {
    return {[needs](const std::string& path) {
                const auto at = needs.find(path);
                return at == needs.end() ? std::vector<std::string>{} : at->second;
            },
            [](const std::string& soname) -> std::optional<std::string> {
                if (soname.starts_with("libgone"))
                    return std::nullopt;
                return "/usr/lib/" + soname;
            }};
}

TEST(LibraryClosure, CarriesWhatTheBaseLacksAndStopsAtTheBase) {
    const LibraryClosure closure = libraryClosure(
        {"/build/qubrix", "/plugins/libqxcb.so"},
        graph({{"/build/qubrix", {"libQt6Core.so.6", "libc.so.6", "libstdc++.so.6"}},
               {"/usr/lib/libQt6Core.so.6", {"libicuuc.so.72", "libglib-2.0.so.0", "libgone.so.1"}},
               {"/usr/lib/libicuuc.so.72", {"libicudata.so.72", "libQt6Core.so.6"}},
               // What a base library needs is the target machine's: ICU through Mesa, say.
               {"/usr/lib/libEGL.so.1", {"libicuuc.so.76"}},
               {"/plugins/libqxcb.so",
                {"libEGL.so.1", "libxcb-xkb.so.1", "libxcb.so.1", "ld-linux-x86-64.so.2"}}}));
    EXPECT_EQ(closure.bundled, (std::map<std::string, std::string>{
                                   {"libQt6Core.so.6", "/usr/lib/libQt6Core.so.6"},
                                   {"libicudata.so.72", "/usr/lib/libicudata.so.72"},
                                   {"libicuuc.so.72", "/usr/lib/libicuuc.so.72"},
                                   {"libxcb-xkb.so.1", "/usr/lib/libxcb-xkb.so.1"}}));
    EXPECT_EQ(closure.base,
              (std::set<std::string>{"ld-linux-x86-64.so.2", "libEGL.so.1", "libc.so.6",
                                     "libglib-2.0.so.0", "libstdc++.so.6", "libxcb.so.1"}));
    EXPECT_EQ(closure.missing, std::set<std::string>{"libgone.so.1"});
}

TEST(LoaderListing, ReadsFoundAndMissingLibraries) {
    const LoaderListing listing = parseLoaderListing(
        "\tlinux-vdso.so.1 (0x00007ffd5a3f2000)\n"
        "\tlibQt6Core.so.6 => /lib/x86_64-linux-gnu/libQt6Core.so.6 (0x00007f1e8a000000)\n"
        "\tlibodd.so.2 => /opt/with blank/libodd.so.2 (0x00007f1e8a000000)\n"
        "\tlibgone.so.1 => not found\n"
        "\t/lib64/ld-linux-x86-64.so.2 (0x00007f1e8b2d0000)\n");
    EXPECT_EQ(listing.found, (std::map<std::string, std::string>{
                                 {"libQt6Core.so.6", "/lib/x86_64-linux-gnu/libQt6Core.so.6"},
                                 {"libodd.so.2", "/opt/with blank/libodd.so.2"}}));
    EXPECT_EQ(listing.notFound, std::set<std::string>{"libgone.so.1"});
}

TEST(Plugins, TheRunningPlatformsAndWhatTheyLoad) {
    const PluginChoice choice = choosePlugins(
        {"platforms/libqxcb.so", "platforms/libqvnc.so", "platforms/libqwayland-egl.so",
         "platformthemes/libqgtk3.so", "xcbglintegrations/libqxcb-glx-integration.so",
         "wayland-shell-integration/libxdg-shell.so", "wayland-shell-integration/libivi-shell.so",
         "wayland-shell-integration/libqt-shell.so", "imageformats/libqjpeg.so",
         "wayland-decoration-client/deeper/libx.so"});
    EXPECT_EQ(choice.chosen,
              (std::vector<std::string>{"platforms/libqwayland-egl.so", "platforms/libqxcb.so",
                                        "wayland-shell-integration/libxdg-shell.so",
                                        "xcbglintegrations/libqxcb-glx-integration.so"}));
    EXPECT_EQ(choice.missing, std::vector<std::string>{"platforms/libqwayland-generic.so"});
}

TEST(BundleLayout, RunPathsLeadToLib) {
    for (const auto& [target, runPath] : std::vector<std::pair<std::string, std::string>>{
             {"bin/qubrix", "$ORIGIN/../lib"},
             {"lib/libQt6Core.so.6", "$ORIGIN"},
             {"lib/qubrix/libqubrix_sound.so", "$ORIGIN/.."},
             {"plugins/platforms/libqxcb.so", "$ORIGIN/../../lib"},
             {"library/x.so", "$ORIGIN/../lib"},
         })
        EXPECT_EQ(runPathFor(target), runPath) << target;
}

TEST(BundleLayout, SoundLibraryWhereTheProgramLooks) {
    LibraryClosure closure;
    closure.bundled = {{"libQt6Core.so.6", "/usr/lib/libQt6Core.so.6.4.2"}};
    BundleSources sources{"/b/src/qubrix",
                          "/b/lib/qubrix/libqubrix_sound.so",
                          "../lib/qubrix/libqubrix_sound.so",
                          "/qt/plugins",
                          {"platforms/libqxcb.so"}};
    const auto files = bundleFiles(sources, closure);
    ASSERT_TRUE(files);
    std::vector<std::pair<std::string, std::string>> placed;
    for (const BundleFile& file : *files)
        placed.emplace_back(file.source, file.target);
    EXPECT_EQ(placed, (std::vector<std::pair<std::string, std::string>>{
                          {"/b/src/qubrix", "bin/qubrix"},
                          {"/b/lib/qubrix/libqubrix_sound.so", "lib/qubrix/libqubrix_sound.so"},
                          {"/usr/lib/libQt6Core.so.6.4.2", "lib/libQt6Core.so.6"},
                          {"/qt/plugins/platforms/libqxcb.so", "plugins/platforms/libqxcb.so"}}));
    EXPECT_TRUE(files->front().executable);
    EXPECT_FALSE((*files)[2].ownBuild);

    for (const char* outside : {"../../lib/qubrix/libqubrix_sound.so", "..", "../"}) {
        sources.soundFromProgram = outside;
        EXPECT_FALSE(bundleFiles(sources, closure)) << outside;
    }
}

TEST(BundleLayout, SizesByPart) {
    for (const auto& [target, part] : std::vector<std::pair<std::string, BundlePart>>{
             {"bin/qubrix", BundlePart::Program},
             {"bin/qt.conf", BundlePart::Program},
             {"lib/qubrix/libqubrix_sound.so", BundlePart::Sound},
             {"lib/libQt6Gui.so.6", BundlePart::Qt},
             {"lib/libicudata.so.72", BundlePart::Icu},
             {"lib/libxcb-xkb.so.1", BundlePart::OtherLibraries},
             {"plugins/platforms/libqxcb.so", BundlePart::Plugins},
         })
        EXPECT_EQ(bundlePart(target), part) << target;
}

TEST(PrepareRefusal, LeavesTheFolderAloneWhenSomethingIsInTheWay) {
    using K = EntryKind;
    struct Case {
        StagingTop top;
        const char* refusal; // a part of the text, or nullptr to go ahead
    };
    for (const Case& c : {
             Case{{K::File, true, K::Absent, K::Absent, K::Absent}, nullptr},
             Case{{K::File, true, K::Folder, K::File, K::Folder}, nullptr},
             Case{{K::File, true, K::Folder, K::Link, K::Absent}, nullptr},
             Case{{K::Absent, true, K::Absent, K::Absent, K::Absent}, "/m holds no qubrix.dat"},
             Case{{K::Link, true, K::Absent, K::Absent, K::Absent},
                  "/m/qubrix.dat is a symbolic link"},
             Case{{K::Folder, true, K::Absent, K::Absent, K::Absent},
                  "/m/qubrix.dat is not a file"},
             Case{{K::File, false, K::Absent, K::Absent, K::Absent}, "/m cannot be written"},
             Case{{K::File, true, K::File, K::Absent, K::Absent}, "/m/.qubrix is in the way"},
             Case{{K::File, true, K::Link, K::Absent, K::Absent}, "/m/.qubrix is in the way"},
             Case{{K::File, true, K::Folder, K::Folder, K::Absent}, "/m/autorun.sh is in the way"},
             Case{{K::File, true, K::Folder, K::File, K::File}, "/m/.qubrix-new is in the way"},
         }) {
        const auto refusal = prepareRefusal("/m", c.top);
        if (c.refusal == nullptr)
            EXPECT_FALSE(refusal) << *refusal;
        else
            EXPECT_NE(refusal.value_or("").find(c.refusal), std::string::npos)
                << c.refusal << " / " << refusal.value_or("(goes ahead)");
    }
}

TEST(PrepareRoom, WholeBlocksAndARefusalThatTellsBoth) {
    EXPECT_EQ(roomTaken({1, 4096, 4097, 0}, 2, 4096), 4096u * 6);
    EXPECT_EQ(roomTaken({100'000}, 0, 32768), 131072u); // a FAT stick's large clusters
    EXPECT_EQ(roomTaken({3}, 0, 0), 3u);                // a file system that tells no block size

    struct Refusal {
        std::uint64_t needed;
        std::uint64_t available;
        const char* text; // nullptr: it fits
    };
    for (const Refusal& c : {
             Refusal{78'500'000, 78'500'000, nullptr},
             Refusal{78'500'000, 23'000'000, "need 78.5 MB, 23.0 MB free on /media/u/STICK."},
             // Rounded apart, so that the need never reads as the room.
             Refusal{23'040'001, 23'040'000, "need 23.1 MB, 23.0 MB free"},
             Refusal{1'500, 999, "need 2 kB, 0 kB free"},
             Refusal{2'000'000'001, 1'999'999'999, "need 2.1 GB, 1.9 GB free"},
         }) {
        const auto refusal = roomRefusal("/media/u/STICK", c.needed, c.available);
        if (c.text == nullptr)
            EXPECT_FALSE(refusal) << *refusal;
        else
            EXPECT_NE(refusal.value_or("").find(c.text), std::string::npos)
                << c.text << " / " << refusal.value_or("(fits)");
    }
}

} // namespace
} // namespace qubrix
