// The command line scan: switches, malformed /F: values, consumed letters.
#include <gtest/gtest.h>

#include "tool/command_line.h"

namespace duo::tool {
namespace {

TEST(CommandLine, EmptyAndPlainTextDoNothing) {
    for (const char* text : {"", "hello world", "E H F:95", "/", "/F", "/e /h /f:95"}) {
        const CommandLine cl = scan_command_line(text, 20);
        EXPECT_EQ(cl.enable_commands, 0) << text;
        EXPECT_FALSE(cl.hidden) << text;
        EXPECT_EQ(cl.enable_frequency, 20) << text;
        EXPECT_FALSE(cl.frequency_chosen) << text;
    }
}

TEST(CommandLine, EnableAndHiddenTogether) {
    const CommandLine cl = scan_command_line("/E/H", 20);
    EXPECT_EQ(cl.enable_commands, 1);
    EXPECT_TRUE(cl.hidden);
    EXPECT_EQ(scan_command_line("/E /E", 20).enable_commands, 2);
}

TEST(CommandLine, FrequencySwitchTakesOnlyNinetyToOneHundredTwenty) {
    const struct {
        const char* text;
        int index;
    } cases[] = {{"/F:90", 3},  {"/F:95", 4},   {"/F:100", 5}, {"/F:105", 6}, {"/F:110", 7},
                 {"/F:115", 8}, {"/F:120", 9},  {"/F: 95", 4}, {"/F:+95", 4}, {"/F:95Hz", 4},
                 {"/F:85", 20}, {"/F:97", 20},  {"/F:75", 20}, {"/F:125", 20}, {"/F:-95", 20},
                 {"/F:", 20},   {"/F:x95", 20}, {"/F:99999999999999999999", 20}};
    for (const auto& c : cases) {
        const CommandLine cl = scan_command_line(c.text, 20);
        EXPECT_EQ(cl.enable_frequency, c.index) << c.text;
        EXPECT_EQ(cl.frequency_chosen, c.index != 20) << c.text;
    }
    // An invalid value keeps what was there before.
    EXPECT_EQ(scan_command_line("/F:85", 7).enable_frequency, 7);
    // The last valid value wins.
    EXPECT_EQ(scan_command_line("/F:90 /F:120", 20).enable_frequency, 9);
}

TEST(CommandLine, LetterAfterFIsConsumed) {
    // /Fx/E: x is consumed, the following /E is still a switch.
    EXPECT_EQ(scan_command_line("/Fx/E", 20).enable_commands, 1);
    // /F/E: the slash is consumed, E is ordinary text.
    EXPECT_EQ(scan_command_line("/F/E", 20).enable_commands, 0);
}

TEST(CommandLine, ScanResumesTwoCharactersAfterTheColon) {
    // "/F:/E": the slash right after the colon is skipped with the number.
    EXPECT_EQ(scan_command_line("/F:/E", 20).enable_commands, 0);
    // "/F:9/E": resumes at "/E".
    EXPECT_EQ(scan_command_line("/F:9/E", 20).enable_commands, 1);
    // A colon at the very end is safe.
    EXPECT_EQ(scan_command_line("/F:", 20).enable_commands, 0);
}

} // namespace
} // namespace duo::tool
