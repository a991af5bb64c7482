#include "linux/app/mainlayout.h"

#include "core/window/product.h"
#include "linux/ui/pictures.h"
#include "linux/ui/placement.h"
#include "linux/ui/readers.h"
#include "linux/ui/toolglyphs.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QSplitter>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>

// Every control sits at a fixed place in the client area, as the window was designed; there
// are no layouts apart from the two button rows.

namespace {

// The listing list. Qt makes the first row current when a list without one gets the focus, so
// the first Down would select the second listing and a lone listing could not be reached by
// keys: the list keeps no current row until the author picks one. Each row starts with two
// blanks, which typing a description's first letters looks past.
class ListingList final : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    void focusInEvent(QFocusEvent* event) override {
        const bool hadCurrent = currentIndex().isValid();
        QListWidget::focusInEvent(event);
        if (!hadCurrent)
            selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
    }

    void keyboardSearch(const QString& search) override {
        if (search.isEmpty() || count() == 0) {
            m_typed.clear();
            return;
        }
        const bool goingOn =
            m_typing.isValid() && m_typing.elapsed() <= QApplication::keyboardInputInterval();
        m_typed = goingOn ? m_typed + search : search;
        m_typing.start();
        // Further letters may keep the current row; a new search starts after it.
        const int first = std::max(0, currentRow() + (goingOn ? 0 : 1));
        for (int i = 0; i < count(); ++i) {
            QListWidgetItem* row = item((first + i) % count());
            if (row->text().trimmed().startsWith(m_typed, Qt::CaseInsensitive)) {
                setCurrentItem(row, QItemSelectionModel::ClearAndSelect);
                return;
            }
        }
    }

private:
    QString m_typed;
    QElapsedTimer m_typing;
};

QFrame* divider(QWidget* parent, const char* name, int width) {
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFixedWidth(width);
    return line;
}

QLabel* picture(QWidget* parent, const char* name, int left, int top, int width, int height,
                const QPixmap& pixmap) {
    auto* label = place<QLabel>(parent, name, left, top, width, height);
    label->setPixmap(pixmap);
    label->setScaledContents(true);
    // The window's pictures are ground and ornament: the words beside them say it all.
    showOnlyToSight(label);
    return label;
}

QFont arialPixels(int pixels, bool bold = false) {
    QFont font("Arial");
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace

MainLayout::MainLayout(QMainWindow& window, const QString& discFolder) : m_window(window) {
    auto* client = new QWidget(&window);
    client->setObjectName("clientArea");
    client->setAutoFillBackground(true);
    window.setCentralWidget(client);
    buildTopBand(client);
    buildPictureStrip(client);
    buildListBand(client);
    buildEditingBand(client);
    buildNotePopup(client);
    buildMenus();
    showDiscFolder(discFolder);
    chainTabOrder();
    for (QWidget* control : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (control->y() >= ClientArea::menuHeight)
            belowMenu.push_back(control);
}

void MainLayout::chainTabOrder() {
    // Tab goes the way the eye does: the tool bar, the two lists and the buttons that act on the
    // chosen listing, the quick editor with its OK and Cancel, the editing band row by row and
    // the option boxes.
    const std::initializer_list<QWidget*> chain = {
        ToolInstall, ToolCopy, ToolCopyFolder, cmdSort, cmdCat,         cmdSave,    cmdDelete,
        cmdMenu,     cmdAdd,   CatBox,         lstDesc, cmdInstall,     cmdCopy,    MenuEdit,
        MOK,         MOC,      txtFilename,    Browse,  txtDescription, btnAddNote, cmdOK,
        cmdCancel,   btnSave,  btnClose,       chkSave, chkValid,       chkRoot};
    QWidget* previous = nullptr;
    for (QWidget* next : chain) {
        if (previous)
            QWidget::setTabOrder(previous, next);
        previous = next;
    }
}

QToolButton* MainLayout::toolButton(QWidget* bar, const char* name, const QString& hint,
                                    ToolGlyph icon) {
    auto* button = new QToolButton(bar);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setFixedSize(25, 21);
    button->setIcon(toolIcon(icon));
    nameAfterHint(button);
    bar->layout()->addWidget(button);
    return button;
}

QToolButton* MainLayout::captionedButton(QWidget* bar, const char* name, const QString& caption,
                                         const QString& hint, ToolGlyph icon) {
    auto* button = new QToolButton(bar);
    button->setObjectName(name);
    button->setText(caption);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setFixedSize(65, 23);
    button->setIcon(toolIcon(icon));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->layout()->addWidget(button);
    return button;
}

void MainLayout::buildTopBand(QWidget* client) {
    CoolBar1 = place<QFrame>(client, "CoolBar1", 0, 0, 553, 55);
    CoolBar1->setFrameShape(QFrame::Panel);
    CoolBar1->setFrameShadow(QFrame::Sunken);

    ToolBar1 = place<QFrame>(CoolBar1, "ToolBar1", 3, 3, 261, 27);
    auto* row = new QHBoxLayout(ToolBar1);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    ToolInstall = toolButton(ToolBar1, "ToolInstall", "Install/Run", ToolGlyph::Run);
    ToolCopy = toolButton(ToolBar1, "ToolCopy", "Copy", ToolGlyph::File);
    ToolCopyFolder = toolButton(ToolBar1, "ToolCopyFolder", "Copy Folder", ToolGlyph::Folder);
    row->addWidget(divider(ToolBar1, "ToolButton2", 8));
    cmdSort = toolButton(ToolBar1, "cmdSort", "Sort", ToolGlyph::Sort);
    row->addWidget(divider(ToolBar1, "ToolButton3", 8));
    cmdCat = toolButton(ToolBar1, "cmdCat", "New Category", ToolGlyph::NewFolder);
    row->addSpacing(4);
    // The two splitters only divide the bar; they cannot be dragged.
    Splitter1 = divider(ToolBar1, "Splitter1", 2);
    row->addWidget(Splitter1);
    row->addSpacing(4);
    cmdSave = toolButton(ToolBar1, "cmdSave", "Save", ToolGlyph::Save);
    cmdDelete = toolButton(ToolBar1, "cmdDelete", "Remove", ToolGlyph::Remove);
    row->addSpacing(4);
    Splitter2 = divider(ToolBar1, "Splitter2", 2);
    row->addWidget(Splitter2);
    row->addSpacing(4);
    cmdMenu = toolButton(ToolBar1, "cmdMenu", "Hide Editor", ToolGlyph::HideEditor);
    cmdAdd = toolButton(ToolBar1, "cmdAdd", "Show Editor", ToolGlyph::ShowEditor);
    row->addStretch();
    for (QToolButton* button : {cmdMenu, cmdAdd})
        button->setCheckable(true);
    auto* editorButtons = new QButtonGroup(&m_window);
    editorButtons->setExclusive(true);
    editorButtons->addButton(cmdMenu);
    editorButtons->addButton(cmdAdd);
    cmdAdd->setChecked(true);

    MOK = place<QToolButton>(client, "MOK", 3, 28, 25, 21);
    MOK->setToolTip("OK");
    MOK->setIcon(toolIcon(ToolGlyph::Accept));
    MOC = place<QToolButton>(client, "MOC", 28, 28, 25, 21);
    MOC->setToolTip("Cancel");
    MOC->setIcon(toolIcon(ToolGlyph::Cancel));
    for (QToolButton* button : {MOK, MOC}) {
        nameAfterHint(button);
        button->setAutoRaise(true);
        button->setEnabled(false);
    }
    lblCWD = place<QLabel>(client, "lblCWD", 56, 30, 17, 18);
    lblCWD->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    MenuEdit = place<QLineEdit>(client, "MenuEdit", 75, 30, 479, 21);
    MenuEdit->setToolTip("Quick Editor");
    nameAfterHint(MenuEdit);
    MenuEdit->setEnabled(false);
}

void MainLayout::showDiscFolder(const QString& discFolder) {
    // The label reads as the start of the quick editor's path: the disc's folder, where stored
    // paths lead, or "/" for the root, with the whole folder in its tool tip. It takes the room its
    // text needs, up to a limit, and the quick editor the rest of the row.
    constexpr int widest = 120;
    const QFontMetrics metrics(lblCWD->font());
    const QString text =
        metrics.elidedText(discFolder.section('/', -1) + '/', Qt::ElideLeft, widest);
    lblCWD->setText(text);
    lblCWD->setToolTip(discFolder + '/');
    lblCWD->resize(metrics.horizontalAdvance(text) + 2, lblCWD->height());
    const int left = lblCWD->geometry().right() + 3;
    MenuEdit->setGeometry(left, MenuEdit->y(), ClientArea::width - 3 - left, MenuEdit->height());
}

void MainLayout::buildPictureStrip(QWidget* client) {
    Image1 = picture(client, "Image1", 0, 57, 100, 225, stripPicture(QSize(100, 225), true));
    Image2 = picture(client, "Image2", 0, 279, 100, 154, stripPicture(QSize(100, 154), false));

    const QString whiteText = "color: white; background: transparent;";
    cmdInstall = place<QPushButton>(client, "cmdInstall", 10, 217, 80, 25);
    cmdInstall->setText("Run...");
    cmdInstall->setToolTip("Install/Run");
    cmdCopy = place<QPushButton>(client, "cmdCopy", 10, 244, 80, 25);
    cmdCopy->setText("Copy");
    cmdCopy->setToolTip("Copy");
    for (QPushButton* button : {cmdInstall, cmdCopy}) {
        button->setFlat(true);
        button->setFont(arialPixels(13));
        button->setStyleSheet(whiteText + "border: 1px solid white;");
        button->setVisible(false);
    }

    Label1 = place<QLabel>(client, "Label1", 32, 294, 66, 16);
    Label1->setText("File name:");
    Label1->setToolTip("Click Browse to add a listing");
    Label2 = place<QLabel>(client, "Label2", 24, 330, 74, 16);
    Label2->setText("Description:");
    Label2->setToolTip("Enter a friendly description");
    for (QLabel* label : {Label1, Label2}) {
        label->setFont(arialPixels(12));
        label->setStyleSheet(whiteText);
    }

    Bevel1 = place<QFrame>(client, "Bevel1", 4, 284, 92, 2);
    Bevel2 = place<QFrame>(client, "Bevel2", 4, 386, 92, 2);
    for (QFrame* line : {Bevel1, Bevel2}) {
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
    }
}

void MainLayout::buildListBand(QWidget* client) {
    ToolBar2 = place<QWidget>(client, "ToolBar2", 102, 55, 448, 229);
    Splitter3 = place<QSplitter>(ToolBar2, "Splitter3", 0, 2, 448, 225);
    Splitter3->setHandleWidth(1);
    Splitter3->setChildrenCollapsible(false);

    CatBox = new QListWidget(Splitter3);
    CatBox->setObjectName("CatBox");
    CatBox->setToolTip("Categories");
    nameAfterHint(CatBox);
    CatBox->setSelectionMode(QAbstractItemView::SingleSelection);
    CatBox->setContextMenuPolicy(Qt::CustomContextMenu);
    // Listings dragged from the listing list are dropped on a category row.
    CatBox->viewport()->setAcceptDrops(true);

    lstDesc = new ListingList(Splitter3);
    lstDesc->setObjectName("lstDesc");
    lstDesc->setAccessibleName("Listings");
    lstDesc->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstDesc->setDragEnabled(true);
    lstDesc->setContextMenuPolicy(Qt::CustomContextMenu);

    Splitter3->addWidget(CatBox);
    Splitter3->addWidget(lstDesc);
    Splitter3->setSizes({86, 448 - 86 - 1});
}

void MainLayout::buildNotePopup(QWidget* client) {
    Outline = place<QTextEdit>(client, "Outline", 338, 130, 187, 56);
    Outline->setStyleSheet("background: palette(dark);");
    NotePad = place<QTextEdit>(client, "NotePad", 339, 131, 185, 54);
    NotePad->setStyleSheet("background: palette(tooltip-base); color: palette(tooltip-text);");
    for (QTextEdit* edit : {Outline, NotePad}) {
        edit->setReadOnly(true);
        edit->setAcceptRichText(false);
        edit->setFrameShape(QFrame::NoFrame);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit->document()->setDocumentMargin(0);
        edit->setVisible(false);
    }
    // The outline only frames the note; the note itself is read, never typed into.
    showOnlyToSight(Outline);
    NotePad->setAccessibleName("Note");
    NotePad->setLineWrapMode(QTextEdit::WidgetWidth);
    // A word wider than the pop-up breaks where it must instead of running out of view.
    NotePad->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void MainLayout::buildEditingBand(QWidget* client) {
    txtFilename = place<QLineEdit>(client, "txtFilename", 101, 288, 372, 27);
    txtDescription = place<QLineEdit>(client, "txtDescription", 101, 320, 372, 28);
    for (QLineEdit* edit : {txtFilename, txtDescription})
        edit->setFont(arialPixels(13));
    // The labels stand in the picture strip, not beside the edits in the band: readers learn
    // the edits' names from the labels' texts, not from where the labels stand.
    Label1->setBuddy(txtFilename);
    Label2->setBuddy(txtDescription);
    txtFilename->setAccessibleName(Label1->text());
    txtDescription->setAccessibleName(Label2->text());

    Browse = place<QPushButton>(client, "Browse", 478, 289, 73, 25);
    Browse->setText("&Browse...");
    Browse->setToolTip("Add new listing");
    btnAddNote = place<QPushButton>(client, "btnAddNote", 478, 322, 73, 25);
    btnAddNote->setText("&Notes");
    btnAddNote->setToolTip("Add additional comments");

    ToolBar3 = place<QFrame>(client, "ToolBar3", 100, 352, 293, 33);
    auto* row = new QHBoxLayout(ToolBar3);
    row->setContentsMargins(0, 5, 0, 5);
    row->setSpacing(0);
    row->addSpacing(8); // ToolButton9
    // No access key: Alt+O belongs to the "&Options" menu, which is shown whenever this is.
    cmdOK = captionedButton(ToolBar3, "cmdOK", "OK", "Accept entry", ToolGlyph::Accept);
    cmdCancel = captionedButton(ToolBar3, "cmdCancel", "Cancel", "Redo entry", ToolGlyph::Cancel);
    row->addWidget(divider(ToolBar3, "ToolButton1", 8));
    btnSave = captionedButton(ToolBar3, "btnSave", "&Save", "Save data files", ToolGlyph::Save);
    row->addSpacing(8); // ToolButton4
    btnClose = captionedButton(ToolBar3, "btnClose", "&Close", "Hide Editor", ToolGlyph::Close);
    row->addStretch();

    chkSave = place<QCheckBox>(client, "chkSave", 104, 400, 80, 17);
    chkSave->setText("Auto-Save");
    chkSave->setToolTip("Auto-Save feature");
    chkValid = place<QCheckBox>(client, "chkValid", 188, 400, 76, 17);
    chkValid->setText("ISO 9660");
    chkValid->setToolTip("Check filename conventions");
    chkRoot = place<QCheckBox>(client, "chkRoot", 268, 400, 146, 17);
    chkRoot->setText("Include Parent folder");
    chkRoot->setToolTip("Include Parent folder in path");
    chkSave->setChecked(true);
    chkValid->setChecked(true);

    // The controls of the band share one parent, hidden while the window is cut to the menu:
    // out of view, they must answer neither access keys nor Tab. It starts below the list band
    // and right of the picture strip, so it covers nothing else that takes a click.
    editingBand = place<QWidget>(client, "editingBand", 100, 284, ClientArea::width - 100,
                                 ClientArea::editorHeight - 284);
    for (QWidget* control :
         std::initializer_list<QWidget*>{txtFilename, txtDescription, Browse, btnAddNote, ToolBar3,
                                         chkSave, chkValid, chkRoot}) {
        const QPoint at = control->pos() - editingBand->pos();
        control->setParent(editingBand);
        control->move(at);
        control->show();
    }

    buildLogo(client);
}

void MainLayout::buildLogo(QWidget* client) {
    // The logo fills the corner right of the band's buttons: the copyright line along the
    // bottom edge, the arrow above its right end and the product name left of the arrow, above
    // the row of check boxes. The places follow the texts' sizes, so whatever face the desktop
    // gives for the ones asked for, nothing covers or cuts another.
    const int right = ClientArea::width - 4;
    Label6 = place<QLabel>(client, "Label6", 0, 0, 0, 0);
    Label6->setText(QString::fromUtf8(copyrightLabel));
    Label6->setFont(arialPixels(9));
    Label6->adjustSize();
    Label6->move(right - Label6->width(), ClientArea::creationHeight - Label6->height());
    Bevel3 = place<QFrame>(client, "Bevel3", Label6->x(), Label6->y() - 3, Label6->width(), 2);
    Bevel3->setFrameShape(QFrame::HLine);
    Bevel3->setFrameShadow(QFrame::Sunken);

    // The arrow keeps its proportions (61 x 80) in the room above the line.
    const int top = ToolBar3->mapTo(client, QPoint()).y();
    const int arrowHeight = Bevel3->y() - 1 - top;
    const int arrowWidth = arrowHeight * 61 / 80;
    Image3 =
        picture(client, "Image3", right - arrowWidth, top, arrowWidth, arrowHeight, arrowPicture());

    // Two halves that read as one word: the first four letters red, the rest and the version.
    const QString name = productName;
    StaticText1 = new QLabel(name.left(4), client);
    StaticText1->setObjectName("StaticText1");
    StaticText1->setStyleSheet("color: red; background: transparent;");
    StaticText3 = new QLabel(client);
    StaticText3->setObjectName("StaticText3");
    // Marked before its text is set: readers keep the first account they are given of a widget.
    showOnlyToSight(StaticText3);
    StaticText3->setText(name.mid(4) + ' ' + productVersion);
    StaticText3->setStyleSheet("color: palette(window-text); background: transparent;");
    for (QLabel* label : {StaticText1, StaticText3}) {
        QFont font("Arial Rounded MT Bold");
        font.setPixelSize(13);
        font.setBold(true);
        label->setFont(font);
        label->adjustSize();
    }
    // Read as the one name it spells.
    StaticText1->setAccessibleName(name + ' ' + productVersion);
    const int nameTop = chkRoot->mapTo(client, QPoint()).y() - StaticText1->height() - 1;
    StaticText3->move(Image3->x() - 3 - StaticText3->width(), nameTop);
    StaticText1->move(StaticText3->x() - StaticText1->width(), nameTop);
}
