#include "guitestbase.h"
#include "linux/app/frmmain.h"

#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <QTimer>

namespace {

const QByteArray threeCategories = "[Main]\r\n"
                                   "Install;SETUP.EXE;0\r\n"
                                   "Read me;README.TXT;-1\r\n"
                                   "[Tools]\r\n"
                                   "Viewer;VIEW.EXE;1\r\n"
                                   "[Games]\r\n"
                                   "Chess;CHESS.EXE;-1\r\n"
                                   "110\r\n";

// Counts the drops that reach a widget.
class DropWatch final : public QObject {
public:
    int drops = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        drops += event->type() == QEvent::Drop;
        return false;
    }
};

} // namespace

// Drags listings with the mouse through Qt's own drag and drop: a press and moves on the
// listing list start the drag, and the drop lands wherever the release happens.
class TestCategoryDrag : public GuiTestBase {
    Q_OBJECT

private:
    TfrmMain& window() { return mainWindow(); }
    QPoint inWindow(QWidget* widget, QPoint at) { return widget->mapTo(&window(), at); }
    QPoint listingRow(int row) {
        return control<QListWidget>("lstDesc")
            ->visualItemRect(control<QListWidget>("lstDesc")->item(row))
            .center();
    }
    QPoint categoryRow(int row) {
        return control<QListWidget>("CatBox")
            ->visualItemRect(control<QListWidget>("CatBox")->item(row))
            .center();
    }
    // Presses on a listing, moves until the drag starts and releases at `drop`, a point of
    // the category list. The release comes while the drag runs its own event loop. True when
    // the drop reached the category list.
    bool drag(int row, QPoint drop) {
        DropWatch watch;
        control<QListWidget>("CatBox")->viewport()->installEventFilter(&watch);
        QWindow* handle = window().windowHandle();
        QWidget* listings = control<QListWidget>("lstDesc")->viewport();
        const QPoint from = inWindow(listings, listingRow(row));
        const QPoint to = inWindow(control<QListWidget>("CatBox")->viewport(), drop);
        bool dropped = false;
        QTimer::singleShot(50, this, [&] {
            QTest::mouseMove(handle, to);
            QTest::mouseMove(handle, to + QPoint(1, 0));
            QTest::mouseRelease(handle, Qt::LeftButton, {}, to + QPoint(1, 0));
            dropped = true;
        });
        QTest::mousePress(handle, Qt::LeftButton, {}, from);
        const int step = QApplication::startDragDistance() + 2;
        QTest::mouseMove(handle, from + QPoint(0, 1));
        QTest::mouseMove(handle, from + QPoint(step, 1));
        return QTest::qWaitFor([&] { return dropped; }) && watch.drops == 1;
    }

private slots:
    void init() {
        GuiTestBase::init();
        writeOnDisc("qubrix.dat", threeCategories);
        QVERIFY(createWindows());
    }

    void droppedListingBecomesTheFirstOfTheCategory() {
        QVERIFY(!window().document().isChanged());
        QVERIFY(drag(1, categoryRow(2)));
        QCOMPARE(control<QListWidget>("CatBox")->currentRow(), 0);
        QCOMPARE(rowsOf(control<QListWidget>("lstDesc")), QStringList{"  Install"});
        QCOMPARE(window().document().model().lstAll(),
                 (std::vector<std::string>{"[Main]", "Install;SETUP.EXE;0", "[Tools]",
                                           "Viewer;VIEW.EXE;1", "[Games]", "Read me;README.TXT;-1",
                                           "Chess;CHESS.EXE;-1"}));
        QVERIFY(window().document().isChanged());

        // And back again: the listing is the first of Main now, its note with it.
        clickRow(control<QListWidget>("CatBox"), 1);
        QVERIFY(drag(0, categoryRow(0)));
        QCOMPARE(control<QListWidget>("lstDesc")->count(), 0);
        clickRow(control<QListWidget>("CatBox"), 0);
        QCOMPARE(rowsOf(control<QListWidget>("lstDesc")), (QStringList{"  Viewer", "  Install"}));
        QCOMPARE(window().document().model().noteIndex(), (std::vector<int>{1, 0}));
    }

    void dropBelowTheLastCategoryDoesNothing() {
        const QRect last =
            control<QListWidget>("CatBox")->visualItemRect(control<QListWidget>("CatBox")->item(2));
        QVERIFY(last.bottom() + 10 < control<QListWidget>("CatBox")->viewport()->height());
        QVERIFY(drag(0, QPoint(last.center().x(), last.bottom() + 10)));
        QCOMPARE(rowsOf(control<QListWidget>("lstDesc")), (QStringList{"  Install", "  Read me"}));
        QCOMPARE(window().document().model().lstAll().size(), std::size_t(7));
        QVERIFY(!window().document().isChanged());
    }
};

// The offscreen platform ends every drag at once without a drop; the minimal platform runs
// Qt's own drag loop on the mouse events the test sends.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "minimal");
    QApplication app(argc, argv);
    TestCategoryDrag test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_categorydrag.moc"
