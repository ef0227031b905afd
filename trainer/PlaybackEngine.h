// The playback engine: keys the practice text through a wave output device with two
// one-character buffers in circulation, and runs Start, Pause, Resume and the close wait.
//
// Everything runs on the owner's thread. The device's notifications are posted to the owner
// through a NotificationQueue and handled in posting order; the only wait (for the device to
// close) is a nested loop over that queue. The keyer, device, queue, view and host must outlive
// the engine; destroying it while a device is open first waits for that device to close.
//
// The engine never re-enters itself: while a command waits in the nested loop (or a message
// box of the engine is up), a Start or Pause that arrives is taken up by the waiting command
// instead of being run inside it, and a close query is answered "not yet" and the device is
// silenced, so there is never more than one wait and never more than one device.
//
// A device that stays silent while a command waits for its close is closed, then dropped
// (kDeviceSilence, kCloseSilence), so no wait outlasts a device that has stopped working.
//
// A device call that answers MMSYSERR_NODRIVER (the device went away or stopped answering,
// see WorkerWaveSystem) ends the run at once: the device is dropped, its buffers count as
// given back, the stopped or finished state is shown and then the audio error message (not
// during the close query: the window is going away).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/audio/WaveOut.h"
#include "trainer/KeyedSound.h"
#include "trainer/Keyer.h"
#include "trainer/Limits.h"

namespace vantrel {

// Runs work posted from any thread on the owner's thread, in posting order.
class NotificationQueue {
  public:
    virtual ~NotificationQueue() = default;
    // Thread-safe.
    virtual void Post(std::function<void()> work) = 0;
    // On the owner's thread: runs posted work (and, in a window, every other pending event)
    // until `done()` is true. `done()` is asked again at least every kRecheck, also while
    // nothing is posted, so that it may look at a clock.
    virtual void RunUntil(const std::function<bool()>& done) = 0;

    static constexpr std::chrono::milliseconds kRecheck{100};
};

// The state of a run as the status bar shows it ("Тест начат", "Возобновлен", "Тест окончен",
// "Тестирование остановлено"), and the start that found no text file chosen ("Не выбран файл!").
enum class RunStatus { Started, Resumed, Finished, Stopped, NoFileChosen };
// What the Pause button offers: "&Пауза" or "&Возобновить".
enum class PauseCaption { Pause, Resume };

// What the engine shows, as values the window words in its language; the keyed text is
// Windows-1251.
class PlaybackView {
  public:
    virtual ~PlaybackView() = default;
    virtual void SetStatus(RunStatus status) = 0;
    // StartBtn and StartBtnTool together.
    virtual void SetStartEnabled(bool enabled) = 0;
    // PauseBtn and PauseBtnTool together.
    virtual void SetPauseEnabled(bool enabled) = 0;
    virtual void SetPauseCaption(PauseCaption caption) = 0;
    // ToolButton3, the copy check.
    virtual void SetCheckEnabled(bool enabled) = 0;
    // TextWin: the whole text, caret at `caret` (character offset), scrolled into view.
    virtual void ShowKeyedText(const std::string& cp1251, int caret) = 0;
    virtual void ClearKeyedText() = 0;
    // The device could not be opened: a warning box ("Ошибка открытия аудио!" and the text of
    // `result`, see support/MMErrorText.h) with an OK button.
    virtual void ShowAudioOpenError(audio::MMResult result) = 0;
};

// What the engine asks of its owner at Start.
class PlaybackHost {
  public:
    virtual ~PlaybackHost() = default;
    // Runs the speed and spacing handlers so the keyer has the current track bar positions.
    virtual void ApplyTiming() = 0;
    // Builds the practice text into `text` (framed, or empty) and sets `cursor` to 1 when it
    // is not empty. Returns false when the start is to be abandoned (the owner has shown the
    // error); the practice text is then empty and nothing else changes.
    virtual bool BuildPracticeText(std::string& text, int32_t& cursor) = 0;
};

class PlaybackEngine {
  public:
    // The longest start delay, in samples.
    static constexpr std::size_t kMaxStartDelaySamples =
        limits::kStartDelayMax * limits::kKeyedSampleRate;
    // Bytes per sample buffer: large enough for the longest character after the longest delay.
    static constexpr std::size_t SampleBufferSize =
        (Keyer::kMaxCharacterSamples + kMaxStartDelaySamples) * 2;
    // A device that has said nothing for this long while a command waits for its close is
    // closed (the longest character lasts 7 s); one that says nothing for kCloseSilence after
    // being asked to close is dropped.
    static constexpr std::chrono::milliseconds kDeviceSilence{9000};
    static constexpr std::chrono::milliseconds kCloseSilence{1000};

    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    PlaybackEngine(Keyer& keyer, audio::WaveOutSystem& audio, NotificationQueue& queue,
                   PlaybackView& view, PlaybackHost& host);
    ~PlaybackEngine();

    // Replaces the clock that times the device's silence (tests).
    void SetClock(Clock clock) { clock_ = std::move(clock); }
    // The band every keyed buffer goes through (RenderKeyed), or none; it must outlive the
    // engine. A Resume takes back the buffer whose character it keys again.
    void SetBand(KeyedBand* band) { band_ = band; }

    PlaybackEngine(const PlaybackEngine&) = delete;
    PlaybackEngine& operator=(const PlaybackEngine&) = delete;

    // StartBtn, StartBtnTool and menu "Пуск" (Ctrl+Enter).
    void StartBtnClick();
    // PauseBtn, PauseBtnTool and menu "Пауза" (Ctrl+P): Pause or Resume.
    void PauseBtnClick();
    // Asks a running device to stop and waits, running the queue, until its close has been
    // handled; the character playing finishes first. Also waits for a device that is already
    // closing. Returns at once when no device is open, or when a wait is already under way.
    void WaitForDeviceClose();
    // Close query of the window: silences the device at once (reset, close) and returns true
    // when the close has been handled, so closing never waits for a long character to finish.
    // Called while another command waits, it silences the device, makes that command give up
    // and returns false: the caller asks again once Busy() is false.
    bool StopNow();
    // A command is waiting in the nested loop, or a message box of the engine is up.
    bool Busy() const { return busy_; }

    // Seconds of silence (0..3, clamped) keyed ahead of the first character after each open of
    // the device, in the first buffer, so that a device that starts slowly cuts only silence.
    // Read at the next open.
    void SetStartDelay(int seconds);

    bool Playing() const { return playing_; }
    bool StopRequested() const { return stopRequested_; }
    const std::string& PracticeText() const { return practiceText_; }
    int32_t TextCursor() const { return textCursor_; }
    const std::string& KeyedText() const { return keyedText_; }
    int32_t DoneCount() const { return doneCount_; }
    // No device is open or closing (the last close notification has been handled).
    bool DeviceClosed() const { return deviceClosed_; }

  private:
    struct Impl;

    // True from a successful open until the close notification has been handled.
    bool DeviceLive() const;
    audio::MMResult OpenWaveDevice();
    void OnNotification(uint64_t device, audio::WaveMessage message, audio::WaveHeader* header);
    void MMWomOpen();
    void MMWomDone(audio::WaveHeader* header);
    void MMWomClose();
    void FillBuffer(audio::WaveHeader* header);
    bool QueueCharacter(audio::WaveHeader* header);
    void ResetAndClose();
    bool TextExhausted() const;
    // A buffer came back: counts it and shows the text when a word has finished sounding.
    void CountReturnedBuffer();
    // The close has been handled (or the device dropped): the stopped or finished state.
    void ShowClosed();
    // Checks a device call's answer; a lost device is dropped. False when it was.
    bool DeviceAnswered(audio::MMResult result);
    void DropLostDevice(audio::MMResult result);
    void ShowOpenError(audio::MMResult result);
    bool DeviceSilent() const;
    void HandleSilentDevice();

    Keyer& keyer_;
    audio::WaveOutSystem& audio_;
    NotificationQueue& queue_;
    PlaybackView& view_;
    PlaybackHost& host_;
    std::unique_ptr<Impl> impl_;
    KeyedBand* band_ = nullptr;
    Clock clock_ = [] { return std::chrono::steady_clock::now(); };
    // When the current device last said something (or was opened or asked to close).
    std::chrono::steady_clock::time_point lastHeard_{};
    bool playing_ = false;
    bool stopRequested_ = false;
    bool busy_ = false;
    // A close query came while busy: the waiting command gives up.
    bool closePending_ = false;
    // Inside the close query.
    bool closing_ = false;
    bool deviceClosed_ = true;
    std::string practiceText_;
    int32_t textCursor_ = 0;
    std::string keyedText_;
    int32_t doneCount_ = 0;
    std::size_t startDelaySamples_ = 0;
};

}  // namespace vantrel
