#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace {

std::string readSound() {
    std::ifstream in(QUBRIX_SOURCE_DIR "/resources/sound1000.wav", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::uint32_t le(const std::string& bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

std::int16_t le16s(const std::string& bytes, std::size_t at) {
    return static_cast<std::int16_t>(le(bytes, at, 2));
}

// Chunk id -> payload, in a RIFF WAVE file whose sizes must add up exactly.
std::map<std::string, std::string> chunksOf(const std::string& file) {
    EXPECT_EQ(file.substr(0, 4), "RIFF");
    EXPECT_EQ(file.substr(8, 4), "WAVE");
    EXPECT_EQ(le(file, 4, 4), file.size() - 8);
    std::map<std::string, std::string> chunks;
    std::size_t at = 12;
    while (at + 8 <= file.size()) {
        const std::uint32_t size = le(file, at + 4, 4);
        chunks[file.substr(at, 4)] = file.substr(at + 8, size);
        at += 8 + size + (size & 1);
    }
    EXPECT_EQ(at, file.size());
    return chunks;
}

TEST(Sound1000, IsMonoMsAdpcmWithTheStandardCoefficients) {
    const std::string file = readSound();
    ASSERT_FALSE(file.empty());
    const auto chunks = chunksOf(file);
    ASSERT_TRUE(chunks.contains("fmt "));
    const std::string& fmt = chunks.at("fmt ");
    ASSERT_EQ(fmt.size(), 50u);
    EXPECT_EQ(le(fmt, 0, 2), 2u);     // Microsoft ADPCM
    EXPECT_EQ(le(fmt, 2, 2), 1u);     // mono
    EXPECT_EQ(le(fmt, 4, 4), 22050u); // samples a second
    EXPECT_EQ(le(fmt, 8, 4), 11155u); // bytes a second: 22050 * 512 / 1012
    EXPECT_EQ(le(fmt, 12, 2), 512u);  // block size
    EXPECT_EQ(le(fmt, 14, 2), 4u);    // bits a sample
    EXPECT_EQ(le(fmt, 16, 2), 32u);   // extra format bytes
    EXPECT_EQ(le(fmt, 18, 2), 1012u); // samples a block
    ASSERT_EQ(le(fmt, 20, 2), 7u);    // coefficient pairs
    const int standard[7][2] = {{256, 0}, {512, -256}, {0, 0},     {192, 64},
                                {240, 0}, {460, -208}, {392, -232}};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(le16s(fmt, 22 + 4 * i), standard[i][0]) << "pair " << i;
        EXPECT_EQ(le16s(fmt, 24 + 4 * i), standard[i][1]) << "pair " << i;
    }
}

TEST(Sound1000, HoldsThreeThousandThreeHundredFortySamples) {
    const auto chunks = chunksOf(readSound());
    ASSERT_TRUE(chunks.contains("fact"));
    ASSERT_TRUE(chunks.contains("data"));
    EXPECT_EQ(le(chunks.at("fact"), 0, 4), 3340u);
    const std::string& data = chunks.at("data");
    ASSERT_EQ(data.size(), 1694u);
    // Three full blocks of 1012 samples and a short one of 304: its 7 header bytes carry two
    // samples, each byte after them two more. Every block starts with a valid predictor and
    // a step of at least 16.
    for (std::size_t block = 0; block < data.size(); block += 512) {
        EXPECT_LT(static_cast<unsigned char>(data[block]), 7) << "block at " << block;
        EXPECT_GE(le16s(data, block + 1), 16) << "block at " << block;
    }
}

} // namespace
