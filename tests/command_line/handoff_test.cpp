// The queue between a batch's stages: order kept, room bounded, closing ends both sides.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "command_line/handoff.h"

namespace genart {
namespace {

TEST(Handoff, ItemsArriveInOrderAndTheSenderWaitsForRoom)
{
    Handoff<int> queue(2);
    std::atomic<int> sent{0};
    std::thread sender([&] {
        for (int n = 0; n < 1000; ++n) {
            ASSERT_TRUE(queue.put(n));
            ++sent;
        }
        queue.close();
    });
    // Nothing taken yet: the sender stops once the room is full.
    while (sent < 2)
        std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(sent.load(), 2);
    std::vector<int> received;
    while (std::optional<int> item = queue.take())
        received.push_back(*item);
    sender.join();
    ASSERT_EQ(received.size(), 1000u);
    for (int n = 0; n < 1000; ++n)
        ASSERT_EQ(received[static_cast<std::size_t>(n)], n);
}

TEST(Handoff, ClosingRefusesMoreAndLetsTheReceiverFinishWhatIsLeft)
{
    Handoff<int> queue(4);
    EXPECT_TRUE(queue.put(7));
    queue.close();
    EXPECT_FALSE(queue.put(8));
    EXPECT_EQ(queue.take(), 7);
    EXPECT_EQ(queue.take(), std::nullopt);

    // A sender waiting for room and a receiver waiting for items are both let go.
    Handoff<int> full(1);
    ASSERT_TRUE(full.put(1));
    Handoff<int> empty(1);
    std::thread blockedSender([&] { EXPECT_FALSE(full.put(2)); });
    std::thread blockedReceiver([&] { EXPECT_EQ(empty.take(), std::nullopt); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    full.close();
    empty.close();
    blockedSender.join();
    blockedReceiver.join();
}

} // namespace
} // namespace genart
