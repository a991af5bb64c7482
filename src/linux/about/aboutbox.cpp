#include "linux/about/aboutbox.h"

#include "core/version/exever.h"
#include "core/window/product.h"
#include "linux/ui/face.h"
#include "linux/ui/pictures.h"
#include "linux/ui/placement.h"
#include "linux/ui/readers.h"
#include "linux/ui/toolglyphs.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

TAboutBox::TAboutBox(Services services, QWidget* parent) : QDialog(parent), m_services(services) {
    setObjectName("AboutBox");
    buildLayout();
    setWindowTitle(productName);
}

// The box is created at start-up but seldom opened: the version record is read and the
// pictures are painted when it is first shown, so start-up does neither. Done once: opening
// the box again shows the same text.
void TAboutBox::showEvent(QShowEvent* event) {
    if (!m_filled) {
        m_filled = true;
        Version->setText(QString::fromStdString(qubrix::TExeVersion::GetFileVersion()));
        Image1->setPixmap(logoPicture());
        Image2->setPixmap(arrowPicture());
    }
    QDialog::showEvent(event);
}

QUrl TAboutBox::makerHomePage() {
    return QUrl(QString::fromUtf8(QUBRIX_HOME_PAGE));
}

void TAboutBox::buildLayout() {
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(298, 192);
    useSilverFace(this);
    setAutoFillBackground(true);

    // An etched frame: lowered outside, raised inside.
    Panel1 = place<QFrame>(this, "Panel1", 8, 8, 281, 145);
    Panel1->setFrameStyle(QFrame::Box | QFrame::Sunken);

    Version = place<QLabel>(Panel1, "Version", 184, 24, 89, 13);
    Version->setAlignment(Qt::AlignCenter);

    Copyright = place<QLabel>(Panel1, "Copyright", 40, 120, 196, 13);
    Copyright->setText(QString::fromUtf8(copyrightLabel));
    Copyright->setAlignment(Qt::AlignCenter);

    Image1 = place<QLabel>(Panel1, "Image1", 16, 16, 150, 72);
    // The product's name and version are painted into the logo and written nowhere else.
    Image1->setAccessibleName(QString("%1 %2").arg(productName, productVersion));

    cmdUpdate = place<QPushButton>(Panel1, "cmdUpdate", 184, 64, 73, 25);
    cmdUpdate->setText(tr("&Update"));
    cmdUpdate->setToolTip(tr("Check for updates on Internet"));
    cmdUpdate->setFlat(true);
    cmdUpdate->setAutoDefault(false);
    connect(cmdUpdate, &QPushButton::clicked, this, &TAboutBox::cmdUpdateClick);

    // The arrow points up at the button from the free corner beneath it, at its proportions
    // (61 x 80), leaving the button and the copyright line whole.
    Image2 = place<QLabel>(Panel1, "Image2", 240, 92, 38, 50);
    Image2->setScaledContents(true);
    showOnlyToSight(Image2);

    OKButton = place<QPushButton>(this, "OKButton", 112, 160, 65, 25);
    OKButton->setText(tr("&OK"));
    OKButton->setToolTip(tr("Close"));
    OKButton->setIcon(toolIcon(ToolGlyph::Accept));
    OKButton->setFlat(true);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);
}

void TAboutBox::cmdUpdateClick() {
    m_services.dialogs.beep();
    const DialogService::Answer answer = m_services.dialogs.messageBox(
        tr("Update via the Internet?"), tr("Connect to the Internet"),
        DialogService::Icon::Information, DialogService::Buttons::YesNo);
    // Whether the desktop manages to open the page is not this box's business.
    if (answer == DialogService::Answer::Yes)
        m_services.desktop.openUrl(makerHomePage());
}

void TAboutBox::OKButtonClick() {
    accept();
}
