#include "trainer/PlaybackEngine.h"

#include <string_view>
#include <utility>

#include "support/MMErrorText.h"

namespace vantrel {

namespace {

constexpr std::string_view kStatusStarted = "Тест начат";
constexpr std::string_view kStatusResumed = "Возобновлен";
constexpr std::string_view kStatusFinished = "Тест окончен";
constexpr std::string_view kStatusStopped = "Тестирование остановлено";
constexpr std::string_view kCaptionPause = "&Пауза";
constexpr std::string_view kCaptionResume = "&Возобновить";
constexpr std::string_view kOpenFailed = "Ошибка открытия аудио!";

constexpr std::size_t kBufferSamples = Keyer::kMaxCharacterSamples;

}  // namespace

// Notifications are posted through a token rather than a raw engine pointer, so work still
// sitting in the queue after the engine is gone finds no engine and does nothing.
struct PlaybackToken {
    PlaybackEngine* engine = nullptr;
};

struct PlaybackEngine::Impl {
    // Both buffers are allocated once, with the engine, and sized for the longest character.
    std::vector<int16_t> buffer1 = std::vector<int16_t>(kBufferSamples);
    std::vector<int16_t> buffer2 = std::vector<int16_t>(kBufferSamples);
    audio::WaveHeader header1;
    audio::WaveHeader header2;
    std::unique_ptr<audio::WaveOut> wave;  // the open device; empty when closed
    // Reset and Close have been asked of the current device.
    bool closeRequested = false;
    // Close notifications handled so far; a wait ends when this moves.
    uint64_t closesHandled = 0;
    std::shared_ptr<PlaybackToken> token = std::make_shared<PlaybackToken>();

    int16_t* BufferOf(const audio::WaveHeader* header) {
        return header == &header1 ? buffer1.data() : buffer2.data();
    }
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

bool PlaybackEngine::DeviceLive() const {
    return !deviceClosed_;
}

bool PlaybackEngine::TextExhausted() const {
    return static_cast<int64_t>(practiceText_.size()) < textCursor_;
}

void PlaybackEngine::StartBtnClick() {
    // A Start from the menu may meet a device that is still open or closing. The wait can run
    // other commands re-entrantly, so wait until no device is left at all.
    while (DeviceLive()) {
        WaitForDeviceClose();
    }
    host_.ApplyTiming();

    std::string text;
    int32_t cursor = textCursor_;
    if (!host_.BuildPracticeText(text, cursor)) {
        return;
    }
    practiceText_ = std::move(text);
    textCursor_ = cursor;

    keyedText_.clear();
    view_.ClearKeyedText();
    if (practiceText_.empty()) {
        return;
    }

    view_.SetStatusText(std::string(kStatusStarted));
    view_.SetPauseCaption(std::string(kCaptionPause));
    view_.SetPauseEnabled(true);
    view_.SetCheckEnabled(true);
    view_.SetStartEnabled(false);
    doneCount_ = 0;

    if (!OpenWaveDevice()) {
        // Nothing plays: give the learner a window from which the run can be started again.
        view_.SetPauseEnabled(false);
        view_.SetStartEnabled(true);
    }
}

void PlaybackEngine::PauseBtnClick() {
    if (playing_) {
        // The next buffer that comes back resets and closes the device.
        stopRequested_ = true;
        return;
    }
    const auto length = static_cast<int64_t>(practiceText_.size());
    if (DeviceLive() || textCursor_ < 2 || textCursor_ > length) {
        return;
    }

    // Resume: the character cut off by the reset is rendered again from its start.
    textCursor_ -= 1;
    doneCount_ -= 1;
    keyedText_.pop_back();

    view_.SetStatusText(std::string(kStatusResumed));
    view_.SetPauseCaption(std::string(kCaptionPause));
    view_.SetStartEnabled(false);

    if (!OpenWaveDevice()) {
        // Back to the stopped state, so the learner can try again.
        view_.SetStatusText(std::string(kStatusStopped));
        view_.SetPauseCaption(std::string(kCaptionResume));
        view_.SetStartEnabled(true);
    }
}

void PlaybackEngine::WaitForDeviceClose() {
    if (!DeviceLive()) {
        return;
    }
    stopRequested_ = true;
    const uint64_t closes = impl_->closesHandled;
    queue_.RunUntil([this, closes] { return impl_->closesHandled != closes; });
}

void PlaybackEngine::StopNow() {
    while (DeviceLive()) {
        stopRequested_ = true;
        playing_ = false;
        ResetAndClose();
        WaitForDeviceClose();
    }
}

bool PlaybackEngine::OpenWaveDevice() {
    while (DeviceLive()) {
        WaitForDeviceClose();
    }
    keyer_.ResetPhase();
    const audio::WaveFormat format = audio::WaveFormat::Pcm(1, 8000, 16);
    stopRequested_ = false;
    impl_->closeRequested = false;

    // The device's thread only posts; every handler runs on the owner's thread.
    auto callback = [token = impl_->token, queue = &queue_](audio::WaveMessage message,
                                                            audio::WaveHeader* header) {
        queue->Post([token, message, header] {
            if (token->engine != nullptr) {
                token->engine->OnNotification(message, header);
            }
        });
    };

    const audio::MMResult result =
        audio_.Open(audio::WAVE_MAPPER, format, std::move(callback), &impl_->wave);
    if (result == audio::MMSYSERR_NOERROR && impl_->wave) {
        playing_ = true;
        deviceClosed_ = false;
        return true;
    }
    playing_ = false;
    impl_->wave.reset();
    view_.ShowWarning(std::string(kOpenFailed) + "\r\n" + std::string(MMErrorText(result)));
    return false;
}

void PlaybackEngine::OnNotification(audio::WaveMessage message, audio::WaveHeader* header) {
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
    if (!d.wave || d.closeRequested) {
        return;  // already being closed (StopNow before the device had opened)
    }
    for (audio::WaveHeader* header : {&d.header1, &d.header2}) {
        *header = audio::WaveHeader{};
        header->data = reinterpret_cast<const uint8_t*>(d.BufferOf(header));
        header->length = static_cast<uint32_t>(SampleBufferSize);
    }
    // Both buffers are queued even when a Pause or a close wait came in before this
    // notification: only a buffer coming back can end the run, so the device must get some.
    d.wave->Prepare(&d.header1);
    const bool first = QueueCharacter(&d.header1);
    d.wave->Prepare(&d.header2);
    QueueCharacter(&d.header2);
    if (!first) {
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
    if (TextExhausted() || textCursor_ < 1 || !impl_->wave) {
        return false;
    }
    const auto c = static_cast<uint8_t>(practiceText_[static_cast<std::size_t>(textCursor_ - 1)]);
    const int bytes = keyer_.RenderCharacter(impl_->BufferOf(header), kBufferSamples, c);
    header->length = static_cast<uint32_t>(bytes);
    keyedText_.push_back(static_cast<char>(c));
    textCursor_ += 1;
    const audio::MMResult written = impl_->wave->Write(header);
    if (written == audio::MMSYSERR_NODRIVER && playing_) {
        // The sound server went away: the run stops (the device hands its buffers back).
        stopRequested_ = true;
        playing_ = false;
        view_.ShowWarning(std::string(kOpenFailed) + "\r\n" + std::string(MMErrorText(written)));
    }
    return true;
}

void PlaybackEngine::MMWomDone(audio::WaveHeader* header) {
    if (header != &impl_->header1 && header != &impl_->header2) {
        return;  // not one of ours: nothing was played
    }
    doneCount_ += 1;
    const auto heard = static_cast<std::size_t>(doneCount_);
    if (heard <= keyedText_.size() && keyedText_[heard - 1] == ' ') {
        // A word has just finished sounding: show everything up to and including its blank.
        view_.ShowKeyedText(keyedText_.substr(0, heard), doneCount_ - 1);
    }
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
    d.wave->Reset();
    d.wave->Close();
}

void PlaybackEngine::MMWomClose() {
    Impl& d = *impl_;
    if (d.wave) {
        d.wave->Unprepare(&d.header1);
        d.wave->Unprepare(&d.header2);
    }
    d.wave.reset();

    if (TextExhausted()) {
        view_.SetStatusText(std::string(kStatusFinished));
        view_.SetPauseEnabled(false);
    } else {
        view_.SetStatusText(std::string(kStatusStopped));
        view_.SetPauseCaption(std::string(kCaptionResume));
    }
    playing_ = false;
    deviceClosed_ = true;
    view_.SetStartEnabled(true);
    d.closesHandled += 1;
}

}  // namespace vantrel
