#pragma once

#include "linux/catalogue/cataloguedocument.h"
#include "linux/catalogue/categorylist.h"
#include "linux/editing/categorynamequestion.h"
#include "platform/services.h"

#include <QObject>

#include <functional>
#include <optional>
#include <string>

class QAction;
class QListWidget;
class QPoint;
class QToolButton;

// The controls the categories controller works with, built by the window's layout code.
struct CategoryControls {
    QListWidget* CatBox = nullptr;
    QListWidget* lstDesc = nullptr;
    QAction* New1 = nullptr;
    QAction* New2 = nullptr;
    QToolButton* cmdCat = nullptr;
    QAction* Rename2 = nullptr;
    QAction* Rename1 = nullptr;
    QAction* Delete3 = nullptr;
    QAction* Delete2 = nullptr;
    QToolButton* cmdSort = nullptr;
};

// New, rename, delete and sort of categories, and the drop of a listing on a category.
class CategoryCommands final : public QObject {
    Q_OBJECT

public:
    // clearShown is the listing editor's Clear of the shown category: true when the author
    // confirmed and the category was cleared.
    CategoryCommands(CatalogueDocument& document, Services services,
                     const CategoryControls& controls, CategoryList& list,
                     std::function<bool()> clearShown, QObject* parent = nullptr);

    void setNameQuestion(CategoryNameQuestion* question) { m_question = question; }

    void New1Click();
    void Rename2Click();
    // Clears the shown category through the listing editor, then removes its header line.
    void Delete2Click();
    void cmdSortClick();
    // Only a drag of listings from the listing list can be dropped on a category.
    bool CatBoxDragOver(const QObject* source) const;
    // Moves the current listing to the top of the category under the drop point.
    void CatBoxDragDrop(const QPoint& at);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool categoryDropEvent(QEvent* event);
    // The name for a new category or a rename, stored as catalogue text; none when cancelled.
    std::optional<std::string> askName(CategoryNameQuestion::Purpose purpose, const QString& name);

    CatalogueDocument& m_document;
    Services m_services;
    CategoryControls m_controls;
    CategoryList& m_list;
    std::function<bool()> m_clearShown;
    CategoryNameQuestion* m_question = nullptr;
    QWidget* m_categoryViewport;
};
