// The stream contract, run over every backend: the virtual device always, also behind the
// worker that bounds its calls, and the PortAudio and libpulse devices where a sound server is
// reachable.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "platform/audio/VirtualWaveOut.h"
#include "platform/audio/WorkerWaveSystem.h"
#include "tests/platform/WaveEventLog.h"
#ifdef VANTREL_HAVE_PORTAUDIO
#include "platform/audio/PortAudioWaveOut.h"
#endif
#ifdef VANTREL_HAVE_PULSE
#include "platform/audio/PulseWaveOut.h"
#endif

namespace vantrel::audio::test {
namespace {

using Events = std::vector<WaveEvent>;
constexpr uint32_t kRate = 8000;

struct VirtualBackend {
    static constexpr const char* kName = "Virtual";
    // Positions are exact, from the device's clock.
    static constexpr bool kExact = true;
    VirtualWaveSystem device;
    VirtualWaveSystem& system = device;
    std::string Unavailable() { return {}; }
    // Lets `ms` of stream time pass.
    void LetTimePass(int ms) { device.AdvanceMs(static_cast<uint64_t>(ms)); }
    // Plays until `done` holds (at most a minute of stream time).
    bool PlayUntil(const WaveEventLog& log, const std::function<bool(const Events&)>& done) {
        for (int step = 0; step < 6000; ++step) {
            if (log.WaitFor(done, std::chrono::milliseconds(0))) {
                return true;
            }
            device.AdvanceMs(10);
        }
        return log.WaitFor(done, std::chrono::milliseconds(0));
    }
    // True once the stream's position is `frames`; every position read goes to `seen`.
    bool PositionReaches(WaveOut& stream, uint64_t frames, std::vector<uint64_t>& seen) {
        uint64_t position = 0;
        return stream.GetPosition(&position) == MMSYSERR_NOERROR &&
               (seen.push_back(position), position == frames);
    }
};

struct WorkerBackend : VirtualBackend {
    static constexpr const char* kName = "Worker";
    WorkerWaveSystem system{device};
};

// A device on a real sound server: time passes on the wall clock.
template <typename System>
struct RealBackend {
    static constexpr bool kExact = false;
    System system;
    std::string Unavailable() {
        return system.DeviceCount() == 0
                   ? "no sound server answers; run under scripts/test.sh for a null sink"
                   : "";
    }
    void LetTimePass(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    bool PlayUntil(const WaveEventLog& log, const std::function<bool(const Events&)>& done) {
        return log.WaitFor(done, std::chrono::seconds(20));
    }
    bool PositionReaches(WaveOut& stream, uint64_t frames, std::vector<uint64_t>& seen) {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        uint64_t position = 0;
        while (stream.GetPosition(&position) == MMSYSERR_NOERROR) {
            seen.push_back(position);
            if (position == frames || std::chrono::steady_clock::now() > limit) {
                return position == frames;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }
};
#ifdef VANTREL_HAVE_PORTAUDIO
struct PortAudioBackend : RealBackend<PortAudioWaveSystem> {
    static constexpr const char* kName = "PortAudio";
};
#endif
#ifdef VANTREL_HAVE_PULSE
struct PulseBackend : RealBackend<PulseWaveSystem> {
    static constexpr const char* kName = "Pulse";
};
#endif

// One header with its samples: a ramp, so that order and gaps would show.
struct Buffer {
    explicit Buffer(int ms, int16_t base = 0)
        : samples(static_cast<std::size_t>(kRate * ms / 1000)) {
        for (std::size_t i = 0; i < samples.size(); ++i) {
            samples[i] = static_cast<int16_t>(base + static_cast<int16_t>(i % 1000));
        }
        header.data = reinterpret_cast<const uint8_t*>(samples.data());
        header.length = static_cast<uint32_t>(samples.size() * 2);
    }
    std::vector<int16_t> samples;
    WaveHeader header;
};

std::function<bool(const Events&)> Has(WaveMessage message, int count) {
    return [=](const Events& events) { return WaveEventLog::Count(events, message) >= count; };
}

template <typename Backend>
class WaveOutContract : public ::testing::Test {
  protected:
    void SetUp() override {
        backend_ = std::make_unique<Backend>();
        const std::string why = backend_->Unavailable();
        if (!why.empty()) {
            GTEST_SKIP() << "Skipped: " << why;
        }
    }

    std::unique_ptr<WaveOut> OpenStream(WaveCallback callback) {
        std::unique_ptr<WaveOut> stream;
        EXPECT_EQ(backend_->system.Open(WAVE_MAPPER, WaveFormat::Pcm(1, kRate, 16),
                                        std::move(callback), &stream),
                  MMSYSERR_NOERROR);
        return stream;
    }

    void WriteAll(WaveOut& stream, std::vector<Buffer*> buffers) {
        for (Buffer* b : buffers) {
            ASSERT_EQ(stream.Prepare(&b->header), MMSYSERR_NOERROR);
            ASSERT_EQ(stream.Write(&b->header), MMSYSERR_NOERROR);
        }
    }

    std::unique_ptr<Backend> backend_;
    WaveEventLog log_;
};

#if defined(VANTREL_HAVE_PORTAUDIO) && defined(VANTREL_HAVE_PULSE)
using Backends = ::testing::Types<VirtualBackend, WorkerBackend, PortAudioBackend, PulseBackend>;
#elif defined(VANTREL_HAVE_PORTAUDIO)
using Backends = ::testing::Types<VirtualBackend, WorkerBackend, PortAudioBackend>;
#elif defined(VANTREL_HAVE_PULSE)
using Backends = ::testing::Types<VirtualBackend, WorkerBackend, PulseBackend>;
#else
using Backends = ::testing::Types<VirtualBackend, WorkerBackend>;
#endif

class BackendNames {
  public:
    template <typename T>
    static std::string GetName(int) {
        return T::kName;
    }
};
TYPED_TEST_SUITE(WaveOutContract, Backends, BackendNames);

TYPED_TEST(WaveOutContract, OpenThenEveryBufferComesBackInWriteOrderOnAnotherThread) {
    auto stream = this->OpenStream(this->log_.Callback());
    ASSERT_TRUE(stream);
    Buffer a(40, 0), b(40, 1000), c(40, 2000);
    this->WriteAll(*stream, {&a, &b, &c});
    ASSERT_TRUE(this->backend_->PlayUntil(this->log_, Has(WaveMessage::Done, 3)));
    stream->Close();
    ASSERT_TRUE(this->backend_->PlayUntil(this->log_, Has(WaveMessage::Close, 1)));

    const Events events = this->log_.Events();
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0].message, WaveMessage::Open);
    EXPECT_EQ(events[1].header, &a.header);
    EXPECT_EQ(events[2].header, &b.header);
    EXPECT_EQ(events[3].header, &c.header);
    EXPECT_EQ(events[4].message, WaveMessage::Close);
    for (const WaveEvent& e : events) {
        EXPECT_NE(e.thread, std::this_thread::get_id());
    }
    EXPECT_FALSE(a.header.queued);
}

TYPED_TEST(WaveOutContract, ResetReturnsEveryQueuedBufferWithItsDoneAndLaterOnesPlay) {
    auto stream = this->OpenStream(this->log_.Callback());
    ASSERT_TRUE(stream);
    Buffer a(2000), b(2000), c(2000), d(40);
    this->WriteAll(*stream, {&a, &b, &c});
    EXPECT_EQ(stream->Unprepare(&b.header), WAVERR_STILLPLAYING);
    EXPECT_EQ(stream->Reset(), MMSYSERR_NOERROR);
    EXPECT_EQ(stream->Unprepare(&b.header), MMSYSERR_NOERROR);
    this->WriteAll(*stream, {&d});
    ASSERT_TRUE(this->backend_->PlayUntil(this->log_, Has(WaveMessage::Done, 4)));
    EXPECT_EQ(stream->Close(), MMSYSERR_NOERROR);
    ASSERT_TRUE(this->backend_->PlayUntil(this->log_, Has(WaveMessage::Close, 1)));

    const Events events = this->log_.Events();
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[1].header, &a.header);
    EXPECT_EQ(events[2].header, &b.header);
    EXPECT_EQ(events[3].header, &c.header);
    EXPECT_EQ(events[4].header, &d.header);
    EXPECT_EQ(events[5].message, WaveMessage::Close);
}

// Close returns what is queued; refused calls answer their code and play nothing twice.
TYPED_TEST(WaveOutContract, CloseReturnsWhatIsQueuedAndRefusesBadWritesAndLaterCalls) {
    auto stream = this->OpenStream(this->log_.Callback());
    ASSERT_TRUE(stream);
    Buffer a(2000);
    EXPECT_EQ(stream->Write(&a.header), WAVERR_UNPREPARED);
    this->WriteAll(*stream, {&a});
    EXPECT_EQ(stream->Write(&a.header), WAVERR_STILLPLAYING);
    EXPECT_EQ(stream->Write(nullptr), MMSYSERR_INVALPARAM);
    EXPECT_EQ(stream->Close(), MMSYSERR_NOERROR);
    EXPECT_EQ(stream->Close(), MMSYSERR_NOERROR);
    EXPECT_EQ(stream->Write(&a.header), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(stream->Reset(), MMSYSERR_INVALHANDLE);
    ASSERT_TRUE(this->backend_->PlayUntil(this->log_, Has(WaveMessage::Close, 1)));
    this->backend_->LetTimePass(50);

    const Events events = this->log_.Events();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[1].header, &a.header);
    EXPECT_EQ(events[2].message, WaveMessage::Close);
}

TYPED_TEST(WaveOutContract, PauseHoldsQueuedBuffersUntilRestart) {
    auto stream = this->OpenStream(this->log_.Callback());
    ASSERT_TRUE(stream);
    ASSERT_EQ(stream->Pause(), MMSYSERR_NOERROR);
    Buffer a(20), b(20);
    this->WriteAll(*stream, {&a, &b});
    this->backend_->LetTimePass(300);
    EXPECT_EQ(this->log_.Count(WaveMessage::Done), 0);
    ASSERT_EQ(stream->Restart(), MMSYSERR_NOERROR);
    EXPECT_TRUE(this->backend_->PlayUntil(this->log_, Has(WaveMessage::Done, 2)));
}

TYPED_TEST(WaveOutContract, RoutineCirculatesTwoBuffersThenResetsAndClosesFromInside) {
    // The keying pattern: every returned buffer is written again until enough have played, then
    // the routine resets and closes the stream. Nothing may arrive inside those calls.
    Buffer a(30), b(30);
    std::atomic<int> depth{0};
    std::atomic<bool> nested{false};
    std::atomic<int> done{0};
    WaveOut* raw = nullptr;
    auto stream = this->OpenStream(this->log_.Callback([&](WaveMessage message, WaveHeader* h) {
        if (depth.fetch_add(1) != 0) {
            nested = true;
        }
        if (message == WaveMessage::Done && done.fetch_add(1) + 1 < 8) {
            raw->Write(h);
        } else if (message == WaveMessage::Done && done.load() == 8) {
            raw->Reset();
            raw->Close();
        }
        depth.fetch_sub(1);
    }));
    ASSERT_TRUE(stream);
    raw = stream.get();
    this->WriteAll(*stream, {&a, &b});
    ASSERT_TRUE(this->backend_->PlayUntil(this->log_, Has(WaveMessage::Close, 1)));
    EXPECT_FALSE(nested);
    EXPECT_EQ(this->log_.Events().back().message, WaveMessage::Close);
    EXPECT_EQ(this->log_.Count(WaveMessage::Done), 9);  // 8 played, 1 returned by the reset
}

TYPED_TEST(WaveOutContract, DestroyingAStreamWaitsForItsRunningRoutineAndSilencesTheRest) {
    std::atomic<bool> entered{false};
    std::atomic<bool> finished{false};
    auto stream = this->OpenStream(this->log_.Callback([&](WaveMessage message, WaveHeader*) {
        if (message == WaveMessage::Done && !entered.exchange(true)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            finished = true;
        }
    }));
    ASSERT_TRUE(stream);
    Buffer a(20), b(20), c(2000);
    this->WriteAll(*stream, {&a, &b, &c});
    ASSERT_TRUE(this->backend_->PlayUntil(this->log_, Has(WaveMessage::Done, 1)));
    stream.reset();
    EXPECT_TRUE(finished);
    const std::size_t seen = this->log_.Events().size();
    this->backend_->LetTimePass(100);
    EXPECT_EQ(this->log_.Events().size(), seen);
}

// A keyed stream stays open across characters with silence between: the position counts the
// written frames heard, stands still through the silence and while paused, carries on where
// the sound ended once a later header plays, and starts again at a Reset.
TYPED_TEST(WaveOutContract, PositionCountsTheHeardFramesAndStandsStillThroughSilenceAndPause) {
    auto stream = this->OpenStream(this->log_.Callback());
    ASSERT_TRUE(stream);
    auto& backend = *this->backend_;
    std::vector<uint64_t> seen;
    ASSERT_TRUE(backend.PositionReaches(*stream, 0, seen));
    EXPECT_EQ(stream->GetPosition(nullptr), MMSYSERR_INVALPARAM);
    Buffer a(40), b(40), c(60);
    this->WriteAll(*stream, {&a, &b});
    if constexpr (TypeParam::kExact) {
        backend.LetTimePass(50);
        EXPECT_TRUE(backend.PositionReaches(*stream, 400, seen));
    }
    ASSERT_TRUE(backend.PlayUntil(this->log_, Has(WaveMessage::Done, 2)));
    EXPECT_TRUE(backend.PositionReaches(*stream, 640, seen)) << seen.back();
    backend.LetTimePass(100);
    EXPECT_TRUE(backend.PositionReaches(*stream, 640, seen)) << "silent, at " << seen.back();

    ASSERT_EQ(stream->Pause(), MMSYSERR_NOERROR);
    this->WriteAll(*stream, {&c});
    backend.LetTimePass(100);
    EXPECT_TRUE(backend.PositionReaches(*stream, 640, seen)) << "paused, at " << seen.back();
    ASSERT_EQ(stream->Restart(), MMSYSERR_NOERROR);
    ASSERT_TRUE(backend.PlayUntil(this->log_, Has(WaveMessage::Done, 3)));
    EXPECT_TRUE(backend.PositionReaches(*stream, 1120, seen));
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));

    ASSERT_EQ(stream->Reset(), MMSYSERR_NOERROR);
    EXPECT_TRUE(backend.PositionReaches(*stream, 0, seen));
    ASSERT_EQ(stream->Close(), MMSYSERR_NOERROR);
    uint64_t position = 0;
    EXPECT_EQ(stream->GetPosition(&position), MMSYSERR_INVALHANDLE);
    if constexpr (TypeParam::kExact) {
        // What played: the two headers, the silence, then the third from where they ended.
        const std::vector<int16_t> played = backend.device.PlayedSamples(0);
        ASSERT_GE(played.size(), 1120u + 800u);
        EXPECT_TRUE(std::equal(a.samples.begin(), a.samples.end(), played.begin()));
        EXPECT_TRUE(std::all_of(played.begin() + 640, played.end() - 480,
                                [](int16_t v) { return v == 0; }));
        EXPECT_TRUE(std::equal(c.samples.begin(), c.samples.end(), played.end() - 480));
    }
}

TYPED_TEST(WaveOutContract, RefusedOpensAnswerTheirCodeAndNotifyNothing) {
    std::unique_ptr<WaveOut> stream;
    auto& system = this->backend_->system;
    EXPECT_EQ(system.Open(system.DeviceCount() + 3, WaveFormat::Pcm(1, kRate, 16),
                          this->log_.Callback(), &stream),
              MMSYSERR_BADDEVICEID);
    WaveFormat odd = WaveFormat::Pcm(1, kRate, 24);
    EXPECT_EQ(system.Open(WAVE_MAPPER, odd, this->log_.Callback(), &stream), WAVERR_BADFORMAT);
    WaveFormat inconsistent = WaveFormat::Pcm(2, kRate, 16);
    inconsistent.blockAlign = 2;
    EXPECT_EQ(system.Open(WAVE_MAPPER, inconsistent, this->log_.Callback(), &stream),
              WAVERR_BADFORMAT);
    EXPECT_FALSE(stream);
    this->backend_->LetTimePass(50);
    EXPECT_TRUE(this->log_.Events().empty());
}

// The real backends name their devices (sink descriptions, PortAudio names) through this.
TEST(DeviceNames, AreCutTo31BytesNeverInsideACharacter) {
    EXPECT_EQ(CutDeviceName("Null Output"), "Null Output");
    EXPECT_EQ(CutDeviceName(std::string(40, 'a')), std::string(31, 'a'));
    // 30 bytes, then a two-byte letter that the 31st byte would split.
    EXPECT_EQ(CutDeviceName(std::string(30, 'a') + "\xD0\xB6x"), std::string(30, 'a'));
}

}  // namespace
}  // namespace vantrel::audio::test
