#include "trainer/InterferenceControls.h"

#include <chrono>
#include <utility>

namespace vantrel {

namespace {

constexpr auto kCloseWait = std::chrono::seconds(2);
constexpr auto kClosePoll = std::chrono::milliseconds(1);

}  // namespace

InterferenceControls::InterferenceControls(audio::WaveOutSystem& system,
                                           signal::TSLClockService& clocks, Switching switching)
    : audioOut1_(system, "ALAudioOut1"),
      audioOut2_(system, "ALAudioOut2"),
      signalGen_("ALSignalGen1", clocks),
      gaussGen_("ALGaussGen1", clocks),
      background_(switching == Switching::Background) {
    // Both sources stay off until their box is ticked.
    signalGen_.SetEnabled(false);
    signalGen_.SetPumpPriority(0);
    signalGen_.SetClockSource(signal::TSLClockSource::csInternal);
    signalGen_.SetSignalType(signal::TALSignalType::atTriangle);
    signalGen_.SetAmplitude(kToneAmplitude);
    signalGen_.SetFrequency(kToneFrequencyHz);

    gaussGen_.SetEnabled(false);
    gaussGen_.SetPumpPriority(0);
    gaussGen_.SetClockSource(signal::TSLClockSource::csInternal);
    gaussGen_.SetMean(kNoiseMean);
    gaussGen_.SetStdDev(kNoiseStdDev);
    gaussGen_.SetSeed(kNoiseSeed);

    signalGen_.OutputPin().Connect(audioOut1_.InputPin());
    gaussGen_.OutputPin().Connect(audioOut2_.InputPin());
    signalGen_.Loaded();
    gaussGen_.Loaded();
    if (background_) {
        worker_ = std::thread([this] { RunWorker(); });
    }
}

InterferenceControls::~InterferenceControls() {
    if (worker_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        worker_.join();
    }
    signalGen_.SetEnabled(false);
    gaussGen_.SetEnabled(false);
    // An output may still be pulling a last block while its close is under way; once the
    // pins are apart no pump reaches a generator being destroyed.
    audioOut1_.InputPin().Disconnect();
    audioOut2_.InputPin().Disconnect();
}

void InterferenceControls::CheckBox2Click(bool checked) {
    Wishes wish;
    wish.noise = checked;
    Ask(wish);
}

void InterferenceControls::CheckBox3Click(bool checked) {
    Wishes wish;
    wish.tone = checked;
    Ask(wish);
}

void InterferenceControls::ScrollBar1Change(int position) {
    Wishes wish;
    wish.level = position;
    Ask(wish);
}

void InterferenceControls::Settle() {
    std::unique_lock lock(mutex_);
    changed_.wait(
        lock, [this] { return !applying_ && !wishes_.noise && !wishes_.tone && !wishes_.level; });
}

void InterferenceControls::Ask(const Wishes& wishes) {
    if (!background_) {
        Apply(wishes);
        return;
    }
    {
        std::lock_guard lock(mutex_);
        // A newer wish replaces one not yet applied.
        if (wishes.noise) {
            wishes_.noise = wishes.noise;
        }
        if (wishes.tone) {
            wishes_.tone = wishes.tone;
        }
        if (wishes.level) {
            wishes_.level = wishes.level;
        }
    }
    changed_.notify_all();
}

void InterferenceControls::Apply(const Wishes& wishes) {
    if (wishes.level) {
        gaussGen_.SetStdDev(*wishes.level);
        signalGen_.SetAmplitude(*wishes.level);
    }
    if (wishes.noise) {
        Switch(gaussGen_, audioOut2_, *wishes.noise);
    }
    if (wishes.tone) {
        Switch(signalGen_, audioOut1_, *wishes.tone);
    }
}

void InterferenceControls::Switch(signal::TALCommonGen& source, signal::TALAudioOut& output,
                                  bool on) {
    if (on && background_ && !source.Enabled()) {
        // A new stream starts once the output has closed the one before, so that streams never
        // pile up in its operation list however fast the box goes on and off. A device that
        // takes longer than this to close gets the new stream queued behind.
        const auto limit = std::chrono::steady_clock::now() + kCloseWait;
        while (!output.Idle() && std::chrono::steady_clock::now() < limit && !Stopping()) {
            std::this_thread::sleep_for(kClosePoll);
        }
    }
    source.SetEnabled(on);
}

bool InterferenceControls::Stopping() {
    std::lock_guard lock(mutex_);
    return stopping_;
}

void InterferenceControls::RunWorker() {
    std::unique_lock lock(mutex_);
    for (;;) {
        applying_ = false;
        changed_.notify_all();
        changed_.wait(
            lock, [this] { return stopping_ || wishes_.noise || wishes_.tone || wishes_.level; });
        if (stopping_) {
            return;
        }
        const Wishes wishes = std::exchange(wishes_, Wishes{});
        applying_ = true;
        lock.unlock();
        Apply(wishes);
        lock.lock();
    }
}

}  // namespace vantrel
