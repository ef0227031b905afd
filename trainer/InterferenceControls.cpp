#include "trainer/InterferenceControls.h"

namespace vantrel {

InterferenceControls::InterferenceControls(audio::WaveOutSystem& system,
                                           signal::TSLClockService& clocks)
    : audioOut1_(system, "ALAudioOut1"),
      audioOut2_(system, "ALAudioOut2"),
      signalGen_("ALSignalGen1", clocks),
      gaussGen_("ALGaussGen1", clocks) {
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
}

InterferenceControls::~InterferenceControls() {
    signalGen_.SetEnabled(false);
    gaussGen_.SetEnabled(false);
    // An output may still be pulling a last block while its close is under way; once the
    // pins are apart no pump reaches a generator being destroyed.
    audioOut1_.InputPin().Disconnect();
    audioOut2_.InputPin().Disconnect();
}

void InterferenceControls::CheckBox2Click(bool checked) {
    gaussGen_.SetEnabled(checked);
}

void InterferenceControls::CheckBox3Click(bool checked) {
    signalGen_.SetEnabled(checked);
}

void InterferenceControls::ScrollBar1Change(int position) {
    gaussGen_.SetStdDev(position);
    signalGen_.SetAmplitude(position);
}

}  // namespace vantrel
