#include "core/catalogue/textfile.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace qubrix {
namespace {

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
        // A NUL is a byte of its line: nothing after it is lost.
        {"a\r\nb\0c\r\nd"s, {"a", "b\0c"s, "d"}},
        {"\0a\r\n"s, {"\0a"s}},
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
    // Bytes after a NUL are text like the others.
    EXPECT_EQ(detectEncoding("\xC3\xA9\0\xFF"s), TextEncoding::Windows1252);
    EXPECT_EQ(detectEncoding("\0\xC3\xA9"s), TextEncoding::Utf8);
}

} // namespace
} // namespace qubrix
