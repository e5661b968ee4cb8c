// Several real processes holding the library at once: the client slots and
// the process-shared state.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/wine/child_process.h"

namespace {

using duo::testing::ChildProcess;

std::unique_ptr<ChildProcess> start_client() {
    auto child = std::make_unique<ChildProcess>("duoclient.exe");
    EXPECT_TRUE(child->started()) << "error " << child->start_error();
    return child;
}

TEST(LibraryProcesses, NinthProcessIsRefusedAndAFreedSlotIsTakenAgain) {
    std::vector<std::unique_ptr<ChildProcess>> holders;
    for (int i = 0; i < 8; ++i) {
        holders.push_back(start_client());
        // Wait until it really holds its slot before starting the next.
        ASSERT_EQ(holders.back()->read_line(), "loaded") << "holder " << i;
    }
    {
        auto ninth = start_client();
        EXPECT_EQ(ninth->read_line(), "refused");
        EXPECT_EQ(ninth->wait(), 3u);
    }
    // The refused process must not have taken or freed anything.
    {
        auto again = start_client();
        EXPECT_EQ(again->read_line(), "refused");
    }
    holders[3]->send_line("exit");
    ASSERT_EQ(holders[3]->wait(), 0u);
    {
        auto next = start_client();
        EXPECT_EQ(next->read_line(), "loaded");
        auto tenth = start_client();
        EXPECT_EQ(tenth->read_line(), "refused");
        next->send_line("exit");
        EXPECT_EQ(next->wait(), 0u);
    }
    for (auto& h : holders) h->send_line("exit");
    for (auto& h : holders) h->wait();
}

TEST(LibraryProcesses, LastErrorIsOneValueForAllProcesses) {
    auto a = start_client();
    auto b = start_client();
    ASSERT_EQ(a->read_line(), "loaded");
    ASSERT_EQ(b->read_line(), "loaded");
    EXPECT_EQ(a->ask("query 999 0"), "-1");
    EXPECT_EQ(b->ask("query 103 0"), "400");
    EXPECT_EQ(b->ask("query 102 0"), "100");
    EXPECT_EQ(a->ask("query 103 0"), "0");
    a->send_line("exit");
    b->send_line("exit");
    EXPECT_EQ(a->wait(), 0u);
    EXPECT_EQ(b->wait(), 0u);
}

TEST(LibraryProcesses, SlotsAreFreedWhenProcessesEnd) {
    // Eight processes in turn, each ending before the next: all are admitted
    // again and again, so no slot leaks at unload.
    for (int round = 0; round < 3; ++round) {
        std::vector<std::unique_ptr<ChildProcess>> batch;
        for (int i = 0; i < 8; ++i) {
            batch.push_back(start_client());
            ASSERT_EQ(batch.back()->read_line(), "loaded") << "round " << round << " client " << i;
        }
        for (auto& c : batch) c->send_line("exit");
        for (auto& c : batch) EXPECT_EQ(c->wait(), 0u);
    }
}

} // namespace
