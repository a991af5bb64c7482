#include "medium/imagewriter.h"
#include "readonlyfolder.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

using qubrix::ImageOutcome;
using qubrix::ImagePhase;

const QString kLongName = "a lower-case name longer than the thirty-one characters of level 3.txt";

void setTime(const QString& path, time_t seconds) {
    const timeval times[2] = {{seconds, 0}, {seconds, 0}};
    QVERIFY(::lutimes(QFile::encodeName(path).constData(), times) == 0);
}

// A small staging folder: an executable script, a long lower-case name, a link inside, a
// nested folder, a lost+found that is no file system's, a pipe (left out) and old times.
void makeTree(const QString& top) {
    writeFile(top + "/autorun.sh", "#!/bin/sh\necho hi\n", true);
    QVERIFY(QDir().mkpath(top + "/lost+found"));
    writeFile(top + "/DOCS/" + kLongName, QByteArray(100'000, 'x'));
    writeFile(top + "/DOCS/deeper/empty.txt", "");
    QVERIFY(QFile::link("../autorun.sh", top + "/DOCS/start"));
    QVERIFY(::mkfifo(QFile::encodeName(top + "/pipe").constData(), 0644) == 0);
    for (const QString& path :
         {top + "/autorun.sh", top + "/DOCS/" + kLongName, top + "/DOCS/start",
          top + "/DOCS/deeper/empty.txt", top + "/DOCS/deeper", top + "/DOCS"})
        setTime(path, 1'000'000'000);
}

std::string native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The image's tree as xorriso lists it, a line each: "mode size date 'name' [-> 'target']".
QStringList xorrisoListing(const QString& image) {
    QProcess xorriso;
    xorriso.start("xorriso", {"-indev", image, "-find", "/", "-exec", "lsdl"});
    if (!xorriso.waitForFinished(30000))
        return {"xorriso did not run"};
    QStringList lines;
    for (const QString& line : QString::fromUtf8(xorriso.readAllStandardOutput()).split('\n')) {
        const QStringList fields = line.simplified().split(' ');
        if (fields.size() >= 9)
            lines.append(fields[0] + ' ' + fields.mid(4).join(' '));
    }
    return lines;
}

// The labels of the primary and the Joliet volume descriptor, from the 16th and 17th blocks.
QStringList descriptorLabels(const QString& image) {
    const QByteArray blocks = readAll(image).mid(16 * 2048, 2 * 2048);
    if (blocks.size() < 4096 || blocks[0] != 1 || blocks[2048] != 2)
        return {"no such descriptors"};
    QStringDecoder ucs2(QStringDecoder::Utf16BE);
    return {QString::fromLatin1(blocks.mid(40, 32)).trimmed(),
            QString(ucs2(blocks.mid(2048 + 40, 32))).trimmed()};
}

QStringList leftovers(const QString& folder) {
    return QDir(folder).entryList({"*.part-*"}, QDir::Files | QDir::Hidden);
}

bool libraryIsMapped(const QByteArray& name) {
    QFile maps("/proc/self/maps");
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/" + name);
}

} // namespace

class TestImageWriter : public QObject {
    Q_OBJECT

private slots:
    void writesATreeThatReadsBackAlike();
    void labelsKeepTheirTextInBothTrees();
    void windowsFindsItsProgramInTheJolietTree();
    void lostAndFoundOfTheMountIsLeftOut();
    void verifyingFindsEachDifference_data();
    void verifyingFindsEachDifference();
    void cancelLeavesTheOldImage_data();
    void cancelLeavesTheOldImage();
    void refusesBeforeWriting_data();
    void refusesBeforeWriting();
    void fullDiscFailsAndLeavesNothing();
    void killedRunsAreClearedRunningOnesKept();

private:
    QTemporaryDir m_dir;
};

void TestImageWriter::writesATreeThatReadsBackAlike() {
    const QString top = m_dir.path() + "/Demo Disc";
    makeTree(top);
    const qubrix::ImagePlan plan =
        qubrix::planImage(native(top), native(m_dir.path() + "/d.iso"), "");
    QVERIFY(!plan.refusal);
    QCOMPARE(plan.issues.size(), 2u); // the long name is cut on Windows, the pipe left out
    std::uint64_t written = 0, verified = 0;
    const std::atomic<bool> cancel{false};
    // The image library is opened at the first image: the program and its copy on a medium
    // start without it.
    QVERIFY(!libraryIsMapped("libisofs.so"));
    const qubrix::ImageResult result = qubrix::makeImage(
        plan, true,
        [&](ImagePhase phase, std::uint64_t done, std::uint64_t) {
            (phase == ImagePhase::Writing ? written : verified) = done;
        },
        cancel);
    QCOMPARE(result.outcome, ImageOutcome::Written);
    QVERIFY(libraryIsMapped("libisofs.so"));
    QCOMPARE(verified, 100'000u + 18u);
    QCOMPARE(written, static_cast<std::uint64_t>(QFileInfo(m_dir.path() + "/d.iso").size()));
    QVERIFY(leftovers(m_dir.path()).isEmpty());

    // A second opinion on names, modes, dates and links.
    const QStringList listing = xorrisoListing(m_dir.path() + "/d.iso");
    for (const QString& line :
         QStringList{"-rwxr-xr-x 18 Sep 9 2001 '/autorun.sh'", "drwxr-xr-x 0 Sep 9 2001 '/DOCS'",
                     "-rw-r--r-- 100000 Sep 9 2001 '/DOCS/" + kLongName + "'",
                     "lrwxrwxrwx 0 Sep 9 2001 '/DOCS/start' -> '../autorun.sh'",
                     "-rw-r--r-- 0 Sep 9 2001 '/DOCS/deeper/empty.txt'"})
        QVERIFY2(listing.contains(line), qPrintable(line + "\nnot in\n" + listing.join('\n')));
    QVERIFY2(!listing.join('\n').contains("pipe"), qPrintable(listing.join('\n')));
    QVERIFY2(listing.join('\n').contains("'/lost+found'"), "the author's own lost+found");
    QProcess blkid;
    blkid.start("blkid", {"-s", "LABEL", "-o", "value", m_dir.path() + "/d.iso"});
    QVERIFY(blkid.waitForFinished());
    QCOMPARE(blkid.readAllStandardOutput().trimmed(), "Demo Disc");
}

// Each tree shows its own label, and the image is kept: read back, both are as asked.
void TestImageWriter::labelsKeepTheirTextInBothTrees() {
    struct Case {
        QString folder, requested, iso, joliet;
    };
    for (const Case& c : {
             Case{"An Author's Folder Name Of Forty Characters", "",
                  "AN_AUTHOR_S_FOLDER_NAME_OF_FORTY", "An Author's Fold"},
             Case{"disc", "Caf\u00e9 M\u00fcsic", "CAF__M_SIC", "Caf\u00e9 M\u00fcsic"},
             // The 16th and 17th units are one character: neither goes in.
             Case{"disc", "123456789012345\U0001F600", "123456789012345_", "123456789012345"},
         }) {
        QTemporaryDir dir;
        writeFile(dir.path() + "/" + c.folder + "/qubrix.dat", "[Main]\r\n111\r\n");
        const QString image = dir.path() + "/out.iso";
        const qubrix::ImagePlan plan = qubrix::planImage(native(dir.path() + "/" + c.folder),
                                                         native(image), c.requested.toStdString());
        const qubrix::ImageResult result = qubrix::makeImage(plan, true, {}, std::atomic<bool>());
        QVERIFY2(result.outcome == ImageOutcome::Written, result.text.c_str());
        QCOMPARE(descriptorLabels(image), (QStringList{c.iso, c.joliet}));
    }
}

// Windows reads the Joliet tree: autorun.inf there names .qubrix\qubrix.exe, so both keep their
// names as written.
void TestImageWriter::windowsFindsItsProgramInTheJolietTree() {
    const QString top = m_dir.path() + "/windows";
    writeFile(top + "/qubrix.dat", "[Main]\r\n111\r\n");
    writeFile(top + "/autorun.inf", "[autorun]\r\nopen=.qubrix\\qubrix.exe\r\n");
    writeFile(top + "/.qubrix/qubrix.exe", "MZ");
    const QString image = m_dir.path() + "/windows.iso";
    const qubrix::ImagePlan plan = qubrix::planImage(native(top), native(image), "");
    const qubrix::ImageResult result = qubrix::makeImage(plan, true, {}, std::atomic<bool>());
    QVERIFY2(result.outcome == ImageOutcome::Written, result.text.c_str());
    // Without Rock Ridge, xorriso shows the Joliet names.
    QProcess xorriso;
    xorriso.start("xorriso", {"-read_fs", "norock", "-indev", image, "-find", "/"});
    QVERIFY(xorriso.waitForFinished(30000));
    const QStringList names =
        QString::fromUtf8(xorriso.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(names, (QStringList{"'/'", "'/.qubrix'", "'/.qubrix/qubrix.exe'", "'/autorun.inf'",
                                 "'/qubrix.dat'"}));
}

// A file system's lost+found lies at the top of its mount only: one deeper is the author's.
void TestImageWriter::lostAndFoundOfTheMountIsLeftOut() {
    if (::geteuid() != 0 || !QFile::exists("/dev/loop-control"))
        QSKIP("loop mounts need root and loop devices");
    const QString content = m_dir.path() + "/ext4-content";
    writeFile(content + "/sub/lost+found/kept.txt", "kept");
    const QString fsImage = m_dir.path() + "/medium.ext4";
    const QString mountPoint = m_dir.path() + "/medium";
    writeFile(fsImage, "");
    QVERIFY(QDir().mkpath(mountPoint) && QFile::resize(fsImage, 8 << 20));
    QCOMPARE(QProcess::execute("mkfs.ext4", {"-q", "-L", "QB Medium", "-d", content, fsImage}), 0);
    if (QProcess::execute("mount", {"-o", "loop,ro", fsImage, mountPoint}) != 0)
        QSKIP("loop mounts are refused here");
    struct Unmount {
        QString point;
        ~Unmount() { QProcess::execute("umount", {point}); }
    } unmount{mountPoint};

    const QString image = m_dir.path() + "/medium.iso";
    const qubrix::ImagePlan plan = qubrix::planImage(native(mountPoint), native(image), "");
    QCOMPARE(plan.label.joliet, "QB Medium");
    QCOMPARE(qubrix::issueListText(plan.issues),
             "warning: lost+found: belongs to the file system, not to what is on it: it is left "
             "out of the image.\n");
    const qubrix::ImageResult result = qubrix::makeImage(plan, true, {}, std::atomic<bool>());
    QVERIFY2(result.outcome == ImageOutcome::Written, result.text.c_str());
    const QString listing = xorrisoListing(image).join('\n');
    QVERIFY2(!listing.contains("'/lost+found'") && listing.contains("'/sub/lost+found/kept.txt'"),
             qPrintable(listing));
}

void TestImageWriter::verifyingFindsEachDifference_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("told");
    QTest::newRow("content") << "content"
                             << "the content of";
    QTest::newRow("mode") << "mode"
                          << "autorun.sh has another mode";
    QTest::newRow("time") << "time"
                          << "autorun.sh has another time";
    QTest::newRow("link") << "link"
                          << "DOCS/start leads elsewhere";
    QTest::newRow("size") << "size"
                          << "has another size";
    QTest::newRow("Joliet label") << "joliet"
                                  << "its Joliet label is not Other.";
    QTest::newRow("top's mode") << "top"
                                << "its top has another mode";
    // The image holds modes as mastered: a change they hide is no difference.
    QTest::newRow("mode others gain on the disc") << "same mastered mode"
                                                  << "";
}

// The image is written unverified, then the folder changes behind it.
void TestImageWriter::verifyingFindsEachDifference() {
    QFETCH(QString, change);
    QFETCH(QString, told);
    const QString top = m_dir.path() + "/" + change;
    makeTree(top);
    const QString image = m_dir.path() + "/" + change + ".iso";
    qubrix::ImagePlan plan = qubrix::planImage(native(top), native(image), "Demo");
    const std::atomic<bool> cancel{false};
    QCOMPARE(qubrix::makeImage(plan, false, {}, cancel).outcome, ImageOutcome::Written);
    bool canceled = false;
    QVERIFY(!qubrix::imageDifference(native(image), plan, {}, cancel, canceled));

    const QString script = top + "/autorun.sh";
    const QString longFile = top + "/DOCS/" + kLongName;
    if (change == "content")
        writeFile(longFile, QByteArray(99'999, 'x') + 'y');
    if (change == "mode")
        QVERIFY(QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner));
    if (change == "time")
        setTime(script, 1'000'000'001);
    if (change == "link") {
        QVERIFY(QFile::remove(top + "/DOCS/start"));
        QVERIFY(QFile::link("deeper", top + "/DOCS/start"));
    }
    if (change == "size")
        writeFile(longFile, "short");
    if (change == "joliet")
        plan.label.joliet = "Other";
    if (change == "top")
        QVERIFY(QFile::setPermissions(top, QFile::ReadOwner | QFile::ExeOwner));
    if (change == "same mastered mode")
        QVERIFY(QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ExeOwner | QFile::ExeGroup));
    if (change != "time") {
        setTime(longFile, 1'000'000'000);
        setTime(top + "/DOCS", 1'000'000'000);
        setTime(top + "/DOCS/start", 1'000'000'000);
    }
    const auto difference = qubrix::imageDifference(native(image), plan, {}, cancel, canceled);
    QFile::setPermissions(top, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (told.isEmpty()) {
        QVERIFY2(!difference, difference->c_str());
        return;
    }
    QVERIFY(difference);
    QVERIFY2(QString::fromStdString(*difference).contains(told), difference->c_str());
}

void TestImageWriter::cancelLeavesTheOldImage_data() {
    QTest::addColumn<int>("phase");
    QTest::newRow("while writing") << int(ImagePhase::Writing);
    QTest::newRow("while reading back") << int(ImagePhase::Verifying);
}

void TestImageWriter::cancelLeavesTheOldImage() {
    QFETCH(int, phase);
    const QString top = m_dir.path() + "/cancel" + QString::number(phase);
    makeTree(top);
    const QString image = top + ".iso";
    writeFile(image, "the old image");
    const qubrix::ImagePlan plan = qubrix::planImage(native(top), native(image), "");
    std::atomic<bool> cancel{false};
    const qubrix::ImageResult result = qubrix::makeImage(
        plan, true,
        [&](ImagePhase now, std::uint64_t, std::uint64_t) {
            if (int(now) == phase)
                cancel = true;
        },
        cancel);
    QCOMPARE(result.outcome, ImageOutcome::Canceled);
    QCOMPARE(readAll(image), "the old image");
    QVERIFY(leftovers(m_dir.path()).isEmpty());
}

void TestImageWriter::refusesBeforeWriting_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("told");
    QTest::newRow("output inside") << "full"
                                   << "full/sub/../x.iso"
                                   << "lies inside";
    QTest::newRow("missing folder") << "missing"
                                    << "x.iso"
                                    << "is not there, or is no folder";
    QTest::newRow("empty folder") << "empty"
                                  << "x.iso"
                                  << "holds nothing";
    QTest::newRow("output folder missing") << "full"
                                           << "nowhere/x.iso"
                                           << "is not there";
    QTest::newRow("output is a folder") << "full"
                                        << "empty"
                                        << "is a folder";
    QTest::newRow("output folder read-only") << "full"
                                             << "sealed/x.iso"
                                             << "No image can be written in";
    QTest::newRow("output is a pipe") << "full"
                                      << "pipe"
                                      << "is a pipe, not a file";
}

void TestImageWriter::refusesBeforeWriting() {
    QFETCH(QString, folder);
    QFETCH(QString, output);
    QFETCH(QString, told);
    QTemporaryDir dir;
    writeFile(dir.path() + "/full/sub/a.txt", "a");
    QVERIFY(QDir(dir.path()).mkdir("empty"));
    ReadOnlyFolder sealed(dir.path() + "/sealed");
    QVERIFY(sealed.seal());
    QVERIFY(::mkfifo(QFile::encodeName(dir.path() + "/pipe").constData(), 0644) == 0);
    const QStringList before = QDir(dir.path()).entryList();
    const qubrix::ImagePlan plan =
        qubrix::planImage(native(dir.path() + "/" + folder), native(dir.path() + "/" + output), "");
    QVERIFY(plan.refusal);
    QVERIFY2(QString::fromStdString(*plan.refusal).contains(told), plan.refusal->c_str());
    QCOMPARE(QDir(dir.path()).entryList(), before);
    QCOMPARE(QDir(dir.path() + "/full/sub").entryList(QDir::Files), QStringList{"a.txt"});
}

// A tmpfs too small for the image stands in for a full disc; mounting it needs root.
void TestImageWriter::fullDiscFailsAndLeavesNothing() {
    if (::geteuid() != 0)
        QSKIP("mounting a small file system needs root");
    const QString small = m_dir.path() + "/small";
    QVERIFY(QDir().mkpath(small));
    QVERIFY(QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=256k", "tmpfs", small}) == 0);
    const QString top = m_dir.path() + "/big";
    writeFile(top + "/data.bin", QByteArray(1'000'000, 'z'));
    const qubrix::ImagePlan plan = qubrix::planImage(native(top), native(small + "/x.iso"), "");
    const std::atomic<bool> cancel{false};
    const qubrix::ImageResult result = qubrix::makeImage(plan, true, {}, cancel);
    const QStringList left = QDir(small).entryList(QDir::Files | QDir::Hidden);
    QProcess::execute("umount", {small});
    QCOMPARE(result.outcome, ImageOutcome::Failed);
    QVERIFY2(QString::fromStdString(result.text).contains("the disc is full"), result.text.c_str());
    QCOMPARE(left, QStringList());
}

// A run that was killed left its part file; one still running holds its own locked. Only the
// first goes, and nothing that merely looks alike.
void TestImageWriter::killedRunsAreClearedRunningOnesKept() {
    const QString top = m_dir.path() + "/killed";
    writeFile(top + "/a.txt", "a");
    const QString out = m_dir.path() + "/killed-out";
    for (const char* name : {"old.iso.part-a1B2c3", "running.iso.part-Zz9Yy8", "film.part",
                             "notes.part-1", "x.part-abc"})
        writeFile(out + "/" + name, "part");
    const int running = ::open(QFile::encodeName(out + "/running.iso.part-Zz9Yy8").constData(),
                               O_RDONLY | O_CLOEXEC);
    QVERIFY(running >= 0 && ::flock(running, LOCK_EX) == 0);
    const qubrix::ImagePlan plan = qubrix::planImage(native(top), native(out + "/x.iso"), "");
    const std::atomic<bool> cancel{false};
    const qubrix::ImageResult result = qubrix::makeImage(plan, false, {}, cancel);
    ::close(running);
    QCOMPARE(result.outcome, ImageOutcome::Written);
    QCOMPARE(QDir(out).entryList(QDir::Files),
             (QStringList{"film.part", "notes.part-1", "running.iso.part-Zz9Yy8", "x.iso",
                          "x.part-abc"}));
}

QTEST_GUILESS_MAIN(TestImageWriter)
#include "tst_imagewriter.moc"
