#pragma once

// The category list as the category commands and the listing editor see it.
class CategoryList {
public:
    // Brings the category list up to date with the model.
    virtual void BuildCategories() = 0;
    // Selects a category row; the listings shown stay until CatBoxChange.
    virtual void selectCategoryRow(int row) = 0;
    // Shows the listings of the selected category.
    virtual void CatBoxChange() = 0;

protected:
    ~CategoryList() = default;
};
