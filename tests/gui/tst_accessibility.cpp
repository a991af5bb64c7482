#include "guitestbase.h"
#include "linux/app/frmmain.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

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

    // The logos read as the name they spell: the main window's two halves as one, the About
    // box's picture as the words painted into it.
    void logosReadAsTheNameTheySpell() {
        QVERIFY(createWindows());
        TAboutBox& about = *windows().AboutBox;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        const auto spoken = [](QWidget* widget) {
            QAccessibleInterface* view = readerView(widget);
            return view->state().invisible ? QString("<not there>") : view->text(QAccessible::Name);
        };
        QCOMPARE(spoken(control<QLabel>("StaticText1")), QString("Qubrix 3.1"));
        QCOMPARE(spoken(control<QLabel>("StaticText3")), QString("<not there>"));
        QCOMPARE(spoken(about.findChild<QLabel*>("Image1")), QString("Qubrix 3.1"));
        about.hide();
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

    void shortcutsTriggerTheirCommands_data() {
        QTest::addColumn<QKeyCombination>("key");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("triggered");
        const QKeyCombination save(Qt::ControlModifier, Qt::Key_S);
        const QKeyCombination remove(Qt::Key_Delete);
        QTest::newRow("Ctrl+S") << save << "lstDesc" << false << "mnuSave" << 1;
        QTest::newRow("Ctrl+S in an edit") << save << "txtDescription" << false << "mnuSave" << 1;
        QTest::newRow("Ctrl+S in the menu") << save << "lstDesc" << true << "mnuSave" << 0;
        QTest::newRow("Delete in the listings") << remove << "lstDesc" << false << "mnuDelete" << 1;
        QTest::newRow("Delete in an edit")
            << remove << "txtDescription" << false << "mnuDelete" << 0;
        QTest::newRow("Delete in the categories")
            << remove << "CatBox" << false << "mnuDelete" << 0;
        QTest::newRow("Delete in the menu") << remove << "lstDesc" << true << "mnuDelete" << 0;
        QTest::newRow("F1") << QKeyCombination(Qt::Key_F1) << "CatBox" << true << "Contents1" << 1;
        QTest::newRow("Ctrl+Q") << QKeyCombination(Qt::ControlModifier, Qt::Key_Q) << "MenuEdit"
                                << false << "mnuExit" << 1;
    }

    void shortcutsTriggerTheirCommands() {
        QFETCH(QKeyCombination, key);
        QFETCH(QString, focus);
        QFETCH(bool, readOnly);
        QFETCH(QString, command);
        QFETCH(int, triggered);
        writeExample();
        QVERIFY(createWindows());
        TfrmMain& main = mainWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        if (readOnly)
            trigger("ReadOnly");
        clickRow(control<QListWidget>("lstDesc"), 0);
        auto* focused = main.findChild<QWidget*>(focus);
        focused->setFocus();
        QCOMPARE(QApplication::focusWidget(), focused);
        QSignalSpy fired(main.findChild<QAction*>(command), &QAction::triggered);
        QTest::keyClick(focused, key.key(), key.keyboardModifiers());
        QCOMPARE(fired.size(), triggered);
        if (command == "mnuDelete" && triggered == 1)
            QCOMPARE(dialogs().boxes.size(), 1); // the removal asks first
        if (command == "Contents1")
            QCOMPARE(desktop().helpRequests, 1);
    }

    void noteByKey_data() {
        QTest::addColumn<QKeyCombination>("key");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<int>("beeps");
        QTest::newRow("Return") << QKeyCombination(Qt::Key_Return) << 0 << true << 0;
        QTest::newRow("keypad Enter")
            << QKeyCombination(Qt::KeypadModifier, Qt::Key_Enter) << 0 << true << 0;
        QTest::newRow("F2") << QKeyCombination(Qt::Key_F2) << 0 << true << 0;
        QTest::newRow("no note") << QKeyCombination(Qt::Key_Return) << 1 << false << 1;
        QTest::newRow("Shift+Return")
            << QKeyCombination(Qt::ShiftModifier, Qt::Key_Return) << 0 << false << 0;
    }

    void noteByKey() {
        QFETCH(QKeyCombination, key);
        QFETCH(int, row);
        QFETCH(bool, shown);
        QFETCH(int, beeps);
        writeExample();
        QVERIFY(createWindows());
        QVERIFY(QTest::qWaitForWindowActive(&mainWindow()));
        auto* lstDesc = control<QListWidget>("lstDesc");
        auto* note = control<QTextEdit>("NotePad");
        clickRow(lstDesc, row);
        QTest::keyClick(lstDesc, key.key(), key.keyboardModifiers());
        QCOMPARE(note->isVisible(), shown);
        QCOMPARE(dialogs().beeps, beeps);
        if (!shown)
            return;
        QCOMPARE(note->toPlainText(),
                 QString("Installs the demo program into a folder of your choice."));
        // Beside the row, where a double click on it opens the note.
        const int rowMiddle = lstDesc->visualItemRect(lstDesc->item(row)).center().y();
        QCOMPARE(note->y(), rowMiddle + 78);
        QTest::keyClick(lstDesc, Qt::Key_Escape);
        QVERIFY(!note->isVisible());
        QVERIFY(lstDesc->hasFocus());
    }

    // The listings reached by keys alone, from a category just entered: Down, the first letters
    // of a description, and the Menu key's pop-up, where Enter must not clear the category.
    void listingsByKey_data() {
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("keys"); // "Down", "Menu", "Return" or letters, by blanks
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QString>("current"); // the pop-up's current item, "" for none
        QTest::newRow("first Down") << 0 << "Down" << QList<int>{0} << "";
        QTest::newRow("lone listing by Down") << 1 << "Down" << QList<int>{0} << "";
        QTest::newRow("letters past the blanks") << 0 << "re" << QList<int>{1} << "";
        QTest::newRow("pop-up, nothing selected, Enter twice")
            << 0 << "Menu Return Return" << QList<int>{} << "";
    }

    void listingsByKey() {
        QFETCH(int, category);
        QFETCH(QString, keys);
        QFETCH(QList<int>, selected);
        QFETCH(QString, current);
        writeExample();
        QVERIFY(createWindows());
        QVERIFY(QTest::qWaitForWindowActive(&mainWindow()));
        auto* lstDesc = control<QListWidget>("lstDesc");
        auto* popup = control<QMenu>("EditPopup");
        clickRow(control<QListWidget>("CatBox"), category);
        const int listings = lstDesc->count();
        lstDesc->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), lstDesc);
        for (const QString& key : keys.split(' ')) {
            if (key == "Down") {
                QTest::keyClick(lstDesc, Qt::Key_Down);
            } else if (key == "Menu") {
                QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(10, 10),
                                          lstDesc->mapToGlobal(QPoint(10, 10)));
                QApplication::sendEvent(lstDesc, &menuKey);
                QTRY_VERIFY(popup->isVisible());
            } else if (key == "Return") {
                QTest::keyClick(popup, Qt::Key_Return);
            } else {
                QTest::keyClicks(lstDesc, key);
            }
        }
        QList<int> rows;
        for (const QListWidgetItem* item : lstDesc->selectedItems())
            rows << lstDesc->row(item);
        QCOMPARE(rows, selected);
        const std::vector<int> logicRows(selected.begin(), selected.end());
        QCOMPARE(mainWindow().logic().selectedRows(), logicRows);
        QCOMPARE(popup->activeAction() ? popup->activeAction()->objectName() : QString(), current);
        QCOMPARE(dialogs().boxes.size(), 0);
        QCOMPARE(lstDesc->count(), listings);
        popup->close();
    }

    void tabFollowsTheScreen() {
        writeExample();
        QVERIFY(createWindows());
        TfrmMain& main = mainWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        clickRow(control<QListWidget>("lstDesc"), 0);
        const QStringList order = {
            "ToolInstall", "ToolCopy",    "ToolCopyFolder", "cmdSort",        "cmdCat",
            "cmdSave",     "cmdDelete",   "cmdMenu",        "cmdAdd",         "CatBox",
            "lstDesc",     "cmdInstall",  "cmdCopy",        "MenuEdit",       "MOK",
            "MOC",         "txtFilename", "Browse",         "txtDescription", "btnAddNote",
            "cmdOK",       "cmdCancel",   "btnSave",        "btnClose",       "chkSave",
            "chkValid",    "chkRoot"};
        // The two editor buttons, one pressed at a time, are one stop of Tab; the arrow keys move
        // between them.
        const auto stopOf = [](const QString& name) {
            return name == "cmdMenu" || name == "cmdAdd" ? QString("editor buttons") : name;
        };
        QStringList reachable;
        for (const QString& name : order) {
            const QWidget* widget = main.findChild<QWidget*>(name);
            if (widget->isVisible() && widget->isEnabled() && !reachable.contains(stopOf(name)))
                reachable << stopOf(name);
        }
        QVERIFY2(reachable.size() > 20, qPrintable(reachable.join(' ')));
        main.findChild<QWidget*>(reachable.first())->setFocus();
        QStringList visited = {stopOf(QApplication::focusWidget()->objectName())};
        while (visited.size() < reachable.size()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << stopOf(QApplication::focusWidget()->objectName());
        }
        QCOMPARE(visited, reachable);
        // Back-tab walks the same way back.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(stopOf(QApplication::focusWidget()->objectName()),
                 reachable[reachable.size() - 2]);
        QWidget* hide = main.findChild<QWidget*>("cmdMenu");
        hide->setFocus();
        QTest::keyClick(hide, Qt::Key_Right);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("cmdAdd"));
    }

    void browseLeadsOnToTheDescription_data() {
        QTest::addColumn<QString>("picked");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("boxes");
        QTest::newRow("picked on the disc") << "TOOLS/ZIP.EXE"
                                            << "txtDescription" << 0;
        QTest::newRow("cancelled") << ""
                                   << "Browse" << 0;
        QTest::newRow("outside the disc") << "/etc/hostname"
                                          << "Browse" << 1;
    }

    void browseLeadsOnToTheDescription() {
        QFETCH(QString, picked);
        QFETCH(QString, focus);
        QFETCH(int, boxes);
        writeOnDisc("TOOLS/ZIP.EXE", "MZ");
        QVERIFY(createWindows());
        QVERIFY(QTest::qWaitForWindowActive(&mainWindow()));
        if (!picked.isEmpty())
            dialogs().pickedFiles = {picked.startsWith('/') ? picked : onDisc(picked)};
        trigger("Browse");
        QCOMPARE(dialogs().boxes.size(), boxes);
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    }

    void mainWindowOpensCentred() {
        QVERIFY(createWindows());
        TfrmMain& main = mainWindow();
        const QRect room = main.screen()->availableGeometry();
        const QPoint off = main.frameGeometry().center() - room.center();
        QVERIFY2(off.manhattanLength() <= 2,
                 qPrintable(QString("%1, %2 from the middle").arg(off.x()).arg(off.y())));
        // Cut to the menu and back, it stays where it is.
        const QPoint at = main.pos();
        trigger("cmdMenu");
        trigger("cmdAdd");
        QCOMPARE(main.pos(), at);
    }

    // A control or a label that lies past the client area's edge is out of sight: it must not
    // be shown to readers either, as the window is cut to the menu and back.
    void nothingShownPastTheEdge_data() {
        QTest::addColumn<QStringList>("commands");
        QTest::newRow("editor") << QStringList{};
        QTest::newRow("cut to the menu") << QStringList{"cmdMenu"};
        QTest::newRow("read-only") << QStringList{"ReadOnly"};
        QTest::newRow("and back") << QStringList{"cmdMenu", "cmdAdd"};
    }

    void nothingShownPastTheEdge() {
        QFETCH(QStringList, commands);
        writeExample();
        QVERIFY(createWindows());
        TfrmMain& main = mainWindow();
        for (const QString& command : commands)
            trigger(qPrintable(command));
        const QWidget* client = main.centralWidget();
        QStringList past;
        for (QWidget* widget : client->findChildren<QWidget*>()) {
            const auto* label = qobject_cast<const QLabel*>(widget);
            const bool control = qobject_cast<const QAbstractButton*>(widget) ||
                                 widget->focusPolicy() != Qt::NoFocus ||
                                 (label && !label->text().isEmpty());
            if (!control || !widget->isVisibleTo(&main) || widget->isWindow())
                continue;
            const QRect place(widget->mapTo(client, QPoint()), widget->size());
            if (!client->rect().contains(place))
                past << nameOf(widget);
        }
        QVERIFY2(past.isEmpty(), qPrintable(past.join(", ")));
        QCOMPARE(control<QWidget>("Label1")->isVisibleTo(&main), commands.size() != 1);
    }

    void noPictureCoversAControl_data() {
        QTest::addColumn<QString>("window");
        for (const char* window : {"frmMain", "AboutBox", "frmValidName", "frmNote"})
            QTest::newRow(window) << QString(window);
    }

    // A picture shares no room with a control, unless it is the control's ground: it holds the
    // whole control, which lies over it.
    void noPictureCoversAControl() {
        QFETCH(QString, window);
        writeExample();
        QVERIFY(createWindows());
        QWidget* shown = windowNamed(window);
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        clickRow(control<QListWidget>("lstDesc"), 0); // shows the picture strip's buttons
        const auto placeOf = [shown](const QWidget* widget) {
            return QRect(widget->mapTo(shown, QPoint()), widget->size());
        };
        int pictures = 0;
        for (const QLabel* picture : shown->findChildren<QLabel*>()) {
            if (picture->pixmap().isNull() || !picture->isVisible())
                continue;
            ++pictures;
            for (QWidget* control : shown->findChildren<QWidget*>()) {
                const bool isControl = qobject_cast<QAbstractButton*>(control) ||
                                       control->focusPolicy() != Qt::NoFocus;
                if (!isControl || !control->isVisible() || control->isWindow() ||
                    !placeOf(picture).intersects(placeOf(control)))
                    continue;
                const QPoint middle = control->rect().center();
                const bool ground = placeOf(picture).contains(placeOf(control)) &&
                                    shown->childAt(control->mapTo(shown, middle)) == control;
                QVERIFY2(ground,
                         qPrintable(picture->objectName() + " covers " + control->objectName()));
            }
        }
        QVERIFY(pictures > 0 || window == "frmNote");
        if (shown != &mainWindow())
            shown->hide();
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
