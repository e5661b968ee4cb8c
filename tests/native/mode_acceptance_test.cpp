#include <gtest/gtest.h>

#include "lib/core/mode_acceptance.h"

namespace duo {
namespace {

constexpr auto kOk = ModeVerdict::kAccepted;
constexpr auto kNo = ModeVerdict::kRefused;

TEST(ModeAcceptance, Trident9440RefusesSixteenBitsAt640AndTrueColourAboveIt) {
    EXPECT_EQ(judge_mode(0x101, 16, 640, 480), kNo);
    EXPECT_EQ(judge_mode(0x101, 15, 640, 480), kOk) << "only 16 bits is named";
    EXPECT_EQ(judge_mode(0x101, 16, 800, 600), kOk);
    EXPECT_EQ(judge_mode(0x101, 24, 640, 480), kOk);
    EXPECT_EQ(judge_mode(0x101, 24, 800, 600), kNo);
    EXPECT_EQ(judge_mode(0x101, 24, 1024, 768), kNo);
}

TEST(ModeAcceptance, TrueColourAt1024DependsOnTheChip) {
    for (int chip : {0x102, 0x103, 0x105, 0x201, 0x202, 0x203, 0x204, 0x205, 0x301, 0x302, 0x303, 0x401})
        EXPECT_EQ(judge_mode(chip, 24, 1024, 768), kNo) << std::hex << chip;
    for (int chip : {0x206, 0x207, 0x304, 0x501}) EXPECT_EQ(judge_mode(chip, 24, 1024, 768), kOk) << std::hex << chip;
    EXPECT_EQ(judge_mode(0x401, 24, 800, 600), kOk);
    // Every other mode of the set is taken by every chip but the 9440.
    for (int chip : {0x102, 0x103, 0x105, 0x201, 0x205, 0x206, 0x207, 0x301, 0x303, 0x304, 0x401, 0x501})
        for (int bits : {8, 15, 16, 24})
            for (auto [w, h] : {std::pair{640, 480}, std::pair{800, 600}, std::pair{1024, 768}}) {
                if (bits != 24 || w != 1024) {
                    EXPECT_EQ(judge_mode(chip, bits, w, h), kOk) << std::hex << chip;
                }
            }
}

TEST(ModeAcceptance, DepthsAndResolutionsOutsideTheSetAreRefusedForEveryKnownChip) {
    for (int chip : {0x101, 0x102, 0x103, 0x105, 0x201, 0x203, 0x206, 0x207, 0x301, 0x304, 0x401, 0x501}) {
        EXPECT_EQ(judge_mode(chip, 32, 800, 600), kNo);
        EXPECT_EQ(judge_mode(chip, 4, 640, 480), kNo);
        EXPECT_EQ(judge_mode(chip, 8, 1152, 864), kNo);
        EXPECT_EQ(judge_mode(chip, 8, 640, 400), kNo);
        EXPECT_EQ(judge_mode(chip, 8, 800, 480), kNo) << "width and height must name one pair";
        EXPECT_EQ(judge_mode(chip, 8, 1024, 600), kNo);
        EXPECT_EQ(judge_mode(chip, 8, 1280, 768), kNo);
        EXPECT_EQ(judge_mode(chip, 8, 1024, 768), kOk);
    }
}

TEST(ModeAcceptance, ChipsWithoutSupportAreUnknownWhateverTheMode) {
    for (int chip : {0, 0x104, 0x402, 0x100, 0x106, 0x200, 0x208, 0x300, 0x305, 0x400, 0x500, 0x502, -1})
        EXPECT_EQ(judge_mode(chip, 8, 640, 480), ModeVerdict::kUnknownChip) << std::hex << chip;
    EXPECT_EQ(judge_mode(0, 32, 1152, 864), ModeVerdict::kUnknownChip);
}

} // namespace
} // namespace duo
