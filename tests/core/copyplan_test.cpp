#include "core/actions/copyplan.h"

#include "tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using qubrix::CopyMode;
using qubrix::CopySource;
using qubrix::test::TempFolder;
using qubrix::test::writeFile;

namespace qubrix {
bool operator==(const CopySource& a, const CopySource& b) {
    return a.path == b.path && a.contentsOnly == b.contentsOnly;
}
void PrintTo(const CopySource& source, std::ostream* out) {
    *out << source.path << (source.contentsOnly ? " (contents)" : "");
}
} // namespace qubrix

namespace {

TEST(FolderRules, PatternParentNameAndWholeMedium) {
    struct Case {
        std::string storedPath, pattern, parentName;
        bool wholeMedium;
    };
    const Case cases[] = {
        {"GAMES\\CHESS\\CHESS.EXE", "GAMES\\CHESS\\*.*", "CHESS\\", false},
        {"SETUP\\SETUP.EXE", "SETUP\\*.*", "", false},
        {"README.TXT", "*.*", "", true},
        {"A\\B\\C\\D.TXT", "A\\B\\C\\*.*", "C\\", false},
        // Both rules take the path whole, arguments and all.
        {"SETUP.EXE <DRIVE>\\DATA", "SETUP.EXE <DRIVE>\\*.*", "", true},
        {"X\\SETUP.EXE /D <DRIVE>\\D\\E", "X\\SETUP.EXE /D <DRIVE>\\D\\*.*", "D\\", false},
        // Whether the folder is the whole medium is read from the resolved path, as the plan
        // reads its folder.
        {"A\\..\\README.TXT", "A\\..\\*.*", "..\\", true},
        {"DOCS\\", "DOCS\\*.*", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.storedPath);
        EXPECT_EQ(qubrix::folderPattern(c.storedPath), c.pattern);
        EXPECT_EQ(qubrix::parentFolderName(c.storedPath), c.parentName);
        EXPECT_EQ(qubrix::namesWholeMedium(c.storedPath), c.wholeMedium);
    }
}

TEST(PlanCopy, SourcesAndDestinationOfBothModes) {
    struct Case {
        std::string mediumRoot;
        std::vector<std::string> storedPaths;
        CopyMode mode;
        std::string picked;
        std::vector<CopySource> sources;
        std::string destination;
    };
    const Case cases[] = {
        {"/media/cd",
         {"GAMES\\CHESS\\CHESS.EXE"},
         CopyMode::File,
         "/home/u/dest",
         {{"/media/cd/GAMES/CHESS/CHESS.EXE", false}},
         "/home/u/dest"},
        {"/media/cd",
         {"B.TXT", "A\\A.TXT", "C\\D\\C.TXT"},
         CopyMode::File,
         "/home/u/dest/",
         {{"/media/cd/B.TXT", false}, {"/media/cd/A/A.TXT", false}, {"/media/cd/C/D/C.TXT", false}},
         "/home/u/dest"},
        // Arguments are cut whatever the letter case of the extension.
        {"/media/cd",
         {"SETUP\\SETUP.EXE /S"},
         CopyMode::File,
         "/d",
         {{"/media/cd/SETUP/SETUP.EXE", false}},
         "/d"},
        {"/media/cd",
         {"setup\\setup.exe /s <drive>\\..\\x"},
         CopyMode::File,
         "/d",
         {{"/media/cd/setup/setup.exe", false}},
         "/d"},
        // Otherwise the stored path is taken as stored.
        {"/media/cd",
         {"DOCS\\READ ME.TXT "},
         CopyMode::File,
         "/d",
         {{"/media/cd/DOCS/READ ME.TXT ", false}},
         "/d"},
        {"", {"DOCS\\A.TXT"}, CopyMode::File, "/", {{"/DOCS/A.TXT", false}}, "/"},
        {"/media/cd",
         {"GAMES\\CHESS\\CHESS.EXE"},
         CopyMode::Folder,
         "/home/u/dest",
         {{"/media/cd/GAMES/CHESS", true}},
         "/home/u/dest/CHESS"},
        {"/media/cd",
         {"GAMES\\CHESS\\CHESS.EXE"},
         CopyMode::Folder,
         "/",
         {{"/media/cd/GAMES/CHESS", true}},
         "/CHESS"},
        {"/media/cd",
         {"SETUP\\SETUP.EXE"},
         CopyMode::Folder,
         "/home/u/dest",
         {{"/media/cd/SETUP", true}},
         "/home/u/dest"},
        {"/media/cd",
         {"README.TXT"},
         CopyMode::Folder,
         "/home/u/dest",
         {{"/media/cd", true}},
         "/home/u/dest"},
        {"", {"README.TXT"}, CopyMode::Folder, "/home/u/dest", {{"/", true}}, "/home/u/dest"},
        // A backslash in a program's arguments does not make a folder.
        {"/media/cd",
         {"SETUP\\SETUP.EXE /D <DRIVE>\\DATA\\X"},
         CopyMode::Folder,
         "/d",
         {{"/media/cd/SETUP", true}},
         "/d"},
        // Folders are read from the path with its empty names, "." and ".." resolved.
        {"/media/cd", {"A\\\\B.TXT"}, CopyMode::Folder, "/d", {{"/media/cd/A", true}}, "/d"},
        {"/media/cd",
         {"X\\A\\B\\..\\C.TXT"},
         CopyMode::Folder,
         "/d",
         {{"/media/cd/X/A", true}},
         "/d/A"},
        {"/media/cd", {"A\\..\\C.TXT"}, CopyMode::Folder, "/d", {{"/media/cd", true}}, "/d"},
        {"/media/cd",
         {".\\DOCS\\A.TXT"},
         CopyMode::File,
         "/d",
         {{"/media/cd/DOCS/A.TXT", false}},
         "/d"},
        {"/media/cd",
         {"A..B\\C.TXT"},
         CopyMode::File,
         "/d",
         {{"/media/cd/A..B/C.TXT", false}},
         "/d"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.storedPaths.front());
        const qubrix::CopyPlan plan =
            qubrix::planCopy(c.mediumRoot, c.storedPaths, c.mode, c.picked);
        EXPECT_EQ(plan.error, "");
        EXPECT_EQ(plan.sources, c.sources);
        EXPECT_EQ(plan.destinationFolder, c.destination);
    }
}

TEST(PlanCopy, PathLeavingTheMediumRefusesEverything) {
    for (const char* storedPath :
         {"..\\..\\etc\\passwd", "A\\..\\..\\X.TXT", "A/../../x", "..", "..\\SETUP.EXE /S"}) {
        SCOPED_TRACE(storedPath);
        for (const CopyMode mode : {CopyMode::File, CopyMode::Folder}) {
            const qubrix::CopyPlan plan =
                qubrix::planCopy("/media/cd", {"OK.TXT", storedPath}, mode, "/d");
            EXPECT_EQ(plan.error, "This path leads outside the medium and is not used:\n" +
                                      std::string(storedPath));
            EXPECT_TRUE(plan.sources.empty());
        }
    }
}

// The Windows menu hands the plan of the disc in drive E: to the shell's copy.
TEST(ShellCopy, SourcesAndDestinationAsTheShellTakesThem) {
    struct Case {
        std::vector<std::string> storedPaths;
        CopyMode mode;
        std::string picked;
        std::vector<std::string> sources;
        std::string destination; // empty: refused
    };
    const Case cases[] = {
        {{"GAMES\\CHESS\\CHESS.EXE"},
         CopyMode::File,
         "D:\\DEST",
         {"E:\\GAMES\\CHESS\\CHESS.EXE"},
         "D:\\DEST"},
        {{"SETUP\\SETUP.EXE /S", "README.TXT"},
         CopyMode::File,
         "D:\\DEST",
         {"E:\\SETUP\\SETUP.EXE", "E:\\README.TXT"},
         "D:\\DEST"},
        {{"GAMES\\CHESS\\CHESS.EXE"},
         CopyMode::Folder,
         "D:\\DEST",
         {"E:\\GAMES\\CHESS\\*.*"},
         "D:\\DEST\\CHESS"},
        {{"SETUP\\SETUP.EXE"}, CopyMode::Folder, "D:\\DEST", {"E:\\SETUP\\*.*"}, "D:\\DEST"},
        // The whole disc; a drive root as the destination keeps its one backslash.
        {{"README.TXT"}, CopyMode::Folder, "D:\\", {"E:\\*.*"}, "D:\\"},
        {{"GAMES\\CHESS\\CHESS.EXE"},
         CopyMode::Folder,
         "D:\\",
         {"E:\\GAMES\\CHESS\\*.*"},
         "D:\\CHESS"},
        {{"DOCS\\A.TXT"},
         CopyMode::File,
         "\\\\server\\share\\in",
         {"E:\\DOCS\\A.TXT"},
         "\\\\server\\share\\in"},
        // A folder copied into itself, whatever the letter case, is refused.
        {{"README.TXT"}, CopyMode::Folder, "e:\\backup", {}, ""},
        {{"GAMES\\CHESS\\CHESS.EXE"}, CopyMode::Folder, "E:\\games\\chess\\old", {}, ""},
        {{"GAMES\\CHESS\\CHESS.EXE"},
         CopyMode::Folder,
         "E:\\GAMES\\CHESSBOARD",
         {"E:\\GAMES\\CHESS\\*.*"},
         "E:\\GAMES\\CHESSBOARD\\CHESS"},
        // A file copy never copies itself.
        {{"GAMES\\CHESS.EXE"}, CopyMode::File, "E:\\GAMES", {"E:\\GAMES\\CHESS.EXE"}, "E:\\GAMES"},
        {{"..\\X.TXT"}, CopyMode::File, "D:\\DEST", {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.storedPaths.front() + " into " + c.picked);
        const qubrix::ShellCopy copy =
            qubrix::shellCopyOf(qubrix::planCopy("E:", c.storedPaths, c.mode, c.picked));
        EXPECT_EQ(copy.sources, c.sources);
        EXPECT_EQ(copy.error.empty(), !c.destination.empty()) << copy.error;
        if (!c.destination.empty()) {
            EXPECT_EQ(copy.destination, c.destination);
        }
    }
}

TEST(ResolveCopyPlan, FindsSourcesCaseBlindAndReportsMissingOnes) {
    TempFolder disc;
    fs::create_directories(disc.file("games/chess"));
    writeFile(disc.file("games/chess/chess.exe"), "x");
    const qubrix::CopyPlan plan = qubrix::planCopy(
        disc.path(), {"GAMES\\CHESS\\CHESS.EXE", "GAMES\\GO\\GO.EXE", "Games\\Chess\\X.EXE"},
        CopyMode::File, disc.file("out"));
    const qubrix::ResolvedPlan resolved = qubrix::resolveCopyPlan(plan);
    EXPECT_EQ(resolved.error, "");
    ASSERT_EQ(resolved.sources.size(), 1u);
#ifdef _WIN32
    // The file system itself is case-blind there: the stored letter case names the file.
    EXPECT_TRUE(fs::equivalent(resolved.sources[0].path, disc.file("games/chess/chess.exe")));
#else
    EXPECT_EQ(resolved.sources[0].path, disc.path() + "/games/chess/chess.exe");
#endif
    EXPECT_EQ(resolved.missing, (std::vector<std::string>{disc.path() + "/GAMES/GO/GO.EXE",
                                                          disc.path() + "/Games/Chess/X.EXE"}));
}

TEST(ResolveCopyPlan, RefusesADestinationInsideWhatIsCopied) {
    TempFolder disc;
    TempFolder elsewhere;
    fs::create_directories(disc.file("games/chess"));
    writeFile(disc.file("games/chess/chess.exe"), "x");
    struct Case {
        std::string storedPath;
        CopyMode mode;
        std::string picked;
        bool refused;
    };
    std::vector<Case> cases = {
        {"GAMES\\CHESS\\CHESS.EXE", CopyMode::Folder, disc.file("games/chess/new/deeper"), true},
        {"GAMES\\chess\\chess.exe", CopyMode::Folder, disc.file("games"), true}, // onto itself
        {"SETUP.EXE", CopyMode::Folder, disc.file("GAMES/new"), true},           // whole disc
        {"GAMES\\CHESS", CopyMode::File, disc.file("games/chess"), true},
        {"GAMES\\CHESS\\CHESS.EXE", CopyMode::Folder, disc.file("chess2"), false},
        {"GAMES\\CHESS\\CHESS.EXE", CopyMode::File, disc.file("games/chess"), false},
        {"GAMES\\CHESS\\CHESS.EXE", CopyMode::Folder, elsewhere.file("out"), false},
    };
#ifndef _WIN32 // Windows lets only administrators make symbolic links.
    fs::create_directory_symlink(disc.file("games"), elsewhere.file("link"));
    cases.push_back(
        {"GAMES\\CHESS\\X.EXE", CopyMode::Folder, elsewhere.file("link/chess/x"), true});
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(c.picked);
        const qubrix::ResolvedPlan resolved = qubrix::resolveCopyPlan(
            qubrix::planCopy(disc.path(), {c.storedPath}, c.mode, c.picked));
        EXPECT_EQ(resolved.error.find("lies inside what is copied") != std::string::npos,
                  c.refused);
        EXPECT_EQ(resolved.sources.empty(), c.refused);
    }
}

} // namespace
