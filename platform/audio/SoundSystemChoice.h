// Which sound backend the program plays through.
//
// By default the desktop's sound server (PulseAudio, or PipeWire through its PulseAudio server)
// when one answers within a short wait, else PortAudio; without either, a virtual device that
// plays in real time into nothing. When the backend in use has no device the choice is made
// again, so a sound server that comes up later is played through from then on (see
// PreferredWaveSystem). "pulse" or "portaudio" (the value of VANTREL_AUDIO) forces one; the
// server backend forced without a server connects on each later open.
#pragma once

#include <memory>
#include <string>

#include "platform/audio/WaveOut.h"

namespace vantrel::audio {

std::unique_ptr<WaveOutSystem> OpenSoundSystem(const std::string& forced);

}  // namespace vantrel::audio
