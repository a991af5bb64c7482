#include "platform/mountinfo.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using mountinfo::Mount;

namespace {

QList<Mount> table(std::initializer_list<const char*> mountPoints) {
    QList<Mount> mounts;
    for (const char* point : mountPoints)
        mounts.append({QString::fromUtf8(point), QStringLiteral("src:") + point, "ext4", "8:1"});
    return mounts;
}

bool run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// A small ext4 image made from a folder, loop-mounted for the length of one test.
class MountedImage {
public:
    MountedImage(const QString& workDir, const QString& label, const QString& mountPoint)
        : m_mountPoint(mountPoint) {
        const QString content = workDir + "/content";
        const QString image = workDir + "/disc.img";
        QDir().mkpath(content + "/MENU");
        QStringList mkfs{"-q", "-F", "-d", content, image, "8M"};
        if (!label.isEmpty())
            mkfs = QStringList{"-L", label} + mkfs;
        QDir().mkpath(mountPoint);
        m_mounted = run("mkfs.ext4", mkfs) && run("mount", {"-o", "loop,ro", image, mountPoint});
    }
    ~MountedImage() {
        if (m_mounted)
            run("umount", {m_mountPoint});
    }
    bool mounted() const { return m_mounted; }

private:
    QString m_mountPoint;
    bool m_mounted = false;
};

} // namespace

class TestVolume final : public QObject {
    Q_OBJECT

private slots:
    void decodesKernelEscapes_data();
    void decodesKernelEscapes();
    void decodesUdevEscapes_data();
    void decodesUdevEscapes();
    void parsesMountinfoLines();
    void rejectsMalformedLines();
    void findsTheMountHoldingAPath_data();
    void findsTheMountHoldingAPath();
    void stackedMountsTopmostWins();
    void hiddenMountsDoNotHoldWhatTheDeviceSaysTheyDoNot();
    void liveRootAndTemporaryFolder();
    void labelledLoopMountedImage();
    void discImageMountedThroughFuse();
};

void TestVolume::decodesKernelEscapes_data() {
    QTest::addColumn<QByteArray>("escaped");
    QTest::addColumn<QByteArray>("decoded");
    QTest::newRow("plain") << QByteArray("/media/disc") << QByteArray("/media/disc");
    QTest::newRow("blank") << QByteArray("/media/MY\\040DISC") << QByteArray("/media/MY DISC");
    QTest::newRow("tab newline backslash")
        << QByteArray("a\\011b\\012c\\134d") << QByteArray("a\tb\nc\\d");
    QTest::newRow("escape at the very end") << QByteArray("x\\040") << QByteArray("x ");
    QTest::newRow("too short to be an escape") << QByteArray("x\\04") << QByteArray("x\\04");
    QTest::newRow("not octal") << QByteArray("x\\089") << QByteArray("x\\089");
    QTest::newRow("out of byte range") << QByteArray("x\\777") << QByteArray("x\\777");
}

void TestVolume::decodesKernelEscapes() {
    QFETCH(QByteArray, escaped);
    QFETCH(QByteArray, decoded);
    QCOMPARE(mountinfo::decodeOctalEscapes(escaped), decoded);
}

void TestVolume::decodesUdevEscapes_data() {
    QTest::addColumn<QByteArray>("escaped");
    QTest::addColumn<QByteArray>("decoded");
    QTest::newRow("blank") << QByteArray("MY\\x20DISC") << QByteArray("MY DISC");
    QTest::newRow("slash and upper-case hex") << QByteArray("A\\x2FB\\x2f") << QByteArray("A/B/");
    QTest::newRow("utf-8 bytes") << QByteArray("Caf\\xc3\\xa9") << QByteArray("Caf\xc3\xa9");
    QTest::newRow("incomplete") << QByteArray("A\\x2") << QByteArray("A\\x2");
    QTest::newRow("not hex") << QByteArray("A\\xzz") << QByteArray("A\\xzz");
}

void TestVolume::decodesUdevEscapes() {
    QFETCH(QByteArray, escaped);
    QFETCH(QByteArray, decoded);
    QCOMPARE(mountinfo::decodeHexEscapes(escaped), decoded);
}

void TestVolume::parsesMountinfoLines() {
    // Optional fields between the options and "-" vary in number.
    const auto none = mountinfo::parseLine("27 1 254:0 / / rw,relatime - ext4 /dev/vda rw");
    QVERIFY(none);
    QCOMPARE(none->mountPoint, "/");
    QCOMPARE(none->source, "/dev/vda");
    QCOMPARE(none->fsType, "ext4");
    QCOMPARE(none->device, "254:0");

    const auto two = mountinfo::parseLine(
        "45 27 7:0 /sub /media/MY\\040DISC ro,relatime shared:5 master:1 - iso9660 "
        "/dev/sr0 ro,nojoliet\n");
    QVERIFY(two);
    QCOMPARE(two->mountPoint, "/media/MY DISC");
    QCOMPARE(two->source, "/dev/sr0");
    QCOMPARE(two->fsType, "iso9660");

    const QList<Mount> parsed =
        mountinfo::parseTable("27 1 254:0 / / rw - ext4 /dev/vda rw\n"
                              "garbage\n"
                              "\n"
                              "30 27 0:27 / /dev/shm rw - tmpfs tmpfs rw\n");
    QCOMPARE(parsed.size(), 2);
    QCOMPARE(parsed[1].mountPoint, "/dev/shm");
}

void TestVolume::rejectsMalformedLines() {
    QVERIFY(!mountinfo::parseLine(""));
    QVERIFY(!mountinfo::parseLine("27 1 254:0 / / rw,relatime ext4 /dev/vda rw"));
    QVERIFY(!mountinfo::parseLine("27 1 254:0 / / rw,relatime - ext4"));
    QVERIFY(!mountinfo::parseLine("27 1 254:0 / relative rw - ext4 /dev/vda rw"));
}

void TestVolume::findsTheMountHoldingAPath_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("mountPoint");
    QTest::newRow("root file system") << "/home/author/disc"
                                      << "/";
    QTest::newRow("the mount point itself") << "/media/cd"
                                            << "/media/cd";
    QTest::newRow("deep inside") << "/media/cd/TOOLS/x"
                                 << "/media/cd";
    QTest::newRow("a name that only starts alike") << "/media/cdrom/x"
                                                   << "/";
    QTest::newRow("nested mount wins") << "/media/cd/inner/x"
                                       << "/media/cd/inner";
    QTest::newRow("blank in the name") << "/media/MY DISC/a"
                                       << "/media/MY DISC";
}

void TestVolume::findsTheMountHoldingAPath() {
    QFETCH(QString, path);
    QFETCH(QString, mountPoint);
    // The nested mount comes before its parent: the longest match wins, not the first or last.
    const QList<Mount> mounts =
        table({"/", "/media/cd/inner", "/media/cd", "/media/MY DISC", "/proc"});
    const auto mount = mountinfo::mountHolding(mounts, path);
    QVERIFY(mount);
    QCOMPARE(mount->mountPoint, mountPoint);
}

void TestVolume::stackedMountsTopmostWins() {
    QList<Mount> mounts = table({"/", "/mnt", "/other"});
    mounts.append({"/mnt", "/dev/loop1", "ext4", "7:1"});
    QCOMPARE(mountinfo::mountHolding(mounts, "/mnt/x")->source, "/dev/loop1");
    QCOMPARE(mountinfo::mountAt(mounts, "/mnt")->source, "/dev/loop1");
    QVERIFY(!mountinfo::mountAt(mounts, "/mnt/x"));
    QVERIFY(!mountinfo::mountHolding(table({"/media"}), "/home"));
}

void TestVolume::hiddenMountsDoNotHoldWhatTheDeviceSaysTheyDoNot() {
    // A disc at /media/u/disc, then its parent folder mounted over: a folder named disc on the
    // later mount is held by the later mount, not by the hidden disc.
    const QList<Mount> mounts = {{"/", "/dev/sda1", "ext4", "8:1"},
                                 {"/media/u/disc", "/dev/sr0", "iso9660", "11:0"},
                                 {"/media/u", "/dev/sdb1", "vfat", "8:17"},
                                 {"/mnt", "/dev/loop1", "ext4", "7:1"},
                                 {"/mnt", "/dev/loop2", "ext4", "7:2"}};
    QCOMPARE(mountinfo::mountHolding(mounts, "/media/u/disc/x", "8:17")->mountPoint, "/media/u");
    QCOMPARE(mountinfo::mountHolding(mounts, "/media/u/disc/x", "11:0")->mountPoint,
             "/media/u/disc");
    // Stacked on one point: the one the path's device names, the hidden one included.
    QCOMPARE(mountinfo::mountHolding(mounts, "/mnt/x", "7:1")->source, "/dev/loop1");
    QCOMPARE(mountinfo::mountHolding(mounts, "/mnt/x", "7:2")->source, "/dev/loop2");
    // A device no mount names (a subvolume): the longest mount point, as without one.
    QCOMPARE(mountinfo::mountHolding(mounts, "/media/u/disc/x", "0:99")->mountPoint,
             "/media/u/disc");
}

void TestVolume::liveRootAndTemporaryFolder() {
    QCOMPARE(mountinfo::mountPointOf("/"), "/");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString mountPoint = mountinfo::mountPointOf(dir.path());
    const QString canonical = QFileInfo(dir.path()).canonicalFilePath();
    QVERIFY2(mountPoint == "/" || canonical == mountPoint || canonical.startsWith(mountPoint + "/"),
             qPrintable(mountPoint + " does not hold " + canonical));
    // A folder that does not exist is placed by its path.
    QCOMPARE(mountinfo::mountPointOf(dir.path() + "/missing/folder"), mountPoint);
}

void TestVolume::labelledLoopMountedImage() {
    if (::geteuid() != 0)
        QSKIP("loop mounts need root");
    if (QStandardPaths::findExecutable("mkfs.ext4").isEmpty() ||
        !QFileInfo::exists("/dev/loop-control"))
        QSKIP("mkfs.ext4 or loop devices are not available");

    QTemporaryDir work;
    QVERIFY(work.isValid());
    // A blank in the mount point and in the label: both come back escaped from the system.
    const QString labelledPoint = work.path() + "/media/MY DISC";
    const QString plainPoint = work.path() + "/media/plain";
    MountedImage labelled(work.path() + "/a", "QB DEMO", labelledPoint);
    MountedImage plain(work.path() + "/b", QString(), plainPoint);
    if (!labelled.mounted() || !plain.mounted())
        QSKIP("the loop mounts could not be made here");

    QCOMPARE(mountinfo::mountPointOf(labelledPoint + "/MENU"), labelledPoint);
    QCOMPARE(mountinfo::volumeLabel(labelledPoint), "QB DEMO");
    QCOMPARE(mountinfo::mountPointOf(plainPoint + "/MENU"), plainPoint);
    QCOMPARE(mountinfo::volumeLabel(plainPoint), QString());
}

// Where the kernel has no ISO 9660 driver a disc image is mounted through fuseiso; given the
// image as its source, the label is read from the image itself.
void TestVolume::discImageMountedThroughFuse() {
    for (const char* tool : {"xorriso", "fuseiso", "fusermount"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            QSKIP("xorriso, fuseiso or fusermount is not installed");
    if (!QFileInfo::exists("/dev/fuse"))
        QSKIP("no /dev/fuse here");
    QTemporaryDir work;
    QVERIFY(work.isValid());
    QVERIFY(QDir(work.path()).mkpath("tree/MENU"));
    const QString image = work.path() + "/disc.iso";
    QVERIFY(run("xorriso", {"-as", "mkisofs", "-quiet", "-V", "QB_DEMO", "-J", "-r", "-o", image,
                            work.path() + "/tree"}));
    for (const bool named : {true, false}) {
        const QString point = work.path() + (named ? "/named" : "/unnamed");
        QVERIFY(QDir().mkpath(point));
        QStringList arguments{image, point, "-o", "ro"};
        if (named)
            arguments << "-o"
                      << "fsname=" + image;
        if (!run("fuseiso", arguments))
            QSKIP("fuseiso cannot mount here");
        const QString label = mountinfo::volumeLabel(point);
        const QString mountPoint = mountinfo::mountPointOf(point + "/MENU");
        QVERIFY(run("fusermount", {"-u", point}));
        QCOMPARE(mountPoint, point);
        QCOMPARE(label, named ? QString("QB_DEMO") : QString());
    }
}

QTEST_GUILESS_MAIN(TestVolume)
#include "tst_volume.moc"
