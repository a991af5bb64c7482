#pragma once

#include <QString>

#include <optional>

// How the categories controller asks the author for a category name (the dialog TfrmAddCat).
class CategoryNameQuestion {
public:
    enum class Purpose { Add, Rename };
    // The name accepted with OK; std::nullopt when the question was cancelled or closed.
    virtual std::optional<QString> askCategoryName(Purpose purpose, const QString& name) = 0;

protected:
    ~CategoryNameQuestion() = default;
};
