#include "platform/linuxfileservice.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// The read-only attribute of the real file service: no write bit, or no write access for this
// user.
class TestFileAttributes : public QObject {
    Q_OBJECT

private:
    // Whether the file reads as read-only to another user (nobody); -1 when that cannot be
    // tried.
    static int readOnlyForAnotherUser(const QString& path) {
        const pid_t child = ::fork();
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(100);
            const auto attributes = LinuxFileService().fileAttributes(path);
            ::_exit(!attributes ? 2 : attributes->readOnly ? 1 : 0);
        }
        int status = 0;
        if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
            return -1;
        return WEXITSTATUS(status);
    }

private slots:
    void readOnlyWhenThisUserCannotWrite() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("qubrix.dat");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        LinuxFileService files;
        ::chmod(path.toLocal8Bit().constData(), 0644);
        QVERIFY(!files.fileAttributes(path)->readOnly);
        ::chmod(path.toLocal8Bit().constData(), 0444);
        QVERIFY(files.fileAttributes(path)->readOnly);
        QVERIFY(!files.fileAttributes(dir.filePath("missing")));

        if (::geteuid() != 0)
            QSKIP("another user's file needs root to set up");
        ::chmod(dir.path().toLocal8Bit().constData(), 0755);
        ::chmod(path.toLocal8Bit().constData(), 0644);
        QCOMPARE(readOnlyForAnotherUser(path), 1);
        ::chmod(path.toLocal8Bit().constData(), 0666);
        QCOMPARE(readOnlyForAnotherUser(path), 0);
    }
};

QTEST_MAIN(TestFileAttributes)
#include "tst_fileattributes.moc"
