#include "trainer/ManualNotificationQueue.h"

#include <gtest/gtest.h>

#include <numeric>
#include <thread>
#include <vector>

namespace vantrel {
namespace {

TEST(ManualNotificationQueueTest, RunUntilWaitsForWorkFromAnotherThreadAndKeepsItsOrder) {
    ManualNotificationQueue queue;
    std::vector<int> ran, expected(200);
    std::iota(expected.begin(), expected.end(), 0);
    std::thread poster([&] {
        for (int i : expected) {
            queue.Post([&ran, i] { ran.push_back(i); });
        }
    });
    queue.RunUntil([&] { return ran.size() == expected.size(); });
    poster.join();
    EXPECT_EQ(ran, expected);
}

TEST(ManualNotificationQueueTest, WorkPostedByWorkRunsAfterWhatWasAlreadyQueued) {
    std::vector<char> ran;
    ManualNotificationQueue queue;
    int idles = 0;
    queue.SetIdleHook([&] { queue.Post([&] { ran.push_back('i'); }), ++idles; });
    queue.Post([&] { ran.push_back('a'), queue.Post([&] { ran.push_back('c'); }); });
    queue.Post([&] { ran.push_back('b'); });
    EXPECT_EQ(queue.RunPending(), 3u);
    EXPECT_EQ(idles, 0);
    queue.RunUntil([&] { return ran.size() == 4; });
    EXPECT_EQ(ran, (std::vector<char>{'a', 'b', 'c', 'i'}));
}

}  // namespace
}  // namespace vantrel
