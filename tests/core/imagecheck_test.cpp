#include "medium/imagecheck.h"

#include <gtest/gtest.h>

namespace qubrix {

namespace {

using Type = ImageEntryType;
constexpr IssueLevel E = IssueLevel::Error;
constexpr IssueLevel W = IssueLevel::Warning;

ImageEntry entry(std::string path, Type type = Type::File, std::uint64_t size = 0,
                 std::string target = {}, bool readable = true, std::uint32_t mode = 0755) {
    return {std::move(path), type, size, std::move(target), readable, mode};
}

ImageEntry withMode(std::string path, Type type, std::uint32_t mode, bool readable = true) {
    return entry(std::move(path), type, 0, {}, readable, mode);
}

// What each tree gets told: the level, path and a piece of the text of every issue, errors
// first.
TEST(CheckImageNames, TellsEachProblemOnce) {
    struct Issue {
        IssueLevel level;
        std::string path;
        std::string piece;
    };
    struct Case {
        const char* name;
        std::vector<ImageEntry> entries;
        std::vector<Issue> issues;
    };
    const std::string long64(64, 'a');
    const std::string deep7 = "1/2/3/4/5/6/7";
    const std::string name60(60, 'b');
    const std::string path254 = name60 + '/' + name60 + '/' + name60 + '/' + name60 + "/cccccccccc";
    const std::vector<Case> cases = {
        {"plain names", {entry("DOCS", Type::Folder), entry("DOCS/read me.txt")}, {}},
        {"64 characters fit", {entry(long64)}, {}},
        {"names that are no UTF-8",
         {entry("caf\xe9.txt"), entry(std::string(70, 'a') + "\xff")},
         {{W, "caf\xe9.txt", "not UTF-8"},
          {W, std::string(70, 'a') + "\xff", "not UTF-8"},
          {W, std::string(70, 'a') + "\xff", "more than 64"}}},
        {"65 are cut", {entry(long64 + "b")}, {{W, long64 + "b", "more than 64"}}},
        {"a character beyond U+FFFF becomes '_', one character",
         {entry(std::string(63, 'a') + "\xF0\x9F\x98\x80")},
         {{W, std::string(63, 'a') + "\xF0\x9F\x98\x80", "Joliet cannot hold"}}},
        {"Joliet paths of 120 characters fit, longer ones are told once",
         {entry(std::string(60, 'a'), Type::Folder),
          entry(std::string(60, 'a') + '/' + std::string(59, 'b'), Type::Folder),
          entry(std::string(60, 'a') + '/' + std::string(60, 'c'), Type::Folder),
          entry(std::string(60, 'a') + '/' + std::string(60, 'c') + "/x"),
          entry(std::string(60, 'a') + '/' + std::string(56, 'd') + ".txt")},
         {{W, std::string(60, 'a') + '/' + std::string(60, 'c'), "or what it holds"},
          {W, std::string(60, 'a') + '/' + std::string(56, 'd') + ".txt",
           "longer than the 120 characters Joliet holds"}}},
        {"case only, same folder",
         {entry("Read.txt"), entry("README"), entry("read.TXT")},
         {{W, "read.TXT", "differs from Read.txt only in letter case"}}},
        {"case only, other folders",
         {entry("A", Type::Folder), entry("A/x"), entry("B", Type::Folder), entry("B/X")},
         {}},
        {"characters Windows refuses",
         {entry("a:b"), entry("what?"), entry("tab\there"), entry("ends."), entry("con.txt"),
          entry("Lpt1"), entry("console")},
         {{W, "a:b", "the character ':'"},
          {W, "what?", "the character '?'"},
          {W, "tab\there", "a control character"},
          {W, "ends.", "ends in a full stop"},
          {W, "con.txt", "device name CON"},
          {W, "Lpt1", "device name LPT1"}}},
        {"eight levels fit", {entry(deep7, Type::Folder), entry(deep7 + "/file")}, {}},
        {"the ninth is told once",
         {entry(deep7 + "/8", Type::Folder), entry(deep7 + "/8/9", Type::Folder),
          entry(deep7 + "/8/9/file")},
         {{E, deep7 + "/8", "deeper than the 8 levels"}}},
        {"path of 254 characters fits", {entry(path254)}, {}},
        {"path of 255 does not",
         {entry(path254 + "c")},
         {{E, path254 + "c", "longer than the 255"}}},
        {"links",
         {entry("a", Type::Folder), entry("a/in", Type::Link, 0, "../b"),
          entry("a/up", Type::Link, 0, "../../etc"), entry("abs", Type::Link, 0, "/etc/passwd")},
         {{E, "a/up", "leads off the medium (to ../../etc)"},
          {E, "abs", "leads off the medium (to /etc/passwd)"}}},
        {"links that leave through other links",
         {entry("L", Type::Link, 0, "."), entry("x", Type::Link, 0, "L/.."),
          entry("a", Type::Folder), entry("a/up", Type::Link, 0, ".."),
          entry("a/chain", Type::Link, 0, "up/../inside"), entry("a/via", Type::Link, 0, "../x/y"),
          entry("a/round", Type::Link, 0, "../loop"), entry("loop", Type::Link, 0, "a/round"),
          entry("a/down", Type::Link, 0, "../L/a")},
         {{E, "x", "leads off the medium (to L/..)"},
          {E, "a/chain", "leads off the medium (to up/../inside)"},
          {E, "a/via", "leads off the medium (to ../x/y)"}}},
        {"just below 4 GiB, and 4 GiB",
         {entry("small", Type::File, kMultiExtentSize - 1),
          entry("big", Type::File, kMultiExtentSize)},
         {{W, "big", "several extents"}}},
        {"special file", {entry("fifo", Type::Special)}, {{W, "fifo", "left out"}}},
        {"unreadable, errors first",
         {entry("pipe", Type::Special), entry("secret", Type::File, 1, {}, false)},
         {{E, "secret", "cannot be read"}, {W, "pipe", "left out"}}},
        {"the file system's lost+found",
         {entry("lost+found", Type::FileSystemFolder, 0, {}, false)},
         {{W, "lost+found", "belongs to the file system"}}},
        {"modes others could read and open",
         {withMode("open", Type::Folder, 0755), withMode("open/shared", Type::File, 0604),
          withMode("open/run", Type::File, 0705)},
         {}},
        {"modes others could not",
         {withMode("private", Type::Folder, 0700), withMode("blind", Type::Folder, 0754),
          withMode("mine", Type::File, 0600), withMode("locked", Type::File, 0, false)},
         {{E, "locked", "cannot be read"},
          {W, "private", "cannot be listed or opened by others"},
          {W, "blind", "cannot be listed or opened by others"},
          {W, "mine", "cannot be read by others"}}},
    };
    for (const Case& c : cases) {
        const std::vector<NameIssue> issues = checkImageNames(c.entries);
        ASSERT_EQ(issues.size(), c.issues.size()) << c.name << "\n" << issueListText(issues);
        for (std::size_t i = 0; i < issues.size(); ++i) {
            EXPECT_EQ(issues[i].level, c.issues[i].level) << c.name << " " << i;
            EXPECT_EQ(issues[i].path, c.issues[i].path) << c.name << " " << i;
            EXPECT_NE(issues[i].text.find(c.issues[i].piece), std::string::npos)
                << c.name << ": " << issues[i].text;
        }
        EXPECT_EQ(hasErrors(issues), !c.issues.empty() && c.issues.front().level == E) << c.name;
    }
}

TEST(LinkLeavesMedium, ClimbsNoHigherThanTheTop) {
    struct Case {
        const char* link;
        const char* target;
        bool leaves;
    };
    for (const Case& c : {
             Case{"l", "x", false},
             Case{"l", "./x/../y", false},
             Case{"l", "..", true},
             Case{"a/l", "..", false},
             Case{"a/l", "../..", true},
             Case{"a/b/l", "../../c/../d", false},
             Case{"a/l", "x/../../..", true},
             Case{"a/l", "/a", true},
             Case{"l", "", true},
         })
        EXPECT_EQ(linkLeavesMedium(c.link, c.target), c.leaves) << c.link << " -> " << c.target;
}

TEST(VolumeLabel, IsoCharactersUpperCaseAndJolietKeepsTheText) {
    struct Case {
        const char* requested;
        VolumeLabel label;
    };
    for (const Case& c : {
             Case{"Demo Disc", {"DEMO_DISC", "Demo Disc"}},
             Case{"QUBRIX_3.1", {"QUBRIX_3_1", "QUBRIX_3.1"}},
             Case{"Caf\xC3\xA9 m\xC3\xBCsic", {"CAF__M_SIC", "Caf\xC3\xA9 m\xC3\xBCsic"}},
             Case{"An author's very long label, cut here: 12345",
                  {"AN_AUTHOR_S_VERY_LONG_LABEL__CUT", "An author's very"}},
             Case{"  blanks around\t ", {"BLANKS_AROUND", "blanks around"}},
             Case{"My Journey Disc Of Tools", {"MY_JOURNEY_DISC_OF_TOOLS", "My Journey Disc"}},
             Case{"a*b/c:d;e?f\\g\x01h", {"A_B_C_D_E_F_G_H", "a_b_c_d_e_f_g_h"}},
             // 15 units and a character of two: it does not fit, and nothing after it goes in.
             Case{"123456789012345\xF0\x9F\x98\x80x", {"123456789012345_X", "123456789012345"}},
             Case{"12345678901234\xF0\x9F\x98\x80x",
                  {"12345678901234_X", "12345678901234\xF0\x9F\x98\x80"}},
             Case{"bad\xFF"
                  "byte",
                  {"BAD_BYTE", "bad_byte"}},
             Case{"", {"DISC", "DISC"}},
             Case{"   ", {"DISC", "DISC"}},
         })
        EXPECT_EQ(volumeLabel(c.requested), c.label) << c.requested;
}

TEST(VolumeLabel, DefaultIsTheMediumsLabelAtItsTop) {
    EXPECT_EQ(defaultLabelText("/media/me/STICK/", "/media/me/STICK", "My Stick"), "My Stick");
    EXPECT_EQ(defaultLabelText("/media/me/STICK", "/media/me/STICK", ""), "STICK");
    EXPECT_EQ(defaultLabelText("/media/me/STICK/disc", "/media/me/STICK", "My Stick"), "disc");
    EXPECT_EQ(defaultLabelText("/", "/", ""), "");
}

TEST(MasteredMode, EveryoneReadsAndExecutesWhereAnyoneDid) {
    struct Case {
        Type type;
        std::uint32_t mode;
        std::uint32_t mastered;
    };
    for (const Case& c : {Case{Type::File, 0600, 0644}, Case{Type::File, 0666, 0666},
                          Case{Type::File, 0610, 0755}, Case{Type::File, 0001, 0555},
                          Case{Type::File, 0104755, 0755}, Case{Type::Folder, 0700, 0755},
                          Case{Type::Folder, 03770, 01775}, Case{Type::Link, 0700, 0700}})
        EXPECT_EQ(masteredMode(c.type, c.mode), c.mastered) << std::oct << c.mode;
}

TEST(ImageProgressText, TellsTheTimeLeftOnceItCan) {
    struct Case {
        std::uint64_t done;
        std::uint64_t total;
        double seconds;
        const char* text;
    };
    for (const Case& c : {
             Case{0, 650'000'000, 0.0, "0.0 MB of 650.0 MB"},
             Case{5'000'000, 650'000'000, 5.0, "5.0 MB of 650.0 MB"},
             Case{65'000'000, 650'000'000, 0.5, "65.0 MB of 650.0 MB"},
             Case{65'000'000, 650'000'000, 10.0, "65.0 MB of 650.0 MB, about 1:30 left"},
             Case{1'000'000, 100'000'000, 40.0, "1.0 MB of 100.0 MB, about 1:06:00 left"},
             Case{100, 100, 3.0, "0.0 MB of 0.0 MB, about 0:00 left"},
         })
        EXPECT_EQ(imageProgressText(c.done, c.total, c.seconds), c.text);
}

TEST(OutputRefusal, InsideTheFolderOnly) {
    EXPECT_TRUE(outputRefusal("/m/disc", "/m/disc/out.iso"));
    EXPECT_TRUE(outputRefusal("/m/disc", "/m/disc/a/b/out.iso"));
    EXPECT_TRUE(outputRefusal("/m/disc/", "/m/disc/out.iso"));
    EXPECT_TRUE(outputRefusal("/", "/out.iso"));
    EXPECT_FALSE(outputRefusal("/m/disc", "/m/disc.iso"));
    EXPECT_FALSE(outputRefusal("/m/disc", "/m/disc2/out.iso"));
}

} // namespace
} // namespace qubrix
