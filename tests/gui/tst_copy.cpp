#include "guitestbase.h"
#include "linux/app/frmmain.h"

#include <QListWidget>
#include <QTest>

namespace {

const QByteArray catalogue = "[Disc]\r\n"
                             "Chess;GAMES\\CHESS\\CHESS.EXE;-1\r\n"
                             "Setup quietly;setup\\setup.exe /s <drive>\\data;-1\r\n"
                             "Read me;README.TXT;-1\r\n"
                             "Escape;..\\..\\etc\\passwd;-1\r\n"
                             "110\r\n";
enum Row { Chess, SetupQuietly, ReadMe, Escape };

using Answer = DialogService::Answer;
using Box = FakeDialogService::Box;
const QString destination = "/home/user/dest";

} // namespace

class TestCopy : public GuiTestBase {
    Q_OBJECT

private:
    std::string disc(const QString& relative = {}) const {
        return (relative.isEmpty() ? discPath() : onDisc(relative)).toStdString();
    }
    void select(int row) { clickRow(control<QListWidget>("lstDesc"), row); }
    void expectPlan(const qubrix::CopyPlan& plan, const std::vector<qubrix::CopySource>& sources,
                    const QString& destinationFolder) {
        QCOMPARE(plan.sources.size(), sources.size());
        for (std::size_t i = 0; i < sources.size(); ++i) {
            QCOMPARE(plan.sources[i].path, sources[i].path);
            QCOMPARE(plan.sources[i].contentsOnly, sources[i].contentsOnly);
        }
        QCOMPARE(QString::fromStdString(plan.destinationFolder), destinationFolder);
    }

private slots:
    void init() {
        GuiTestBase::init();
        writeOnDisc("qubrix.dat", catalogue);
        writeOnDisc("games/chess/chess.exe", "MZ");
        QVERIFY(createWindows());
        QCOMPARE(control<QListWidget>("lstDesc")->count(), 4);
    }

    void fileCopyFromEachControl() {
        dialogs().pickedFolders = {destination, destination, destination};
        select(Chess);
        trigger("cmdCopy");
        trigger("ToolCopy");
        trigger("File1");
        QCOMPARE(copying().plans.size(), 3);
        for (const qubrix::CopyPlan& plan : copying().plans)
            expectPlan(plan, {{disc("GAMES/CHESS/CHESS.EXE"), false}}, destination);
        QCOMPARE(dialogs().folderPickerTitles, QStringList(3, "Qubrix"));
        QCOMPARE(dialogs().beeps, 0);
        QVERIFY(dialogs().boxes.isEmpty());
    }

    void fileCopyOfSeveralListingsCutsArguments() {
        dialogs().pickedFolders = {destination};
        select(ReadMe);
        clickRow(control<QListWidget>("lstDesc"), Chess, Qt::ControlModifier);
        clickRow(control<QListWidget>("lstDesc"), SetupQuietly, Qt::ControlModifier);
        trigger("cmdCopy");
        QCOMPARE(copying().plans.size(), 1);
        expectPlan(copying().plans.first(),
                   {{disc("GAMES/CHESS/CHESS.EXE"), false},
                    {disc("setup/setup.exe"), false},
                    {disc("README.TXT"), false}},
                   destination);
    }

    void folderCopyArrivesUnderTheFolderName() {
        dialogs().pickedFolders = {destination, destination};
        select(Chess);
        trigger("ToolCopyFolder");
        trigger("Folder1");
        QCOMPARE(copying().plans.size(), 2);
        for (const qubrix::CopyPlan& plan : copying().plans)
            expectPlan(plan, {{disc("GAMES/CHESS"), true}}, destination + "/CHESS");
        QCOMPARE(dialogs().beeps, 2);
        QVERIFY(dialogs().boxes.isEmpty());
    }

    void wholeDiscOnlyAfterYes() {
        dialogs().pickedFolders = {destination, destination};
        dialogs().answers = {Answer::Yes, Answer::No};
        select(ReadMe);
        trigger("ToolCopyFolder");
        QCOMPARE(dialogs().beeps, 1); // the folder copy's; the question has none
        QCOMPARE(copying().plans.size(), 1);
        expectPlan(copying().plans.first(), {{disc(), true}}, destination);

        trigger("ToolCopyFolder");
        QCOMPARE(copying().plans.size(), 1);
        QCOMPARE(dialogs().beeps, 3);
        QCOMPARE(dialogs().boxes.size(), 3);
        for (const int question : {0, 1}) {
            const Box& box = dialogs().boxes.at(question);
            QCOMPARE(box.text, QString("This will copy the entire CD, continue?"));
            QCOMPARE(box.caption, QString("Warning"));
            QCOMPARE(box.icon, DialogService::Icon::None);
            QCOMPARE(box.buttons, DialogService::Buttons::YesNo);
        }
        const Box& cancelled = dialogs().boxes.at(2);
        QCOMPARE(cancelled.text, QString("Copy cancelled!"));
        QCOMPARE(cancelled.caption, QString("Copy Folder"));
        QCOMPARE(cancelled.icon, DialogService::Icon::Warning);
        QCOMPARE(cancelled.buttons, DialogService::Buttons::Ok);
    }

    void cancelledPickerEndsSilently() {
        select(Chess);
        trigger("cmdCopy");
        trigger("ToolCopyFolder");
        QCOMPARE(dialogs().folderPickerTitles.size(), 2);
        QVERIFY(copying().plans.isEmpty());
        QVERIFY(dialogs().boxes.isEmpty());
        QCOMPARE(dialogs().beeps, 0);
    }

    void pathLeavingTheDiscIsRefused() {
        dialogs().pickedFolders = {destination};
        select(Escape);
        trigger("cmdCopy");
        QVERIFY(copying().plans.isEmpty());
        QCOMPARE(dialogs().boxes.size(), 1);
        QCOMPARE(
            dialogs().boxes.first().text,
            QString("This path leads outside the medium and is not used:\n..\\..\\etc\\passwd"));
        QCOMPARE(dialogs().boxes.first().caption, QString("Error"));
        QCOMPARE(dialogs().boxes.first().icon, DialogService::Icon::Error);
    }
};

QTEST_MAIN(TestCopy)
#include "tst_copy.moc"
