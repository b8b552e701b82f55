#include <gtest/gtest.h>

#include <algorithm>

#include "protocol/MacroImage.h"
#include "protocol/Report.h"
#include "sim/MacroImageCheck.h"

namespace {

MacroEvent Event(int type, int value, int delay, std::wstring desc = L"") {
    MacroEvent e;
    e.type = type;
    e.value = value;
    e.delayTime = delay;
    e.desc = std::move(desc);
    return e;
}

std::vector<uint8_t> Table(std::initializer_list<int> offsets) {
    std::vector<uint8_t> table(64, 0);
    size_t i = 0;
    for (int offset : offsets) {
        table[2 * i] = static_cast<uint8_t>(offset & 0xFF);
        table[2 * i + 1] = static_cast<uint8_t>(offset >> 8);
        ++i;
    }
    return table;
}

std::vector<uint8_t> Concat(std::vector<uint8_t> head, std::initializer_list<uint8_t> tail) {
    head.insert(head.end(), tail);
    return head;
}

TEST(MacroImage, OneKeyPressGetsItsReleaseAndEndRecord) {
    const std::vector<uint8_t> image = BuildMacroImage({{Event(kEventKeyDown, 65, 50)}});
    EXPECT_EQ(image, Concat(Table({64}), {10, 0, 0x42, 0x04,  // press A, running delay 10
                                          50, 0, 0x02, 0x04,  // appended release carries A's 50 ms
                                          10, 0, 0x83, 0x01,  // end record with the release's delay
                                          0, 0, 0, 0}));
    EXPECT_EQ(CheckMacroImage(image.data(), image.size()), "");
}

TEST(MacroImage, RecordKindsAndDelays) {
    const std::vector<uint8_t> image = BuildMacroImage({{
        Event(kEventKeyDown, 0xA1, 30),  // right Shift: modifier record
        Event(kEventWheelUp, 1, 999),    // wheel: no delay, running delay untouched
        Event(kEventButtonDown, 2, 40),
        Event(kEventButtonUp, 0, 0, L"↑  Scroll Down"),
        Event(kEventKeyUp, 0xA1, 20000),
        Event(kEventImportedPair, 0x8F | 0x93 << 8, 5),  // both bytes with bit 7
        Event(kEventImportedFirst, 0x1234, 5),
    }});
    EXPECT_EQ(image, Concat(Table({64}), {10, 0, 0x41, 0x20, 0,    0,    0x44, 0x01, 30, 0,    0x43, 0x02,
                                          40, 0, 0x44, 0xFF, 0,    0,    0x01, 0x20, 0,  0xC0, 0x06, 0xF3,
                                          0,  0, 0x06, 0x34, 0x10, 0x27, 0x83, 0x01, 0,  0,    0,    0}));
    EXPECT_EQ(CheckMacroImage(image.data(), image.size()), "");

    // A running delay of 0 ends as 10.
    const std::vector<uint8_t> zero = BuildMacroImage({{Event(kEventButtonDown, 1, 0)}});
    EXPECT_EQ(zero[68], 10);
    EXPECT_EQ(zero[70], 0x83);
}

TEST(MacroImage, CompletionReleasesEveryHeldKeyOnce) {
    const auto events = CompleteMacroEvents({Event(kEventKeyDown, 65, 10), Event(kEventKeyDown, 66, 10),
                                             Event(kEventKeyUp, 65, 10), Event(kEventKeyDown, 66, 10),
                                             Event(kEventKeyDown, 67, 10)});
    ASSERT_EQ(events.size(), 7u);
    EXPECT_EQ(events[5].type, kEventKeyUp);
    EXPECT_EQ(events[5].value, 66);
    EXPECT_EQ(events[6].value, 67);
    EXPECT_EQ(events[6].delayTime, 10);
}

TEST(MacroImage, EmptyMacrosAndTheEmptyImage) {
    const std::vector<uint8_t> empty = BuildMacroImage({});
    EXPECT_EQ(empty, std::vector<uint8_t>(64, 0));
    ReportBuffer chunk;
    ASSERT_EQ(MacroChunkCount(empty.size()), 2u);
    FrameMacroChunk(chunk, empty.data(), empty.size(), 1);
    EXPECT_EQ(std::vector<uint8_t>(chunk.begin(), chunk.begin() + 5),
              (std::vector<uint8_t>{0x06, 0x31, 5, 59, 0}));

    // A macro without events points at the next macro's start.
    const std::vector<uint8_t> image = BuildMacroImage({{}, {Event(kEventButtonDown, 1, 10)}, {}});
    EXPECT_EQ(std::vector<uint8_t>(image.begin(), image.begin() + 6),
              (std::vector<uint8_t>{64, 0, 64, 0, 76, 0}));
    EXPECT_EQ(image.size(), 76u);
    EXPECT_EQ(CheckMacroImage(image.data(), image.size()), "");
}

TEST(MacroImage, ImageOf118BytesIsThreeChunks) {
    std::vector<uint8_t> image(118);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i + 1);
    ASSERT_EQ(MacroChunkCount(image.size()), 3u);
    const size_t expectedLength[] = {59, 59, 0};
    for (size_t i = 0; i < 3; ++i) {
        ReportBuffer chunk;
        FrameMacroChunk(chunk, image.data(), image.size(), i);
        EXPECT_EQ(chunk[1], 0x31);
        EXPECT_EQ(chunk[2], expectedLength[i]);
        EXPECT_EQ(chunk[3] | chunk[4] << 8, static_cast<int>(59 * i));
        const size_t from = 59 * i;
        const size_t count = expectedLength[i];
        EXPECT_TRUE(std::equal(image.begin() + from, image.begin() + from + count, chunk.begin() + 5));
        if (count == 0) {
            EXPECT_TRUE(std::all_of(chunk.begin() + 5, chunk.end(), [](uint8_t b) { return b == 0; }));
        }
    }
}

TEST(MacroImage, ThirtyTwoMacrosAndFourThousandBytesAtMost) {
    std::vector<std::vector<MacroEvent>> many(40, {Event(kEventButtonDown, 1, 10)});
    std::vector<uint8_t> image = BuildMacroImage(many);
    EXPECT_EQ(image.size(), 64u + 32 * 12);

    // 300 events do not fit: that macro is left out, the next still goes in.
    std::vector<std::vector<MacroEvent>> big = {{Event(kEventButtonDown, 1, 10)},
                                                std::vector<MacroEvent>(1000, Event(kEventButtonDown, 1, 10)),
                                                {Event(kEventButtonUp, 1, 10)}};
    image = BuildMacroImage(big);
    EXPECT_EQ(std::vector<uint8_t>(image.begin(), image.begin() + 6),
              (std::vector<uint8_t>{64, 0, 0, 0, 76, 0}));
    EXPECT_EQ(image.size(), 88u);
    EXPECT_EQ(CheckMacroImage(image.data(), image.size()), "");

    // Filling the memory exactly is allowed: 64 + 328 * 12 = 4000.
    image = BuildMacroImage({std::vector<MacroEvent>(3934, Event(kEventButtonDown, 1, 10))});
    EXPECT_EQ(image.size(), 64u);
    image = BuildMacroImage({std::vector<MacroEvent>(982, Event(kEventButtonDown, 1, 10))});
    EXPECT_EQ(image.size(), 4000u);
    EXPECT_EQ(CheckMacroImage(image.data(), image.size()), "");
}

TEST(MacroImage, TheMacrosLeftOutAreToldAndLoseTheirButtonNumber) {
    std::vector<std::vector<MacroEvent>> macros = {
        {Event(kEventButtonDown, 1, 10)},
        std::vector<MacroEvent>(1000, Event(kEventButtonDown, 1, 10)),
        {Event(kEventButtonUp, 1, 10)}};
    macros.resize(34, {Event(kEventButtonDown, 1, 10)});
    std::vector<bool> onMouse;
    BuildMacroImage(macros, &onMouse);
    ASSERT_EQ(onMouse.size(), 34u);
    EXPECT_TRUE(onMouse[0]);
    EXPECT_FALSE(onMouse[1]) << "too big";
    EXPECT_TRUE(onMouse[2]);
    EXPECT_TRUE(onMouse[31]);
    EXPECT_FALSE(onMouse[32]) << "past the 32 positions";
    EXPECT_FALSE(onMouse[33]);

    const std::vector<int32_t> ids = MacroIdsOnMouse({7, 8, 9}, {true, false, true});
    EXPECT_EQ(ids, (std::vector<int32_t>{7, kMacroLeftOut, 9}));
    EXPECT_EQ(MacroIdsOnMouse({7, 8}, {true}), (std::vector<int32_t>{7, kMacroLeftOut}));
}

}  // namespace
