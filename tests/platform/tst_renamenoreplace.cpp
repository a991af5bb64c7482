#include "posix/platform/renamenoreplace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>

using RenameFunction = bool (*)(const std::string&, const std::string&);
Q_DECLARE_METATYPE(RenameFunction)

// Both the kernel's refusing rename and the hand-made one that stands in for it where a file
// system lacks it must keep every existing entry.
class TestRenameNoReplace : public QObject {
    Q_OBJECT

private slots:
    void renames_data();
    void renames();
    void neverReplaces_data();
    void neverReplaces();
    void refusedWithoutChange_data();
    void refusedWithoutChange();

private:
    static void addFunctions();
    static std::string path(const QTemporaryDir& dir, const QString& name) {
        return QFile::encodeName(dir.filePath(name)).toStdString();
    }
    static void writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& data) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(data);
    }
    static QByteArray readFile(const QTemporaryDir& dir, const QString& name) {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
};

void TestRenameNoReplace::addFunctions() {
    QTest::addColumn<RenameFunction>("rename");
}

void TestRenameNoReplace::renames_data() {
    addFunctions();
    QTest::newRow("kernel") << &qubrix::renameWithoutReplacing;
    QTest::newRow("by hand") << &qubrix::renameByHandWithoutReplacing;
}

void TestRenameNoReplace::renames() {
    QFETCH(RenameFunction, rename);
    QTemporaryDir dir;
    writeFile(dir, "LONGNAME1.TXT", "text");
    QVERIFY(QDir(dir.path()).mkpath("LONG_FOLDER/INNER"));
    QVERIFY(rename(path(dir, "LONGNAME1.TXT"), path(dir, "LONGNAME.TXT")));
    QVERIFY(rename(path(dir, "LONG_FOLDER"), path(dir, "LONGFOLD")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList({"LONGFOLD", "LONGNAME.TXT"}));
    QCOMPARE(readFile(dir, "LONGNAME.TXT"), "text");
    QVERIFY(QDir(dir.filePath("LONGFOLD/INNER")).exists());
}

void TestRenameNoReplace::neverReplaces_data() {
    addFunctions();
    QTest::addColumn<bool>("folder");
    QTest::addColumn<QString>("existing"); // "file", "empty folder" or "folder"
    for (auto [name, function] : {std::pair{"kernel", &qubrix::renameWithoutReplacing},
                                  std::pair{"by hand", &qubrix::renameByHandWithoutReplacing}}) {
        for (const bool folder : {false, true})
            for (const char* existing : {"file", "empty folder", "folder"})
                QTest::addRow("%s: %s onto %s", name, folder ? "folder" : "file", existing)
                    << function << folder << QString(existing);
    }
}

void TestRenameNoReplace::neverReplaces() {
    QFETCH(RenameFunction, rename);
    QFETCH(bool, folder);
    QFETCH(QString, existing);
    QTemporaryDir dir;
    QDir root(dir.path());
    if (folder)
        QVERIFY(root.mkpath("OLD/KEEP"));
    else
        writeFile(dir, "OLD", "old");
    if (existing == "file")
        writeFile(dir, "NEW", "other");
    else
        QVERIFY(root.mkpath(existing == "folder" ? "NEW/THEIRS" : "NEW"));

    errno = 0;
    QVERIFY(!rename(path(dir, "OLD"), path(dir, "NEW")));
    QCOMPARE(errno, EEXIST);
    QVERIFY(folder ? root.exists("OLD/KEEP") : readFile(dir, "OLD") == "old");
    if (existing == "file")
        QCOMPARE(readFile(dir, "NEW"), "other");
    else
        QCOMPARE(root.exists("NEW/THEIRS"), existing == "folder");
    QVERIFY(QFileInfo(dir.filePath("NEW")).isDir() == (existing != "file"));
}

void TestRenameNoReplace::refusedWithoutChange_data() {
    addFunctions();
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    for (auto [name, function] : {std::pair{"kernel", &qubrix::renameWithoutReplacing},
                                  std::pair{"by hand", &qubrix::renameByHandWithoutReplacing}}) {
        QTest::addRow("%s: name too long", name) << function << "A.TXT" << QString(300, 'N');
        QTest::addRow("%s: no such entry", name) << function << "MISSING"
                                                 << "B.TXT";
        QTest::addRow("%s: same name", name) << function << "A.TXT"
                                             << "A.TXT";
        QTest::addRow("%s: folder into itself", name) << function << "F"
                                                      << "F/G";
    }
}

void TestRenameNoReplace::refusedWithoutChange() {
    QFETCH(RenameFunction, rename);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QTemporaryDir dir;
    writeFile(dir, "A.TXT", "a");
    QVERIFY(QDir(dir.path()).mkpath("F"));
    QVERIFY(!rename(path(dir, from), path(dir, to)));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList({"A.TXT", "F"}));
    QCOMPARE(readFile(dir, "A.TXT"), "a");
    QVERIFY(QDir(dir.filePath("F")).isEmpty());
}

QTEST_GUILESS_MAIN(TestRenameNoReplace)
#include "tst_renamenoreplace.moc"
