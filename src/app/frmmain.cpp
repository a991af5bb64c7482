#include "app/frmmain.h"
#include "actions/copycommands.h"
#include "actions/runinstall.h"
#include "app/modesandoptions.h"
#include "catalogue/cataloguebrowser.h"
#include "catalogue/cataloguestore.h"
#include "catalogue/noteviewer.h"
#include "editing/listingeditor.h"
#include "ui/face.h"
#include "ui/product.h"

#include <QCheckBox>
#include <QFile>
#include <QMenuBar>
#include <QPalette>

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

    auto* client = new QWidget(this);
    client->setObjectName("clientArea");
    client->setAutoFillBackground(true);
    setCentralWidget(client);
    buildTopBand(client);
    buildPictureStrip(client);
    buildListBand(client);
    buildEditingBand(client);
    buildNotePopup(client);
    buildMenus();
    connectCommands();
    setClientHeight(creationHeight);
    showDriveRoot();
    createControllers();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::createControllers() {
    m_modes = new ModesAndOptions(
        m_document, m_services,
        ModeControls{.txtFilename = txtFilename,
                     .MenuEdit = MenuEdit,
                     .cmdAdd = cmdAdd,
                     .cmdMenu = cmdMenu,
                     .btnClose = btnClose,
                     .cmdCat = cmdCat,
                     .Splitter1 = Splitter1,
                     .cmdSave = cmdSave,
                     .cmdDelete = cmdDelete,
                     .Splitter2 = Splitter2,
                     .AddFiles1 = AddFiles1,
                     .mnuSave = mnuSave,
                     .mnuNewCat = mnuNewCat,
                     .Options = Options,
                     .mnuEdit = mnuEdit,
                     .N1 = N1,
                     .N7 = N7,
                     .mnuDelete = mnuDelete,
                     .mnuModify = mnuModify,
                     .N2 = N2,
                     .mnuClear = mnuClear,
                     .ReadOnly = ReadOnly,
                     .chkSave = chkSave,
                     .chkValid = chkValid,
                     .chkRoot = chkRoot,
                     .AutoSave1 = AutoSave1,
                     .Filenamecheck1 = Filenamecheck1,
                     .Includeparent1 = Includeparent1},
        [this](bool editor) { setClientHeight(editor ? editorHeight : menuHeight); }, this);
    m_store = new CatalogueStore(
        m_document, m_services, SaveControls{cmdSave, btnSave, mnuSave},
        [this] { return m_modes->checkBoxOptions(); },
        [this](int number) { m_modes->setOptionsFromNumber(number); }, this);
    m_notes = new NoteViewer(
        m_document, m_services, NoteControls{lstDesc, NotePad, Outline},
        [this] { return clientHeight(); }, this);
    m_browser = new CatalogueBrowser(
        m_document,
        BrowsingControls{.CatBox = CatBox,
                         .lstDesc = lstDesc,
                         .CatPopup = CatPopup,
                         .EditPopup = EditPopup,
                         .MenuEdit = MenuEdit,
                         .cmdCopy = cmdCopy,
                         .cmdInstall = cmdInstall,
                         .ToolCopy = ToolCopy,
                         .ToolCopyFolder = ToolCopyFolder,
                         .ToolInstall = ToolInstall,
                         .cmdDelete = cmdDelete,
                         .Folder1 = Folder1,
                         .mnuCopy = mnuCopy,
                         .mnuEdit = mnuEdit,
                         .mnuInstall = mnuInstall,
                         .mnuDelete = mnuDelete,
                         .mnuModify = mnuModify,
                         .mnuMDelete = mnuMDelete,
                         .mnuMModify = mnuMModify},
        *m_notes, [this] { return m_modes->catPopupEnabled(); },
        [this](std::size_t selected) {
            if (m_editor)
                m_editor->selectionChanged(selected);
        },
        this);
    m_editor = new ListingEditor(
        m_document, m_services,
        ListingEditorControls{.CatBox = CatBox,
                              .lstDesc = lstDesc,
                              .txtFilename = txtFilename,
                              .txtDescription = txtDescription,
                              .MenuEdit = MenuEdit,
                              .Browse = Browse,
                              .btnAddNote = btnAddNote,
                              .cmdOK = cmdOK,
                              .cmdCancel = cmdCancel,
                              .MOK = MOK,
                              .MOC = MOC,
                              .cmdDelete = cmdDelete,
                              .cmdSort = cmdSort,
                              .cmdCat = cmdCat,
                              .mnuNewCat = mnuNewCat,
                              .mnuEdit = mnuEdit,
                              .ReadOnly = ReadOnly,
                              .mnuModify = mnuModify,
                              .mnuMModify = mnuMModify,
                              .mnuDelete = mnuDelete,
                              .mnuMDelete = mnuMDelete,
                              .mnuClear = mnuClear,
                              .mnuMClear = mnuMClear},
        *m_browser, *m_store,
        EditingBand{[this] { return m_modes->editorShown(); },
                    [this](bool open) { setClientHeight(open ? editorHeight : menuHeight); }},
        this);
    m_categories = std::make_unique<CategoryCommands>(
        m_document, m_services,
        CategoryControls{CatBox, lstDesc, New1, New2, cmdCat, Rename2, Rename1, Delete3, Delete2,
                         cmdSort},
        *m_browser, [this] { return m_editor->clearShownCategory(); });
    // Children of the window, so that they live as long as their controls.
    new RunInstall(m_document, m_services,
                   RunInstallControls{this, lstDesc, cmdInstall, ToolInstall, mnuInstall},
                   m_document.driveRoot(), this);
    new CopyCommands(m_document, m_services,
                     CopyControls{lstDesc, cmdCopy, ToolCopy, File1, ToolCopyFolder, Folder1},
                     m_document.driveRoot(), this);
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

void TfrmMain::setClientHeight(int height) {
    m_clientHeight = height;
    setFixedSize(clientWidth, menuBar()->sizeHint().height() + height);
    if (m_editingBand)
        m_editingBand->setVisible(height > menuHeight);
}

DialogService::Answer TfrmMain::ask(const QString& text, const QString& caption,
                                    DialogService::Icon icon, DialogService::Buttons buttons) {
    return m_services.dialogs.beepAndAsk(text, caption, icon, buttons);
}

