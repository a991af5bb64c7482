#include "core/naming/folderrename.h"
#include "core/window/document.h"

#include <gtest/gtest.h>

#include <functional>

namespace qubrix::test {
namespace {

// Every kind of edit marks the catalogue changed until it is saved, and only the edits of the
// document's own model count.
TEST(CatalogueDocument, EditsMarkTheCatalogueUntilItIsSaved) {
    const std::pair<const char*, std::function<void(Catalogue&)>> edits[] = {
        {"delete", [](Catalogue& m) { m.removeListing(1); }},
        {"folder rename",
         [](Catalogue& m) {
             renameFolderInListings(m, {{"TOOLS"}, "UTILS", true});
         }},
        {"move", [](Catalogue& m) { m.moveListing(1, 1); }},
        {"sort", [](Catalogue& m) { m.sortShownCategory(); }},
        {"quick edit", [](Catalogue& m) { m.replaceListing(0, "Zeta", "TOOLS\\ZETA2.EXE", "-1"); }},
    };
    for (const auto& [what, edit] : edits) {
        SCOPED_TRACE(what);
        CatalogueDocument document("/medium/", "/medium");
        EXPECT_EQ(document.catalogPath(), "/medium/qubrix.dat");
        EXPECT_EQ(document.place().discFolder, "/medium");
        document.model().setLines(
            {"[Main]", "Zeta;TOOLS\\ZETA.EXE;-1", "alpha;TOOLS\\A.EXE;-1", "[Other]"});
        document.model().BuildCategories();
        document.model().showCategory(0);
        document.markSaved();
        EXPECT_FALSE(document.isChanged());

        Catalogue copy = document.model();
        edit(copy);
        EXPECT_FALSE(document.isChanged()) << "a copy's edits are its own";
        edit(document.model());
        EXPECT_TRUE(document.isChanged());
        document.markSaved();
        EXPECT_FALSE(document.isChanged());

        // A read-only catalogue is never changed; made editable again, it is.
        document.setReadOnly(true);
        edit(document.model());
        EXPECT_FALSE(document.isChanged());
        document.setReadOnly(false);
        EXPECT_TRUE(document.isChanged());
    }
}

} // namespace
} // namespace qubrix::test
