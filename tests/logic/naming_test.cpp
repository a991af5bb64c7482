#include "logicfixture.h"

#include <filesystem>

namespace qubrix::test {
namespace {

namespace fs = std::filesystem;

// OK tests each name of the typed path; Change renames on the medium and the listings follow a
// renamed folder, Skip keeps the name, and a rename that fails says "File error" and asks again.
TEST_F(LogicTest, NameCheckRenamesOnlyWhatTheAuthorChanges) {
#ifdef _WIN32
    GTEST_SKIP() << "the medium's paths are written with \"/\" between folders";
#endif
    const std::string d = disc.path();
    const std::string fileError = "ask Error Ok Error!: File error";
    const auto ask = [](const char* subject, std::string path, std::string name) {
        return std::string("askNewName ") + subject + " " + path + " " + name;
    };
    const auto change = [](std::string name) { return DialogPort::NameAnswer{name, true}; };
    struct Row {
        const char* what;
        std::string typed;
        bool renamesSucceed;
        std::vector<DialogPort::NameAnswer> answers; // then Skip
        std::vector<std::string> exchanges;          // after the planning of the run
        std::string stored, other, onDisk;
        LaunchKind kind = LaunchKind::Document; // as the system plans the typed path
        std::string content = {};               // of the renamed file, when not LONGNAME1.TXT
    };
    const std::string longFile = "LONG_FOLDER_NAME\\LONGNAME1.TXT";
    const Row rows[] = {
        {"folder and file renamed, a taken name refused",
         longFile,
         true,
         {change("LONGFOLD"), change("EXISTING.TXT"), change("LONGNAME.TXT")},
         {ask("Folder", longFile, "LONG_FOLDER_NAME"),
          "rename " + d + "/LONG_FOLDER_NAME -> " + d + "/LONGFOLD",
          ask("File", "LONGFOLD\\LONGNAME1.TXT", "LONGNAME1.TXT"),
          "rename " + d + "/LONGFOLD/LONGNAME1.TXT -> " + d + "/LONGFOLD/EXISTING.TXT", "beep",
          fileError, ask("File", "LONGFOLD\\LONGNAME1.TXT", "LONGNAME1.TXT"),
          "rename " + d + "/LONGFOLD/LONGNAME1.TXT -> " + d + "/LONGFOLD/LONGNAME.TXT"},
         "LONGFOLD\\LONGNAME.TXT",
         "LONGFOLD\\OTHER.TXT",
         "LONGFOLD/LONGNAME.TXT"},
        {"skipped",
         longFile,
         true,
         {},
         {ask("Folder", longFile, "LONG_FOLDER_NAME"), ask("File", longFile, "LONGNAME1.TXT")},
         longFile,
         "long_folder_name\\OTHER.TXT",
         "LONG_FOLDER_NAME/LONGNAME1.TXT"},
        {"failed rename",
         "MY FILE.TXT",
         false,
         {change("MYFILE.TXT")},
         {ask("File", "MY FILE.TXT", "MY FILE.TXT"),
          "rename " + d + "/MY FILE.TXT -> " + d + "/MYFILE.TXT", "beep", fileError,
          ask("File", "MY FILE.TXT", "MY FILE.TXT")},
         "MY FILE.TXT",
         "long_folder_name\\OTHER.TXT",
         "MY FILE.TXT"},
        {"a name leaving its folder",
         "MY FILE.TXT",
         true,
         {change("../MYFILE.TXT")},
         {ask("File", "MY FILE.TXT", "MY FILE.TXT"), "beep", fileError,
          ask("File", "MY FILE.TXT", "MY FILE.TXT")},
         "MY FILE.TXT",
         "long_folder_name\\OTHER.TXT",
         "MY FILE.TXT"},
        {"a program's arguments kept out of the check",
         "LONG_FOLDER_NAME\\setup_all.sh --from <DRIVE>",
         true,
         {change("LONGFOLD"), change("SETUP.SH")},
         {ask("Folder", "LONG_FOLDER_NAME\\setup_all.sh", "LONG_FOLDER_NAME"),
          "rename " + d + "/LONG_FOLDER_NAME -> " + d + "/LONGFOLD",
          ask("File", "LONGFOLD\\setup_all.sh", "setup_all.sh"),
          "rename " + d + "/LONGFOLD/setup_all.sh -> " + d + "/LONGFOLD/SETUP.SH"},
         "LONGFOLD\\SETUP.SH --from <DRIVE>",
         "LONGFOLD\\OTHER.TXT",
         "LONGFOLD/SETUP.SH",
         LaunchKind::ProgramWithArguments,
         "LONG_FOLDER_NAME/setup_all.sh"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fs::remove_all(d);
        fs::create_directories(d + "/LONG_FOLDER_NAME");
        for (const char* file : {"LONG_FOLDER_NAME/LONGNAME1.TXT", "LONG_FOLDER_NAME/EXISTING.TXT",
                                 "MY FILE.TXT", "LONG_FOLDER_NAME/setup_all.sh"})
            writeFile(d + "/" + file, file);
        writeCatalogue("[Main]\r\nOther;long_folder_name\\OTHER.TXT;-1\r\n110\r\n");
        start();
        ports.renamesSucceed = row.renamesSucceed;
        ports.plan = {};
        ports.plan.kind = row.kind;
        ports.newNames.assign(row.answers.begin(), row.answers.end());
        logic->fileNameEdited(row.typed);
        logic->descriptionEdited("Mine");
        logic->cmdOkClick();
        std::vector<std::string> expected = {"planLaunch " + row.typed};
        expected.insert(expected.end(), row.exchanges.begin(), row.exchanges.end());
        expected.push_back("save");
        EXPECT_EQ(ports.exchanges(), expected);
        EXPECT_EQ(catalogueOnDisk(),
                  "[Main]\r\nOther;" + row.other + ";-1\r\nMine;" + row.stored + ";-1\r\n110\r\n");
        EXPECT_EQ(readFile(d + "/" + row.onDisk), !row.content.empty() ? row.content
                                                  : row.onDisk == "MY FILE.TXT"
                                                      ? "MY FILE.TXT"
                                                      : "LONG_FOLDER_NAME/LONGNAME1.TXT");
    }
}

} // namespace
} // namespace qubrix::test
