// The recognition drills' keyed sound: one stream on the session's wave output, opened at a
// drill's first sound and kept open until the drill stops, so that the next character follows an
// answer with no open in between.
//
// Each keyed sound is written as two buffers: the lead silence and the elements up to the end of
// the last one, then a pad of silence that keeps the stream playing while the first buffer's
// end is being heard. The first buffer's end thus marks the moment the sound's last element
// ended, and the stream's hand-back of that buffer tells when it was heard (HeardPosition).
//
// Every keyed sample of the drills is produced by KeyedSamples: whatever is done to the keyed
// sound (the band's conditions) is done there.
//
// Everything runs on the owner's thread; notifications come back through the owner's queue.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/audio/WaveOut.h"
#include "trainer/Keyer.h"
#include "trainer/PlaybackEngine.h"

namespace vantrel {

using SteadyTime = std::chrono::steady_clock::time_point;
using SteadyClock = std::function<SteadyTime()>;

// The samples of `cp1251` keyed with `keyer`'s timing and tone, characters back to back (each
// with the keyer's gap after it; a blank is a word gap), after `leadSamples` of silence, cut at
// the end of the last element.
std::vector<int16_t> KeyedSamples(Keyer& keyer, std::string_view cp1251, std::size_t leadSamples);

// Where a stream's sound has got to at the listener's ear: its first `frames` frames had been
// heard by `at`.
struct HeardPosition {
    uint64_t frames = 0;
    SteadyTime at{};
};

class DrillSoundListener {
  public:
    virtual ~DrillSoundListener() = default;
    // The last element of sound `id` (as Key returned it) has been heard.
    virtual void SoundHeard(uint64_t id) = 0;
};

class DrillSound {
  public:
    // The pad after each keyed sound, and the low buzz of a wrong answer.
    static constexpr int kPadMs = 150;
    static constexpr int kBuzzMs = 250;
    static constexpr int kBuzzHz = 160;

    DrillSound(audio::WaveOutSystem& audio, NotificationQueue& queue);
    // Silences and closes the stream.
    ~DrillSound();

    DrillSound(const DrillSound&) = delete;
    DrillSound& operator=(const DrillSound&) = delete;

    // The timing and tone the drills key with.
    Keyer& Keying() { return keyer_; }
    // Who hears of the sounds' ends (the drill running); nullptr for nobody.
    void SetListener(DrillSoundListener* listener) { listener_ = listener; }
    // The clock that stamps the stream's hand-backs (tests).
    void SetClock(SteadyClock clock) { clock_ = std::move(clock); }

    // Keys `cp1251` after `leadSamples` of silence behind what is queued, opening the stream
    // when it is not open. Returns the sound's number (from 1), or the device's error code as a
    // failure, after which the stream is closed.
    struct Keyed {
        uint64_t id = 0;
        audio::MMResult error = audio::MMSYSERR_NOERROR;
    };
    Keyed Key(std::string_view cp1251, std::size_t leadSamples);
    // A short low buzz behind what is queued.
    audio::MMResult Buzz();
    // When the last element of sound `id` was heard; nothing while it is still to come.
    std::optional<SteadyTime> EndHeard(uint64_t id) const;
    // How far the stream has been heard.
    HeardPosition Heard() const { return heard_; }
    // Sound is queued or playing.
    bool Busy() const { return !chunks_.empty(); }
    // Cuts what is queued when a keyed sound or buzz is still to be heard (a pad alone plays on);
    // the stream stays open.
    void Silence();
    // Silences and closes the stream; the next Key opens it again.
    void Stop();

  private:
    struct Chunk;
    struct Token;
    audio::MMResult Open();
    audio::MMResult Write(std::vector<int16_t> samples, uint64_t endsSound);
    void Returned(audio::WaveHeader* header, SteadyTime at);
    // The device failed: nothing it holds is used again, and the stream is closed.
    void Lose();

    Keyer keyer_;
    audio::WaveOutSystem& audio_;
    NotificationQueue& queue_;
    DrillSoundListener* listener_ = nullptr;
    SteadyClock clock_ = [] { return std::chrono::steady_clock::now(); };
    std::shared_ptr<Token> token_;
    std::unique_ptr<audio::WaveOut> stream_;
    // Written and not yet handed back, in write order.
    std::list<std::unique_ptr<Chunk>> chunks_;
    // Buffers a lost device may still read: kept to the end.
    std::list<std::unique_ptr<Chunk>> lost_;
    uint64_t framesWritten_ = 0;
    uint64_t lastId_ = 0;
    uint64_t heardId_ = 0;
    SteadyTime heardEnd_{};
    HeardPosition heard_;
};

}  // namespace vantrel
