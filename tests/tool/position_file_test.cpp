// "DuoDeck.ini": the 20-byte record, short and damaged files.
#include <gtest/gtest.h>

#include <vector>

#include "tool/position_file.h"

namespace duo::tool {
namespace {

TEST(PositionFile, RoundTripIsLittleEndian) {
    const PositionRecord rec{kLayoutTwoColumns, {-5, 300, 81, 530}};
    const auto bytes = encode_position(rec);
    EXPECT_EQ(bytes[0], 0xFE);
    EXPECT_EQ(bytes[1], 0x03);
    EXPECT_EQ(bytes[4], 0xFB);
    EXPECT_EQ(bytes[7], 0xFF);
    PositionRecord back{};
    apply_position_bytes(back, bytes.data(), bytes.size());
    EXPECT_EQ(back.layout, rec.layout);
    EXPECT_EQ(back.rect, rec.rect);
}

TEST(PositionFile, ShortFileChangesOnlyTheBytesItHolds) {
    PositionRecord rec{kLayoutTwoRows, {10, 20, 240, 106}};
    const auto full = encode_position({kLayoutOneColumn, {1, 2, 3, 4}});
    apply_position_bytes(rec, full.data(), 8); // layout and left only
    EXPECT_EQ(rec.layout, kLayoutOneColumn);
    EXPECT_EQ(rec.rect, (Rect{1, 20, 240, 106}));
    PositionRecord untouched{kLayoutTwoRows, {10, 20, 240, 106}};
    apply_position_bytes(untouched, full.data(), 0);
    EXPECT_EQ(untouched.layout, kLayoutTwoRows);
    EXPECT_EQ(untouched.rect, (Rect{10, 20, 240, 106}));
}

TEST(PositionFile, PartOfAFieldMixesWithThePreviousValue) {
    PositionRecord rec{kLayoutOneRow, {0x11223344, 0, 0, 0}};
    const std::uint8_t bytes[6] = {0xFE, 0x03, 0, 0, 0xAA, 0xBB};
    apply_position_bytes(rec, bytes, sizeof bytes);
    EXPECT_EQ(rec.rect.left, 0x1122BBAA);
}

TEST(PositionFile, DamagedLayoutCodeBecomesOneRow) {
    for (int code : {0, 1018, 1023, -1, 0x7FFFFFFF}) {
        PositionRecord rec{kLayoutTwoRows, {}};
        auto bytes = encode_position({code, {5, 6, 7, 8}});
        apply_position_bytes(rec, bytes.data(), bytes.size());
        EXPECT_EQ(rec.layout, kLayoutOneRow) << code;
        EXPECT_EQ(rec.rect, (Rect{5, 6, 7, 8}));
    }
}

TEST(PositionFile, LongerFileReadsOnlyTwentyBytes) {
    std::vector<std::uint8_t> data(64, 0x7F);
    const auto head = encode_position({kLayoutTwoRows, {100, 200, 330, 286}});
    std::copy(head.begin(), head.end(), data.begin());
    PositionRecord rec{};
    apply_position_bytes(rec, data.data(), data.size());
    EXPECT_EQ(rec.layout, kLayoutTwoRows);
    EXPECT_EQ(rec.rect, (Rect{100, 200, 330, 286}));
}

} // namespace
} // namespace duo::tool
