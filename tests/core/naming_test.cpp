#include "core/naming/folderrename.h"
#include "core/naming/isoname.h"
#include "core/naming/nameplan.h"

#include "tempfolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

namespace {

TEST(IsoName, ShortNameRules) {
    const struct {
        std::string name;
        bool passes;
    } cases[] = {
        {"README.TXT", true},
        {"SETUP.EXE", true},
        {"A_B.X", true},
        {"readme.txt", true},
        {"setup-1.exe", true},
        {"NAME.", true},
        {"A.B.D.TXT", true}, // base A.B.D, extension TXT
        {"DATA.OLD", true},
        {"", true},
        {"EIGHTCHR.EXT", true},
        {"EIGHTCHR", true},
        {"\xc3\x89T\xc3\x89.TXT", true}, // three characters in five bytes
        {"LONGNAME1.TXT", false},
        {"README.HTML", false},
        {"MY FILE.TXT", false},
        {"A+B.TXT", false},
        {".PROFILE", false},
        {"INSTALLER", false},
        {"A|B", false},
        {"A<B", false},
        {"A>B", false},
        {"A;B", false},
        {"A:B", false},
        {"A,B", false},
        {"A.B.C.D.E.TX", false}, // base of 10 within 12 in all
        {"\xc3\x89\xc3\x89\xc3\x89\xc3\x89\xc3\x89\xc3\x89\xc3\x89\xc3\x89\xc3\x89", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(qubrix::isIsoName(c.name), c.passes);
    }
}

TEST(IsoName, PlainNamesStayInTheirFolder) {
    for (const char* name : {"NEW", "NEW.TXT", "..A", "A.."})
        EXPECT_TRUE(qubrix::isPlainName(name)) << name;
    for (const char* name : {"", ".", "..", "A/B", "../X", "A\\B"})
        EXPECT_FALSE(qubrix::isPlainName(name)) << name;
    EXPECT_FALSE(qubrix::isPlainName(std::string("A\0B", 3)));
}

struct PlanCase {
    std::string label;
    std::string mediumRoot;
    qubrix::PickedFile picked;
    Names folderPaths;
    std::string filePath;
    Names innermostFromRoot;
};

TEST(NamePlan, FoldersAndOnDiskPaths) {
    const std::string deep(300, 'D');
    const PlanCase cases[] = {
        {"parent kept",
         "/media/cd",
         {"APPS\\LONG_FOLDER_NAME\\", "SETUP.EXE", ""},
         {"/media/cd/APPS", "/media/cd/APPS/LONG_FOLDER_NAME"},
         "/media/cd/APPS/LONG_FOLDER_NAME/SETUP.EXE",
         {"APPS", "LONG_FOLDER_NAME"}},
        {"parent left out: never tested, always on the way",
         "/media/cd",
         {"APPS\\", "SETUP.EXE", "STAGE"},
         {"/media/cd/STAGE/APPS"},
         "/media/cd/STAGE/APPS/SETUP.EXE",
         {"STAGE", "APPS"}},
        {"file in the left-out folder",
         "/media/cd",
         {"", "SETUP.EXE", "STAGE"},
         {},
         "/media/cd/STAGE/SETUP.EXE",
         {}},
        {"file in the root", "/media/cd", {"", "SETUP.EXE", ""}, {}, "/media/cd/SETUP.EXE", {}},
        {"root file system", "", {"A\\", "B.TXT", ""}, {"/A"}, "/A/B.TXT", {"A"}},
        {"deep path of any length",
         "/m",
         {"A\\" + deep + "\\C\\", "F", ""},
         {"/m/A", "/m/A/" + deep, "/m/A/" + deep + "/C"},
         "/m/A/" + deep + "/C/F",
         {"A", deep, "C"}},
        {"empty folder between two backslashes",
         "/m",
         {"A\\\\B\\", "F", ""},
         {"/m/A", "/m/A/", "/m/A//B"},
         "/m/A//B/F",
         {"A", "", "B"}},
        {"no name picked", "/m", {"", "", ""}, {}, "/m/", {}},
    };
    for (const PlanCase& c : cases) {
        SCOPED_TRACE(c.label);
        const qubrix::NamePlan plan(c.mediumRoot, c.picked);
        ASSERT_EQ(plan.folders().size(), c.folderPaths.size());
        for (std::size_t i = 0; i < c.folderPaths.size(); ++i)
            EXPECT_EQ(plan.folderPath(i), c.folderPaths[i]) << i;
        EXPECT_EQ(plan.fileName(), c.picked.name);
        EXPECT_EQ(plan.filePath(), c.filePath);
        if (!c.folderPaths.empty()) {
            EXPECT_EQ(plan.folderFromRoot(c.folderPaths.size() - 1), c.innermostFromRoot);
        }
    }
}

TEST(NamePlan, NewNameIsPartOfEveryLaterPath) {
    const qubrix::NamePlan plan("/m", {"A\\LONG_FOLDER\\C\\", "LONGNAME1.TXT", "STAGE"});
    const qubrix::NamePlan renamed = plan.withFolderName(1, "LONGFOLD");
    EXPECT_EQ(renamed.folderPath(0), "/m/STAGE/A");
    EXPECT_EQ(renamed.folderPath(1), "/m/STAGE/A/LONGFOLD");
    EXPECT_EQ(renamed.folderPath(2), "/m/STAGE/A/LONGFOLD/C");
    EXPECT_EQ(renamed.withFileName("LONGNAME.TXT").filePath(),
              "/m/STAGE/A/LONGFOLD/C/LONGNAME.TXT");
    EXPECT_EQ(plan.folderFromRoot(1), (Names{"STAGE", "A", "LONG_FOLDER"}));
    EXPECT_EQ(plan.folderPath(1), "/m/STAGE/A/LONG_FOLDER"); // the plan itself stays
}

TEST(NamePlan, RenamesStayOnTheMedium) {
    qubrix::test::TempFolder temp;
    const std::string medium = temp.file("medium");
    fs::create_directories(medium + "/A");
    fs::create_directories(temp.file("outside"));
    qubrix::test::writeFile(medium + "/A/F.TXT", "");
    qubrix::test::writeFile(temp.file("outside/F.TXT"), "");
    struct Case {
        std::string path;
        std::string newName;
        bool allowed;
    };
    std::vector<Case> cases = {
        {medium + "/A/F.TXT", "G.TXT", true},
        {medium + "/A", "B", true},
        {medium + "/A/F.TXT", "..", false},
        {medium + "/A/F.TXT", "", false},
        {medium + "/A/F.TXT", "../G.TXT", false},
        {medium + "/A/../A/F.TXT", "G.TXT", false},
        {medium + "/../outside/F.TXT", "G.TXT", false},
        {medium + "/./A", "B", false},
        {temp.file("outside/F.TXT"), "G.TXT", false},
        {medium + "x/F.TXT", "G.TXT", false},
        {medium + "/MISSING/F.TXT", "G.TXT", false},
    };
#ifndef _WIN32 // Windows lets only administrators make symbolic links.
    fs::create_directory_symlink(temp.file("outside"), medium + "/OUT");
    cases.push_back({medium + "/OUT", "LINK", true}); // the link itself lies on the medium
    cases.push_back({medium + "/OUT/F.TXT", "G.TXT", false});
#endif
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path + " -> " + c.newName);
        EXPECT_EQ(qubrix::mayRenameOnMedium(medium, c.path, c.newName), c.allowed);
    }
    EXPECT_TRUE(qubrix::mayRenameOnMedium("", "/tmp", "X"));
}

TEST(FolderRename, StoredPathsThroughTheFolder) {
    const qubrix::FolderRename stageApps{{"STAGE", "APPS"}, "APP", true};
    const qubrix::FolderRename rootApps{{"APPS"}, "APP", true};
    const qubrix::FolderRename noSecondForm{{"STAGE", "APPS"}, "APP", false};
    const struct {
        std::string path;
        const qubrix::FolderRename* rename;
        std::optional<std::string> renamed;
    } cases[] = {
        {"STAGE\\APPS\\SETUP.EXE", &stageApps, "STAGE\\APP\\SETUP.EXE"},
        {"APPS\\SETUP.EXE", &stageApps, "APP\\SETUP.EXE"}, // stored without the parent
        {"stage\\apps\\x\\y.txt", &stageApps, "stage\\APP\\x\\y.txt"},
        {"Apps/Setup.exe", &stageApps, "APP/Setup.exe"},
        {"APPS\\SETUP.EXE /s <DRIVE>\\APPS", &stageApps, "APP\\SETUP.EXE /s <DRIVE>\\APPS"},
        {"STAGE\\APPS", &stageApps, "STAGE\\APP"}, // the folder itself
        {"APPSX\\SETUP.EXE", &stageApps, std::nullopt},
        {"STAGE\\APPSX\\SETUP.EXE", &stageApps, std::nullopt},
        {"STAGE\\SETUP.EXE", &stageApps, std::nullopt},
        {"OTHER\\APPS\\SETUP.EXE", &stageApps, std::nullopt},
        {"STAGE", &stageApps, std::nullopt},
        {"", &stageApps, std::nullopt},
        {"APPS\\SETUP.EXE", &noSecondForm, std::nullopt},
        {"STAGE\\APPS\\SETUP.EXE", &noSecondForm, "STAGE\\APP\\SETUP.EXE"},
        {"APPS\\SETUP.EXE", &rootApps, "APP\\SETUP.EXE"},
        {"STAGE\\APPS\\SETUP.EXE", &rootApps, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(qubrix::storedPathAfterRename(c.path, *c.rename), c.renamed);
    }
}

TEST(FolderRename, SecondFormOnlyWithoutALikeNamedRootFolder) {
    qubrix::test::TempFolder medium;
    fs::create_directories(medium.file("STAGE/APPS"));
    fs::create_directories(medium.file("STAGE/DOCS"));
    fs::create_directories(medium.file("DOCS"));
    EXPECT_TRUE(qubrix::folderRenameOnMedium(medium.path(), {"STAGE", "APPS"}, "A")
                    .matchWithoutFirstFolder);
    EXPECT_FALSE(qubrix::folderRenameOnMedium(medium.path(), {"STAGE", "DOCS"}, "D")
                     .matchWithoutFirstFolder);
}

TEST(FolderRename, EveryListingOfEveryCategoryAndTheShownRows) {
    qubrix::Catalogue catalogue;
    catalogue.setLines({"[Main]", "Setup;STAGE\\APPS\\SETUP.EXE;0", "Other;DOCS\\README.TXT;-1",
                        "[APPS\\X]", "Tool;apps\\TOOL.EXE /a;1", "Bare;APPS\\BARE.TXT", "No path"});
    catalogue.BuildCategories();
    catalogue.showCategory(1);
    const qubrix::FolderRename rename{{"STAGE", "APPS"}, "APP", true};
    const std::uint64_t filled = catalogue.revision();

    EXPECT_EQ(qubrix::renameFolderInListings(catalogue, rename), 3u);
    EXPECT_EQ(catalogue.lstAll(),
              (Names{"[Main]", "Setup;STAGE\\APP\\SETUP.EXE;0", "Other;DOCS\\README.TXT;-1",
                     "[APPS\\X]", "Tool;APP\\TOOL.EXE /a;1", "Bare;APP\\BARE.TXT", "No path"}));
    EXPECT_EQ(catalogue.lstFiles(),
              (Names{"Tool;APP\\TOOL.EXE /a;1", "Bare;APP\\BARE.TXT", "No path"}));
    EXPECT_EQ(catalogue.lstPath(), (Names{"APP\\TOOL.EXE /a", "APP\\BARE.TXT", ""}));
    EXPECT_EQ(qubrix::renameFolderInListings(catalogue, rename), 0u);
    EXPECT_EQ(catalogue.revision(), filled + 1) << "only the rename that changed lines counts";
}

TEST(FolderRename, NamesMeetTheCatalogueInItsEncoding) {
    qubrix::Catalogue catalogue;
    catalogue.setLines({"[Main]", "Caf\xe9;CAF\xc9\\MENU.TXT;-1"}); // Windows-1252
    catalogue.BuildCategories();
    catalogue.showCategory(0);

    // "CAFÉ" in UTF-8 finds the Windows-1252 line; a new name 1252 cannot carry turns the
    // catalogue to UTF-8.
    EXPECT_EQ(qubrix::renameFolderInListings(catalogue, {{"CAF\xc3\x89"}, "\xce\xa9", true}), 1u);
    EXPECT_EQ(catalogue.catalogueEncoding, qubrix::TextEncoding::Utf8);
    EXPECT_EQ(catalogue.lstAll()[1], "Caf\xc3\xa9;\xce\xa9\\MENU.TXT;-1");
    EXPECT_EQ(catalogue.lstPath()[0], "\xce\xa9\\MENU.TXT");

    EXPECT_EQ(qubrix::renameFolderInListings(catalogue, {{"\xce\xa9"}, "OMEGA", true}), 1u);
    EXPECT_EQ(catalogue.lstFiles()[0], "Caf\xc3\xa9;OMEGA\\MENU.TXT;-1");
}

} // namespace
