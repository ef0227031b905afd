// The building blocks of the audio backends: the lock-free ring, the rate converter and the
// notification thread.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <numbers>
#include <thread>
#include <vector>

#include "platform/audio/NotificationThread.h"
#include "platform/audio/RateConverter.h"
#include "platform/audio/SpscRing.h"
#include "tests/platform/AudioAnalysis.h"

namespace vantrel::audio {
namespace {

TEST(SpscRingTest, CarriesEveryValueInOrderBetweenTwoThreadsAndRefusesWhenFull) {
    SpscRing<uint32_t, 8> ring;
    for (uint32_t i = 0; i < 8; ++i) {
        ASSERT_TRUE(ring.Push(i));
    }
    EXPECT_FALSE(ring.Push(99));
    uint32_t v = 0;
    for (uint32_t i = 0; i < 8; ++i) {
        ASSERT_TRUE(ring.Pop(v));
        EXPECT_EQ(v, i);
    }
    EXPECT_FALSE(ring.Pop(v));

    constexpr uint32_t kCount = 200000;
    std::thread producer([&] {
        for (uint32_t i = 0; i < kCount;) {
            i += ring.Push(i) ? 1 : 0;
        }
    });
    uint32_t expected = 0;
    bool inOrder = true;
    while (expected < kCount) {
        if (ring.Pop(v)) {
            inOrder = inOrder && v == expected;
            ++expected;
        }
    }
    producer.join();
    EXPECT_TRUE(inOrder);
}

TEST(RateConverterTest, ConsumesExactlyTheSourceRateAndKeepsThePitch) {
    RateConverter converter(8000, 44100, 1);
    uint64_t pulled = 0;
    std::vector<int16_t> out(44100 * 2);
    for (std::size_t i = 0; i < out.size(); ++i) {
        converter.Produce(&out[i], [&](int16_t* frame) {
            frame[0] = static_cast<int16_t>(12000 * std::sin(2 * std::numbers::pi * 800.0 *
                                                             static_cast<double>(pulled) / 8000));
            ++pulled;
        });
    }
    // One frame of look-ahead, then exactly 8000 per 44100.
    EXPECT_EQ(pulled, 1u + 16000u);
    EXPECT_NEAR(test::FundamentalHz(out, 44100), 800.0, 0.05);
}

TEST(RateConverterTest, DownConversionInterleavesChannelsUnchanged) {
    RateConverter converter(48000, 8000, 2);
    int16_t next = 0;
    int16_t frame[2];
    converter.Produce(frame, [&](int16_t* f) {
        f[0] = next;
        f[1] = static_cast<int16_t>(-next);
        next = static_cast<int16_t>(next + 6);
    });
    EXPECT_EQ(next, 7 * 6);  // primed with one frame, then six per output frame
    EXPECT_EQ(frame[0], -frame[1]);
}

// Delayed work too runs in order; Wake runs the drain routine.
TEST(NotificationThreadTest, RunsWorkInOrderOffTheCallerAndStopsFromInsideItsOwnWork) {
    std::atomic<int> woken{0};
    auto thread = std::make_unique<NotificationThread>([&] { woken.fetch_add(1); });
    std::vector<int> order;
    std::atomic<bool> offCaller{true};
    const auto caller = std::this_thread::get_id();
    for (int i = 0; i < 100; ++i) {
        if (i == 98) {
            thread->SetDelay(std::chrono::milliseconds(20));
        }
        thread->Post([&, i] {
            order.push_back(i);
            offCaller = offCaller && std::this_thread::get_id() != caller;
        });
    }
    thread->Flush();
    ASSERT_EQ(order.size(), 100u);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(order[i], i);
    }
    EXPECT_TRUE(offCaller);
    EXPECT_EQ(woken.load(), 0) << "drained without a Wake";
    thread->Wake();
    while (woken.load() == 0) {
        std::this_thread::yield();
    }

    std::atomic<bool> ran{false};
    thread->Post([&] {
        thread->Stop();
        ran = true;
    });
    thread->Post([&] { ADD_FAILURE() << "ran after Stop"; });
    thread->Flush();  // returns once stopped; the second item is dropped
    while (!ran) {
        std::this_thread::yield();
    }
    thread.reset();
}

}  // namespace
}  // namespace vantrel::audio
