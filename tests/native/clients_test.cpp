#include <gtest/gtest.h>

#include <cstring>

#include "lib/core/clients.h"
#include "lib/core/init_close.h"
#include "lib/core/state.h"
#include "tests/native/fake_platform.h"

namespace duo {
namespace {

using testing::PostedMessage;

class ClientsTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::reset_world();
        // Start with no process attached.
        detach_process();
    }
};

TEST_F(ClientsTest, EightProcessesAttachTheNinthIsRefused) {
    for (int i = 0; i < kClientSlots; ++i) {
        g_process = ProcessState{};
        ASSERT_TRUE(attach_process());
        EXPECT_EQ(g_process.client_slot, i);
    }
    EXPECT_EQ(g_shared.attach_count, 8);
    g_process = ProcessState{};
    EXPECT_FALSE(attach_process());
    EXPECT_EQ(g_process.client_slot, -1);
    EXPECT_EQ(g_shared.attach_count, 8);
    // The loader follows a refused attach with a detach; it must not free a
    // slot it never held.
    EXPECT_FALSE(detach_process());
    EXPECT_EQ(g_shared.attach_count, 8);
    for (const ClientSlot& slot : g_shared.clients) EXPECT_EQ(slot.in_use, 1);
}

TEST_F(ClientsTest, AFreedSlotForgetsItsHostWindowAndIsTakenByTheNextProcess) {
    for (int i = 0; i < 3; ++i) {
        g_process = ProcessState{};
        attach_process();
    }
    g_shared.clients[1].host_window = 0x1234;
    g_process.client_slot = 1; // the second process unloads
    EXPECT_FALSE(detach_process());
    EXPECT_EQ(g_shared.clients[1].in_use, 0);
    // Nothing is posted to a window of a process that is gone.
    EXPECT_EQ(g_shared.clients[1].host_window, 0u);
    g_process = ProcessState{};
    ASSERT_TRUE(attach_process());
    EXPECT_EQ(g_process.client_slot, 1);
}

// A process ended from outside never detaches: its slot is taken back by
// the next attach, and a window handle it left, now another program's, is
// told nothing.
TEST_F(ClientsTest, AProcessEndedFromOutsideLeavesNoSlotAndNoWindowBehind) {
    for (std::uint32_t id = 10; id < 10 + kClientSlots; ++id) {
        testing::fake().process_id = id;
        g_process = ProcessState{};
        ASSERT_TRUE(attach_process());
        g_shared.clients[g_process.client_slot].host_window = 0x100 + id;
    }
    testing::fake().window_owners[0x10C] = 99; // slot 2's handle, recycled
    testing::fake().posted.clear();
    notify_hosts(kNotifyStereoOff, 0, 0);
    EXPECT_EQ(testing::fake().posted.size(), 7u);

    testing::fake().ended_processes.insert(13);
    testing::fake().process_id = 20;
    g_process = ProcessState{};
    ASSERT_TRUE(attach_process());
    EXPECT_EQ(g_process.client_slot, 3);
    EXPECT_EQ(g_shared.clients[3].host_window, 0u);
    EXPECT_EQ(g_shared.attach_count, kClientSlots);
}

TEST_F(ClientsTest, LastDetachReportsTheLibraryUnloaded) {
    attach_process();
    ProcessState first = g_process;
    g_process = ProcessState{};
    attach_process();
    EXPECT_FALSE(detach_process());
    g_process = first;
    EXPECT_TRUE(detach_process());
    EXPECT_EQ(g_shared.attach_count, 0);
    // A second detach of the same process holds no slot any more.
    EXPECT_FALSE(detach_process());
    EXPECT_EQ(g_shared.attach_count, 0);
}

// A slot index outside the table (a refused attach, a damaged process
// state) is never used: Detach frees nothing, Close registers nothing.
TEST_F(ClientsTest, ASlotIndexOutsideTheTableReachesNothing) {
    for (int i = 0; i < 3; ++i) {
        g_process = ProcessState{};
        attach_process();
    }
    g_shared.chip_code = 0x203;
    g_shared.colour_depth = 16;
    for (int bad : {-1, -2, kClientSlots, kClientSlots + 1, 1000}) {
        SharedState before;
        std::memcpy(&before, &g_shared, sizeof before);
        g_process = ProcessState{};
        g_process.client_slot = bad;
        EXPECT_FALSE(detach_process()) << bad;
        EXPECT_EQ(close_library(0), 0) << bad;
        g_shared.last_error = before.last_error;
        EXPECT_EQ(std::memcmp(&before, &g_shared, sizeof before), 0) << bad;
    }
}

// A registered host hears of changes only while its window belongs to the
// process that owned it when it registered: a recycled handle is left alone.
TEST_F(ClientsTest, AHostIsToldOnlyWhileItsWindowKeepsItsOwner) {
    g_process = ProcessState{};
    ASSERT_TRUE(attach_process());
    ClientSlot& slot = g_shared.clients[g_process.client_slot];
    testing::fake().window_owners[0x500] = 42;
    register_host(slot, 0x500);
    notify_hosts(kNotifyStereoOn, 3, 0);
    EXPECT_EQ(testing::fake().posted, (std::vector<PostedMessage>{{0x500, 1124, kNotifyStereoOn, 3}}));
    testing::fake().posted.clear();
    testing::fake().window_owners[0x500] = 43;
    notify_hosts(kNotifyStereoOn, 3, 0);
    EXPECT_TRUE(testing::fake().posted.empty());
    register_host(slot, 0);
    EXPECT_EQ(slot.host_window, 0u);
}

TEST_F(ClientsTest, NotificationsGoToRegisteredWindowsInSlotOrderExceptTheSkipWindow) {
    g_shared.clients[0].host_window = 0x30;
    g_shared.clients[2].host_window = 0x10;
    g_shared.clients[3].host_window = 0x20;
    g_shared.clients[7].host_window = 0x40;
    notify_hosts(605, 4, 0x20);
    std::vector<PostedMessage> expected = {
        {0x30, 1124, 605, 4}, {0x10, 1124, 605, 4}, {0x40, 1124, 605, 4}};
    EXPECT_EQ(testing::fake().posted, expected);

    testing::fake().posted.clear();
    notify_hosts(607, 2, 0);
    EXPECT_EQ(testing::fake().posted.size(), 4u);
}

TEST_F(ClientsTest, FrequencyMaskCountsOnlyStatusEntriesEqualToOne) {
    auto& status = g_shared.current_table.status;
    status[0] = 1;
    status[1] = 2;  // not "available"
    status[2] = -1;
    status[5] = 1;
    status[9] = 1;
    status[10] = 1; // beyond the ten frequencies
    EXPECT_EQ(available_frequency_mask(), (1 << 0) | (1 << 5) | (1 << 9));
}

} // namespace
} // namespace duo
