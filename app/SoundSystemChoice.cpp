#include "app/SoundSystemChoice.h"

#include <cstdio>

#include "platform/audio/VirtualWaveOut.h"
#ifdef VANTREL_HAVE_PORTAUDIO
#include "platform/audio/PortAudioWaveOut.h"
#endif
#ifdef VANTREL_HAVE_PULSE
#include "platform/audio/PulseWaveOut.h"
#endif

namespace vantrel {

namespace {

std::unique_ptr<audio::WaveOutSystem> OpenPortAudio() {
#ifdef VANTREL_HAVE_PORTAUDIO
    return std::make_unique<audio::PortAudioWaveSystem>();
#else
    return std::make_unique<audio::VirtualWaveSystem>(audio::VirtualWaveSystem::Clock::RealTime);
#endif
}

}  // namespace

std::unique_ptr<audio::WaveOutSystem> OpenSoundSystem(const std::string& forced) {
    if (!forced.empty() && forced != "pulse" && forced != "portaudio") {
        std::fprintf(stderr, "VANTREL_AUDIO=%s is neither pulse nor portaudio; ignored\n",
                     forced.c_str());
    }
#ifdef VANTREL_HAVE_PULSE
    if (forced != "portaudio") {
        audio::PulseOptions options;
        // The window is up meanwhile; a server that does not answer soon is not there.
        options.serverLimit = std::chrono::milliseconds(1000);
        auto pulse = std::make_unique<audio::PulseWaveSystem>(options);
        if (pulse->Connected() || forced == "pulse") {
            return pulse;
        }
    }
#endif
    return OpenPortAudio();
}

}  // namespace vantrel
