#include "catalogue/textfile.h"

#include "tempfolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include <sys/stat.h>

using namespace std::string_literals;

namespace qubrix {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

struct SplitCase {
    std::string bytes;
    std::vector<std::string> lines;
};

TEST(TextFile, LineEndingsNulAndFinalLine) {
    const std::vector<SplitCase> cases = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\rb\nc\r\n", {"a", "b", "c"}},
        {"\r\n\r\n", {"", ""}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\r\n", {"a", ""}},
        {"a\r\nb\0c\r\nd"s, {"a", "b"}},
        {"\0a\r\n"s, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitLines(c.bytes), c.lines) << testing::PrintToString(c.bytes);
    EXPECT_EQ(joinLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(joinLines({}), "");
}

TEST(TextFile, DetectsUtf8OnlyWhenValidWithMultiByteSequence) {
    EXPECT_EQ(detectEncoding("plain ASCII;X.EXE;-1\r\n"), TextEncoding::Windows1252);
    EXPECT_EQ(detectEncoding("Caf\xC3\xA9"), TextEncoding::Utf8);
    EXPECT_EQ(detectEncoding("\xE6\x97\xA5\xF0\x9F\x92\xBF"), TextEncoding::Utf8);
    EXPECT_EQ(detectEncoding("Caf\xE9"), TextEncoding::Windows1252);
    EXPECT_EQ(detectEncoding("\xC3\xA9 then \xE9"), TextEncoding::Windows1252);
    EXPECT_EQ(detectEncoding("cut \xC3"), TextEncoding::Windows1252);
    EXPECT_EQ(detectEncoding("overlong \xC0\xAF"), TextEncoding::Windows1252);
    EXPECT_EQ(detectEncoding("surrogate \xED\xA0\x80"), TextEncoding::Windows1252);
    EXPECT_EQ(detectEncoding("too big \xF4\x90\x80\x80"), TextEncoding::Windows1252);
    // Bytes after a NUL are not part of the text.
    EXPECT_EQ(detectEncoding("\xC3\xA9\0\xFF"s), TextEncoding::Utf8);
}

TEST(TextFile, ReadWholeFileTellsMissingFromFailed) {
    TempFolder folder;
    EXPECT_EQ(readWholeFile(folder.file("absent")).status, ReadOutcome::Status::Missing);

    const ReadOutcome ofFolder = readWholeFile(folder.path());
    EXPECT_EQ(ofFolder.status, ReadOutcome::Status::Failed);
    EXPECT_EQ(ofFolder.error, std::strerror(EISDIR));

    const std::string bytes = "one\r\n\0two\xFF"s + std::string(100000, 'x');
    writeFile(folder.file("data"), bytes);
    const ReadOutcome read = readWholeFile(folder.file("data"));
    EXPECT_EQ(read.status, ReadOutcome::Status::Read);
    EXPECT_EQ(read.bytes, bytes);
}

TEST(TextFile, ReadWholeFileGivesTheReasonOfADeniedRead) {
    if (test::runningAsRoot())
        GTEST_SKIP() << "root reads any file";
    TempFolder folder;
    writeFile(folder.file("data"), "secret");
    ::chmod(folder.file("data").c_str(), 0);
    const ReadOutcome denied = readWholeFile(folder.file("data"));
    EXPECT_EQ(denied.status, ReadOutcome::Status::Failed);
    EXPECT_EQ(denied.error, std::strerror(EACCES));
}

class ReplaceFiles : public testing::Test {
protected:
    TempFolder folder;
    std::string first = folder.file("first.txt");
    std::string second = folder.file("second.txt");

    void SetUp() override {
        writeFile(first, "old first\r\n");
        writeFile(second, "old second\r\n");
    }
    void expectUntouched() const {
        EXPECT_EQ(readFile(first), "old first\r\n");
        EXPECT_EQ(readFile(second), "old second\r\n");
        EXPECT_EQ(folder.entries(), (std::vector<std::string>{"first.txt", "second.txt"}));
    }
};

TEST_F(ReplaceFiles, ReplacesAllKeepingPermissionsAndCreatesNewFiles) {
    ::chmod(first.c_str(), 0640);
    const std::string fresh = folder.file("fresh.txt");
    const WriteOutcome outcome =
        replaceFilesAtomically({{first, "new first"}, {second, ""}, {fresh, "new"}});
    ASSERT_TRUE(outcome.ok) << outcome.failedPath << ": " << outcome.error;
    EXPECT_EQ(readFile(first), "new first");
    EXPECT_EQ(readFile(second), "");
    EXPECT_EQ(readFile(fresh), "new");
    struct stat info {};
    ::stat(first.c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(folder.entries().size(), 3u);
}

TEST_F(ReplaceFiles, WriteProtectedTargetIsRefusedAndNothingReplaced) {
    ::chmod(second.c_str(), 0444);
    const WriteOutcome outcome = replaceFilesAtomically({{first, "new"}, {second, "new"}});
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.failedPath, second);
    EXPECT_FALSE(outcome.error.empty());
    expectUntouched();
}

TEST_F(ReplaceFiles, TargetThatIsAFolderIsRefusedAndNothingReplaced) {
    const std::string sub = folder.file("sub");
    std::filesystem::create_directory(sub);
    const WriteOutcome outcome = replaceFilesAtomically({{first, "new"}, {sub, "new"}});
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.failedPath, sub);
    EXPECT_EQ(outcome.error, std::strerror(EISDIR));
    std::filesystem::remove(sub);
    expectUntouched();
}

TEST_F(ReplaceFiles, UnwritableTargetsOfAUserAreRefused) {
    if (test::runningAsRoot())
        GTEST_SKIP() << "root may write any file and folder";
    ::chmod(second.c_str(), 0400 | 0020); // group may write, the owner may not
    WriteOutcome outcome = replaceFilesAtomically({{first, "new"}, {second, "new"}});
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.failedPath, second);
    expectUntouched();

    ::chmod(second.c_str(), 0644);
    ::chmod(folder.path().c_str(), 0555);
    outcome = replaceFilesAtomically({{first, "new"}, {second, "new"}});
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.failedPath, first);
    EXPECT_EQ(outcome.error, std::strerror(EACCES));
    ::chmod(folder.path().c_str(), 0755);
    expectUntouched();
}

} // namespace
} // namespace qubrix
