#include "app/frmmain.h"
#include "editing/frmaddcat.h"

#include <QDropEvent>
#include <QLineEdit>
#include <QListWidget>

void TfrmMain::New1Click() {
    if (!m_frmAddCat)
        return;
    const int shown = CatBox->currentRow();
    const int count = CatBox->count();
    m_frmAddCat->Edit1->clear();
    m_frmAddCat->setWindowTitle("Add Category");
    m_frmAddCat->exec();
    BuildCategories();
    selectCategoryRow(CatBox->count() == count ? shown : CatBox->count() - 1);
    CatBoxChange();
}

void TfrmMain::Rename2Click() {
    const int shown = CatBox->currentRow();
    if (!m_frmAddCat || shown < 0)
        return;
    m_frmAddCat->Edit1->setText(CatBox->item(shown)->text());
    m_frmAddCat->setWindowTitle("Rename Category");
    m_frmAddCat->exec();
    selectCategoryRow(shown);
    CatBoxChange();
}

void TfrmMain::Delete2Click() {
    if (CatBox->count() < 2) {
        ask("Cannot Delete Main Category!", "Delete Category", DialogService::Icon::Error,
            DialogService::Buttons::Ok);
        return;
    }
    const int shown = CatBox->currentRow();
    if (shown < 0 || !mnuClearClick())
        return;
    // The clear may have saved already; the removal of the header waits for the next save.
    m_document.model().deleteCategory(std::size_t(shown));
    BuildCategories();
    selectCategoryRow(0);
    CatBoxChange();
}

void TfrmMain::cmdSortClick() {
    // The new order waits for the next save; where the catalogue cannot be edited it is
    // the end user's arrangement for this run only.
    m_document.model().sortShownCategory();
    CatBoxChange();
}

bool TfrmMain::CatBoxDragOver(const QObject* source) const {
    return source == lstDesc;
}

void TfrmMain::CatBoxDragDrop(const QPoint& at) {
    const int target = CatBox->indexAt(at).row();
    const int row = lstDesc->currentRow();
    if (target < 0 || row < 0)
        return;
    const int shown = CatBox->currentRow();
    if (!m_document.model().moveListing(std::size_t(row), std::size_t(target)))
        return;
    BuildCategories();
    selectCategoryRow(shown);
    CatBoxChange();
}

bool TfrmMain::categoryDropEvent(QEvent* event) {
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
