#include "core/catalogue/datafiles.h"

#include "tempfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>

#include <sched.h>
#include <sys/mount.h>
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
    // Bigger than any catalogue, and than memory may hold: refused before it is read.
    writeFile(folder.file("huge"), "");
    std::filesystem::resize_file(folder.file("huge"), kMaxDataFileSize + 1);
    struct Case {
        std::string path;
        std::string reason;
    };
    for (const Case& c : {Case{folder.path(), std::strerror(EISDIR)},
                          Case{folder.file("fifo"), "Not a regular file"},
                          Case{folder.file("zero"), "Not a regular file"},
                          Case{folder.file("huge"), std::strerror(EFBIG)}}) {
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

TEST_F(SharedFolder, AnotherUsersLeftOversInAStickyFolderLeaveThisUsersSavesAlone) {
    // Root's saves left staging files that only root may remove: a save that was stopped
    // before its commit, and one finished by copying. The other user's saves still stage and
    // rename, rather than writing the files in place.
    own(folder.path(), 0, 0, 01777);
    const std::pair<std::string, std::string> leftOvers[] = {
        {".descript.txt.qubrix-new", "root's note\r\n"},
        {".qubrix.dat.qubrix-partial", "[Ma"},
        {".qubrix.dat.qubrix-new", ""},
        {".descript.txt.qubrix-new-0", "root's note\r\n"},
        {".qubrix.dat.qubrix-partial-0", "[Ma"}};
    for (const auto& [name, bytes] : leftOvers) {
        writeFile(folder.file(name), bytes);
        own(folder.file(name), 0, 0, 0644);
    }
    own(files.catalogue, test::kOtherUser, test::kOtherUsersGroup, 0644);
    own(files.notes, test::kOtherUser, test::kOtherUsersGroup, 0644);
    const ino_t before = statOf(files.catalogue).st_ino;
    ASSERT_EQ(saveAsOtherUser(), 0);
    expectPair(kNewCatalogue, kNewNotes);
    EXPECT_NE(statOf(files.catalogue).st_ino, before) << "written in place";
    Names expected = {"descript.txt", "qubrix.dat"};
    for (const auto& leftOver : leftOvers)
        expected.push_back(leftOver.first);
    std::sort(expected.begin(), expected.end());
    expectOnly(expected);
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

TEST_F(SharedFolder, StickyFolderFinishesAnotherUsersInterruptedSaveAndSavesOn) {
    // Root's save was killed past its commit, and only root may remove its staged files. The
    // other user, who may write both files, finishes that save and goes on saving.
    own(folder.path(), 0, 0, 01777);
    const std::string stagedNotes = folder.file(".descript.txt.qubrix-new");
    const std::string stagedCatalogue = folder.file(".qubrix.dat.qubrix-new");
    writeFile(stagedNotes, kNewNotes);
    writeFile(stagedCatalogue, kNewCatalogue);
    for (const std::string& path : {files.catalogue, files.notes, stagedNotes, stagedCatalogue})
        own(path, 0, test::kSharedGroup, 0664);
    const auto asOtherUser = [this](const std::function<bool()>& work) {
        return runAsOtherUser([&] { return work() ? 0 : 1; });
    };
    const auto recoversThePair = [this] {
        return recoverInterruptedSave(files).catalogue == files.catalogue;
    };
    EXPECT_EQ(asOtherUser(recoversThePair), 0);
    expectPair(kNewCatalogue, kNewNotes);

    const std::string third = "[Main]\r\nthird;THIRD.TXT;-1\r\n110\r\n";
    EXPECT_EQ(asOtherUser([&] { return saveDataFiles(files, third, "third\r\n").ok; }), 0);
    expectPair(third, "third\r\n");
    // The finished save is never put in place again.
    EXPECT_EQ(asOtherUser(recoversThePair), 0);
    expectPair(third, "third\r\n");
}

// Runs work in a child process on a medium of its own: a tmpfs of size bytes mounted on folder
// in a mount namespace of the child, so that the mount ends with it. Needs root; 99 where the
// system offers no mount namespace.
template <typename Work> int onSmallMedium(const std::string& folder, std::size_t size, Work work) {
    return test::runInChild([&] {
        const std::string options = "size=" + std::to_string(size);
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("qubrix-test", folder.c_str(), "tmpfs", 0, options.c_str()) != 0)
            return 99;
        return work();
    });
}

TEST_F(SharedFolder, AMediumTooFullForTheNewTextChangesNeitherFile) {
    // Files written in place (one with another name; a folder that refuses new files) get room
    // for their new length before the first byte changes.
    constexpr std::size_t kPage = 4096;
    const std::string medium = folder.file("medium");
    std::filesystem::create_directory(medium);
    const DataFilePair small{medium + "/qubrix.dat", medium + "/descript.txt"};
    const std::string bigCatalogue = "[Main]\r\n" + std::string(25 * kPage, 'x') + "\r\n110\r\n";
    own(folder.path(), 0, 0, 0755);
    struct Case {
        const char* what;
        bool hardLink;
        bool asOtherUser;
        std::size_t fillerPages; // what leaves room for the staged files, or not even that
    };
    for (const Case& c : {Case{"hard-linked catalogue", true, false, 24},
                          Case{"folder refusing new files", false, true, 50}}) {
        const int result = onSmallMedium(medium, 64 * kPage, [&] {
            writeFile(small.catalogue, kOldCatalogue);
            writeFile(small.notes, kOldNotes);
            writeFile(medium + "/filler", std::string(c.fillerPages * kPage, 'f'));
            ::chmod(medium.c_str(), 0755);
            if (c.hardLink && ::link(small.catalogue.c_str(), (medium + "/other.dat").c_str()) != 0)
                return 2;
            ::chmod(small.catalogue.c_str(), 0666);
            ::chmod(small.notes.c_str(), 0666);
            const auto save = [&] {
                const WriteOutcome outcome = saveDataFiles(small, bigCatalogue, kNewNotes);
                return !outcome.ok && outcome.error == std::strerror(ENOSPC) ? 0 : 3;
            };
            const int saved = c.asOtherUser ? runAsOtherUser(save) : save();
            if (saved != 0)
                return saved;
            if (readFile(small.catalogue) != kOldCatalogue || readFile(small.notes) != kOldNotes)
                return 4;
            return std::distance(std::filesystem::directory_iterator(medium), {}) ==
                           (c.hardLink ? 4 : 3)
                       ? 0
                       : 5;
        });
        if (result == 99)
            GTEST_SKIP() << "no mount namespace here";
        // 3: the save did not fail for want of room; 4: a file changed; 5: a file was left.
        EXPECT_EQ(result, 0) << c.what;
    }
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
        {"finished, staged catalogue emptied", {{stagedCatalogue, ""}}, false},
        {"committed by another user",
         {{folder.file(".descript.txt.qubrix-new-4242"), kNewNotes},
          {folder.file(".qubrix.dat.qubrix-new-4242"), kNewCatalogue}},
         true},
        {"another user's, not committed",
         {{folder.file(".descript.txt.qubrix-new-4242"), kNewNotes},
          {folder.file(".qubrix.dat.qubrix-partial-4242"), "[Ma"}},
         false},
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
