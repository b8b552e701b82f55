// Chunking of macro images and the firmware's framing check agree.
#include <gtest/gtest.h>

#include "protocol/Report.h"
#include "sim/MacroImageCheck.h"
#include "sim/SimFirmware.h"

namespace {

std::vector<std::pair<unsigned, unsigned>> Chunks(const std::vector<uint8_t>& image) {
    std::vector<std::pair<unsigned, unsigned>> result;  // (offset, length) of each chunk
    for (size_t i = 0; i < MacroChunkCount(image.size()); ++i) {
        ReportBuffer r;
        FrameMacroChunk(r, image.data(), image.size(), i);
        EXPECT_EQ(SimFirmware::CheckFraming(r.data(), kReportSize), "") << "chunk " << i;
        result.emplace_back(r[3] | r[4] << 8, r[2]);
    }
    return result;
}

TEST(FramingTest, ChunksOfEdgeLengths) {
    using V = std::vector<std::pair<unsigned, unsigned>>;
    EXPECT_EQ(Chunks(std::vector<uint8_t>(118, 1)), (V{{0, 59}, {59, 59}, {118, 0}}));
    EXPECT_EQ(Chunks(std::vector<uint8_t>(64, 0)), (V{{0, 59}, {59, 5}}));
    V full = Chunks(std::vector<uint8_t>(kMacroImageMax, 1));
    ASSERT_EQ(full.size(), 68u);
    EXPECT_EQ(full.back(), (std::pair<unsigned, unsigned>{3953, 47}));
}

TEST(FramingTest, ChunkCarriesTheImageBytesAndZerosAfterIt) {
    std::vector<uint8_t> image = MakeSampleMacroImage(72);
    ReportBuffer r;
    FrameMacroChunk(r, image.data(), image.size(), 1);
    EXPECT_EQ(r[0], kReportId);
    EXPECT_EQ(r[1], kCmdMacroChunk);
    EXPECT_EQ(r[2], 13);
    EXPECT_TRUE(std::equal(image.begin() + 59, image.end(), r.begin() + kPayloadOffset));
    EXPECT_TRUE(std::all_of(r.begin() + kPayloadOffset + 13, r.end(), [](uint8_t b) { return b == 0; }));
}

TEST(FramingTest, SampleImagesAreWellFormedAndOfTheAskedLength) {
    for (size_t length : {72u, 200u, 1000u, 4000u}) {
        std::vector<uint8_t> image = MakeSampleMacroImage(length);
        EXPECT_EQ(image.size(), length);
        EXPECT_EQ(CheckMacroImage(image.data(), image.size()), "") << length;
    }
    std::vector<uint8_t> image = MakeSampleMacroImage(200);
    image[64 + 2] = 0x99;  // first event of macro 0
    EXPECT_NE(CheckMacroImage(image.data(), image.size()).find("unknown event kind 0x99"), std::string::npos);
    image = std::vector<uint8_t>(64, 0);
    image[0] = 64;  // a macro that starts at the end: no events, still fine
    EXPECT_EQ(CheckMacroImage(image.data(), image.size()), "");
    image.resize(68);
    image[64 + 2] = 0x42;  // a record and no end record
    EXPECT_NE(CheckMacroImage(image.data(), image.size()).find("no end record"), std::string::npos);
}

}  // namespace
