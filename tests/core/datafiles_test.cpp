#include "catalogue/datafiles.h"

#include "tempfolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

using namespace std::string_literals;

namespace qubrix {
namespace {

using test::readFile;
using test::runAsOtherUser;
using test::runningAsRoot;
using test::TempFolder;
using test::writeFile;
using Names = std::vector<std::string>;

const std::string kOldCatalogue = "[Main]\r\nold;OLD.TXT;0\r\n110\r\n";
const std::string kOldNotes = "old note\r\n";
const std::string kNewCatalogue = "[Main]\r\nnew;NEW.TXT;0\r\n111\r\n";
const std::string kNewNotes = "new note\r\n";

struct stat statOf(const std::string& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info;
}

TEST(ReadDataFile, ReadsRegularFilesOnlyAndNeverBlocks) {
    TempFolder folder;
    EXPECT_EQ(readDataFile(folder.file("absent")).status, ReadOutcome::Status::Missing);

    const std::string bytes = "one\r\n\0two\xFF"s + std::string(100000, 'x');
    writeFile(folder.file("data"), bytes);
    const ReadOutcome read = readDataFile(folder.file("data"));
    EXPECT_EQ(read.status, ReadOutcome::Status::Read);
    EXPECT_EQ(read.bytes, bytes);

    ASSERT_EQ(::mkfifo(folder.file("fifo").c_str(), 0644), 0);
    std::filesystem::create_symlink("/dev/zero", folder.file("zero"));
    struct Case {
        std::string path;
        std::string reason;
    };
    for (const Case& c : {Case{folder.path(), std::strerror(EISDIR)},
                          Case{folder.file("fifo"), "Not a regular file"},
                          Case{folder.file("zero"), "Not a regular file"}}) {
        const ReadOutcome refused = readDataFile(c.path);
        EXPECT_EQ(refused.status, ReadOutcome::Status::Failed) << c.path;
        EXPECT_EQ(refused.error, c.reason) << c.path;
        EXPECT_TRUE(refused.bytes.empty()) << c.path;
    }
}

TEST(ReadDataFile, GivesTheReasonOfADeniedRead) {
    TempFolder folder;
    writeFile(folder.file("data"), "secret");
    ::chmod(folder.file("data").c_str(), 0600);
    ::chmod(folder.path().c_str(), 0755);
    const auto deniedRead = [&] {
        const ReadOutcome denied = readDataFile(folder.file("data"));
        return denied.status == ReadOutcome::Status::Failed && denied.error == std::strerror(EACCES)
                   ? 0
                   : 1;
    };
    if (runningAsRoot()) {
        EXPECT_EQ(runAsOtherUser(deniedRead), 0);
        return;
    }
    ::chmod(folder.file("data").c_str(), 0);
    EXPECT_EQ(deniedRead(), 0);
}

class SaveDataFiles : public testing::Test {
protected:
    TempFolder folder;
    DataFilePair files{folder.file("qubrix.dat"), folder.file("descript.txt")};

    void SetUp() override {
        writeFile(files.catalogue, kOldCatalogue);
        writeFile(files.notes, kOldNotes);
    }
    WriteOutcome save() const { return saveDataFiles(files, kNewCatalogue, kNewNotes); }
    // As the other user: 0 for a save that succeeded, 1 when it failed at the notes file, 2
    // when it failed at the catalogue.
    int saveAsOtherUser() const {
        return runAsOtherUser([this] {
            const WriteOutcome outcome = save();
            return outcome.ok ? 0 : outcome.failedPath == files.notes ? 1 : 2;
        });
    }
    void expectPair(const std::string& catalogue, const std::string& notes) const {
        EXPECT_EQ(readFile(files.catalogue), catalogue);
        EXPECT_EQ(readFile(files.notes), notes);
    }
    void expectOnly(const Names& names) const { EXPECT_EQ(folder.entries(), names); }
};

TEST_F(SaveDataFiles, ReplacesBothKeepingTheModeAndCreatesMissingFiles) {
    ::chmod(files.catalogue.c_str(), 0640);
    std::filesystem::remove(files.notes);
    const WriteOutcome outcome = save();
    ASSERT_TRUE(outcome.ok) << outcome.failedPath << ": " << outcome.error;
    expectPair(kNewCatalogue, kNewNotes);
    EXPECT_EQ(statOf(files.catalogue).st_mode & 07777, 0640u);
    expectOnly({"descript.txt", "qubrix.dat"});
}

TEST_F(SaveDataFiles, RefusedSavesChangeNothing) {
    struct Case {
        const char* what;
        std::function<void()> prepare;
        bool failsAtNotes;
        std::string reason;
        std::function<void()> undo;
    };
    const std::string elsewhere = folder.file("elsewhere");
    const Case cases[] = {
        {"write-protected catalogue", [&] { ::chmod(files.catalogue.c_str(), 0444); }, false,
         std::strerror(EACCES), [&] { ::chmod(files.catalogue.c_str(), 0644); }},
        {"notes file is a folder",
         [&] {
             std::filesystem::rename(files.notes, elsewhere);
             std::filesystem::create_directory(files.notes);
         },
         true, std::strerror(EISDIR),
         [&] {
             std::filesystem::remove(files.notes);
             std::filesystem::rename(elsewhere, files.notes);
         }},
        {"catalogue is a FIFO",
         [&] {
             std::filesystem::rename(files.catalogue, elsewhere);
             ::mkfifo(files.catalogue.c_str(), 0644);
         },
         false, "Not a regular file",
         [&] {
             std::filesystem::remove(files.catalogue);
             std::filesystem::rename(elsewhere, files.catalogue);
         }},
        {"notes file is the catalogue",
         [&] {
             std::filesystem::rename(files.notes, elsewhere);
             std::filesystem::create_symlink("qubrix.dat", files.notes);
         },
         false, "The catalogue and the notes file are the same file",
         [&] {
             std::filesystem::remove(files.notes);
             std::filesystem::rename(elsewhere, files.notes);
         }},
    };
    for (const Case& c : cases) {
        c.prepare();
        const WriteOutcome outcome = save();
        EXPECT_FALSE(outcome.ok) << c.what;
        EXPECT_EQ(outcome.failedPath, c.failsAtNotes ? files.notes : files.catalogue) << c.what;
        EXPECT_EQ(outcome.error, c.reason) << c.what;
        c.undo();
        expectPair(kOldCatalogue, kOldNotes);
        expectOnly({"descript.txt", "qubrix.dat"});
    }
}

TEST_F(SaveDataFiles, SymbolicLinksAreWrittenThroughAndStayLinks) {
    std::filesystem::create_directory(folder.file("real"));
    std::filesystem::rename(files.catalogue, folder.file("real/menu.dat"));
    std::filesystem::remove(files.notes);
    std::filesystem::create_symlink("real/menu.dat", files.catalogue);
    // A dangling link: the save creates the file it points to.
    std::filesystem::create_symlink(folder.file("real/notes.txt"), files.notes);

    const WriteOutcome outcome = save();
    ASSERT_TRUE(outcome.ok) << outcome.failedPath << ": " << outcome.error;
    EXPECT_TRUE(S_ISLNK(statOf(files.catalogue).st_mode));
    EXPECT_TRUE(S_ISLNK(statOf(files.notes).st_mode));
    EXPECT_EQ(readFile(folder.file("real/menu.dat")), kNewCatalogue);
    EXPECT_EQ(readFile(folder.file("real/notes.txt")), kNewNotes);
    expectOnly({"descript.txt", "qubrix.dat", "real"});
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.file("real")), {}), 2);
}

TEST_F(SaveDataFiles, HardLinkedFilesKeepEveryName) {
    ASSERT_EQ(::link(files.catalogue.c_str(), folder.file("other.dat").c_str()), 0);
    const WriteOutcome outcome = save();
    ASSERT_TRUE(outcome.ok) << outcome.failedPath << ": " << outcome.error;
    expectPair(kNewCatalogue, kNewNotes);
    EXPECT_EQ(readFile(folder.file("other.dat")), kNewCatalogue);
    EXPECT_EQ(statOf(files.catalogue).st_nlink, 2u);
    expectOnly({"descript.txt", "other.dat", "qubrix.dat"});
}

class SharedFolder : public SaveDataFiles {
protected:
    void SetUp() override {
        if (!runningAsRoot())
            GTEST_SKIP() << "needs root to act as another user";
        SaveDataFiles::SetUp();
    }
    void own(const std::string& path, uid_t owner, gid_t group, mode_t mode) const {
        ASSERT_EQ(::chown(path.c_str(), owner, group), 0);
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    }
    void expectOwned(const std::string& path, uid_t owner, gid_t group, mode_t mode) const {
        const struct stat info = statOf(path);
        EXPECT_EQ(info.st_uid, owner) << path;
        EXPECT_EQ(info.st_gid, group) << path;
        EXPECT_EQ(info.st_mode & 07777, mode) << path;
    }
};

TEST_F(SharedFolder, GroupMemberKeepsOwnerGroupAndMode) {
    own(folder.path(), 0, test::kSharedGroup, 0775);
    own(files.catalogue, 0, test::kSharedGroup, 0664);
    own(files.notes, test::kOtherUser, test::kSharedGroup, 0660);
    ASSERT_EQ(saveAsOtherUser(), 0);
    expectPair(kNewCatalogue, kNewNotes);
    expectOwned(files.catalogue, 0, test::kSharedGroup, 0664);
    expectOwned(files.notes, test::kOtherUser, test::kSharedGroup, 0660);
    expectOnly({"descript.txt", "qubrix.dat"});
}

TEST_F(SharedFolder, StickyFolderSavesBothFilesOrNeither) {
    // Only the owner may rename over a file in a sticky folder: a catalogue of someone else
    // that the user may write is written in place.
    own(folder.path(), 0, 0, 01777);
    own(files.notes, test::kOtherUser, test::kOtherUsersGroup, 0644);
    own(files.catalogue, 0, test::kSharedGroup, 0664);
    ASSERT_EQ(saveAsOtherUser(), 0);
    expectPair(kNewCatalogue, kNewNotes);
    expectOwned(files.catalogue, 0, test::kSharedGroup, 0664);

    writeFile(files.catalogue, kOldCatalogue);
    writeFile(files.notes, kOldNotes);
    own(files.catalogue, 0, 0, 0644);
    EXPECT_EQ(saveAsOtherUser(), 2);
    expectPair(kOldCatalogue, kOldNotes);
    expectOnly({"descript.txt", "qubrix.dat"});
}

TEST_F(SharedFolder, FolderRefusingNewFilesIsWrittenInPlace) {
    own(folder.path(), 0, 0, 0755);
    own(files.catalogue, 0, 0, 0666);
    own(files.notes, 0, 0, 0666);
    ASSERT_EQ(saveAsOtherUser(), 0);
    expectPair(kNewCatalogue, kNewNotes);
    expectOwned(files.catalogue, 0, 0, 0666);

    // A notes file that would have to be created cannot be: nothing is written.
    writeFile(files.catalogue, kOldCatalogue);
    std::filesystem::remove(files.notes);
    EXPECT_EQ(saveAsOtherUser(), 1);
    EXPECT_EQ(readFile(files.catalogue), kOldCatalogue);
    expectOnly({"qubrix.dat"});
}

class InterruptedSave : public SaveDataFiles {
protected:
    std::string stagedCatalogue = folder.file(".qubrix.dat.qubrix-new");
    std::string partialCatalogue = folder.file(".qubrix.dat.qubrix-partial");
    std::string stagedNotes = folder.file(".descript.txt.qubrix-new");
};

TEST_F(InterruptedSave, NextStartFinishesACommittedSaveAndDropsAnUncommittedOne) {
    struct Case {
        const char* moment;
        std::vector<std::pair<std::string, std::string>> left; // files the crash left behind
        bool newPair;
    };
    const Case cases[] = {
        {"notes staged", {{stagedNotes, kNewNotes}}, false},
        {"catalogue half written", {{stagedNotes, kNewNotes}, {partialCatalogue, "[Ma"}}, false},
        {"committed", {{stagedNotes, kNewNotes}, {stagedCatalogue, kNewCatalogue}}, true},
        {"between the renames", {{files.notes, kNewNotes}, {stagedCatalogue, kNewCatalogue}}, true},
    };
    for (const Case& c : cases) {
        writeFile(files.catalogue, kOldCatalogue);
        writeFile(files.notes, kOldNotes);
        for (const auto& [path, bytes] : c.left)
            writeFile(path, bytes);
        const DataFilePair toRead = recoverInterruptedSave(files);
        EXPECT_EQ(toRead.catalogue, files.catalogue) << c.moment;
        EXPECT_EQ(toRead.notes, files.notes) << c.moment;
        if (c.newPair)
            expectPair(kNewCatalogue, kNewNotes);
        else
            expectPair(kOldCatalogue, kOldNotes);
        expectOnly({"descript.txt", "qubrix.dat"});
    }
}

TEST_F(InterruptedSave, CommittedSaveOnAFolderNoLongerWritableIsReadFromItsStagedFiles) {
    if (!runningAsRoot())
        GTEST_SKIP() << "needs root to act as another user";
    writeFile(stagedNotes, kNewNotes);
    writeFile(stagedCatalogue, kNewCatalogue);
    ::chmod(folder.path().c_str(), 0755);
    const int readsStaged = runAsOtherUser([this] {
        const DataFilePair toRead = recoverInterruptedSave(files);
        return toRead.catalogue == stagedCatalogue && toRead.notes == stagedNotes ? 0 : 1;
    });
    EXPECT_EQ(readsStaged, 0);
    expectPair(kOldCatalogue, kOldNotes);
}

} // namespace
} // namespace qubrix
