#include "trainer/PlaybackEngine.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace vantrel {

namespace {

constexpr std::size_t kBufferSamples = PlaybackEngine::SampleBufferSize / 2;

}  // namespace

// Notifications are posted through a token rather than a raw engine pointer, so work still
// sitting in the queue after the engine is gone finds no engine and does nothing.
struct PlaybackToken {
    PlaybackEngine* engine = nullptr;
};

namespace {

// The two sample buffers and their headers, sized for the longest character.
struct BufferPair {
    std::vector<int16_t> buffer1 = std::vector<int16_t>(kBufferSamples);
    std::vector<int16_t> buffer2 = std::vector<int16_t>(kBufferSamples);
    audio::WaveHeader header1;
    audio::WaveHeader header2;

    int16_t* BufferOf(const audio::WaveHeader* header) {
        return header == &header1 ? buffer1.data() : buffer2.data();
    }
};

// Sets a flag for a scope and puts the old value back.
class FlagScope {
  public:
    explicit FlagScope(bool& flag) : flag_(flag), old_(std::exchange(flag, true)) {}
    ~FlagScope() { flag_ = old_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

  private:
    bool& flag_;
    bool old_;
};

}  // namespace

struct PlaybackEngine::Impl {
    // Allocated once, with the engine; replaced only when a lost device may still hold them.
    std::unique_ptr<BufferPair> buffers = std::make_unique<BufferPair>();
    // Buffers of lost devices, kept for the engine's life.
    std::vector<std::unique_ptr<BufferPair>> retired;
    std::unique_ptr<audio::WaveOut> wave;  // the open device; empty when closed
    // Number of the current device; notifications of an earlier one are ignored.
    uint64_t device = 0;
    // Buffers written to the current device and not yet given back.
    int outstanding = 0;
    // Reset and Close have been asked of the current device.
    bool closeRequested = false;
    // Silent samples still to key ahead of the next character: the start delay, set at each
    // open and used by the first buffer.
    std::size_t leadInSamples = 0;
    // Close notifications handled so far; a wait ends when this moves.
    uint64_t closesHandled = 0;
    std::shared_ptr<PlaybackToken> token = std::make_shared<PlaybackToken>();
};

PlaybackEngine::PlaybackEngine(Keyer& keyer, audio::WaveOutSystem& audio, NotificationQueue& queue,
                               PlaybackView& view, PlaybackHost& host)
    : keyer_(keyer),
      audio_(audio),
      queue_(queue),
      view_(view),
      host_(host),
      impl_(std::make_unique<Impl>()) {
    impl_->token->engine = this;
}

PlaybackEngine::~PlaybackEngine() {
    // No notification of ours may outlive the engine: close the device first.
    StopNow();
    stopRequested_ = true;
    impl_->wave.reset();
    impl_->token->engine = nullptr;
}

void PlaybackEngine::SetStartDelay(int seconds) {
    startDelaySamples_ = static_cast<std::size_t>(
                             std::clamp(seconds, limits::kStartDelayMin, limits::kStartDelayMax)) *
                         limits::kKeyedSampleRate;
}

bool PlaybackEngine::DeviceLive() const {
    return !deviceClosed_;
}

bool PlaybackEngine::TextExhausted() const {
    return static_cast<int64_t>(practiceText_.size()) < textCursor_;
}

void PlaybackEngine::StartBtnClick() {
    if (busy_ || closePending_) {
        return;  // taken up by the command that is waiting
    }
    // A Start from the menu may meet a device that is still open or closing.
    if (DeviceLive()) {
        WaitForDeviceClose();
        if (closePending_ || DeviceLive()) {
            return;
        }
    }
    host_.ApplyTiming();

    std::string text;
    int32_t cursor = textCursor_;
    {
        // The host may show a message box.
        FlagScope busy(busy_);
        if (!host_.BuildPracticeText(text, cursor)) {
            // The builder starts from an empty text; only the cursor keeps its place.
            practiceText_.clear();
            return;
        }
    }
    practiceText_ = std::move(text);
    textCursor_ = cursor;

    keyedText_.clear();
    view_.ClearKeyedText();
    if (practiceText_.empty()) {
        return;
    }

    view_.SetStatus(RunStatus::Started);
    view_.SetPauseCaption(PauseCaption::Pause);
    view_.SetPauseEnabled(true);
    view_.SetCheckEnabled(true);
    view_.SetStartEnabled(false);
    doneCount_ = 0;

    const audio::MMResult result = OpenWaveDevice();
    if (result != audio::MMSYSERR_NOERROR) {
        // Nothing plays: the window shows it stopped and can start the run again.
        view_.SetStatus(RunStatus::Stopped);
        view_.SetPauseEnabled(false);
        view_.SetStartEnabled(true);
        ShowOpenError(result);
    }
}

void PlaybackEngine::PauseBtnClick() {
    if (busy_ || closePending_) {
        return;  // the waiting command stops the device already
    }
    if (playing_) {
        // The next buffer that comes back resets and closes the device.
        stopRequested_ = true;
        return;
    }
    const auto length = static_cast<int64_t>(practiceText_.size());
    if (DeviceLive() || textCursor_ < 2 || textCursor_ > length) {
        return;
    }

    // Resume: the character cut off by the reset is rendered again from its start, and the
    // band goes on from where it was before it.
    textCursor_ -= 1;
    doneCount_ -= 1;
    keyedText_.pop_back();
    if (band_ != nullptr) {
        band_->TakeBackLast();
    }

    view_.SetStatus(RunStatus::Resumed);
    view_.SetPauseCaption(PauseCaption::Pause);
    view_.SetStartEnabled(false);

    const audio::MMResult result = OpenWaveDevice();
    if (result != audio::MMSYSERR_NOERROR) {
        // Back to the stopped state, so the learner can try again.
        view_.SetStatus(RunStatus::Stopped);
        view_.SetPauseCaption(PauseCaption::Resume);
        view_.SetStartEnabled(true);
        ShowOpenError(result);
    }
}

void PlaybackEngine::WaitForDeviceClose() {
    if (!DeviceLive() || busy_) {
        return;
    }
    stopRequested_ = true;
    FlagScope busy(busy_);
    const uint64_t closes = impl_->closesHandled;
    while (impl_->closesHandled == closes) {
        queue_.RunUntil(
            [this, closes] { return impl_->closesHandled != closes || DeviceSilent(); });
        if (impl_->closesHandled == closes && DeviceSilent()) {
            HandleSilentDevice();
        }
    }
}

bool PlaybackEngine::DeviceSilent() const {
    const auto limit = impl_->closeRequested ? kCloseSilence : kDeviceSilence;
    return DeviceLive() && clock_() - lastHeard_ > limit;
}

void PlaybackEngine::HandleSilentDevice() {
    if (!impl_->closeRequested) {
        stopRequested_ = true;
        playing_ = false;
        ResetAndClose();
    } else {
        DropLostDevice(audio::MMSYSERR_NODRIVER);
    }
}

bool PlaybackEngine::StopNow() {
    // The window is going away: a device lost now is not worth a message box.
    FlagScope closing(closing_);
    if (busy_) {
        closePending_ = true;
        if (DeviceLive()) {
            stopRequested_ = true;
            playing_ = false;
            ResetAndClose();
        }
        return false;
    }
    while (DeviceLive()) {
        stopRequested_ = true;
        playing_ = false;
        ResetAndClose();
        WaitForDeviceClose();
    }
    closePending_ = false;
    return true;
}

audio::MMResult PlaybackEngine::OpenWaveDevice() {
    if (DeviceLive()) {
        return audio::MMSYSERR_ALLOCATED;  // never two devices; the callers wait first
    }
    keyer_.ResetPhase();
    const audio::WaveFormat format = audio::WaveFormat::Pcm(1, limits::kKeyedSampleRate, 16);
    stopRequested_ = false;
    Impl& d = *impl_;
    d.closeRequested = false;
    d.outstanding = 0;
    const uint64_t device = ++d.device;

    // The device's thread only posts; every handler runs on the owner's thread.
    auto callback = [token = d.token, queue = &queue_, device](audio::WaveMessage message,
                                                               audio::WaveHeader* header) {
        queue->Post([token, device, message, header] {
            if (token->engine != nullptr) {
                token->engine->OnNotification(device, message, header);
            }
        });
    };

    const audio::MMResult result =
        audio_.Open(audio::WAVE_MAPPER, format, std::move(callback), &d.wave);
    if (result == audio::MMSYSERR_NOERROR && d.wave) {
        lastHeard_ = clock_();
        playing_ = true;
        deviceClosed_ = false;
        return result;
    }
    playing_ = false;
    d.wave.reset();
    return result == audio::MMSYSERR_NOERROR ? audio::MMSYSERR_ERROR : result;
}

void PlaybackEngine::ShowOpenError(audio::MMResult result) {
    if (closing_) {
        return;
    }
    // A message box may run a nested loop: commands that arrive meanwhile are dropped.
    FlagScope busy(busy_);
    view_.ShowAudioOpenError(result);
}

void PlaybackEngine::OnNotification(uint64_t device, audio::WaveMessage message,
                                    audio::WaveHeader* header) {
    if (device != impl_->device || !impl_->wave) {
        return;  // a device that has been dropped
    }
    lastHeard_ = clock_();
    switch (message) {
        case audio::WaveMessage::Open:
            MMWomOpen();
            break;
        case audio::WaveMessage::Done:
            MMWomDone(header);
            break;
        case audio::WaveMessage::Close:
            MMWomClose();
            break;
    }
}

void PlaybackEngine::MMWomOpen() {
    Impl& d = *impl_;
    if (d.closeRequested) {
        return;  // already being closed (StopNow before the device had opened)
    }
    BufferPair& b = *d.buffers;
    for (audio::WaveHeader* header : {&b.header1, &b.header2}) {
        *header = audio::WaveHeader{};
        header->data = reinterpret_cast<const uint8_t*>(b.BufferOf(header));
        header->length = static_cast<uint32_t>(SampleBufferSize);
    }
    // Both buffers are queued even when a Pause or a close wait came in before this
    // notification: only a buffer coming back can end the run, so the device must get some.
    d.leadInSamples = startDelaySamples_;
    if (!DeviceAnswered(d.wave->Prepare(&b.header1))) {
        return;
    }
    const bool first = QueueCharacter(&b.header1);
    if (!d.wave || !DeviceAnswered(d.wave->Prepare(&b.header2))) {
        return;
    }
    QueueCharacter(&b.header2);
    if (!first && d.wave) {
        // Nothing was left to key.
        stopRequested_ = true;
        playing_ = false;
        ResetAndClose();
    }
}

void PlaybackEngine::FillBuffer(audio::WaveHeader* header) {
    if (stopRequested_) {
        return;
    }
    QueueCharacter(header);
}

bool PlaybackEngine::QueueCharacter(audio::WaveHeader* header) {
    Impl& d = *impl_;
    if (TextExhausted() || textCursor_ < 1 || !d.wave) {
        return false;
    }
    const auto c = static_cast<uint8_t>(practiceText_[static_cast<std::size_t>(textCursor_ - 1)]);
    const std::size_t samples = RenderKeyed(keyer_, band_, c, std::exchange(d.leadInSamples, 0),
                                            std::span(d.buffers->BufferOf(header), kBufferSamples));
    header->length = static_cast<uint32_t>(2 * samples);
    keyedText_.push_back(static_cast<char>(c));
    textCursor_ += 1;
    d.outstanding += 1;
    return DeviceAnswered(d.wave->Write(header));
}

void PlaybackEngine::CountReturnedBuffer() {
    doneCount_ += 1;
    const auto heard = static_cast<std::size_t>(doneCount_);
    if (heard <= keyedText_.size() && keyedText_[heard - 1] == ' ') {
        // A word has just finished sounding: show everything up to and including its blank.
        view_.ShowKeyedText(keyedText_.substr(0, heard), doneCount_ - 1);
    }
}

void PlaybackEngine::MMWomDone(audio::WaveHeader* header) {
    Impl& d = *impl_;
    if ((header != &d.buffers->header1 && header != &d.buffers->header2) || d.outstanding == 0) {
        return;  // not one of ours: nothing was played
    }
    d.outstanding -= 1;
    CountReturnedBuffer();
    if (!stopRequested_) {
        if (TextExhausted()) {
            stopRequested_ = true;
            playing_ = false;
        } else {
            FillBuffer(header);
        }
    }
    if (stopRequested_) {
        ResetAndClose();
    }
}

void PlaybackEngine::ResetAndClose() {
    Impl& d = *impl_;
    if (d.closeRequested || !d.wave) {
        return;
    }
    d.closeRequested = true;
    lastHeard_ = clock_();  // the close gets its own time
    if (DeviceAnswered(d.wave->Reset())) {
        DeviceAnswered(d.wave->Close());
    }
}

bool PlaybackEngine::DeviceAnswered(audio::MMResult result) {
    if (result != audio::MMSYSERR_NODRIVER || !impl_->wave) {
        return true;
    }
    DropLostDevice(result);
    return false;
}

void PlaybackEngine::DropLostDevice(audio::MMResult result) {
    Impl& d = *impl_;
    d.device += 1;  // what the lost device still reports is ignored
    d.wave.reset();
    // The lost device may still read its buffers: they stay with it, the next device gets new.
    d.retired.push_back(std::exchange(d.buffers, std::make_unique<BufferPair>()));
    // What it held counts as given back, as a reset would have given it.
    for (; d.outstanding > 0; --d.outstanding) {
        CountReturnedBuffer();
    }
    stopRequested_ = true;
    ShowClosed();
    ShowOpenError(result);
}

void PlaybackEngine::MMWomClose() {
    Impl& d = *impl_;
    d.wave->Unprepare(&d.buffers->header1);
    d.wave->Unprepare(&d.buffers->header2);
    d.wave.reset();
    ShowClosed();
}

void PlaybackEngine::ShowClosed() {
    if (TextExhausted()) {
        view_.SetStatus(RunStatus::Finished);
        view_.SetPauseEnabled(false);
    } else {
        view_.SetStatus(RunStatus::Stopped);
        view_.SetPauseCaption(PauseCaption::Resume);
    }
    playing_ = false;
    deviceClosed_ = true;
    view_.SetStartEnabled(true);
    impl_->closesHandled += 1;
}

}  // namespace vantrel
