// The two interference sources beside the keyed tone: Gaussian noise and a steady triangle
// tone, each a generator feeding an audio output of its own, switched by the noise group's
// check boxes and levelled together by its scroll bar.
//
// The handlers run on the window's thread. Each source plays on its own device stream until it
// is switched off, whether or not a text is being keyed.
//
// Switching a source opens or closes device streams, which some sound systems take their time
// over. With Switching::Background the handlers only note what the boxes and the bar ask for
// and return at once; a worker of the controls' own then brings the sources there, taking up
// only the newest wish of each control, so any number of quick toggles ends with every source
// as its box says. With Switching::Immediate the handlers do it themselves.
#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/audio/WaveOut.h"
#include "signal/ALAudioOut.h"
#include "signal/ALGaussGen.h"
#include "signal/ALSignalGen.h"
#include "signal/SLClockGen.h"

namespace vantrel {

class InterferenceControls {
  public:
    // The interfering tone.
    static constexpr double kToneFrequencyHz = 500.0;
    static constexpr int32_t kToneAmplitude = 20000;
    // The noise.
    static constexpr int32_t kNoiseMean = 0;
    static constexpr int32_t kNoiseStdDev = 9000;
    static constexpr uint16_t kNoiseSeed = 500;

    enum class Switching { Immediate, Background };

    // `system` must outlive the controls. `clocks` paces a source only if its output cannot.
    explicit InterferenceControls(
        audio::WaveOutSystem& system,
        signal::TSLClockService& clocks = signal::TSLClockService::Instance(),
        Switching switching = Switching::Immediate);
    // Stops both sources and disconnects them, then closes their outputs.
    ~InterferenceControls();
    InterferenceControls(const InterferenceControls&) = delete;
    InterferenceControls& operator=(const InterferenceControls&) = delete;

    // "Гауссовский": the noise on or off.
    void CheckBox2Click(bool checked);
    // "Тональный": the tone on or off.
    void CheckBox3Click(bool checked);
    // The common level, 0..18000 in sample units: the noise's deviation and the tone's
    // amplitude.
    void ScrollBar1Change(int position);
    // Returns once the sources are as the controls last asked (at once when Immediate).
    void Settle();

    signal::TALSignalGen& ALSignalGen1() { return signalGen_; }
    signal::TALAudioOut& ALAudioOut1() { return audioOut1_; }
    signal::TALGaussGen& ALGaussGen1() { return gaussGen_; }
    signal::TALAudioOut& ALAudioOut2() { return audioOut2_; }

  private:
    // What the controls asked for and the worker has not applied yet.
    struct Wishes {
        std::optional<bool> noise;
        std::optional<bool> tone;
        std::optional<int> level;
    };
    void Ask(const Wishes& wishes);
    void Apply(const Wishes& wishes);
    void Switch(signal::TALCommonGen& source, signal::TALAudioOut& output, bool on);
    void RunWorker();
    bool Stopping();

    // The outputs come first, so they outlive the generators that feed them.
    signal::TALAudioOut audioOut1_;
    signal::TALAudioOut audioOut2_;
    signal::TALSignalGen signalGen_;
    signal::TALGaussGen gaussGen_;

    // Background switching.
    const bool background_;
    std::mutex mutex_;
    std::condition_variable changed_;
    Wishes wishes_;          // guarded by mutex_
    bool applying_ = false;  // guarded by mutex_
    bool stopping_ = false;  // guarded by mutex_
    std::thread worker_;     // last: it runs on everything above
};

}  // namespace vantrel
