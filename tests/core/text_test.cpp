#include "core/text/ascii.h"
#include "core/text/encoding.h"
#include "core/text/utf8.h"
#include "core/text/windows1252.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace qubrix {
namespace {

TEST(Ascii, BlanksAreTheSixOfTheCLocale) {
    std::string blanks;
    for (int c = 0; c < 256; ++c)
        if (isAsciiBlank(static_cast<char>(c)))
            blanks += static_cast<char>(c);
    EXPECT_EQ(blanks, "\t\n\v\f\r ");
}

TEST(Ascii, CaseFoldsOnlyTheAsciiLetters) {
    struct Case {
        std::string text, upper;
    };
    const std::vector<Case> cases = {
        {"setup.exe", "SETUP.EXE"},
        {"Mixed_Case-09@[`{", "MIXED_CASE-09@[`{"},
        {"caf\xC3\xA9 \xE9", "CAF\xC3\xA9 \xE9"}, // bytes beyond ASCII stay as they are
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(upperAscii(c.text), c.upper) << c.text;
    EXPECT_EQ(lowerAscii('Q'), 'q');
    EXPECT_EQ(lowerAscii('_'), '_');
    EXPECT_EQ(upperAscii(char32_t{0x00E9}), char32_t{0x00E9});
    EXPECT_EQ(upperAscii(char32_t{'k'}), char32_t{'K'});

    EXPECT_TRUE(equalsIgnoringAsciiCase("Setup.Exe", "SETUP.exe"));
    EXPECT_FALSE(equalsIgnoringAsciiCase("SETUP.EXE", "SETUP.EX"));
    EXPECT_FALSE(equalsIgnoringAsciiCase("caf\xC3\xA9", "CAF\xC3\x89")); // no folding of é
    EXPECT_FALSE(equalsIgnoringAsciiCase("[", "{"));
}

TEST(Ascii, HexDigitsInEitherCase) {
    const std::string digits = "0123456789abcdefABCDEF";
    const std::vector<int> values = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                                     11, 12, 13, 14, 15, 10, 11, 12, 13, 14, 15};
    for (std::size_t i = 0; i < digits.size(); ++i)
        EXPECT_EQ(hexDigitValue(digits[i]), values[i]) << digits[i];
    for (const char c : "gG/:@`\x80 "s)
        EXPECT_EQ(hexDigitValue(c), -1) << int(c);
}

TEST(Ascii, TrimmingTakesControlsAndBlanksFromBothEnds) {
    EXPECT_EQ(trimmedText(" \t\x01 3.1 a \r\n\0"s), "3.1 a");
    EXPECT_EQ(trimmedText(" \x7F "), "\x7F");
    EXPECT_EQ(trimmedText("\xA0x\xA0"), "\xA0x\xA0");
    EXPECT_EQ(trimmedText(" \t "), "");
}

struct Utf8Case {
    const char* name;
    std::string bytes;
    std::vector<std::optional<char32_t>> decoded; // one entry per decode step
};

TEST(Utf8, DecodesOneSequenceAtATimeAndRefusesMalformedOnes) {
    const std::vector<Utf8Case> cases = {
        {"ascii", "a", {U'a'}},
        {"two bytes", "\xC3\xA9", {U'\u00E9'}},
        {"three bytes", "\xE2\x82\xAC", {U'\u20AC'}},
        {"four bytes", "\xF0\x9F\x92\xBF", {U'\U0001F4BF'}},
        {"largest", "\xF4\x8F\xBF\xBF", {U'\U0010FFFF'}},
        {"stray continuation",
         "\x80"
         "a",
         {std::nullopt, U'a'}},
        {"overlong slash", "\xC0\xAF", {std::nullopt, std::nullopt}},
        {"overlong three", "\xE0\x80\x80", {std::nullopt, std::nullopt, std::nullopt}},
        {"surrogate", "\xED\xA0\x80", {std::nullopt, std::nullopt, std::nullopt}},
        {"beyond U+10FFFF",
         "\xF4\x90\x80\x80",
         {std::nullopt, std::nullopt, std::nullopt, std::nullopt}},
        {"cut at the end", "\xE2\x82", {std::nullopt, std::nullopt}},
        {"cut by ascii",
         "\xE2"
         "a",
         {std::nullopt, U'a'}},
        {"no lead", "\xFF", {std::nullopt}},
    };
    for (const Utf8Case& c : cases) {
        std::vector<std::optional<char32_t>> decoded;
        for (std::size_t pos = 0; pos < c.bytes.size();)
            decoded.push_back(decodeUtf8(c.bytes, pos));
        EXPECT_EQ(decoded, c.decoded) << c.name;
        const bool valid =
            std::find(c.decoded.begin(), c.decoded.end(), std::nullopt) == c.decoded.end();
        EXPECT_EQ(isValidUtf8(c.bytes), valid) << c.name;
    }
    EXPECT_TRUE(isValidUtf8(""));
}

TEST(Utf8, EncodingRoundTripsAtEveryLengthBoundary) {
    for (const char32_t codePoint : {U'\0', U'\x7F', U'\x80', U'\u07FF', U'\u0800', U'\uD7FF',
                                     U'\uE000', U'\uFFFF', U'\U00010000', U'\U0010FFFF'}) {
        std::string bytes;
        appendUtf8(bytes, codePoint);
        const std::size_t length = codePoint < 0x80      ? 1
                                   : codePoint < 0x800   ? 2
                                   : codePoint < 0x10000 ? 3
                                                         : 4;
        EXPECT_EQ(bytes.size(), length) << std::hex << std::uint32_t{codePoint};
        std::size_t pos = 0;
        EXPECT_EQ(decodeUtf8(bytes, pos), codePoint);
        EXPECT_EQ(pos, bytes.size());
        EXPECT_FALSE(isUtf8Continuation(bytes[0]));
        for (std::size_t i = 1; i < bytes.size(); ++i)
            EXPECT_TRUE(isUtf8Continuation(bytes[i]));
    }
}

TEST(Windows1252, TheHighControlsAndTheUndefinedBytes) {
    EXPECT_EQ(windows1252ToCodePoint('\x80'), U'\u20AC');
    EXPECT_EQ(windows1252ToCodePoint('\x85'), U'\u2026');
    EXPECT_EQ(windows1252ToCodePoint('\x9F'), U'\u0178');
    EXPECT_EQ(windows1252ToCodePoint('\xE9'), U'\u00E9');
    for (const char undefined : "\x81\x8D\x8F\x90\x9D"s)
        EXPECT_EQ(windows1252ToCodePoint(undefined), static_cast<unsigned char>(undefined));
    for (int byte = 0; byte < 256; ++byte)
        EXPECT_EQ(codePointToWindows1252(windows1252ToCodePoint(static_cast<char>(byte))),
                  static_cast<char>(byte))
            << byte;
    EXPECT_EQ(codePointToWindows1252(U'\u65E5'), std::nullopt);
    EXPECT_EQ(codePointToWindows1252(U'\u0080'), std::nullopt); // byte 0x80 is the euro sign
}

TEST(Encoding, ConvertsBothWaysAndRefusesWhatCannotBeCarried) {
    EXPECT_EQ(toUtf8("\x80\x85\x9F\xE9", TextEncoding::Windows1252),
              "\xE2\x82\xAC\xE2\x80\xA6\xC5\xB8\xC3\xA9");
    EXPECT_EQ(toUtf8("\x81\x8D", TextEncoding::Windows1252), "\xC2\x81\xC2\x8D");
    EXPECT_EQ(toUtf8("a\xFFz", TextEncoding::Utf8), "a\xEF\xBF\xBDz");

    std::string every;
    for (int byte = 1; byte < 256; ++byte)
        every += static_cast<char>(byte);
    EXPECT_EQ(fromUtf8(toUtf8(every, TextEncoding::Windows1252), TextEncoding::Windows1252), every);

    EXPECT_EQ(fromUtf8("\xE2\x82\xAC 5", TextEncoding::Windows1252), "\x80 5");
    EXPECT_EQ(fromUtf8("\xE6\x97\xA5\xE6\x9C\xAC", TextEncoding::Windows1252), std::nullopt);
    EXPECT_EQ(fromUtf8("\xC2\x80", TextEncoding::Windows1252), std::nullopt);
    EXPECT_EQ(fromUtf8("bad \xFF", TextEncoding::Windows1252), std::nullopt);
    EXPECT_EQ(fromUtf8("bad \xFF", TextEncoding::Utf8), std::nullopt);
    EXPECT_EQ(fromUtf8("\xE6\x97\xA5", TextEncoding::Utf8), "\xE6\x97\xA5");
}

} // namespace
} // namespace qubrix
