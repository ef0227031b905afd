#include "trainer/ManualNotificationQueue.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace vantrel {
namespace {

TEST(ManualNotificationQueueTest, RunUntilWaitsForWorkFromAnotherThreadAndKeepsItsOrder) {
    ManualNotificationQueue queue;
    std::vector<int> ran;
    std::thread poster([&] {
        for (int i = 0; i < 200; ++i) {
            queue.Post([&ran, i] { ran.push_back(i); });
        }
    });
    queue.RunUntil([&] { return ran.size() == 200; });
    poster.join();
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(ran[static_cast<std::size_t>(i)], i);
    }
}

TEST(ManualNotificationQueueTest, WorkPostedByWorkRunsAfterWhatWasAlreadyQueued) {
    std::vector<char> ran;
    ManualNotificationQueue queue;
    int idles = 0;
    queue.SetIdleHook([&] { queue.Post([&] { ran.push_back('i'); }), ++idles; });
    queue.Post([&] {
        ran.push_back('a');
        queue.Post([&] { ran.push_back('c'); });
    });
    queue.Post([&] { ran.push_back('b'); });
    EXPECT_EQ(queue.RunPending(), 3u);
    EXPECT_EQ(idles, 0);
    queue.RunUntil([&] { return ran.size() == 4; });
    EXPECT_EQ(ran, (std::vector<char>{'a', 'b', 'c', 'i'}));
}

}  // namespace
}  // namespace vantrel
