#include "core/actions/launch.h"
#include "core/actions/medium.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using qubrix::LaunchKind;
using Words = std::vector<std::string>;

namespace {

constexpr std::string_view disc = "/media/cd";

struct LineCase {
    std::string storedPath;
    LaunchKind kind;
    std::string run; // the line after classifying for the Run command
    std::string cut; // the line after classifying for the copy
};

TEST(ClassifyCommandLine, KindsAndLines) {
    const LineCase cases[] = {
        {"SETUP\\SETUP.EXE", LaunchKind::Program, "/media/cd/SETUP\\SETUP.EXE",
         "/media/cd/SETUP\\SETUP.EXE"},
        {"  setup\\setup.exe /s <drive>\\data \t", LaunchKind::ProgramWithArguments,
         "/media/cd/setup\\setup.exe /s /media/cd\\data", "/media/cd/setup\\setup.exe"},
        {"X.EXE <DRIVE>\\A <Drive>\\B", LaunchKind::ProgramWithArguments,
         "/media/cd/X.EXE /media/cd\\A /media/cd\\B", "/media/cd/X.EXE"},
        {"DOCS\\README.TXT", LaunchKind::Document, "/media/cd/DOCS\\README.TXT",
         "/media/cd/DOCS\\README.TXT"},
        {"TOOLS.EXE\\README.TXT", LaunchKind::Program, "/media/cd/TOOLS.EXE\\README.TXT",
         "/media/cd/TOOLS.EXE\\README.TXT"},
        // ".EXE" wins over an earlier ".COM" and ends the line.
        {"A.COM B.EXE", LaunchKind::Program, "/media/cd/A.COM B.EXE", "/media/cd/A.COM B.EXE"},
        {"a.com b", LaunchKind::ProgramWithArguments, "/media/cd/a.com b", "/media/cd/a.com"},
        {"RUN.BAT <drive>", LaunchKind::ProgramWithArguments, "/media/cd/RUN.BAT /media/cd",
         "/media/cd/RUN.BAT"},
        {"SETUP.EXE ", LaunchKind::Program, "/media/cd/SETUP.EXE", "/media/cd/SETUP.EXE"},
        // Placeholders stay as typed outside a program's arguments.
        {"<DRIVE>\\NOTES.TXT", LaunchKind::Document, "/media/cd/<DRIVE>\\NOTES.TXT",
         "/media/cd/<DRIVE>\\NOTES.TXT"},
        {"BIN.EXE\\<drive>", LaunchKind::Program, "/media/cd/BIN.EXE\\<drive>",
         "/media/cd/BIN.EXE\\<drive>"},
        // A tab is not the blank that starts the arguments.
        {"A.EXE\tB", LaunchKind::Program, "/media/cd/A.EXE\tB", "/media/cd/A.EXE\tB"},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.storedPath);
        std::string run = qubrix::buildCommandLine(disc, c.storedPath);
        std::string cut = run;
        EXPECT_EQ(qubrix::classifyCommandLine(run, false, disc), c.kind);
        EXPECT_EQ(qubrix::classifyCommandLine(cut, true, disc), c.kind);
        EXPECT_EQ(run, c.run);
        EXPECT_EQ(cut, c.cut);
    }
}

// The Windows menu reads a stored path from the disc's drive, in capitals.
TEST(ClassifyCommandLine, DriveLinesOfTheWindowsMenu) {
    const LineCase cases[] = {
        {"SETUP\\SETUP.EXE", LaunchKind::Program, "E:\\SETUP\\SETUP.EXE", "E:\\SETUP\\SETUP.EXE"},
        {"  setup\\setup.exe /s <drive>\\data \t", LaunchKind::ProgramWithArguments,
         "E:\\SETUP\\SETUP.EXE /S E:\\DATA", "E:\\SETUP\\SETUP.EXE"},
        {"X.EXE <DRIVE>\\A <drive>\\B", LaunchKind::ProgramWithArguments, "E:\\X.EXE E:\\A E:\\B",
         "E:\\X.EXE"},
        {"docs\\readme.txt", LaunchKind::Document, "E:\\DOCS\\README.TXT", "E:\\DOCS\\README.TXT"},
        {"TOOLS.EXE\\README.TXT", LaunchKind::Program, "E:\\TOOLS.EXE\\README.TXT",
         "E:\\TOOLS.EXE\\README.TXT"},
        {"A.COM B.EXE", LaunchKind::Program, "E:\\A.COM B.EXE", "E:\\A.COM B.EXE"},
        {"tools\\where.bat ", LaunchKind::Program, "E:\\TOOLS\\WHERE.BAT", "E:\\TOOLS\\WHERE.BAT"},
        {"<drive>\\NOTES.TXT", LaunchKind::Document, "E:\\<DRIVE>\\NOTES.TXT",
         "E:\\<DRIVE>\\NOTES.TXT"},
        // Only ASCII letters change: "é" in UTF-8 stays as it is.
        {"caf\xC3\xA9\\menu.exe", LaunchKind::Program, "E:\\CAF\xC3\xA9\\MENU.EXE",
         "E:\\CAF\xC3\xA9\\MENU.EXE"},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.storedPath);
        std::string run = qubrix::driveCommandLine("E:", c.storedPath);
        std::string cut = run;
        EXPECT_EQ(qubrix::classifyCommandLine(run, false, "E:"), c.kind);
        EXPECT_EQ(qubrix::classifyCommandLine(cut, true, "E:"), c.kind);
        EXPECT_EQ(run, c.run);
        EXPECT_EQ(cut, c.cut);
    }
}

TEST(ClassifyCommandLine, MountPointIsNotClassified) {
    std::string line = qubrix::buildCommandLine("/media/u/backup.com x", "docs\\a.txt");
    EXPECT_EQ(qubrix::classifyCommandLine(line, false, "/media/u/backup.com x"),
              LaunchKind::Document);

    line = qubrix::buildCommandLine("", "SETUP.EXE <DRIVE>\\X");
    EXPECT_EQ(qubrix::classifyCommandLine(line, false, ""), LaunchKind::ProgramWithArguments);
    EXPECT_EQ(line, "/SETUP.EXE \\X");
}

TEST(SplitArguments, QuotesGroupAndShellSyntaxStaysLiteral) {
    EXPECT_EQ(qubrix::splitArguments("  /s   /q "), (Words{"/s", "/q"}));
    EXPECT_EQ(qubrix::splitArguments("\"two words\" x\"y z\""), (Words{"two words", "xy z"}));
    EXPECT_EQ(qubrix::splitArguments("say \"\"\"hi\"\"\""), (Words{"say", "\"hi\""}));
    EXPECT_EQ(qubrix::splitArguments("a \"\" b"), (Words{"a", "b"}));
    EXPECT_EQ(qubrix::splitArguments("$(touch x); rm y | cat > z && `id`"),
              (Words{"$(touch", "x);", "rm", "y", "|", "cat", ">", "z", "&&", "`id`"}));
    EXPECT_EQ(qubrix::splitArguments("\"$(touch x); rm y\""), (Words{"$(touch x); rm y"}));
}

// A disc tree in a temporary folder, names in the letter case a plain ISO 9660 disc shows.
class DiscTree : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "qubrix-launch-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
        file("demo/setup.exe", false);
        file("demo/install.bat", false);
        file("docs/readme.txt", false);
        file("tools.exe/readme.txt", false);
        file("tools/run.sh", true);
        file("Start Here.sh", true);
        file("same/Readme", false);
        file("same/README", false);
    }
    void TearDown() override { fs::remove_all(m_root); }

    void file(const std::string& relative, bool executable,
              const std::string& content = "#!/bin/sh\n") {
        const fs::path path = fs::path(m_root) / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path) << content;
        if (executable)
            fs::permissions(path, fs::perms::owner_exec, fs::perm_options::add);
    }
    std::string at(const std::string& relative) const { return m_root + "/" + relative; }
    static std::string winePath(std::string path) {
        std::replace(path.begin(), path.end(), '/', '\\');
        return "Z:" + path;
    }

    std::string m_root;
};

TEST_F(DiscTree, ResolvesEachComponentCaseBlindly) {
    EXPECT_EQ(qubrix::resolvePathCaseBlind(at("demo/setup.exe")), at("demo/setup.exe"));
    EXPECT_EQ(qubrix::resolvePathCaseBlind(at("DEMO/SETUP.EXE")), at("demo/setup.exe"));
    EXPECT_EQ(qubrix::resolvePathCaseBlind(at("Tools/Run.SH")), at("tools/run.sh"));
    EXPECT_EQ(qubrix::resolvePathCaseBlind(at("SAME/readme")), at("same/README"));
    EXPECT_EQ(qubrix::resolvePathCaseBlind(at("DEMO/SETUP.EXE/X")), std::nullopt);
    EXPECT_EQ(qubrix::resolvePathCaseBlind(at("DEMO/MISSING.EXE")), std::nullopt);
}

TEST_F(DiscTree, WindowsProgramsGoThroughWine) {
    qubrix::LaunchPlan plan = qubrix::planLaunch(m_root, "DEMO\\SETUP.EXE");
    EXPECT_EQ(plan.kind, LaunchKind::Program);
    EXPECT_EQ(plan.line, at("DEMO/SETUP.EXE"));
    EXPECT_EQ(plan.program, "wine");
    EXPECT_EQ(plan.arguments, (Words{at("demo/setup.exe")}));

    plan = qubrix::planLaunch(m_root, " Demo\\Setup.exe /s <Drive>\\DATA ");
    EXPECT_EQ(plan.kind, LaunchKind::ProgramWithArguments);
    EXPECT_EQ(plan.line, at("Demo/Setup.exe /s ") + winePath(m_root + "/DATA"));
    EXPECT_EQ(plan.program, "wine");
    EXPECT_EQ(plan.arguments, (Words{at("demo/setup.exe"), "/s", winePath(m_root + "/DATA")}));

    plan = qubrix::planLaunch(m_root, "DEMO\\INSTALL.BAT \"a b\"");
    EXPECT_EQ(plan.program, "wine");
    EXPECT_EQ(plan.arguments, (Words{"cmd", "/c", winePath(at("demo/install.bat")), "a b"}));
}

TEST_F(DiscTree, MissingOrMisnamedProgramsAreStartedByPathSoTheStartFails) {
    qubrix::LaunchPlan plan = qubrix::planLaunch(m_root, "SETUP\\SETUP.EXE");
    EXPECT_EQ(plan.kind, LaunchKind::Program);
    EXPECT_EQ(plan.program, at("SETUP/SETUP.EXE"));
    EXPECT_TRUE(plan.arguments.empty());

    // The ".EXE" of a folder name makes a program line; the text file it names is not a
    // program wine could run.
    plan = qubrix::planLaunch(m_root, "TOOLS.EXE\\README.TXT");
    EXPECT_EQ(plan.kind, LaunchKind::Program);
    EXPECT_EQ(plan.program, at("tools.exe/readme.txt"));
}

TEST_F(DiscTree, DocumentsAndNativePrograms) {
    qubrix::LaunchPlan plan = qubrix::planLaunch(m_root, "DOCS\\README.TXT");
    EXPECT_EQ(plan.kind, LaunchKind::Document);
    EXPECT_EQ(plan.line, at("DOCS/README.TXT"));
    EXPECT_EQ(plan.document, at("docs/readme.txt"));

    plan = qubrix::planLaunch(m_root, "docs\\readme.txt more");
    EXPECT_EQ(plan.kind, LaunchKind::Document);
    EXPECT_EQ(plan.document, at("docs/readme.txt more"));

    plan = qubrix::planLaunch(m_root, "TOOLS\\RUN.SH");
    EXPECT_EQ(plan.kind, LaunchKind::Program);
    EXPECT_EQ(plan.program, at("tools/run.sh"));
    EXPECT_TRUE(plan.arguments.empty());

    plan = qubrix::planLaunch(m_root, "Start Here.sh");
    EXPECT_EQ(plan.kind, LaunchKind::Program);
    EXPECT_EQ(plan.program, at("Start Here.sh"));

    plan = qubrix::planLaunch(m_root, "tools\\run.sh \"two words\" <DRIVE>\\docs $(touch x); rm y");
    EXPECT_EQ(plan.kind, LaunchKind::ProgramWithArguments);
    EXPECT_EQ(plan.line, at("tools/run.sh \"two words\" ") + m_root + "/docs $(touch x); rm y");
    EXPECT_EQ(plan.program, at("tools/run.sh"));
    EXPECT_EQ(plan.arguments, (Words{"two words", m_root + "/docs", "$(touch", "x);", "rm", "y"}));
}

TEST_F(DiscTree, PathsLeavingTheMediumAreRefusedButArgumentsAreNotPaths) {
    struct Case {
        const char* storedPath;
        bool leaves;
    };
    for (const Case& c : {
             Case{"..\\..\\..\\..\\bin\\sh -c \"touch x\"", true},
             Case{"..\\..\\..\\..\\bin\\sh", true},
             Case{"DEMO\\..\\..\\SETUP.EXE", true},
             Case{"DEMO\\..\\..\\SETUP.EXE /s", true},
             Case{"..\\OTHER\\README.TXT", true},
             Case{"DOCS\\..\\..\\..\\etc\\passwd", true},
             Case{"DOCS\\..\\DEMO\\SETUP.EXE", false},
             Case{"DEMO\\SETUP.EXE ..\\..\\..\\outside", false},
             Case{"tools\\run.sh ../../../outside", false},
             Case{"DOCS\\README.TXT", false},
         }) {
        EXPECT_EQ(qubrix::planLaunch(m_root, c.storedPath).leavesMedium, c.leaves) << c.storedPath;
    }
}

TEST_F(DiscTree, OnlyFilesThatStartLikeProgramsRunAsNativePrograms) {
    // Media without Unix permissions show every file as executable.
    file("docs/manual.pdf", true, "%PDF-1.4");
    file("docs/notes.txt", true, "");
    file("bin/tool", true,
         "\x7F"
         "ELF\x02\x01\x01");
    struct Case {
        const char* storedPath;
        LaunchKind kind;
    };
    for (const Case& c :
         {Case{"DOCS\\MANUAL.PDF", LaunchKind::Document},
          Case{"docs\\notes.txt", LaunchKind::Document},
          Case{"docs\\manual.pdf --x", LaunchKind::Document},
          Case{"BIN\\TOOL", LaunchKind::Program}, Case{"tools\\run.sh", LaunchKind::Program},
          Case{"bin\\tool --x", LaunchKind::ProgramWithArguments}}) {
        EXPECT_EQ(qubrix::planLaunch(m_root, c.storedPath).kind, c.kind) << c.storedPath;
    }
}

TEST_F(DiscTree, DrivePlaceholderInArgumentsOfAMountPointWithBlanks) {
    const std::string disc = at("My Disc");
    fs::rename(at("tools"), disc);
    fs::create_directories(disc + "/Data Files/Set");
    fs::rename(at("demo"), disc + "/demo");

    // A native program: the placeholder's own path with "/", found case-blindly; the other
    // backslashes of the argument stay.
    qubrix::LaunchPlan plan =
        qubrix::planLaunch(disc, "run.sh \"--in=<DRIVE>\\DATA FILES\\set\" a\\b <drive>");
    EXPECT_EQ(plan.program, disc + "/run.sh");
    EXPECT_EQ(plan.arguments, (Words{"--in=" + disc + "/Data Files/Set", "a\\b", disc}));
    EXPECT_EQ(plan.line,
              disc + "/run.sh \"--in=" + disc + "/Data Files/Set\" a\\b \"" + disc + "\"");
    EXPECT_EQ(qubrix::splitArguments(plan.line.substr(disc.size() + 8)), plan.arguments);

    // Through wine: the placeholder becomes the wine path of the mount point.
    plan = qubrix::planLaunch(disc, "DEMO\\SETUP.EXE /d=<DRIVE>\\data files x\\y");
    EXPECT_EQ(plan.program, "wine");
    EXPECT_EQ(plan.arguments,
              (Words{disc + "/demo/setup.exe", "/d=" + winePath(disc + "/data"), "files", "x\\y"}));
}

} // namespace

// A stored path is read from the disc's folder, as on the finished disc, and else from where
// catalogues kept below the top of a medium wrote their paths from.
TEST_F(DiscTree, StoredPathsAreReadFromTheDiscsFolderFirst) {
    file("CDROOT/TOOLS/ZIP.EXE", false);
    file("CDROOT/README.TXT", false);
    file("README.TXT", false);
    file("A/B/X.EXE", false);
    const qubrix::DiscPlace staged{at("CDROOT"), m_root};
    const qubrix::DiscPlace deep{at("A/B"), m_root};
    const qubrix::DiscPlace top{m_root, m_root};
    struct Case {
        const qubrix::DiscPlace& disc;
        std::string storedPath;
        std::string root;
    };
    for (const Case& c : {
             Case{staged, "tools\\zip.exe /S <DRIVE>\\DATA", at("CDROOT")},
             Case{staged, "README.TXT", at("CDROOT")},
             Case{staged, "CDROOT\\TOOLS\\ZIP.EXE", m_root},
             Case{staged, "MISSING.TXT", at("CDROOT")},
             Case{deep, "B\\X.EXE", at("A")},
             Case{deep, "A\\B\\X.EXE", m_root},
             Case{top, "CDROOT\\README.TXT", m_root},
             Case{top, "..\\README.TXT", m_root},
         }) {
        EXPECT_EQ(qubrix::storedPathRoot(c.disc, c.storedPath), c.root) << c.storedPath;
    }
}
