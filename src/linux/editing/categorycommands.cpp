#include "linux/editing/categorycommands.h"

#include <QAction>
#include <QDropEvent>
#include <QListWidget>
#include <QToolButton>

CategoryCommands::CategoryCommands(CatalogueDocument& document, Services services,
                                   const CategoryControls& controls, CategoryList& list,
                                   std::function<bool()> clearShown, QObject* parent)
    : QObject(parent), m_document(document), m_services(services), m_controls(controls),
      m_list(list), m_clearShown(std::move(clearShown)),
      m_categoryViewport(controls.CatBox->viewport()) {
    for (QAction* action : {controls.New1, controls.New2})
        connect(action, &QAction::triggered, this, &CategoryCommands::New1Click);
    connect(controls.cmdCat, &QToolButton::clicked, this, &CategoryCommands::New1Click);
    for (QAction* action : {controls.Rename2, controls.Rename1})
        connect(action, &QAction::triggered, this, &CategoryCommands::Rename2Click);
    for (QAction* action : {controls.Delete3, controls.Delete2})
        connect(action, &QAction::triggered, this, &CategoryCommands::Delete2Click);
    connect(controls.cmdSort, &QToolButton::clicked, this, &CategoryCommands::cmdSortClick);
    m_categoryViewport->installEventFilter(this);
}

std::optional<std::string> CategoryCommands::askName(CategoryNameQuestion::Purpose purpose,
                                                     const QString& name) {
    const std::optional<QString> answer = m_question->askCategoryName(purpose, name);
    if (!answer)
        return std::nullopt;
    return m_document.model().catalogueTextFromUtf8(answer->toStdString());
}

void CategoryCommands::New1Click() {
    if (!m_question)
        return;
    QListWidget* CatBox = m_controls.CatBox;
    const int shown = CatBox->currentRow();
    const int count = CatBox->count();
    if (const auto name = askName(CategoryNameQuestion::Purpose::Add, QString()))
        m_document.model().addCategory(*name);
    m_list.BuildCategories();
    m_list.selectCategoryRow(CatBox->count() == count ? shown : CatBox->count() - 1);
    m_list.CatBoxChange();
}

void CategoryCommands::Rename2Click() {
    QListWidget* CatBox = m_controls.CatBox;
    const int shown = CatBox->currentRow();
    if (!m_question || shown < 0)
        return;
    const QString name = CatBox->item(shown)->text();
    if (const auto newName = askName(CategoryNameQuestion::Purpose::Rename, name)) {
        m_document.model().renameCategory(std::size_t(shown), *newName);
        m_list.BuildCategories();
    }
    m_list.selectCategoryRow(shown);
    m_list.CatBoxChange();
}

void CategoryCommands::Delete2Click() {
    if (m_controls.CatBox->count() < 2) {
        m_services.dialogs.beepAndAsk("Cannot Delete Main Category!", "Delete Category",
                                      DialogService::Icon::Error, DialogService::Buttons::Ok);
        return;
    }
    const int shown = m_controls.CatBox->currentRow();
    if (shown < 0 || !m_clearShown())
        return;
    // The clear may have saved already; the removal of the header waits for the next save.
    m_document.model().deleteCategory(std::size_t(shown));
    m_list.BuildCategories();
    m_list.selectCategoryRow(0);
    m_list.CatBoxChange();
}

void CategoryCommands::cmdSortClick() {
    // The new order waits for the next save; where the catalogue cannot be edited it is
    // the end user's arrangement for this run only.
    m_document.model().sortShownCategory();
    m_list.CatBoxChange();
}

bool CategoryCommands::CatBoxDragOver(const QObject* source) const {
    return source == m_controls.lstDesc;
}

void CategoryCommands::CatBoxDragDrop(const QPoint& at) {
    const int target = m_controls.CatBox->indexAt(at).row();
    const int row = m_controls.lstDesc->currentRow();
    if (target < 0 || row < 0)
        return;
    const int shown = m_controls.CatBox->currentRow();
    if (!m_document.model().moveListing(std::size_t(row), std::size_t(target)))
        return;
    m_list.BuildCategories();
    m_list.selectCategoryRow(shown);
    m_list.CatBoxChange();
}

bool CategoryCommands::eventFilter(QObject* watched, QEvent* event) {
    // The viewport was taken at construction: while the window is destroyed, the category list
    // is no longer a list, yet its viewport still sees events.
    if (watched == m_categoryViewport && categoryDropEvent(event))
        return true;
    return QObject::eventFilter(watched, event);
}

bool CategoryCommands::categoryDropEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        drag->setAccepted(CatBoxDragOver(drag->source()));
        if (drag->isAccepted())
            drag->setDropAction(Qt::CopyAction);
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!CatBoxDragOver(drop->source()))
            return true;
        // A copy as far as the drag knows: the listing list must not take rows away itself.
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        CatBoxDragDrop(drop->position().toPoint());
        return true;
    }
    case QEvent::DragLeave:
        return true;
    default:
        return false;
    }
}
