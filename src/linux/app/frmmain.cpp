#include "linux/app/frmmain.h"

#include "linux/about/aboutbox.h"
#include "linux/actions/copycommands.h"
#include "linux/actions/runinstall.h"
#include "linux/app/mainlayout.h"
#include "linux/app/modesandoptions.h"
#include "linux/catalogue/cataloguebrowser.h"
#include "linux/catalogue/cataloguestore.h"
#include "linux/catalogue/noteviewer.h"
#include "linux/editing/categorycommands.h"
#include "linux/editing/listingeditor.h"
#include "linux/medium/makediscimagecommand.h"
#include "linux/medium/preparemediumcommand.h"
#include "linux/ui/face.h"

#include <QAction>
#include <QMenuBar>
#include <QScreen>

QString TfrmMain::dataFolder(FileService& files) {
    const QString directory = files.currentDirectory();
    return directory.endsWith('/') ? directory : directory + '/';
}

QString TfrmMain::driveRootOf(FileService& files) {
    const QString mountPoint = files.mountPointOf(files.currentDirectory());
    return mountPoint == "/" ? QString() : mountPoint;
}

TfrmMain::TfrmMain(Services services, QWidget* parent)
    : QMainWindow(parent), m_services(services),
      m_document(dataFolder(services.files), driveRootOf(services.files)) {
    setObjectName("frmMain");
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    useSilverFace(this);
    useEightPointFont(this);
    m_controls = MainLayout(*this, QString::fromStdString(m_document.place().discFolder));
    setClientHeight(ClientArea::creationHeight);
    connectCommands();
    createControllers();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::connectCommands() {
    connect(m_controls.mnuExit, &QAction::triggered, this, &TfrmMain::mnuExitClick);
    connect(m_controls.Contents1, &QAction::triggered, this,
            [this] { m_services.desktop.openHelp(); });
    connect(m_controls.About1, &QAction::triggered, this, [this] {
        if (m_aboutBox)
            m_aboutBox->exec();
    });
}

void TfrmMain::createControllers() {
    createCatalogueControllers();
    createEditingControllers();
    createActionControllers();
}

// The controllers are children of the window, so that they live as long as their controls.
void TfrmMain::createCatalogueControllers() {
    const MainControls& c = m_controls;
    m_modes = new ModesAndOptions(
        m_document, m_services,
        ModeControls{.txtFilename = c.txtFilename,
                     .MenuEdit = c.MenuEdit,
                     .cmdAdd = c.cmdAdd,
                     .cmdMenu = c.cmdMenu,
                     .btnClose = c.btnClose,
                     .cmdCat = c.cmdCat,
                     .Splitter1 = c.Splitter1,
                     .cmdSave = c.cmdSave,
                     .cmdDelete = c.cmdDelete,
                     .Splitter2 = c.Splitter2,
                     .AddFiles1 = c.AddFiles1,
                     .mnuPrepareMedium = c.mnuPrepareMedium,
                     .mnuMakeImage = c.mnuMakeImage,
                     .mnuSave = c.mnuSave,
                     .mnuNewCat = c.mnuNewCat,
                     .Options = c.Options,
                     .mnuEdit = c.mnuEdit,
                     .N1 = c.N1,
                     .N7 = c.N7,
                     .mnuDelete = c.mnuDelete,
                     .mnuModify = c.mnuModify,
                     .N2 = c.N2,
                     .mnuClear = c.mnuClear,
                     .ReadOnly = c.ReadOnly,
                     .chkSave = c.chkSave,
                     .chkValid = c.chkValid,
                     .chkRoot = c.chkRoot,
                     .AutoSave1 = c.AutoSave1,
                     .Filenamecheck1 = c.Filenamecheck1,
                     .Includeparent1 = c.Includeparent1},
        [this](bool editor) { showEditingBand(editor); }, this);
    m_store = new CatalogueStore(
        m_document, m_services, SaveControls{c.cmdSave, c.btnSave, c.mnuSave},
        [this] { return m_modes->checkBoxOptions(); },
        [this](int number) { m_modes->setOptionsFromNumber(number); }, this);
    auto* notes = new NoteViewer(
        m_document, m_services, NoteControls{c.lstDesc, c.NotePad, c.Outline},
        [this] { return clientHeight(); }, this);
    m_browser = new CatalogueBrowser(
        m_document,
        BrowsingControls{.CatBox = c.CatBox,
                         .lstDesc = c.lstDesc,
                         .CatPopup = c.CatPopup,
                         .EditPopup = c.EditPopup,
                         .MenuEdit = c.MenuEdit,
                         .cmdCopy = c.cmdCopy,
                         .cmdInstall = c.cmdInstall,
                         .ToolCopy = c.ToolCopy,
                         .ToolCopyFolder = c.ToolCopyFolder,
                         .ToolInstall = c.ToolInstall,
                         .cmdDelete = c.cmdDelete,
                         .Folder1 = c.Folder1,
                         .mnuCopy = c.mnuCopy,
                         .mnuEdit = c.mnuEdit,
                         .mnuInstall = c.mnuInstall,
                         .mnuDelete = c.mnuDelete,
                         .mnuModify = c.mnuModify,
                         .mnuMDelete = c.mnuMDelete,
                         .mnuMModify = c.mnuMModify},
        *notes, [this] { return m_modes->catPopupEnabled(); },
        [this](std::size_t selected) {
            if (m_editor)
                m_editor->selectionChanged(selected);
        },
        this);
}

void TfrmMain::createEditingControllers() {
    const MainControls& c = m_controls;
    m_editor = new ListingEditor(m_document, m_services,
                                 ListingEditorControls{.CatBox = c.CatBox,
                                                       .lstDesc = c.lstDesc,
                                                       .txtFilename = c.txtFilename,
                                                       .txtDescription = c.txtDescription,
                                                       .MenuEdit = c.MenuEdit,
                                                       .Browse = c.Browse,
                                                       .btnAddNote = c.btnAddNote,
                                                       .cmdOK = c.cmdOK,
                                                       .cmdCancel = c.cmdCancel,
                                                       .MOK = c.MOK,
                                                       .MOC = c.MOC,
                                                       .cmdDelete = c.cmdDelete,
                                                       .cmdSort = c.cmdSort,
                                                       .cmdCat = c.cmdCat,
                                                       .mnuNewCat = c.mnuNewCat,
                                                       .mnuEdit = c.mnuEdit,
                                                       .ReadOnly = c.ReadOnly,
                                                       .mnuModify = c.mnuModify,
                                                       .mnuMModify = c.mnuMModify,
                                                       .mnuDelete = c.mnuDelete,
                                                       .mnuMDelete = c.mnuMDelete,
                                                       .mnuClear = c.mnuClear,
                                                       .mnuMClear = c.mnuMClear},
                                 *m_browser, *m_store,
                                 EditingBand{[this] { return m_modes->editorShown(); },
                                             [this](bool open) {
                                                 setClientHeight(open ? ClientArea::editorHeight
                                                                      : ClientArea::menuHeight);
                                             }},
                                 this);
    m_categories = new CategoryCommands(
        m_document, m_services,
        CategoryControls{c.CatBox, c.lstDesc, c.New1, c.New2, c.cmdCat, c.Rename2, c.Rename1,
                         c.Delete3, c.Delete2, c.cmdSort},
        *m_browser, [this] { return m_editor->clearShownCategory(); }, this);
}

void TfrmMain::createActionControllers() {
    const MainControls& c = m_controls;
    new RunInstall(m_document, m_services,
                   RunInstallControls{this, c.lstDesc, c.cmdInstall, c.ToolInstall, c.mnuInstall},
                   this);
    new CopyCommands(
        m_document, m_services,
        CopyControls{c.lstDesc, c.cmdCopy, c.ToolCopy, c.File1, c.ToolCopyFolder, c.Folder1}, this);
    new PrepareMediumCommand(
        m_document, m_services, [this] { return m_store->saveChangesFirst("Prepare Medium"); },
        c.mnuPrepareMedium, this);
    new MakeDiscImageCommand(
        m_document, m_services, [this] { return m_store->saveChangesFirst("Make Disc Image"); },
        c.mnuMakeImage, this);
}

void TfrmMain::setCategoryNameQuestion(CategoryNameQuestion* question) {
    m_categories->setNameQuestion(question);
}

void TfrmMain::setNameQuestion(NameQuestion* question) {
    m_editor->setNameQuestion(question);
}

void TfrmMain::setNoteDialog(TfrmNote* dialog) {
    m_editor->setNoteDialog(dialog);
}

NoteEntry& TfrmMain::noteEntry() {
    return *m_editor;
}

void TfrmMain::showEditingBand(bool shown) {
    setClientHeight(shown ? ClientArea::editorHeight : ClientArea::menuHeight);
}

void TfrmMain::setClientHeight(int height) {
    m_clientHeight = height;
    setFixedSize(ClientArea::width, menuBar()->sizeHint().height() + height);
    for (QWidget* control : m_controls.belowMenu)
        control->setVisible(height > ClientArea::menuHeight);
}

void TfrmMain::showEvent(QShowEvent* event) {
    // The window opens in the middle of its screen; afterwards it stays where the user puts it,
    // also when the editing band opens or closes.
    if (!m_placed) {
        m_placed = true;
        if (const QScreen* where = screen()) {
            QRect placed = frameGeometry();
            placed.moveCenter(where->availableGeometry().center());
            move(placed.topLeft());
        }
    }
    QMainWindow::showEvent(event);
}
