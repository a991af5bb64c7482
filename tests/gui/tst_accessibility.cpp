#include "app/frmmain.h"
#include "guitestbase.h"

#include <QAccessible>
#include <QLabel>
#include <QListWidget>
#include <QTest>

namespace {

QString nameOf(const QWidget* widget) {
    return widget->objectName().isEmpty() ? widget->metaObject()->className()
                                          : widget->objectName();
}

QAccessibleInterface* readerView(QWidget* widget) {
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(widget);
    if (!view)
        qFatal("no accessible interface for %s", qPrintable(nameOf(widget)));
    return view;
}

// The widgets of a shown window that a screen reader reaches but cannot name. A widget must be
// named when it takes the focus (a reader announces each stop of Tab), or when it informs: a
// label with text, or a picture that is not marked as ornament (a shown widget that readers are
// told is not there).
QStringList unnamedWidgets(QWidget* window) {
    QStringList unnamed;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->isWindow())
            continue; // menus and dialogs are checked as windows of their own
        const auto* label = qobject_cast<const QLabel*>(widget);
        const bool focusable = widget->focusPolicy() != Qt::NoFocus;
        const bool informs = label && (!label->text().isEmpty() || !label->pixmap().isNull());
        if (!focusable && !informs)
            continue;
        QAccessibleInterface* view = readerView(widget);
        if (!focusable && widget->isVisible() && view->state().invisible)
            continue;
        if (view->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << nameOf(widget);
    }
    return unnamed;
}

} // namespace

class TestAccessibility : public GuiTestBase {
    Q_OBJECT

private:
    QWidget* windowNamed(const QString& name) {
        AppWindows& all = windows();
        for (QWidget* window : std::initializer_list<QWidget*>{
                 all.frmMain.get(), all.AboutBox.get(), all.frmValidName.get(), all.frmAddCat.get(),
                 all.frmNote.get()})
            if (window->objectName() == name)
                return window;
        qFatal("no window %s", qPrintable(name));
    }

    void writeExample() {
        writeOnDisc("qubrix.dat", exampleFile("qubrix.dat"));
        writeOnDisc("descript.txt", exampleFile("descript.txt"));
    }

private slots:
    void everyControlHasAName_data() {
        QTest::addColumn<QString>("window");
        for (const char* window : {"frmMain", "AboutBox", "frmValidName", "frmAddCat", "frmNote"})
            QTest::newRow(window) << QString(window);
    }

    void everyControlHasAName() {
        QFETCH(QString, window);
        writeExample();
        QVERIFY(createWindows());
        QWidget* shown = windowNamed(window);
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        const QStringList unnamed = unnamedWidgets(shown);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
        if (shown != &mainWindow())
            shown->hide();
    }

    void picturesWithWordsAreNamed_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("spoken");
        // The logo's two halves read as the one name they spell.
        QTest::newRow("logo, first half") << "frmMain"
                                          << "StaticText1"
                                          << "Qubrix 3.1" << true;
        QTest::newRow("logo, second half") << "frmMain"
                                           << "StaticText3"
                                           << "" << false;
        QTest::newRow("strip") << "frmMain"
                               << "Image1"
                               << "" << false;
        QTest::newRow("arrow") << "frmMain"
                               << "Image3"
                               << "" << false;
        QTest::newRow("About logo") << "AboutBox"
                                    << "Image1"
                                    << "Qubrix 3.1" << true;
        QTest::newRow("About arrow") << "AboutBox"
                                     << "Image2"
                                     << "" << false;
        QTest::newRow("file name by label") << "frmMain"
                                            << "txtFilename"
                                            << "File name:" << true;
        QTest::newRow("description by label") << "frmMain"
                                              << "txtDescription"
                                              << "Description:" << true;
        QTest::newRow("picture button by hint") << "frmMain"
                                                << "cmdSort"
                                                << "Sort" << true;
        QTest::newRow("quick editor") << "frmMain"
                                      << "MenuEdit"
                                      << "Quick Editor" << true;
        QTest::newRow("renamed name by label") << "frmValidName"
                                               << "Edit1"
                                               << "Change name to:" << true;
    }

    void picturesWithWordsAreNamed() {
        QFETCH(QString, window);
        QFETCH(QString, widget);
        QFETCH(QString, name);
        QFETCH(bool, spoken);
        QVERIFY(createWindows());
        QWidget* shown = windowNamed(window);
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        auto* found = shown->findChild<QWidget*>(widget);
        QVERIFY(found);
        QAccessibleInterface* view = readerView(found);
        QCOMPARE(view->text(QAccessible::Name), name);
        QCOMPARE(!view->state().invisible, spoken);
        if (shown != &mainWindow())
            shown->hide();
    }

    void aListingsNoteIsItsDescription() {
        writeExample();
        QVERIFY(createWindows());
        auto* lstDesc = control<QListWidget>("lstDesc");
        QAccessibleInterface* list = readerView(lstDesc);
        QCOMPARE(list->childCount(), 2);
        QCOMPARE(list->child(0)->text(QAccessible::Name), lstDesc->item(0)->text());
        QCOMPARE(list->child(0)->text(QAccessible::Description),
                 QString("Installs the demo program into a folder of your choice."));
        QCOMPARE(list->child(1)->text(QAccessible::Description), QString());

        // Another category's rows carry their own notes.
        clickRow(control<QListWidget>("CatBox"), 1);
        QCOMPARE(lstDesc->item(0)->data(Qt::AccessibleDescriptionRole).toString(),
                 QString("A viewer for the data on this disc."));

        // A note typed for a listing being modified follows once the edit is stored.
        clickRow(lstDesc, 0);
        trigger("mnuModify");
        answerNextModal("OK - Accept entry", [](QWidget* modal) {
            auto* note = modal->findChild<QWidget*>("EditNote");
            QTest::keyClick(note, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(note, "shows the files");
        });
        trigger("btnAddNote");
        trigger("cmdOK");
        QTRY_COMPARE(lstDesc->item(0)->data(Qt::AccessibleDescriptionRole).toString(),
                     QString("shows the files"));
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
