#include "linux/app/frmmain.h"

#include "linux/app/mainlayout.h"
#include "linux/catalogue/noteviewer.h"
#include "linux/editing/frmnote.h"
#include "linux/ui/face.h"

#include <QFile>
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
    : QMainWindow(parent), m_services(services), m_ports(services),
      m_logic(QFile::encodeName(dataFolder(services.files)).toStdString(),
              QFile::encodeName(driveRootOf(services.files)).toStdString(), m_ports, m_ports,
              m_ports) {
    setObjectName("frmMain");
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    useSilverFace(this);
    useEightPointFont(this);
    m_controls = MainLayout(*this, QFile::decodeName(document().place().discFolder.c_str()));
    setClientHeight(ClientArea::creationHeight);
    m_ports.setLogic(&m_logic);
    m_notes = new NoteViewer(
        m_logic, NoteControls{m_controls.lstDesc, m_controls.NotePad, m_controls.Outline},
        [this] { return clientHeight(); }, this);
    connectCommands();
    m_logic.setView(this);
}

TfrmMain::~TfrmMain() {
    m_logic.setView(nullptr);
}

void TfrmMain::setCategoryNameQuestion(CategoryNameQuestion* question) {
    m_ports.setCategoryNameQuestion(question);
}

void TfrmMain::setNameQuestion(NameQuestion* question) {
    m_ports.setNameQuestion(question);
}

void TfrmMain::setNoteDialog(TfrmNote* dialog) {
    m_ports.setNoteDialog(dialog);
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
