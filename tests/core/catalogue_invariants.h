#pragma once

#include "core/catalogue/catalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qubrix::test {

// The rules every operation of the catalogue must keep: the category table matches the header
// lines of lstAll, and the shown category's rows are parallel to each other and to their lines
// of lstAll (row i is line categoryStart[k] + 1 + i, up to the next header or the end).
inline void expectCatalogueInvariants(const Catalogue& model) {
    std::vector<std::size_t> starts;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < model.lstAll().size(); ++i) {
        const std::string& line = model.lstAll()[i];
        if (!line.empty() && line.front() == '[') {
            starts.push_back(i);
            names.push_back(line.substr(1, line.find(']') - 1));
        }
    }
    EXPECT_EQ(model.categoryStart(), starts) << "category table out of step with the headers";
    EXPECT_EQ(model.categoryNames(), names);

    EXPECT_EQ(model.lstPath().size(), model.lstFiles().size()) << "lstPath not parallel";
    EXPECT_EQ(model.noteIndex().size(), model.lstFiles().size()) << "noteIndex not parallel";
    if (model.shownCategory() < 0) {
        EXPECT_TRUE(model.lstFiles().empty()) << "rows shown without a category";
        return;
    }
    ASSERT_LT(std::size_t(model.shownCategory()), starts.size()) << "shown category is gone";
    const std::size_t first = starts[std::size_t(model.shownCategory())] + 1;
    std::size_t end = first;
    while (end < model.lstAll().size() &&
           (model.lstAll()[end].empty() || model.lstAll()[end][0] != '['))
        ++end;
    const std::vector<std::string> lines(model.lstAll().begin() + std::ptrdiff_t(first),
                                         model.lstAll().begin() + std::ptrdiff_t(end));
    EXPECT_EQ(model.lstFiles(), lines) << "rows differ from the category's lines";
    for (std::size_t i = 0;
         i < model.lstFiles().size() && i < model.lstPath().size() && i < model.noteIndex().size();
         ++i) {
        const ListingFields fields = splitListingLine(model.lstFiles()[i]);
        EXPECT_EQ(model.lstPath()[i], fields.path) << "row " << i;
        EXPECT_EQ(model.noteIndex()[i], fields.note) << "row " << i;
        EXPECT_EQ(model.lineIndexOfRow(i), first + i) << "row " << i;
    }
}

} // namespace qubrix::test
