#include <gtest/gtest.h>

#include "lib/core/query.h"
#include "lib/core/state.h"
#include "tests/native/fake_platform.h"

namespace duo {
namespace {

class QueryTest : public ::testing::Test {
protected:
    void SetUp() override { testing::reset_world(); }
};

TEST_F(QueryTest, KnownCodesAnswerTheirFieldAndClearTheError) {
    g_shared.chip_code = 0x203;
    g_shared.current_frequency = 7;
    g_shared.current_table.default_frequency = 5;
    g_shared.current_table.status[3] = 1;
    struct {
        int code, index, expected;
    } cases[] = {{100, 0, 0x203}, {101, 0, 7}, {102, 0, 100}, {104, 3, 1}, {104, 4, 0}, {105, 0, 5}};
    for (auto c : cases) {
        g_shared.last_error = 301;
        EXPECT_EQ(query(c.code, c.index), c.expected) << "code " << c.code;
        EXPECT_EQ(g_shared.last_error, 0) << "code " << c.code;
    }
}

TEST_F(QueryTest, LastErrorIsReadWithoutClearingIt) {
    g_shared.last_error = 102;
    EXPECT_EQ(query(103, 0), 102);
    EXPECT_EQ(query(103, 0), 102);
}

TEST_F(QueryTest, LineDoubleModeAnswers16InsteadOfTheFrequency) {
    g_shared.current_frequency = 9;
    g_shared.line_double = 1;
    EXPECT_EQ(query(101, 0), 16);
    g_shared.line_double = 0;
    EXPECT_EQ(query(101, 0), 9);
}

TEST_F(QueryTest, UnknownCodeAnswersAllBitsSetAndError400) {
    for (int code : {0, 99, 107, 604, -1, 0x7FFFFFFF}) {
        EXPECT_EQ(query(code, 0), -1) << code;
        EXPECT_EQ(query(103, 0), 400) << code;
    }
}

TEST_F(QueryTest, StatusIndexOutsideTheTableReadsNothingAndReportsError400) {
    // Neighbours of the table inside the shared state must not leak out.
    g_shared.current_table.blocks[0].bytes[0] = 0x77;
    g_shared.current_table.default_frequency = 0x66;
    for (int index : {-1, 20, 21, 1 << 30, -(1 << 30)}) {
        g_shared.last_error = 0;
        EXPECT_EQ(query(104, index), -1) << index;
        EXPECT_EQ(g_shared.last_error, 400) << index;
    }
    g_shared.current_table.status[19] = 1;
    EXPECT_EQ(query(104, 19), 1);
}

} // namespace
} // namespace duo
