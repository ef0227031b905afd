#include "platform/audio/SoundSystemChoice.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "platform/audio/PreferredWaveSystem.h"
#include "platform/audio/VirtualWaveOut.h"
#ifdef VANTREL_HAVE_PORTAUDIO
#include "platform/audio/PortAudioWaveOut.h"
#endif
#ifdef VANTREL_HAVE_PULSE
#include "platform/audio/PulseWaveOut.h"
#endif

namespace vantrel::audio {

std::unique_ptr<WaveOutSystem> OpenSoundSystem(const std::string& forced) {
    if (!forced.empty() && forced != "pulse" && forced != "portaudio") {
        std::fprintf(stderr, "VANTREL_AUDIO=%s is neither pulse nor portaudio; ignored\n",
                     forced.c_str());
    }
    std::vector<PreferredWaveSystem::Factory> backends;
#ifdef VANTREL_HAVE_PULSE
    if (forced != "portaudio") {
        backends.emplace_back([]() -> std::unique_ptr<WaveOutSystem> {
            PulseOptions options;
            // The window is up meanwhile; a server that does not answer soon is not there.
            options.serverLimit = std::chrono::milliseconds(1000);
            return std::make_unique<PulseWaveSystem>(options);
        });
    }
#endif
    if (forced != "pulse" || backends.empty()) {
        backends.emplace_back([]() -> std::unique_ptr<WaveOutSystem> {
#ifdef VANTREL_HAVE_PORTAUDIO
            return std::make_unique<PortAudioWaveSystem>();
#else
            return std::make_unique<VirtualWaveSystem>(VirtualWaveSystem::Clock::RealTime);
#endif
        });
    }
    return std::make_unique<PreferredWaveSystem>(std::move(backends));
}

}  // namespace vantrel::audio
