// Ranges and fixed figures of the band conditions, declared once for the settings, the window,
// the model and the user guide.
#pragma once

#include <array>

namespace vantrel::band {

// The keyed stream the band works on: signed 16-bit mono at this rate.
inline constexpr int kSampleRate = 8000;

// Signal-to-noise ratio in dB: the wanted signal's key-down power against the noise power in a
// reference band of kReferenceBandHz centred on the pitch, before the receiver filter.
inline constexpr int kSnrMinDb = -10;
inline constexpr int kSnrMaxDb = 30;
inline constexpr double kReferenceBandHz = 500.0;

// A closed range of a drawn figure.
struct Range {
    double low;
    double high;
};

// Fading bandwidth (the Doppler spread, twice the standard deviation of the fading spectrum) in
// Hz, drawn for each station inside the range of the chosen kind.
inline constexpr Range kSlowFadingHz{0.05, 0.2};
inline constexpr Range kNormalFadingHz{0.1, 0.6};
inline constexpr Range kFlutterHz{3.0, 30.0};
// Fading depth in percent: the share of the diffuse (Rayleigh) power; the rest is steady.
inline constexpr int kDepthMin = 0;
inline constexpr int kDepthMax = 100;

// Static (QRN) in percent of the heaviest; rates and strengths grow with it.
inline constexpr int kStaticMin = 0;
inline constexpr int kStaticMax = 100;
inline constexpr double kImpulsesPerSecondMax = 200.0;  // Poisson rate at full static
inline constexpr Range kImpulsePeakDb{10.0, 30.0};      // above the noise, at full static
inline constexpr double kCrashesPerSecondMax = 0.5;     // Poisson rate at full static
inline constexpr Range kCrashSeconds{0.05, 1.0};
inline constexpr Range kCrashPeakDb{20.0, 40.0};  // above the noise, at full static

// Other stations (QRM).
inline constexpr int kStationsMin = 0;
inline constexpr int kStationsMax = 5;
inline constexpr Range kStationOffsetHz{50.0, 400.0};  // either side of the pitch
inline constexpr Range kStationSpeed{0.6, 1.8};        // times the lesson's speed
inline constexpr Range kStationLevelDb{-20.0, 6.0};    // key-down power against the wanted
inline constexpr Range kAudibleHz{200.0, 3000.0};      // where a station's tone may lie
inline constexpr Range kFirstCallSeconds{0.0, 4.0};    // before a station's first over
inline constexpr Range kListenSeconds{1.0, 6.0};       // between two overs

// Receiver filter bandwidths in Hz (the noise bandwidth of the filter).
inline constexpr std::array<int, 3> kBandwidthsHz{250, 500, 2400};
// A filter that cannot be centred on a low pitch (the widest) keeps its lower edge here, as the
// audio passband of a voice filter does.
inline constexpr double kFilterLowestHz = 100.0;

// Automatic gain control: the detector follows a rising level within kAgcAttackSeconds, holds
// a peak for kAgcHangSeconds, then lets it fall with the time constant kAgcReleaseSeconds. The
// gain never exceeds kAgcMaxGainDb above the wanted signal's own level.
inline constexpr double kAgcAttackSeconds = 0.001;
inline constexpr double kAgcHangSeconds = 0.5;
inline constexpr double kAgcReleaseSeconds = 1.0;
inline constexpr double kAgcMaxGainDb = 20.0;

// Output: the wanted key-down sits at kOutputLevel of the keyed amplitude (which carries the
// learner's volume); above kLimiterKnee of it the limiter bends the peaks smoothly below full
// scale, so the band never clips.
inline constexpr double kOutputLevel = 0.5;
inline constexpr double kLimiterKnee = 0.75;

}  // namespace vantrel::band
