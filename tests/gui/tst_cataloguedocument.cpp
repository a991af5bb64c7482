#include "linux/catalogue/cataloguedocument.h"
#include "core/naming/folderrename.h"

#include <QSignalSpy>
#include <QTest>

#include <functional>

using Edit = std::function<void(qubrix::Catalogue&)>;
Q_DECLARE_METATYPE(Edit)

class TestCatalogueDocument final : public QObject {
    Q_OBJECT

private slots:
    void editsMarkTheCatalogueUntilItIsSaved_data() {
        QTest::addColumn<Edit>("edit");
        QTest::newRow("delete") << Edit([](qubrix::Catalogue& m) { m.removeListing(1); });
        QTest::newRow("folder rename") << Edit([](qubrix::Catalogue& m) {
            qubrix::renameFolderInListings(m, {{"TOOLS"}, "UTILS", true});
        });
        QTest::newRow("move") << Edit([](qubrix::Catalogue& m) { m.moveListing(1, 1); });
        QTest::newRow("sort") << Edit([](qubrix::Catalogue& m) { m.sortShownCategory(); });
        QTest::newRow("quick edit") << Edit(
            [](qubrix::Catalogue& m) { m.replaceListing(0, "Zeta", "TOOLS\\ZETA2.EXE", "-1"); });
    }

    void editsMarkTheCatalogueUntilItIsSaved() {
        QFETCH(Edit, edit);
        CatalogueDocument document("/medium/", "/medium");
        QCOMPARE(document.catalogPath(), QString("/medium/qubrix.dat"));
        document.model().lstAll = {"[Main]", "Zeta;TOOLS\\ZETA.EXE;-1", "alpha;TOOLS\\A.EXE;-1",
                                   "[Other]"};
        document.model().BuildCategories();
        document.model().showCategory(0);
        document.markSaved();
        QSignalSpy marks(&document, &CatalogueDocument::changedMarkChanged);
        QSignalSpy edits(&document, &CatalogueDocument::catalogueEdited);
        QVERIFY(!document.isChanged());

        qubrix::Catalogue copy = document.model();
        edit(copy);
        QVERIFY2(edits.isEmpty() && !document.isChanged(), "a copy's edits are its own");
        edit(document.model());
        QVERIFY(document.isChanged());
        QVERIFY(!edits.isEmpty());
        document.markSaved();
        QVERIFY(!document.isChanged());
        QCOMPARE(marks.size(), 2);
        QCOMPARE(marks[0][0].toBool(), true);
        QCOMPARE(marks[1][0].toBool(), false);

        // A read-only catalogue is never changed; made editable again, it is.
        document.setReadOnly(true);
        edit(document.model());
        QVERIFY(!document.isChanged());
        document.setReadOnly(false);
        QVERIFY(document.isChanged());
    }
};

QTEST_GUILESS_MAIN(TestCatalogueDocument)
#include "tst_cataloguedocument.moc"
