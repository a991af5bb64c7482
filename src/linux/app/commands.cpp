#include "linux/about/aboutbox.h"
#include "linux/app/frmmain.h"
#include "linux/medium/makediscimagecommand.h"
#include "linux/medium/preparemediumcommand.h"

#include <QAction>
#include <QCheckBox>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>

namespace {

// The keys that activate a menu's current item.
bool activatesMenuItem(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space ||
           key == Qt::Key_Select;
}

bool isEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool hasVisibleItem(const QMenu* menu) {
    const auto actions = menu->actions();
    return std::any_of(actions.begin(), actions.end(),
                       [](const QAction* action) { return action->isVisible(); });
}

// Every control in controls, clicked or triggered, runs command.
template <typename Command>
void onEach(QObject* receiver, std::initializer_list<QObject*> controls, Command command) {
    for (QObject* control : controls) {
        if (auto* action = qobject_cast<QAction*>(control))
            QObject::connect(action, &QAction::triggered, receiver, command);
        else if (auto* button = qobject_cast<QAbstractButton*>(control))
            QObject::connect(button, &QAbstractButton::clicked, receiver, command);
    }
}

} // namespace

void TfrmMain::connectCommands() {
    const MainControls& c = m_controls;
    onEach(this, {c.mnuExit}, [this] { m_logic.mnuExitClick(); });
    onEach(this, {c.Contents1}, [this] { m_logic.Contents1Click(); });
    onEach(this, {c.About1}, [this] {
        if (m_aboutBox)
            m_aboutBox->exec();
    });
    connectLists();
    connectEditing();
    connectCategories();
    connectModes();
    connectActions();
    filterInput();
}

void TfrmMain::connectLists() {
    const MainControls& c = m_controls;
    connect(c.CatBox, &QListWidget::itemSelectionChanged, this,
            [this] { m_logic.CatBoxChange(m_controls.CatBox->currentRow()); });
    connect(c.lstDesc, &QListWidget::itemSelectionChanged, this, [this] {
        std::vector<int> selected;
        for (const QListWidgetItem* item : m_controls.lstDesc->selectedItems())
            selected.push_back(m_controls.lstDesc->row(item));
        std::sort(selected.begin(), selected.end());
        m_logic.lstDescClick(m_controls.lstDesc->currentRow(), std::move(selected));
    });
    connect(c.CatBox, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        showPopup(m_controls.CatBox, m_controls.CatPopup, at, m_logic.commands().editingShown);
    });
    connect(c.lstDesc, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        showPopup(m_controls.lstDesc, m_controls.EditPopup, at,
                  m_logic.commands().editPopupEnabled && hasVisibleItem(m_controls.EditPopup));
    });
}

void TfrmMain::showPopup(QWidget* list, QMenu* menu, const QPoint& at, bool enabled) {
    if (enabled)
        menu->popup(static_cast<QListWidget*>(list)->viewport()->mapToGlobal(at));
}

void TfrmMain::connectEditing() {
    const MainControls& c = m_controls;
    onEach(this, {c.mnuModify, c.mnuMModify}, [this] { m_logic.mnuModifyClick(); });
    onEach(this, {c.mnuDelete, c.mnuMDelete, c.cmdDelete}, [this] { m_logic.mnuDeleteClick(); });
    onEach(this, {c.mnuClear, c.mnuMClear}, [this] { m_logic.clearShownCategory(); });
    onEach(this, {c.Browse}, [this] { m_logic.cmdBrowseClick(); });
    onEach(this, {c.cmdOK, c.MOK}, [this] { m_logic.cmdOkClick(); });
    onEach(this, {c.cmdCancel, c.MOC}, [this] { m_logic.cmdCancelClick(); });
    onEach(this, {c.btnAddNote}, [this] { m_logic.mnuNoteClick(); });
    onEach(this, {c.mnuSave, c.cmdSave, c.btnSave}, [this] { m_logic.mnuSaveClick(); });
    connect(c.txtFilename, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_logic.fileNameEdited(text.toStdString()); });
    connect(c.txtDescription, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_logic.descriptionEdited(text.toStdString()); });
    connect(c.MenuEdit, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_logic.MenuEditChange(text.toStdString()); });
}

void TfrmMain::connectCategories() {
    const MainControls& c = m_controls;
    onEach(this, {c.New1, c.New2, c.cmdCat}, [this] { m_logic.New1Click(); });
    onEach(this, {c.Rename2, c.Rename1}, [this] { m_logic.Rename2Click(); });
    onEach(this, {c.Delete3, c.Delete2}, [this] { m_logic.Delete2Click(); });
    onEach(this, {c.cmdSort}, [this] { m_logic.cmdSortClick(); });
}

void TfrmMain::connectModes() {
    const MainControls& c = m_controls;
    onEach(this, {c.cmdAdd, c.AddFiles1}, [this] { m_logic.cmdAddClick(); });
    onEach(this, {c.cmdMenu, c.btnClose}, [this] { m_logic.cmdMenuClick(); });
    // The action has already inverted its own check mark.
    connect(c.ReadOnly, &QAction::triggered, this,
            [this](bool checked) { m_logic.ReadOnlyClick(checked); });
    for (QCheckBox* box : {c.chkSave, c.chkValid, c.chkRoot})
        connect(box, &QCheckBox::toggled, this, [this, box](bool on) {
            if (box == m_controls.chkSave)
                m_logic.setAutoSave(on);
            else if (box == m_controls.chkValid)
                m_logic.setIsoCheck(on);
            else
                m_logic.setIncludeParent(on);
        });
    connect(c.AutoSave1, &QAction::triggered, this, [this](bool on) { m_logic.setAutoSave(on); });
    connect(c.Filenamecheck1, &QAction::triggered, this,
            [this](bool on) { m_logic.setIsoCheck(on); });
    connect(c.Includeparent1, &QAction::triggered, this,
            [this](bool on) { m_logic.setIncludeParent(on); });
}

void TfrmMain::connectActions() {
    const MainControls& c = m_controls;
    onEach(this, {c.cmdInstall, c.ToolInstall, c.mnuInstall},
           [this] { m_logic.cmdInstallClick(); });
    onEach(this, {c.cmdCopy, c.ToolCopy, c.File1}, [this] { m_logic.cmdCopyClick(); });
    onEach(this, {c.ToolCopyFolder, c.Folder1}, [this] { m_logic.ToolCopyFolderClick(); });
    new PrepareMediumCommand(
        document(), m_services, [this] { return m_logic.saveChangesFirst("Prepare Medium"); },
        c.mnuPrepareMedium, this);
    new MakeDiscImageCommand(
        document(), m_services, [this] { return m_logic.saveChangesFirst("Make Disc Image"); },
        c.mnuMakeImage, this);
}

void TfrmMain::filterInput() {
    for (QLineEdit* edit : {m_controls.txtFilename, m_controls.txtDescription, m_controls.MenuEdit})
        edit->installEventFilter(this);
    m_categoryViewport = m_controls.CatBox->viewport();
    m_categoryViewport->installEventFilter(this);
    m_controls.EditPopup->installEventFilter(this);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    const MainControls& c = m_controls;
    // The viewport was taken at construction: while the window is destroyed, the category list
    // is no longer a list, yet its viewport still sees events.
    if (watched == m_categoryViewport)
        return categoryDropEvent(event) || QMainWindow::eventFilter(watched, event);
    // The pop-up opens with no item current, and Enter would then make its first enabled item
    // current: with nothing selected that is Clear, and a second Enter would clear the category.
    // Only an item the author moved to is activated.
    if (watched == c.EditPopup)
        return event->type() == QEvent::KeyPress && !c.EditPopup->activeAction() &&
               activatesMenuItem(static_cast<QKeyEvent*>(event)->key());
    if (event->type() == QEvent::KeyPress) {
        editKeyPressed(watched, static_cast<QKeyEvent*>(event)->key());
    } else if (event->type() == QEvent::MouseButtonDblClick && watched == c.txtFilename) {
        // After the edit's own handling of the double click, as a click handler would run.
        QMetaObject::invokeMethod(
            this, [this] { m_logic.cmdBrowseClick(); }, Qt::QueuedConnection);
    } else if (event->type() == QEvent::MouseButtonRelease && watched == c.MenuEdit) {
        m_logic.MenuEditClick();
    }
    return QMainWindow::eventFilter(watched, event);
}

// The edits see the key afterwards as well.
void TfrmMain::editKeyPressed(QObject* watched, int key) {
    const MainControls& c = m_controls;
    if (key == Qt::Key_Escape)
        m_logic.cmdCancelClick();
    else if (isEnter(key) && watched == c.txtFilename)
        c.txtDescription->setFocus();
    else if (isEnter(key))
        m_logic.cmdOkClick();
}

bool TfrmMain::categoryDropEvent(QEvent* event) {
    const auto fromListings = [this](const QDropEvent* drop) {
        return drop->source() == m_controls.lstDesc;
    };
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        // Only a drag of listings from the listing list can be dropped on a category.
        drag->setAccepted(fromListings(drag));
        if (drag->isAccepted())
            drag->setDropAction(Qt::CopyAction);
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!fromListings(drop))
            return true;
        // A copy as far as the drag knows: the listing list must not take rows away itself.
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        m_logic.moveListing(m_controls.lstDesc->currentRow(),
                            m_controls.CatBox->indexAt(drop->position().toPoint()).row());
        return true;
    }
    case QEvent::DragLeave:
        return true;
    default:
        return false;
    }
}
