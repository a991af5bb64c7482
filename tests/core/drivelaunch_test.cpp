#include "core/actions/launch.h"

#include <gtest/gtest.h>

namespace {

using qubrix::LaunchKind;

struct DriveLaunchCase {
    std::string storedPath;
    LaunchKind kind;
    std::string line;
    std::string document;
    std::string program;
    std::string commandLine;
    bool leavesMedium = false;
    bool linuxOnly = false;
};

// How the Windows menu runs each kind of listing from drive E:, text alone.
TEST(PlanDriveLaunch, KindsLinesAndStarts) {
    const DriveLaunchCase cases[] = {
        {"docs\\readme.txt", LaunchKind::Document, "E:\\DOCS\\README.TXT", "E:\\DOCS\\README.TXT",
         "", ""},
        {"SETUP\\SETUP.EXE", LaunchKind::Program, "E:\\SETUP\\SETUP.EXE", "",
         "E:\\SETUP\\SETUP.EXE", ""},
        // A batch file goes to the command interpreter, its path quoted for a blank in it.
        {" tools\\where.bat ", LaunchKind::Program, "E:\\TOOLS\\WHERE.BAT", "", "cmd.exe",
         "cmd.exe /s /c \"\"E:\\TOOLS\\WHERE.BAT\"\""},
        {"my tools\\go.bat", LaunchKind::Program, "E:\\MY TOOLS\\GO.BAT", "", "cmd.exe",
         "cmd.exe /s /c \"\"E:\\MY TOOLS\\GO.BAT\"\""},
        // A program with arguments is started by its whole line, placeholders replaced.
        {"setup.exe /s <drive>\\data", LaunchKind::ProgramWithArguments,
         "E:\\SETUP.EXE /S E:\\DATA", "", "", "\"E:\\SETUP.EXE\" /S E:\\DATA"},
        {"run.bat <Drive>", LaunchKind::ProgramWithArguments, "E:\\RUN.BAT E:", "", "cmd.exe",
         "cmd.exe /s /c \"\"E:\\RUN.BAT\" E:\""},
        // cmd's /s takes off only the outer quotes: & ( ) @ ^ | stay in the one name.
        {"tools\\a&b.bat", LaunchKind::Program, "E:\\TOOLS\\A&B.BAT", "", "cmd.exe",
         "cmd.exe /s /c \"\"E:\\TOOLS\\A&B.BAT\"\""},
        {"x\\(1)^@|.bat /q", LaunchKind::ProgramWithArguments, "E:\\X\\(1)^@|.BAT /Q", "",
         "cmd.exe", "cmd.exe /s /c \"\"E:\\X\\(1)^@|.BAT\" /Q\""},
        {"my progs\\a&b.exe /s", LaunchKind::ProgramWithArguments, "E:\\MY PROGS\\A&B.EXE /S", "",
         "", "\"E:\\MY PROGS\\A&B.EXE\" /S"},
        // A .CMD file is a batch file too; a package goes to the installer.
        {"tools\\fix.cmd", LaunchKind::Program, "E:\\TOOLS\\FIX.CMD", "", "cmd.exe",
         "cmd.exe /s /c \"\"E:\\TOOLS\\FIX.CMD\"\""},
        {"fix.cmd <drive>", LaunchKind::ProgramWithArguments, "E:\\FIX.CMD E:", "", "cmd.exe",
         "cmd.exe /s /c \"\"E:\\FIX.CMD\" E:\""},
        {"setup\\app.msi", LaunchKind::Program, "E:\\SETUP\\APP.MSI", "", "msiexec.exe",
         "msiexec.exe /i \"E:\\SETUP\\APP.MSI\""},
        {"app.msi /qb <drive>\\log", LaunchKind::ProgramWithArguments, "E:\\APP.MSI /QB E:\\LOG",
         "", "msiexec.exe", "msiexec.exe /i \"E:\\APP.MSI\" /QB E:\\LOG"},
        {"app.msi\\readme.txt", LaunchKind::Document, "E:\\APP.MSI\\README.TXT",
         "E:\\APP.MSI\\README.TXT", "", ""},
        // A shell script is refused before anything asks: Windows has nothing to run it.
        {"linux\\install.sh", LaunchKind::Document, "E:\\LINUX\\INSTALL.SH", "", "", "", false,
         true},
        {"run.sh --help", LaunchKind::Document, "E:\\RUN.SH --HELP", "", "", "", false, true},
        {"sh\\readme.txt", LaunchKind::Document, "E:\\SH\\README.TXT", "E:\\SH\\README.TXT", "",
         ""},
        // ".BAT" in a folder's name makes no batch file of the document below it.
        {"TOOLS.BAT\\README.TXT", LaunchKind::Program, "E:\\TOOLS.BAT\\README.TXT", "",
         "E:\\TOOLS.BAT\\README.TXT", ""},
        // Arguments are no paths: a ".." in them leaves nothing.
        {"X.EXE ..\\..\\OUT", LaunchKind::ProgramWithArguments, "E:\\X.EXE ..\\..\\OUT", "", "",
         "\"E:\\X.EXE\" ..\\..\\OUT"},
        // Climbing out of the disc: nothing to start, the line as read.
        {"..\\SETUP.EXE", LaunchKind::Program, "E:\\..\\SETUP.EXE", "", "", "", true},
        {"a\\..\\..\\x.exe <drive>\\y", LaunchKind::ProgramWithArguments,
         "E:\\A\\..\\..\\X.EXE <DRIVE>\\Y", "", "", "", true},
        {"..\\NOTES.TXT", LaunchKind::Document, "E:\\..\\NOTES.TXT", "", "", "", true},
        // Another drive or a share is no place on the disc: refused, shown as stored.
        {"c:\\windows\\notepad.exe", LaunchKind::Program, "C:\\WINDOWS\\NOTEPAD.EXE", "", "", "",
         true},
        {"D:README.TXT", LaunchKind::Document, "D:README.TXT", "", "", "", true},
        {"\\\\server\\share\\setup.exe /s", LaunchKind::ProgramWithArguments,
         "\\\\SERVER\\SHARE\\SETUP.EXE /S", "", "", "", true},
        {"//server/share/notes.txt", LaunchKind::Document, "//SERVER/SHARE/NOTES.TXT", "", "", "",
         true},
    };
    for (const DriveLaunchCase& c : cases) {
        SCOPED_TRACE(c.storedPath);
        const qubrix::LaunchPlan plan = qubrix::planDriveLaunch("E:", c.storedPath);
        EXPECT_EQ(plan.kind, c.kind);
        EXPECT_EQ(plan.line, c.line);
        EXPECT_EQ(plan.document, c.document);
        EXPECT_EQ(plan.program, c.program);
        EXPECT_EQ(plan.commandLine, c.commandLine);
        EXPECT_TRUE(plan.arguments.empty());
        EXPECT_EQ(plan.leavesMedium, c.leavesMedium);
        EXPECT_EQ(plan.linuxOnly, c.linuxOnly);
    }
}

} // namespace
