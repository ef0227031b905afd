#include "trainer/DrillSound.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "trainer/Limits.h"

namespace vantrel {

// The buffers are owned here until the stream hands them back.
struct DrillSound::Chunk {
    std::vector<int16_t> samples;
    audio::WaveHeader header;
    uint64_t endFrame = 0;   // frames of the stream up to this chunk's end
    uint64_t endsSound = 0;  // the sound whose last element this chunk ends, or 0
    bool pad = false;
    bool silenced = false;  // cut by Silence: its hand-back tells nothing
};

// Notifications reach the sound through a token, so that work still queued after it is gone
// finds nothing.
struct DrillSound::Token {
    DrillSound* sound = nullptr;
};

namespace {

constexpr int kRate = limits::kKeyedSampleRate;

std::size_t MsToSamples(int ms) {
    return static_cast<std::size_t>(ms) * kRate / 1000;
}

}  // namespace

std::vector<int16_t> KeyedSamples(Keyer& keyer, std::string_view cp1251, std::size_t leadSamples) {
    std::size_t total = leadSamples;
    for (char c : cp1251) {
        total += keyer.CharacterSamples(static_cast<uint8_t>(c));
    }
    std::vector<int16_t> samples(total, 0);
    std::size_t at = leadSamples;
    for (char c : cp1251) {
        at += static_cast<std::size_t>(
                  keyer.RenderCharacter(samples.data() + at, total - at, static_cast<uint8_t>(c))) /
              2;
    }
    if (!cp1251.empty() && !MorseCode(static_cast<uint8_t>(cp1251.back())).empty()) {
        // The last element's one-dot gap and the character gap after it.
        const auto gap = static_cast<std::size_t>(keyer.Spacing() + 3) *
                         static_cast<std::size_t>(keyer.DotLength());
        samples.resize(samples.size() - std::min(gap, samples.size() - leadSamples));
    }
    return samples;
}

DrillSound::DrillSound(audio::WaveOutSystem& audio, NotificationQueue& queue)
    : audio_(audio), queue_(queue) {}

DrillSound::~DrillSound() {
    Stop();
}

audio::MMResult DrillSound::Open() {
    token_ = std::make_shared<Token>(Token{this});
    // The hand-back is stamped where the stream reports it, before the queue's delay.
    audio::WaveCallback callback = [token = std::weak_ptr<Token>(token_), &queue = queue_,
                                    clock = clock_](audio::WaveMessage message,
                                                    audio::WaveHeader* header) {
        if (message != audio::WaveMessage::Done) {
            return;
        }
        const SteadyTime at = clock();
        queue.Post([token, header, at] {
            if (const auto kept = token.lock(); kept && kept->sound) {
                kept->sound->Returned(header, at);
            }
        });
    };
    const audio::MMResult result = audio_.Open(
        audio::WAVE_MAPPER, audio::WaveFormat::Pcm(1, kRate, 16), std::move(callback), &stream_);
    if (result != audio::MMSYSERR_NOERROR) {
        stream_.reset();
        token_.reset();
    }
    framesWritten_ = 0;
    return result;
}

DrillSound::Keyed DrillSound::Key(std::string_view cp1251, std::size_t leadSamples) {
    Keyed keyed;
    keyed.id = ++lastId_;
    keyed.error = Write(KeyedSamples(keyer_, cp1251, leadSamples), keyed.id);
    if (keyed.error == audio::MMSYSERR_NOERROR) {
        keyed.error = Write(std::vector<int16_t>(MsToSamples(kPadMs), 0), 0);
        if (!chunks_.empty()) {
            chunks_.back()->pad = true;
        }
    }
    return keyed;
}

audio::MMResult DrillSound::Buzz() {
    std::vector<int16_t> samples(MsToSamples(kBuzzMs));
    const auto& table = keyer_.SineTable();
    const double peak = *std::max_element(table.begin(), table.end()) * 0.7;
    const std::size_t ramp = MsToSamples(5);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double phase = std::fmod(static_cast<double>(i) * kBuzzHz / kRate, 1.0);
        const double edge =
            std::min({1.0, static_cast<double>(i) / static_cast<double>(ramp),
                      static_cast<double>(samples.size() - i) / static_cast<double>(ramp)});
        samples[i] = static_cast<int16_t>(std::lround((phase < 0.5 ? peak : -peak) * edge));
    }
    return Write(std::move(samples), 0);
}

audio::MMResult DrillSound::Write(std::vector<int16_t> samples, uint64_t endsSound) {
    if (!stream_) {
        if (const audio::MMResult opened = Open(); opened != audio::MMSYSERR_NOERROR) {
            return opened;
        }
    }
    auto chunk = std::make_unique<Chunk>();
    chunk->samples = std::move(samples);
    chunk->header.data = reinterpret_cast<const uint8_t*>(chunk->samples.data());
    chunk->header.length = static_cast<uint32_t>(chunk->samples.size() * 2);
    chunk->header.user = endsSound;
    chunk->endFrame = framesWritten_ + chunk->samples.size();
    chunk->endsSound = endsSound;
    audio::WaveHeader* header = &chunk->header;
    chunks_.push_back(std::move(chunk));
    audio::MMResult result = stream_->Prepare(header);
    if (result == audio::MMSYSERR_NOERROR) {
        result = stream_->Write(header);
    }
    if (result != audio::MMSYSERR_NOERROR) {
        Lose();
        return result;
    }
    framesWritten_ = chunks_.back()->endFrame;
    return audio::MMSYSERR_NOERROR;
}

void DrillSound::Returned(audio::WaveHeader* header, SteadyTime at) {
    if (chunks_.empty() || &chunks_.front()->header != header) {
        return;  // a header of a stream since stopped
    }
    const Chunk& chunk = *chunks_.front();
    const uint64_t id = chunk.silenced ? 0 : chunk.endsSound;
    if (!chunk.silenced) {
        heard_ = {chunk.endFrame, at};
    }
    if (stream_) {
        stream_->Unprepare(header);
    }
    chunks_.pop_front();
    if (id != 0) {
        heardId_ = id;
        heardEnd_ = at;
        if (listener_) {
            listener_->SoundHeard(id);
        }
    }
}

std::optional<SteadyTime> DrillSound::EndHeard(uint64_t id) const {
    if (id == 0 || heardId_ != id) {
        return std::nullopt;
    }
    return heardEnd_;
}

void DrillSound::Silence() {
    const bool sounding = std::any_of(chunks_.begin(), chunks_.end(), [](const auto& chunk) {
        return !chunk->pad && !chunk->silenced;
    });
    if (!stream_ || !sounding) {
        return;
    }
    for (auto& chunk : chunks_) {
        chunk->silenced = true;
    }
    if (stream_->Reset() != audio::MMSYSERR_NOERROR) {
        Lose();
        return;
    }
    // The stream starts its count again with the next write.
    framesWritten_ = 0;
    heard_ = {};
}

void DrillSound::Lose() {
    lost_.splice(lost_.end(), chunks_);
    Stop();
}

void DrillSound::Stop() {
    if (token_) {
        token_->sound = nullptr;
        token_.reset();
    }
    if (stream_) {
        if (stream_->Reset() != audio::MMSYSERR_NOERROR ||
            stream_->Close() != audio::MMSYSERR_NOERROR) {
            lost_.splice(lost_.end(), chunks_);
        }
        stream_.reset();
    }
    chunks_.clear();
    framesWritten_ = 0;
    heard_ = {};
}

}  // namespace vantrel
