#include "posix/actions/copyengine.h"

#include "tempfolder.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using qubrix::CopyMode;
using qubrix::CopyReport;
using qubrix::OverwriteAnswer;
using qubrix::test::readFile;
using qubrix::test::TempFolder;
using qubrix::test::writeFile;
using Outcome = qubrix::CopyReport::Outcome;

namespace {

// Answers overwrite questions from a script and records what the engine tells.
class RecordingObserver : public qubrix::CopyObserver {
public:
    std::deque<OverwriteAnswer> answers;
    std::vector<qubrix::OverwriteQuestion> questions;
    std::vector<qubrix::CopyProgress> progress;
    std::vector<CopyReport> finished;
    std::function<void(const qubrix::CopyProgress&)> onProgress;
    std::function<void()> onAsk;

    void copyProgress(const qubrix::CopyProgress& p) override {
        progress.push_back(p);
        if (onProgress)
            onProgress(p);
    }
    OverwriteAnswer askOverwrite(const qubrix::OverwriteQuestion& question) override {
        questions.push_back(question);
        if (onAsk)
            onAsk();
        if (answers.empty())
            return OverwriteAnswer::Cancel;
        const OverwriteAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void copyFinished(const CopyReport& report) override { finished.push_back(report); }
};

CopyReport copy(const std::string& disc, const std::string& storedPath, CopyMode mode,
                const std::string& destination, RecordingObserver& observer,
                std::stop_token stop = {}) {
    return qubrix::runCopy(qubrix::planCopy(disc, {storedPath}, mode, destination), observer, stop);
}

void setModified(const std::string& path, std::time_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

std::string bytes(std::size_t size, unsigned seed) {
    std::string text(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        text[i] = static_cast<char>((i * 131 + seed) % 251);
    return text;
}

// Every entry below root by relative path: "d" for a folder, "l:" and the link text for a
// link, the bytes for a file.
std::map<std::string, std::string> snapshot(const std::string& root) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = entry.path().lexically_relative(root).string();
        if (entry.is_symlink())
            entries[name] = "l:" + fs::read_symlink(entry.path()).string();
        else if (entry.is_directory())
            entries[name] = "d";
        else
            entries[name] = readFile(entry.path().string());
    }
    return entries;
}

struct stat statOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return status;
}

std::string namesOf(const std::vector<std::string>& paths) { // blank-separated
    std::string names;
    for (const std::string& path : paths)
        names += (names.empty() ? "" : " ") + fs::path(path).filename().string();
    return names;
}

TEST(CopyEngine, FolderCopyIsExactKeepsTimesAndGivesTheOwnerWriteAccess) {
    TempFolder disc, home;
    fs::create_directories(disc.file("games/chess/data/deep"));
    writeFile(disc.file("games/chess/chess.exe"), bytes(3 << 20, 1)); // several chunks
    writeFile(disc.file("games/chess/empty"), "");
    writeFile(disc.file("games/chess/.hidden"), "h");
    writeFile(disc.file("games/chess/data/deep/board.dat"), bytes(70000, 2));
    setModified(disc.file("games/chess/chess.exe"), 1000000000);
    setModified(disc.file("games/chess/data/deep"), 900000000);
    // A pressed disc: nothing writable.
    for (const auto& entry : fs::recursive_directory_iterator(disc.file("games")))
        fs::permissions(entry.path(), entry.is_directory() ? fs::perms(0555) : fs::perms(0444));

    RecordingObserver observer;
    const CopyReport report = copy(disc.path(), "GAMES\\CHESS\\CHESS.EXE", CopyMode::Folder,
                                   home.file("new/dest"), observer);

    EXPECT_EQ(report.outcome, Outcome::Finished);
    EXPECT_TRUE(report.failures.empty());
    EXPECT_EQ(report.filesCopied, 4u);
    const std::string copied = home.file("new/dest/CHESS");
    EXPECT_EQ(snapshot(copied), snapshot(disc.file("games/chess")));
    EXPECT_EQ(statOf(copied + "/chess.exe").st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(statOf(copied + "/chess.exe").st_mtim.tv_nsec, 123456789);
    EXPECT_EQ(statOf(copied + "/data/deep").st_mtim.tv_sec, 900000000);
    for (const auto& entry : fs::recursive_directory_iterator(copied))
        EXPECT_NE(statOf(entry.path().string()).st_mode & S_IWUSR, 0u) << entry.path();

    for (const auto& entry : fs::recursive_directory_iterator(disc.path()))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
    ASSERT_FALSE(observer.progress.empty());
    const qubrix::CopyProgress& last = observer.progress.back();
    EXPECT_EQ(last.filesDone, 4u);
    EXPECT_EQ(last.filesTotal, 4u);
    EXPECT_EQ(last.bytesTotal, (3u << 20) + 70001u);
    EXPECT_EQ(last.bytesDone, last.bytesTotal);
    ASSERT_EQ(observer.finished.size(), 1u);
}

TEST(CopyEngine, MergesIntoExistingFoldersAndCopiesTheWholeDisc) {
    TempFolder disc, home;
    fs::create_directories(disc.file("a/b"));
    writeFile(disc.file("root.txt"), "r");
    writeFile(disc.file("a/b/new.txt"), "n");
    fs::create_directories(home.file("a/b"));
    writeFile(home.file("a/b/mine.txt"), "m");

    RecordingObserver observer;
    const CopyReport report =
        copy(disc.path(), "ROOT.TXT", CopyMode::Folder, home.path(), observer);

    EXPECT_EQ(report.outcome, Outcome::Finished);
    EXPECT_EQ(readFile(home.file("a/b/mine.txt")), "m");
    EXPECT_EQ(readFile(home.file("a/b/new.txt")), "n");
    EXPECT_EQ(readFile(home.file("root.txt")), "r");
    EXPECT_TRUE(observer.questions.empty());
}

TEST(CopyEngine, OverwriteAnswers) {
    struct Case {
        std::vector<OverwriteAnswer> answers;
        std::string replaced; // which of a, b, c end up replaced
        std::size_t questions;
        Outcome outcome;
        std::string notCopied = "";
        bool cancelWhileReplacing = false; // the copy is cancelled as the last answer is given
    };
    using A = OverwriteAnswer;
    const Case cases[] = {
        {{A::Yes, A::No, A::Yes}, "a c", 3, Outcome::Finished},
        {{A::YesToAll}, "a b c", 1, Outcome::Finished},
        {{A::NoToAll}, "", 1, Outcome::Finished},
        {{A::No, A::YesToAll}, "b c", 2, Outcome::Finished},
        {{A::Yes, A::Cancel}, "a", 2, Outcome::Cancelled, "b c"},
        // The old file stays until its replacement is whole.
        {{A::Yes}, "", 1, Outcome::Cancelled, "a b c", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.replaced);
        TempFolder disc, home;
        fs::create_directory(disc.file("f"));
        for (const std::string name : {"a", "b", "c"}) {
            writeFile(disc.file("f/" + name), "new " + name);
            writeFile(home.file(name), "old");
        }
        setModified(home.file("a"), 1234);
        RecordingObserver observer;
        observer.answers.assign(c.answers.begin(), c.answers.end());
        std::stop_source stop;
        if (c.cancelWhileReplacing)
            observer.onAsk = [&] { stop.request_stop(); };

        const CopyReport report =
            copy(disc.path(), "F\\X", CopyMode::Folder, home.path(), observer, stop.get_token());

        EXPECT_EQ(report.outcome, c.outcome);
        EXPECT_EQ(namesOf(report.notCopied), c.notCopied);
        EXPECT_EQ(observer.questions.size(), c.questions);
        for (const std::string name : {"a", "b", "c"})
            EXPECT_EQ(readFile(home.file(name)),
                      c.replaced.find(name) != std::string::npos ? "new " + name : "old");
        EXPECT_EQ(home.entries(), (std::vector<std::string>{"a", "b", "c"})); // no temporaries
        const qubrix::OverwriteQuestion& first = observer.questions.front();
        EXPECT_EQ(first.destination, home.file("a"));
        EXPECT_EQ(first.existing.size, 3u);
        EXPECT_EQ(first.existing.modified.tv_sec, 1234);
        EXPECT_EQ(first.incoming.size, 5u);
    }
}

TEST(CopyEngine, CancelStopsInsideAFileAndLeavesNoPartialFile) {
    TempFolder disc, home;
    fs::create_directory(disc.file("f"));
    writeFile(disc.file("f/a_small"), "first");
    writeFile(disc.file("f/c_after"), "never");
    writeFile(disc.file("f/b_big"), bytes(4 << 20, 3)); // several chunks
    std::stop_source stop;
    RecordingObserver observer;
    // Progress is told at most ten times a second: each report here takes that long.
    observer.onProgress = [&](const qubrix::CopyProgress& p) {
        if (p.bytesDone > 5)
            stop.request_stop();
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(110));
    };

    const CopyReport report =
        copy(disc.path(), "F\\X", CopyMode::Folder, home.path(), observer, stop.get_token());

    // Cancelled inside the large file: only the small one is copied, nothing after it.
    ASSERT_TRUE(stop.stop_requested());
    EXPECT_EQ(report.outcome, Outcome::Cancelled);
    EXPECT_EQ(report.filesCopied, 1u);
    EXPECT_EQ(report.bytesCopied, 5u);
    EXPECT_EQ(namesOf(report.notCopied), "b_big c_after");
    EXPECT_EQ(home.entries(), std::vector<std::string>{"a_small"});
    EXPECT_EQ(readFile(home.file("a_small")), "first");

    // Cancelled while the sources are counted: nothing is copied, and no partial list is told.
    EXPECT_TRUE(qubrix::runCopy(qubrix::planCopy(disc.path(), {"F\\A_SMALL", "F\\C_AFTER"},
                                                 CopyMode::File, home.file("2")),
                                observer, stop.get_token())
                    .notCopied.empty());
}

TEST(CopyEngine, CancelFromTheEngineOwnerEndsTheWorker) {
    TempFolder disc, home;
    writeFile(disc.file("a.txt"), "a");
    RecordingObserver observer;
    {
        qubrix::CopyEngine engine(
            qubrix::planCopy(disc.path(), {"A.TXT"}, CopyMode::File, home.path()), observer);
    } // joins the worker
    ASSERT_EQ(observer.finished.size(), 1u);
}

TEST(CopyEngine, UnreadableFileIsReportedAndTheCopyGoesOn) {
    if (qubrix::test::runningAsRoot())
        GTEST_SKIP() << "root reads any file";
    TempFolder disc, home;
    fs::create_directory(disc.file("f"));
    writeFile(disc.file("f/a"), "a");
    writeFile(disc.file("f/locked"), "secret");
    writeFile(disc.file("f/z"), "z");
    fs::permissions(disc.file("f/locked"), fs::perms::none);

    RecordingObserver observer;
    const CopyReport report = copy(disc.path(), "F\\A", CopyMode::Folder, home.path(), observer);

    EXPECT_EQ(report.outcome, Outcome::Finished);
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].path, disc.file("f/locked"));
    EXPECT_EQ(report.failures[0].reason, "Permission denied");
    EXPECT_EQ(home.entries(), (std::vector<std::string>{"a", "z"}));
}

TEST(CopyEngine, SymbolicLinks) {
    TempFolder disc, home, off;
    fs::create_directories(disc.file("f/sub"));
    writeFile(disc.file("f/sub/file.txt"), "inside");
    writeFile(disc.file("outside.txt"), "outside");
    fs::create_symlink("sub/file.txt", disc.file("f/relative"));
    fs::create_symlink(disc.file("f/sub"), disc.file("f/absolute"));
    fs::create_symlink("../outside.txt", disc.file("f/out"));
    fs::create_symlink("loopB", disc.file("f/loopA"));
    fs::create_symlink("loopA", disc.file("f/loopB"));
    fs::create_symlink("nothing", disc.file("f/dangling"));
    // fx, beside f, is not inside it; two links to it copy it once; a link off the medium is
    // copied as the link, so nothing beyond the medium is copied.
    fs::create_directories(disc.file("fx"));
    writeFile(disc.file("fx/s.txt"), "beside");
    fs::create_symlink("../fx/s.txt", disc.file("f/beside"));
    fs::create_symlink("../fx", disc.file("f/twiceA"));
    fs::create_symlink("../fx", disc.file("f/twiceB"));
    writeFile(off.file("secret.txt"), "secret");
    fs::create_symlink(off.path(), disc.file("f/away"));

    RecordingObserver observer;
    const CopyReport report = copy(disc.path(), "F\\X", CopyMode::Folder, home.file("c"), observer);

    EXPECT_EQ(report.outcome, Outcome::Finished);
    const std::map<std::string, std::string> expected = {
        {"sub", "d"},
        {"sub/file.txt", "inside"},
        {"relative", "l:sub/file.txt"},
        {"absolute", "l:sub"},
        {"out", "outside"},
        {"dangling", "l:nothing"},
        {"beside", "beside"},
        {"twiceA", "d"},
        {"twiceA/s.txt", "beside"},
        {"twiceB", "l:twiceA"},
        {"away", "l:" + off.path()},
    };
    EXPECT_EQ(snapshot(home.file("c")), expected);
    EXPECT_EQ(readFile(home.file("c/absolute/file.txt")), "inside");
    ASSERT_EQ(report.failures.size(), 2u);
    for (const qubrix::CopyFailure& failure : report.failures)
        EXPECT_EQ(failure.reason, "Symbolic link loop") << failure.path;

    // So is a listing that is such a link; one reached through it is not copied.
    copy(disc.path(), "F\\AWAY", CopyMode::File, home.file("d"), observer);
    EXPECT_EQ(fs::read_symlink(home.file("d/away")), off.path());
    const CopyReport through =
        copy(disc.path(), "F\\AWAY\\SECRET.TXT", CopyMode::File, home.file("e"), observer);
    ASSERT_EQ(through.failures.size(), 1u);
    EXPECT_EQ(through.failures[0].reason, "It leads outside the medium");
    // A folder copy of such a link, or of a folder reached through it, copies nothing off the
    // medium.
    fs::create_directories(off.file("inner"));
    writeFile(off.file("inner/deep.txt"), "secret");
    const CopyReport folderLink =
        copy(disc.path(), "F\\AWAY", CopyMode::Folder, home.file("g"), observer);
    EXPECT_EQ(snapshot(home.file("g")).count("secret.txt"), 0u);
    EXPECT_EQ(folderLink.outcome, Outcome::Finished);
    const CopyReport folderThrough =
        copy(disc.path(), "F\\AWAY\\INNER", CopyMode::Folder, home.file("h"), observer);
    ASSERT_EQ(folderThrough.failures.size(), 1u);
    EXPECT_EQ(folderThrough.failures[0].reason, "It leads outside the medium");
    EXPECT_FALSE(fs::exists(home.file("h/deep.txt")));
}

// Holes are skipped, not written out: the copy takes no more room than the original.
TEST(CopyEngine, SparseFileStaysSparse) {
    TempFolder disc, home;
    const std::string source = disc.file("sparse.bin");
    std::ofstream(source).seekp(3 << 20) << bytes(4096, 5);
    fs::resize_file(source, 8 << 20); // a hole on either side of the data
    if (statOf(source).st_blocks > 64)
        GTEST_SKIP() << "this file system keeps no holes";

    RecordingObserver observer;
    copy(disc.path(), "SPARSE.BIN", CopyMode::File, home.path(), observer);

    EXPECT_EQ(readFile(home.file("sparse.bin")), readFile(source));
    EXPECT_LE(statOf(home.file("sparse.bin")).st_blocks, statOf(source).st_blocks + 64);
}

TEST(CopyEngine, LinkToAFolderAroundTheCopyIsALoop) {
    TempFolder disc, home;
    fs::create_directories(disc.file("top/f"));
    writeFile(disc.file("top/f/a.txt"), "a");
    fs::create_directory_symlink("..", disc.file("top/f/up"));

    RecordingObserver observer;
    const CopyReport report =
        copy(disc.path(), "TOP\\F\\A.TXT", CopyMode::Folder, home.path(), observer);

    EXPECT_EQ(report.outcome, Outcome::Finished);
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].path, disc.file("top/f/up/f"));
    EXPECT_EQ(report.failures[0].reason, "Symbolic link loop");
    EXPECT_EQ(readFile(home.file("F/a.txt")), "a");
}

// Whichever side fails, the report names what on the disc was not copied, never the place it
// was meant to go.
TEST(CopyEngine, FailuresNameTheSourceOnTheDisc) {
    struct Row {
        const char* what;
        std::string onDisc;    // blank-separated files below f, "name>target" for a link
        std::string inTheWay;  // at the destination: "d:" a folder, "f:" a file
        CopyMode mode;         // of F\A.TXT
        std::string notCopied; // below the disc, "" for none
        std::string reason;
    };
    const std::vector<Row> rows = {
        {"a folder where a file goes", "a.txt", "d:a.txt", CopyMode::File, "f/a.txt",
         "A folder of this name is in the way"},
        {"a file where a folder goes", "a.txt sub/x.txt", "f:sub", CopyMode::Folder, "f/sub",
         "A file of this name is in the way"},
        {"a folder where a link goes", "a.txt l>a.txt", "d:l", CopyMode::Folder, "f/l",
         "A folder of this name is in the way"},
        {"a file where the destination folder goes", "a.txt", "f:to", CopyMode::File, "",
         "cannot be made: Not a directory"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempFolder disc, home;
        std::istringstream entries(row.onDisc);
        for (std::string entry; entries >> entry;) {
            const auto arrow = entry.find('>');
            fs::create_directories(
                fs::path(disc.file("f/" + entry.substr(0, arrow))).parent_path());
            if (arrow == std::string::npos)
                writeFile(disc.file("f/" + entry), "data");
            else
                fs::create_symlink(entry.substr(arrow + 1),
                                   disc.file("f/" + entry.substr(0, arrow)));
        }
        const std::string blocker = home.file(row.inTheWay.substr(2));
        if (row.inTheWay.starts_with("d:"))
            fs::create_directory(blocker);
        else
            writeFile(blocker, "mine");
        const std::string destination = row.notCopied.empty() ? blocker + "/in" : home.path();

        RecordingObserver observer;
        const CopyReport report = copy(disc.path(), "F\\A.TXT", row.mode, destination, observer);

        ASSERT_EQ(report.failures.size(), 1u);
        EXPECT_EQ(report.failures[0].path, row.notCopied.empty() ? "" : disc.file(row.notCopied));
        EXPECT_NE(report.failures[0].reason.find(row.reason), std::string::npos)
            << report.failures[0].reason;
        EXPECT_TRUE(report.notCopied.empty());
    }
}

TEST(CopyEngine, RefusalsCopyNothing) {
    TempFolder disc, home;
    fs::create_directory(disc.file("f"));
    writeFile(disc.file("f/a.txt"), "a");
    RecordingObserver observer;

    CopyReport report =
        copy(disc.path(), "F\\A.TXT", CopyMode::Folder, disc.file("f/in"), observer);
    EXPECT_EQ(report.outcome, Outcome::Refused);
    EXPECT_FALSE(fs::exists(disc.file("f/in")));

    report = copy(disc.path(), "GONE\\X.TXT", CopyMode::File, home.file("new"), observer);
    EXPECT_EQ(report.outcome, Outcome::Finished);
    EXPECT_EQ(report.failures.size(), 1u);
    EXPECT_FALSE(fs::exists(home.file("new")));

    report = copy(disc.path(), "..\\X", CopyMode::File, home.path(), observer);
    EXPECT_EQ(report.outcome, Outcome::Refused);
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].path, "");
    EXPECT_EQ(report.failures[0].reason,
              "This path leads outside the medium and is not used:\n..\\X");
    EXPECT_EQ(observer.finished.size(), 3u);
}

TEST(CopyEngine, MissingSourceAndTheFileItselfAreReported) {
    TempFolder disc;
    fs::create_directory(disc.file("f"));
    writeFile(disc.file("f/a.txt"), "keep");
    RecordingObserver observer;
    const CopyReport report = qubrix::runCopy(
        qubrix::planCopy(disc.path(), {"F\\A.TXT", "F\\GONE.TXT"}, CopyMode::File, disc.file("f")),
        observer, {});

    EXPECT_EQ(report.outcome, Outcome::Finished);
    ASSERT_EQ(report.failures.size(), 2u);
    EXPECT_EQ(report.failures[0].path, disc.file("F/GONE.TXT"));
    EXPECT_EQ(report.failures[1].reason, "It is the source file itself");
    EXPECT_EQ(readFile(disc.file("f/a.txt")), "keep");
}

} // namespace
