#include "medium/disccheck.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace qubrix {
namespace {

using test::TempFolder;
using test::writeFile;

std::vector<std::string> issueTexts(const std::vector<NameIssue>& issues) {
    std::vector<std::string> texts;
    for (const NameIssue& issue : issues) {
        EXPECT_EQ(issue.level, IssueLevel::Warning);
        texts.push_back(issue.path + ": " + issue.text);
    }
    return texts;
}

// Each listing is read as Run reads it on the disc: from the top, letter case ignored,
// arguments cut off; the catalogue's own encoding names categories and descriptions.
TEST(CheckCatalogueListings, NamesEachListingThatFindsNoFile) {
    TempFolder disc;
    std::filesystem::create_directories(disc.file("TOOLS"));
    writeFile(disc.file("TOOLS/viewer.sh"), "#!/bin/sh\n");
    std::filesystem::permissions(disc.file("TOOLS/viewer.sh"), std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    writeFile(disc.file("readme.txt"), "");
    writeFile(disc.file("qubrix.dat"), "[Main]\r\n"
                                       "Viewer;TOOLS\\VIEWER.SH;-1\r\n"
                                       "Setup;tools\\viewer.sh /S <DRIVE>\\X;0\r\n"
                                       "  Read me  ;README.TXT\r\n"
                                       "[Caf\xe9]\r\n"
                                       "Lost;u\\mydisc\\TOOLS\\viewer.sh;-1\r\n"
                                       "Out;..\\etc\\passwd;-1\r\n"
                                       "Nothing;;-1\r\n"
                                       "110\r\n");
    EXPECT_EQ(issueTexts(checkCatalogueListings(disc.path())),
              (std::vector<std::string>{
                  "[Caf\xc3\xa9] Lost: u\\mydisc\\TOOLS\\viewer.sh leads to no file on the disc",
                  "[Caf\xc3\xa9] Out: ..\\etc\\passwd leads outside the disc",
                  "[Caf\xc3\xa9] Nothing: has no file name"}));
}

TEST(CheckDiscBeforeImage, WarnsOfAnUnpreparedFolderAndAMissingCatalogue) {
    TempFolder disc;
    EXPECT_EQ(issueTexts(checkDiscBeforeImage(disc.path())),
              (std::vector<std::string>{
                  disc.path() +
                      ": was never prepared: the disc would not start its menu (prepare it first)",
                  "qubrix.dat: cannot be read: the disc would start with an empty menu"}));
    writeFile(disc.file("qubrix.dat"), "[Main]\r\n110\r\n");
    writeFile(disc.file("autorun.sh"), "#!/bin/sh\n");
    std::filesystem::create_directories(disc.file(".qubrix/bin"));
    EXPECT_TRUE(checkDiscBeforeImage(disc.path()).empty());
    // What prepare and saves that were cut short left, each told once; look-alikes are not.
    for (const char* name :
         {".qubrix-new/bin/qubrix", ".qubrix-old/lib/x", ".qubrix/autorun.sh",
          ".qubrix.dat.qubrix-new", ".qubrix.dat.qubrix-new-1000", ".descript.txt.qubrix-partial",
          "notes.qubrix-new", ".qubrix-newer", ".qubrix.dat.qubrix-new-x"}) {
        std::filesystem::create_directories(std::filesystem::path(disc.file(name)).parent_path());
        writeFile(disc.file(name), "");
    }
    std::vector<std::string> told;
    for (const NameIssue& issue : checkDiscBeforeImage(disc.path())) {
        EXPECT_NE(issue.text.find("cut short"), std::string::npos) << issue.text;
        told.push_back(issue.path);
    }
    EXPECT_EQ(told,
              (std::vector<std::string>{".descript.txt.qubrix-partial", ".qubrix-new",
                                        ".qubrix-old", ".qubrix.dat.qubrix-new",
                                        ".qubrix.dat.qubrix-new-1000", ".qubrix/autorun.sh"}));
}

} // namespace
} // namespace qubrix
