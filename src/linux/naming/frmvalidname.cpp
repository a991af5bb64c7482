#include "linux/naming/frmvalidname.h"

#include "core/window/product.h"
#include "linux/ui/face.h"
#include "linux/ui/pictures.h"
#include "linux/ui/placement.h"
#include "linux/ui/readers.h"
#include "linux/ui/toolglyphs.h"

#include <algorithm>

#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadialGradient>

namespace {

// A disc with a warning sign beneath it: a name on it must change before mastering.
QPixmap discWarningPicture() {
    QPixmap pixmap(38, 60);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(64, 80, 120), 1));
    paintDisc(painter, QPointF(19, 18), 17, 4, QColor(192, 192, 192));

    QPainterPath triangle;
    triangle.moveTo(19, 38);
    triangle.lineTo(36, 58);
    triangle.lineTo(2, 58);
    triangle.closeSubpath();
    painter.setPen(QPen(QColor(96, 64, 0), 1));
    painter.setBrush(QColor(255, 204, 0));
    painter.drawPath(triangle);
    painter.setPen(QPen(Qt::black, 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(19, 45), QPointF(19, 51));
    painter.drawPoint(QPointF(19, 55));
    return pixmap;
}

// The fixed texts were laid out for a narrower face than many desktops have: a text that does not
// fit its box takes a smaller size instead of being cut off.
void shrinkToFit(QLabel* label) {
    const QStringList lines = label->text().split('\n');
    QFont font = label->font();
    font.setPixelSize(QFontInfo(font).pixelSize());
    for (; font.pixelSize() > 7; font.setPixelSize(font.pixelSize() - 1)) {
        const QFontMetrics metrics(font);
        const bool fitsHigh = metrics.height() * lines.size() <= label->height() + 2;
        const bool fitsWide = std::all_of(lines.begin(), lines.end(), [&](const QString& line) {
            return metrics.horizontalAdvance(line.trimmed()) <= label->width();
        });
        if (fitsHigh && fitsWide)
            break;
    }
    label->setFont(font);
}

QLabel* rightAligned(QLabel* label) {
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

TfrmValidName::TfrmValidName(Services services, QWidget* parent)
    : QDialog(parent), m_services(services) {
    setObjectName("frmValidName");
    buildLayout();
    setWindowTitle(productName);
}

void TfrmValidName::buildLayout() {
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(433, 267);
    useSilverFace(this);
    setAutoFillBackground(true);
    useEightPointFont(this);
    buildTopBand();
    buildNameRows();
    buildButtonBand();
}

void TfrmValidName::buildTopBand() {
    Panel1 = place<QFrame>(this, "Panel1", 0, 0, 433, 33);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Memo2 = place<QLabel>(Panel1, "Memo2", 8, 8, 417, 17);
    Memo2->setText(tr("The following must be renamed to be compatible with ISO 9660 naming "
                      "conventions."));
    Memo2->setAlignment(Qt::AlignCenter);
    Image1 = place<QLabel>(this, "Image1", 392, 32, 38, 60);
    // The warning sign repeats what the line above it says.
    showOnlyToSight(Image1);
}

void TfrmValidName::buildNameRows() {
    lblLocation = rightAligned(place<QLabel>(this, "lblLocation", 8, 48, 95, 13));
    lblLocation->setText(tr("Folder Location:"));
    lblPath = place<QLabel>(this, "lblPath", 112, 48, 289, 13);
    lblName = rightAligned(place<QLabel>(this, "lblName", 8, 72, 96, 13));
    lblName->setText(tr("Folder name:"));
    lblFName = place<QLabel>(this, "lblFName", 112, 72, 281, 13);
    lblChange = place<QLabel>(this, "lblChange", 25, 99, 81, 13);
    lblChange->setText(tr("Change name to:"));
    Edit1 = place<QLineEdit>(this, "Edit1", 112, 96, 297, 21);
    lblChange->setBuddy(Edit1);
    // Paths and names are shown as they are, never read as markup.
    for (QLabel* label : {lblPath, lblFName})
        label->setTextFormat(Qt::PlainText);
}

void TfrmValidName::buildButtonBand() {
    Panel2 = place<QFrame>(this, "Panel2", 0, 136, 433, 129);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    GroupBox1 = place<QGroupBox>(this, "GroupBox1", 8, 152, 417, 57);
    GroupBox1->setTitle(tr(" Valid names: "));
    Memo1 = place<QLabel>(GroupBox1, "Memo1", 8, 16, 401, 33);
    Memo1->setText(tr("File names must be at most 8 characters long plus a maximum 3 character "
                      "extension. \nThey must contain only the characters 'A' - 'Z', '0' - '9' "
                      "and the underscore ('_')."));
    Memo1->setTextFormat(Qt::PlainText);

    cmdChange = flatButton("cmdChange", 24, tr("&Change"), tr("Change file/path name(s)"),
                           ToolGlyph::Accept);
    cmdChange->setDefault(true);
    cmdCancel = flatButton("cmdCancel", 120, tr("&Skip"), tr("Keep current file/path name"),
                           ToolGlyph::Cancel);
    cmdHelp = flatButton("cmdHelp", 336, tr("&Help"), tr("View help"), ToolGlyph::Help);
    connect(cmdChange, &QPushButton::clicked, this, &TfrmValidName::cmdChangeClick);
    connect(cmdCancel, &QPushButton::clicked, this, &TfrmValidName::cmdCancelClick);
    connect(cmdHelp, &QPushButton::clicked, this, &TfrmValidName::cmdHelpClick);
}

QPushButton* TfrmValidName::flatButton(const char* name, int left, const QString& text,
                                       const QString& hint, ToolGlyph picture) {
    auto* button = place<QPushButton>(Panel2, name, left, 88, 73, 25);
    button->setText(text);
    button->setToolTip(hint);
    button->setIcon(toolIcon(picture));
    button->setFlat(true);
    return button;
}

void TfrmValidName::showEvent(QShowEvent* event) {
    // Painted and fitted when first needed: the dialog is created at start-up but rarely shown.
    if (Image1->pixmap().isNull()) {
        Image1->setPixmap(discWarningPicture());
        for (QLabel* label : {Memo2, lblLocation, lblName, lblChange, Memo1})
            shrinkToFit(label);
    }
    // Opens where it was designed to, not centred over the main window.
    move(designedLeft, designedTop);
    Edit1->setFocus();
    Edit1->selectAll();
    QDialog::showEvent(event);
}

NameQuestion::Answer TfrmValidName::askNewName(Subject subject, const QString& pickedPath,
                                               const QString& name) {
    const bool folder = subject == Subject::Folder;
    lblLocation->setText(folder ? "Folder Location:" : "File Location:");
    lblName->setText(folder ? "Folder name:" : "File name:");
    lblPath->setText(pickedPath);
    lblFName->setText(name);
    Edit1->setText(name);
    renameAccepted = false;
    exec();
    return {Edit1->text(), renameAccepted};
}

void TfrmValidName::cmdChangeClick() {
    renameAccepted = true;
    accept();
}

void TfrmValidName::cmdCancelClick() {
    reject();
}

void TfrmValidName::reject() {
    renameAccepted = false;
    QDialog::reject();
}

void TfrmValidName::cmdHelpClick() {
    m_services.desktop.openHelp();
}
