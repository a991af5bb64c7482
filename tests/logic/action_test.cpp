#include "logicfixture.h"

namespace qubrix::test {
namespace {

// A program in a folder, a document in the disc's root and a path that climbs out of the disc.
const std::string threeListings = "[Main]\r\nViewer;TOOLS\\VIEW.EXE\r\nRead me;README.TXT\r\n"
                                  "Outside;..\\..\\ETC\\X.TXT\r\n110\r\n";

LaunchPlan launchPlan(LaunchKind kind, const std::string& line, bool leavesMedium = false) {
    LaunchPlan plan;
    plan.kind = kind;
    plan.line = line;
    (kind == LaunchKind::Document ? plan.document : plan.program) = line;
    plan.leavesMedium = leavesMedium;
    return plan;
}

LaunchPlan linuxOnlyPlan(const std::string& line) {
    LaunchPlan plan;
    plan.line = line;
    plan.linuxOnly = true;
    return plan;
}

// What Run asks, opens or starts, in order, for each answer and each outcome of the start.
TEST_F(LogicTest, RunAsksThenOpensOrStarts) {
    const std::string confirm = "ask Warning YesNo Confirm installation: ";
    struct Row {
        const char* what;
        int selected; // -1: nothing
        LaunchPlan plan;
        std::optional<UserPort::Answer> answer;
        bool startSucceeds;
        bool runAgainWhileRunning;
        std::vector<std::string> exchanges;
        bool contents = false; // Contents instead of Run
    };
    const Row rows[] = {
        {"document, Yes",
         1,
         launchPlan(LaunchKind::Document, "/README.TXT"),
         UserPort::Answer::Yes,
         true,
         false,
         {"sound", "planLaunch README.TXT", "beep", confirm + "/README.TXT", "open /README.TXT"}},
        {"program, Yes",
         0,
         launchPlan(LaunchKind::Program, "/TOOLS/VIEW.EXE"),
         UserPort::Answer::Yes,
         true,
         false,
         {"sound", "planLaunch TOOLS\\VIEW.EXE", "beep", confirm + "/TOOLS/VIEW.EXE",
          "run /TOOLS/VIEW.EXE", "programStarted", "programEnded"}},
        {"program that does not start",
         0,
         launchPlan(LaunchKind::Program, "/TOOLS/VIEW.EXE"),
         UserPort::Answer::Yes,
         false,
         false,
         {"sound", "planLaunch TOOLS\\VIEW.EXE", "beep", confirm + "/TOOLS/VIEW.EXE",
          "run /TOOLS/VIEW.EXE", "beep", "ask Error Ok Error: Error loading file!"}},
        {"path leaving the medium",
         2,
         launchPlan(LaunchKind::Document, "/../ETC/X.TXT", true),
         std::nullopt,
         true,
         false,
         {"sound", "planLaunch ..\\..\\ETC\\X.TXT", "beep",
          "ask Error Ok Error: This path leads outside the medium and is not "
          "used:\n/../ETC/X.TXT"}},
        {"shell script on Windows",
         1,
         linuxOnlyPlan("E:\\README.SH"),
         std::nullopt,
         true,
         false,
         {"sound", "planLaunch README.TXT", "beep",
          "ask Error Ok Error: This listing runs on Linux only:\nE:\\README.SH"}},
        {"program, No",
         0,
         launchPlan(LaunchKind::Program, "/TOOLS/VIEW.EXE"),
         UserPort::Answer::No,
         true,
         false,
         {"sound", "planLaunch TOOLS\\VIEW.EXE", "beep", confirm + "/TOOLS/VIEW.EXE"}},
        {"second Run while the program runs",
         0,
         launchPlan(LaunchKind::Program, "/TOOLS/VIEW.EXE"),
         UserPort::Answer::Yes,
         true,
         true,
         {"sound", "planLaunch TOOLS\\VIEW.EXE", "beep", confirm + "/TOOLS/VIEW.EXE",
          "run /TOOLS/VIEW.EXE", "programStarted", "sound", "programEnded"}},
        {"document nothing opens",
         1,
         launchPlan(LaunchKind::Document, "/README.TXT"),
         UserPort::Answer::Yes,
         false,
         false,
         {"sound", "planLaunch README.TXT", "beep", confirm + "/README.TXT", "open /README.TXT",
          "beep",
          "ask Error Ok Error: Cannot open /README.TXT.\nThere is no program on this computer "
          "that opens this kind of file."}},
        {"help page nothing shows",
         -1,
         {},
         std::nullopt,
         false,
         false,
         {"help", "beep",
          "ask Error Ok Contents: Cannot open the help page.\nThere is no web browser on this "
          "computer that shows it."},
         true},
        {"nothing selected",
         -1,
         launchPlan(LaunchKind::Program, "/TOOLS/VIEW.EXE"),
         std::nullopt,
         true,
         false,
         {"sound"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        writeCatalogue(threeListings);
        start();
        if (row.selected >= 0)
            selectRow(row.selected);
        else
            logic->lstDescClick(-1, {});
        ports.plan = row.plan;
        ports.startsSucceed = row.startSucceeds;
        ports.answers.clear();
        if (row.answer)
            ports.answers.push_back(*row.answer);
        bool runningMeanwhile = false;
        ports.whileRunning = nullptr;
        if (row.runAgainWhileRunning)
            ports.whileRunning = [&] {
                runningMeanwhile = logic->programRunning();
                logic->cmdInstallClick();
            };
        ports.log.clear();
        row.contents ? logic->Contents1Click() : logic->cmdInstallClick();
        EXPECT_EQ(ports.exchanges(), row.exchanges);
        EXPECT_EQ(runningMeanwhile, row.runAgainWhileRunning);
        // Once the program has ended, or did not start, Run starts again.
        EXPECT_FALSE(logic->programRunning());
    }
}

// What Copy and Copy Folder ask and what they hand to the copy.
TEST_F(LogicTest, CopyPicksAFolderAndAsksBeforeTheWholeDisc) {
    const std::string wholeDisc = "ask None YesNo Warning: This will copy the entire CD, continue?";
    struct Row {
        const char* what;
        std::vector<int> selected;
        bool folderMode;
        std::optional<std::string> picked;
        std::optional<UserPort::Answer> answer;
        std::vector<std::string> exchanges;
        std::vector<std::string> copiedPaths; // empty: nothing copied
    };
    const Row rows[] = {
        {"files of two listings",
         {0, 1},
         false,
         "/dest",
         std::nullopt,
         {"pickFolder Qubrix", "copy to /dest"},
         {"/media/cd/TOOLS/VIEW.EXE", "/media/cd/README.TXT"}},
        {"folder of a listing in a folder",
         {0},
         true,
         "/dest",
         std::nullopt,
         {"pickFolder Qubrix", "beep", "copy to /dest"},
         {"/media/cd/TOOLS"}},
        {"folder of a root listing, Yes",
         {1},
         true,
         "/dest",
         UserPort::Answer::Yes,
         {"pickFolder Qubrix", "beep", wholeDisc, "copy to /dest"},
         {"/media/cd"}},
        {"folder of a root listing, No",
         {1},
         true,
         "/dest",
         UserPort::Answer::No,
         {"pickFolder Qubrix", "beep", wholeDisc, "beep",
          "ask Warning Ok Copy Folder: Copy cancelled!"},
         {}},
        {"picker cancelled", {0}, false, std::nullopt, std::nullopt, {"pickFolder Qubrix"}, {}},
        {"path leaving the medium",
         {2},
         false,
         "/dest",
         std::nullopt,
         {"pickFolder Qubrix", "beep",
          "ask Error Ok Error: This path leads outside the medium and is not used:\n"
          "..\\..\\ETC\\X.TXT"},
         {}},
        {"nothing selected", {}, false, "/dest", std::nullopt, {}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        writeCatalogue(threeListings);
        // Where the listings' paths start: the copy's sources lie below it.
        ports.mountPoint = "/media/cd";
        start();
        logic->lstDescClick(row.selected.empty() ? -1 : row.selected.front(), row.selected);
        ports.pickedFolders = {row.picked};
        ports.answers.clear();
        if (row.answer)
            ports.answers.push_back(*row.answer);
        ports.copies.clear();
        ports.log.clear();
        if (row.folderMode)
            logic->ToolCopyFolderClick();
        else
            logic->cmdCopyClick();
        EXPECT_EQ(ports.exchanges(), row.exchanges);
        std::vector<std::string> copied;
        for (const CopyPlan& plan : ports.copies)
            for (const CopySource& source : plan.sources)
                copied.push_back(source.path);
        EXPECT_EQ(copied, row.copiedPaths);
    }
}

} // namespace
} // namespace qubrix::test
