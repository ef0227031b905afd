#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <string>
#include <vector>

#include "band/BandSimulator.h"
#include "tests/platform/AudioAnalysis.h"
#include "trainer/KeyedSound.h"
#include "trainer/Keyer.h"

namespace vantrel::band {
namespace {

using audio::test::DecodeMorse;
using audio::test::SegmentOnOff;

constexpr double kFs = kSampleRate;
constexpr int kTenMinutes = 600 * kSampleRate;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

double Db(double ratio) {
    return 10.0 * std::log10(ratio);
}

MorsePattern Code() {
    return [](uint8_t c) { return MorseCode(c); };
}

// Overs picked by the seed; `given` collects them in order.
OverText Overs(std::vector<std::string>* given = nullptr) {
    return [given](uint64_t seed) {
        static const char* const kOvers[] = {"CQ CQ DE K1ABC K", "UA3XYZ 5NN 001", "R TU 73"};
        std::string over = kOvers[seed % 3];
        if (given) {
            given->push_back(over);
        }
        return over;
    };
}

// `text` as the keyer renders it at 800 Hz.
std::vector<int16_t> Keyed(std::string_view text, int groupsPerMinute, int volumePosition = 0) {
    Keyer keyer;
    keyer.SetSpeed(groupsPerMinute);
    keyer.SetPitchPosition(8);
    keyer.SetVolumePosition(volumePosition);
    std::vector<int16_t> samples;
    std::vector<int16_t> character(Keyer::kMaxCharacterSamples);
    for (char c : text) {
        const int bytes = keyer.RenderCharacter(character.data(), character.size(), c);
        samples.insert(samples.end(), character.begin(), character.begin() + bytes / 2);
    }
    return samples;
}

BandSettings Enabled(BandSettings s) {
    s.enabled = true;
    return s;
}

// The receiver's input for `keyed` under `plan`, in units of the key-down amplitude.
std::vector<float> Antenna(const BandPlan& plan, const std::vector<int16_t>& keyed,
                           double amplitude) {
    BandSource source(plan, Code(), Overs());
    std::vector<float> antenna(keyed.size());
    for (std::size_t k = 0; k < keyed.size(); k += BandSimulator::kBlock) {
        const std::size_t n = std::min(BandSimulator::kBlock, keyed.size() - k);
        source.Mix(std::span(keyed).subspan(k, n), amplitude, std::span(antenna).subspan(k, n));
    }
    return antenna;
}

// Power between `low` and `high` Hz (one-sided), averaged over 256-sample segments.
double BandPower(const std::vector<float>& x, double low, double high) {
    constexpr int kN = 256;
    std::vector<std::complex<double>> twiddle(kN);
    for (int n = 0; n < kN; ++n) {
        twiddle[n] = std::polar(1.0, -kTwoPi * n / kN);
    }
    double sum = 0.0;
    int segments = 0;
    for (std::size_t start = 0; start + kN <= x.size(); start += kN, ++segments) {
        for (int bin = static_cast<int>(std::ceil(low * kN / kFs)); bin * kFs / kN < high; ++bin) {
            std::complex<double> acc;
            for (int n = 0; n < kN; ++n) {
                acc += static_cast<double>(x[start + n]) * twiddle[(bin * n) % kN];
            }
            sum += 2.0 * std::norm(acc) / (kN * kN);
        }
    }
    return sum / segments;
}

// What a listener makes of `out` keyed at `pitch`: the level within the ear's critical band
// (about 120 Hz wide), over 10 ms, against the loudest of the second around it.
std::vector<int16_t> Heard(const std::vector<int16_t>& out, double pitch) {
    ReceiverFilter ear(pitch, 120);
    std::vector<double> rectified(out.size()), level(out.size() + 80), ahead(out.size() + 1);
    for (std::size_t n = 0; n < out.size(); ++n) {
        rectified[n] = std::abs(ear.Process(out[n])) / 80.0;
        level[n + 80] = level[n + 79] + rectified[n] - (n >= 80 ? rectified[n - 80] : 0.0);
    }
    const double decay = std::exp(-1.0 / (0.6 * kFs));
    for (std::size_t n = out.size(); n-- > 0;) {
        ahead[n] = std::max(level[n + 80], ahead[n + 1] * decay);
    }
    std::vector<int16_t> heard(out.size());
    double peak = 0.0;
    for (std::size_t n = 0; n < out.size(); ++n) {
        peak = std::max(level[n + 80], peak * decay);
        heard[n] = static_cast<int16_t>(10000.0 * level[n + 80] / std::max({peak, ahead[n], 1.0}));
    }
    return heard;
}

// A steady tone of `hz` for `seconds`.
std::vector<int16_t> Tone(double hz, int seconds, int amplitude) {
    std::vector<int16_t> tone(static_cast<std::size_t>(seconds * kSampleRate));
    for (std::size_t n = 0; n < tone.size(); ++n) {
        tone[n] = static_cast<int16_t>(std::lrint(amplitude * std::sin(kTwoPi * hz * n / kFs)));
    }
    return tone;
}

TEST(BandModel, FadingIsRayleighAtFullDepthRicianWhenShallowAndSpreadsAsSet) {
    for (const auto& [hz, diffuse] :
         {std::pair{0.1, 1.0}, {0.4, 1.0}, {10.0, 1.0}, {30.0, 1.0}, {10.0, 0.3}, {20.0, 0.6}}) {
        SCOPED_TRACE(testing::Message() << hz << " Hz, diffuse " << diffuse);
        FadingProcess fading(hz, diffuse, static_cast<uint32_t>(hz * 100 + diffuse * 10));
        // The gain runs straight between the filter's updates: reading it at each update sees
        // all of it. Gains 1 / hz apart are independent.
        const int step = fading.Interval(), updates = kTenMinutes / step;
        const int apart = std::max(1, static_cast<int>(kFs / hz / step));
        std::vector<double> envelope;
        double power = 0.0, square = 0.0, slope = 0.0;
        std::complex<double> last = fading.Next();
        for (int n = 1; n <= updates; ++n) {
            fading.Skip(step - 1);
            const std::complex<double> g = fading.Next();
            const double p = std::norm(g);
            power += p;
            square += p * p;
            slope += std::norm(g - last) / (step * step);
            last = g;
            if (n % apart == 0) {
                envelope.push_back(std::sqrt(p));
            }
        }
        power /= updates, square /= updates, slope /= updates;
        // Twice the RMS Doppler spread of the diffuse part, from the mean square slope.
        const double spread = 2.0 * std::sqrt(slope / diffuse) * kFs / kTwoPi;
        EXPECT_NEAR(spread / hz, 1.0, 0.1);
        FadingProcess skipped(hz, diffuse, 1), stepped = skipped;
        for (const int n : {step, 1, step - 2, 3 * step + 5}) {
            skipped.Skip(n);
            for (int k = 0; k < n; ++k) {
                stepped.Next();
            }
            EXPECT_TRUE(skipped.Next() == stepped.Next() && skipped.Next() == stepped.Next()) << n;
        }
        if (diffuse == 1.0) {
            // Kolmogorov-Smirnov against Rayleigh of unit mean power, at the 1% level.
            std::sort(envelope.begin(), envelope.end());
            const double n = static_cast<double>(envelope.size());
            double d = 0.0;
            for (std::size_t i = 0; i < envelope.size(); ++i) {
                const double cdf = 1.0 - std::exp(-envelope[i] * envelope[i]);
                d = std::max({d, std::abs(cdf - i / n), std::abs(cdf - (i + 1) / n)});
            }
            EXPECT_LT(d, 1.63 / std::sqrt(n)) << n << " independent envelopes";
        } else {
            // The moment estimate of the Rician K (Greenstein, Michelson and Erceg, 1999).
            const double steady = std::sqrt(power * power - (square - power * power));
            EXPECT_NEAR(steady / (power - steady), (1.0 - diffuse) / diffuse,
                        0.15 * (1.0 - diffuse) / diffuse);
        }
    }
}

TEST(BandModel, TheWantedSignalFadesByTheGainOfItsFadingProcessInAmplitudeAndPhase) {
    for (const auto& [kind, pitch] :
         {std::pair{FadingKind::Normal, 700}, {FadingKind::Flutter, 400}}) {
        const std::vector<int16_t> keyDown = Tone(pitch, 20, 30000);
        BandSettings s;
        s.fading = kind;
        BandPlan plan = DrawPlan(Enabled(s), pitch, 800, 5);
        plan.noiseRms = 0.0;
        const std::vector<float> band = Antenna(plan, keyDown, 30000);
        FadingProcess gain(plan.fadingHz, plan.diffuse, plan.fadingSeed);
        double worst = 0.0;
        for (std::size_t n = 0; n < band.size(); ++n) {
            const std::complex<double> h = gain.Next();
            const double phase =
                kTwoPi * pitch * (static_cast<double>(n) - FadedSignal::kDelay) / kFs;
            const double expected = n < 2 * FadedSignal::kDelay
                                        ? band[n]
                                        : h.real() * std::sin(phase) + h.imag() * std::cos(phase);
            worst = std::max(worst, std::abs(band[n] - expected));
        }
        EXPECT_LT(worst, 0.002) << static_cast<int>(kind);
        plan.noiseRms = 0.1;  // the noise comes in after the fading, steady
        BandPlan steady = plan;
        steady.diffuse = 0.0;
        const std::vector<int16_t> silence(8000);
        EXPECT_EQ(Antenna(plan, silence, 30000), Antenna(steady, silence, 30000));
    }
}

TEST(BandModel, AgcHoldsTheLevelPumpsAfterABurstAndLiftsTheNoiseAtMostItsMaximumGain) {
    // Up to `to` s: a tone of `tone` (the wanted key-down is 1) at 800 Hz and noise of `noise`; the
    // output over the last half second of each phase against the key-down of kOutputLevel.
    struct Phase {
        double to, tone, noise, expectedDb;
    };
    const double noiseOut = 1e-3 * std::sqrt(kReferenceBandHz / (kFs / 2)) / std::sqrt(0.5);
    const Phase phases[] = {
        {1.0, 1.0, 0.0, 0.0},   {1.2, 10.0, 0.0, 0.0},
        {1.6, 1.0, 0.0, -20.0},  // held down after the burst
        {2.2, 1.0, 0.0, -16.9},  // then released
        {6.0, 1.0, 0.0, 0.0},   {11.0, 0.0, 1e-3, 20.0 * std::log10(noiseOut) + kAgcMaxGainDb}};
    Receiver receiver(800.0, 500, true, 0.0);
    GaussianStream noise(3);
    std::vector<float> antenna(11 * kSampleRate);
    std::vector<int16_t> out(antenna.size());
    double from = 0.0;
    for (const Phase& phase : phases) {
        for (auto n = static_cast<std::size_t>(from * kFs); n < phase.to * kFs; ++n) {
            antenna[n] = static_cast<float>(phase.tone * std::sin(kTwoPi * 800 * n / kFs) +
                                            phase.noise * noise.Next());
        }
        from = phase.to;
    }
    receiver.Process(antenna, out, 30000.0);
    from = 0.0;
    for (const Phase& phase : phases) {
        const auto length = static_cast<std::size_t>(std::min(0.5, (phase.to - from) / 2) * kFs);
        const auto end = static_cast<std::size_t>(phase.to * kFs);
        const double level =
            std::sqrt(2.0) * audio::test::Rms(std::span(out).subspan(end - length, length));
        EXPECT_NEAR(20 * std::log10(level / (30000 * kOutputLevel)), phase.expectedDb, 1.5)
            << phase.to;
        from = phase.to;
    }
}

TEST(BandModel, NoiseMeetsTheSignalToNoiseRatioInTheReferenceBandBeforeTheFilter) {
    const int amplitude = 30000;
    const std::vector<int16_t> keyDown = Tone(800, 60, amplitude), silence(keyDown.size());
    for (const int snr : {kSnrMinDb, 10, kSnrMaxDb}) {
        BandSettings s;
        s.snrDb = snr;
        const BandPlan plan = DrawPlan(Enabled(s), 800.0, 800, 100 + snr);
        const std::vector<float> noise = Antenna(plan, silence, amplitude);
        const std::vector<float> both = Antenna(plan, keyDown, amplitude);
        double signal = 0.0;
        for (std::size_t n = 0; n < both.size(); ++n) {
            signal +=
                (both[n] - noise[n]) * (both[n] - noise[n]) / static_cast<double>(both.size());
        }
        const double reference =
            BandPower(noise, 800 - kReferenceBandHz / 2, 800 + kReferenceBandHz / 2);
        EXPECT_NEAR(Db(signal / reference), snr, 0.5) << snr;
    }
}

// The amplitude a steady tone comes out of `filter` with, once it has settled.
double ToneGain(ReceiverFilter filter, double hz) {
    double power = 0.0;
    for (int n = 0; n < kSampleRate; ++n) {
        const double y = filter.Process(std::sin(kTwoPi * hz * n / kFs));
        power += n >= kSampleRate / 2 ? y * y / (kSampleRate / 4) : 0.0;
    }
    return std::sqrt(power);
}

TEST(BandModel, ReceiverFilterPassesThePitchAndLetsThroughNoiseByItsBandwidth) {
    for (const double pitch : {400.0, 800.0, 1600.0}) {
        for (const int hz : kBandwidthsHz) {
            SCOPED_TRACE(testing::Message() << hz << " Hz filter at " << pitch);
            ReceiverFilter filter(pitch, hz);
            EXPECT_NEAR(ToneGain(filter, pitch), 1.0, 0.01);
            if (hz == 250) {
                EXPECT_LT(ToneGain(filter, pitch + kStationOffsetHz.high), 0.03);
            }
            GaussianStream noise(static_cast<uint32_t>(hz + pitch));
            double in = 0.0, out = 0.0;
            for (int n = 0; n < 10 * kSampleRate; ++n) {
                const double x = noise.Next();
                const double y = filter.Process(x);
                in += x * x;
                out += y * y;
            }
            // Noise power against that in the reference band: 250 Hz -3 dB, 2400 Hz +6.8 dB.
            EXPECT_NEAR(Db(out / in * (kFs / 2) / kReferenceBandHz), Db(hz / kReferenceBandHz),
                        0.5);
        }
    }
}

TEST(BandModel, StaticComesAsPoissonImpulsesAndCrashesPeakingUpToFortyDbAboveTheNoise) {
    for (const double level : {1.0, 0.4}) {
        SCOPED_TRACE(level);
        StaticNoise qrn(level, 1.0, static_cast<uint64_t>(level * 10));
        std::vector<float> band(kTenMinutes);
        for (std::size_t k = 0; k < band.size(); k += 1000) {
            qrn.Add(std::span(band).subspan(k, 1000));
        }
        const double impulses = kImpulsesPerSecondMax * level * 600;
        const double crashes = kCrashesPerSecondMax * level * 600;
        EXPECT_NEAR(static_cast<double>(qrn.Impulses()), impulses, 3 * std::sqrt(impulses));
        EXPECT_NEAR(static_cast<double>(qrn.Crashes()), crashes, 3 * std::sqrt(crashes));
        // The loudest 10 ms, against the noise power of 1.
        double loudest = 0.0;
        int longest = 0;
        for (std::size_t k = 0, run = 0; k + 80 <= band.size(); k += 80) {
            double power = 0.0;
            for (std::size_t n = k; n < k + 80; ++n) {
                power += band[n] * band[n] / 80.0;
            }
            loudest = std::max(loudest, power);
            run = power > 1.0 ? run + 1 : 0;
            longest = std::max(longest, static_cast<int>(run));
        }
        EXPECT_NEAR(Db(loudest), level * kCrashPeakDb.high, 3.0);
        EXPECT_GE(longest * 80, kCrashSeconds.high * kFs / 2);  // crashes last
        double sum = 0.0;                                       // clicks of either sign: no offset
        for (const float x : band) {
            sum += x;
        }
        EXPECT_LT(std::abs(sum / band.size()), 0.05);
    }
}

TEST(BandModel, OtherStationsKeyTheirOversAtTheirDrawnPitchSpeedAndLevel) {
    BandSettings s;
    s.stations = kStationsMax;
    s.fading = FadingKind::Flutter;
    bool sides[2] = {false, false};
    for (uint64_t seed = 0; seed < 200; ++seed) {
        const double pitch = std::array{400.0, 1600.0, 2900.0}[seed % 3];
        BandSettings d = s;  // each kind of fading draws within its own range
        d.fading = static_cast<FadingKind>(1 + seed % 3);
        d.agc = seed % 2 == 0;
        d.depthPercent = d.staticPercent = static_cast<int>(seed % 101);
        d.bandwidth = static_cast<Bandwidth>(seed % 3);
        const Range fading = std::array{kSlowFadingHz, kNormalFadingHz, kFlutterHz}[seed % 3];
        const BandPlan drawn = DrawPlan(Enabled(d), pitch, 600, seed);
        const auto in = [](double value, Range r) { return value >= r.low && value <= r.high; };
        EXPECT_TRUE(in(drawn.fadingHz, fading) && drawn.agc == d.agc &&
                    drawn.diffuse == d.depthPercent / 100.0 &&
                    drawn.staticLevel == d.staticPercent / 100.0 &&
                    drawn.bandwidthHz == kBandwidthsHz[seed % 3])
            << seed;
        for (const StationPlan& st : drawn.stations) {
            EXPECT_TRUE(in(std::abs(st.frequencyHz - pitch), kStationOffsetHz) &&
                        in(st.frequencyHz, kAudibleHz) && in(st.speed, kStationSpeed) &&
                        in(st.levelDb, kStationLevelDb) && in(st.fadingHz, fading))
                << seed;
            EXPECT_EQ(st.dotSamples, std::lround(600 / st.speed));
            sides[st.frequencyHz > pitch] = true;
        }
    }
    EXPECT_TRUE(sides[0] && sides[1]);

    // Each station of one plan alone on a quiet band, without fading.
    const BandPlan plan = DrawPlan(Enabled(s), 800.0, 480, 42);
    std::size_t latest = 0;  // each station first calls after a while of its own
    for (const StationPlan& station : plan.stations) {
        BandPlan alone = plan;
        alone.noiseRms = 0.0;
        alone.diffuse = 0.0;
        alone.stations = {station};
        std::vector<std::string> overs;
        BandSource source(alone, Code(), Overs(&overs));
        std::vector<float> band(40 * kSampleRate);
        for (std::size_t k = 0; k < band.size(); k += 200) {
            source.Mix(std::vector<int16_t>(200), 1.0, std::span(band).subspan(k, 200));
        }
        std::vector<int16_t> samples(band.size());
        double peak = 0.0;
        for (std::size_t n = 0; n < band.size(); ++n) {
            samples[n] = static_cast<int16_t>(std::lrint(band[n] * 3000.0));
            peak = std::max(peak, std::abs(static_cast<double>(band[n])));
        }
        const auto segments = SegmentOnOff(samples, kFs);
        ASSERT_GE(overs.size(), 2u);
        latest = std::max(latest, segments.front().length);
        EXPECT_EQ(DecodeMorse(segments).substr(0, overs[0].size() + 1), overs[0] + " ");
        EXPECT_NEAR(audio::test::ToneFrequencyHz(samples, segments, kFs, 40), station.frequencyHz,
                    1.0);
        EXPECT_NEAR(Db(peak * peak), station.levelDb, 0.1);
        std::vector<std::size_t> tones;
        std::size_t wordGap = 0;  // the longest pause inside an over
        for (const auto& segment : segments) {
            tones.insert(tones.end(), segment.on ? 1 : 0, segment.length);
            if (!segment.on && segment.start > 0 && &segment != &segments.back() &&
                segment.length < kListenSeconds.low * kFs) {
                wordGap = std::max(wordGap, segment.length);
            }
        }
        std::sort(tones.begin(), tones.end());
        EXPECT_NEAR(static_cast<double>(tones[tones.size() / 5]), station.dotSamples,
                    0.03 * station.dotSamples);
        EXPECT_NEAR(static_cast<double>(wordGap), 7 * station.dotSamples,
                    0.03 * station.dotSamples);
    }
    EXPECT_GT(latest, kFs / 2);
}

TEST(BandModel, SameSeedGivesTheSameSamplesHoweverSplitAndACopyCarriesOn) {
    const std::vector<int16_t> keyed = Keyed("CQ TEST 5NN", 20);
    const Keying keying{800.0, 9600 / 20, 32767};
    for (int p = 0; p < kProfileCount; ++p) {
        SCOPED_TRACE(p);
        BandSettings s = Enabled(Preset(static_cast<Profile>(p)));
        s.staticPercent = std::max(s.staticPercent, 50);
        BandSimulator whole(s, keying, 9, Code(), Overs());
        std::vector<int16_t> once = keyed;
        whole.Process(once);
        EXPECT_NE(once, keyed);

        BandSimulator split(s, keying, 9, Code(), Overs());
        std::vector<int16_t> pieces = keyed;
        BandRandom sizes(p);
        const std::size_t half = pieces.size() / 2;
        for (std::size_t k = 0; k < half;) {
            const std::size_t n = std::min<std::size_t>(1 + sizes.Next() % 3000, half - k);
            split.Process(std::span(pieces).subspan(k, n));
            k += n;
        }
        BandSimulator copy = split;
        copy.Process(std::span(pieces).subspan(half));
        EXPECT_EQ(pieces, once);

        std::vector<int16_t> otherSeed = keyed;
        BandSimulator(s, keying, 10, Code(), Overs()).Process(otherSeed);
        EXPECT_NE(otherSeed, once);
    }
    std::vector<int16_t> untouched = keyed;
    BandSimulator(BandSettings{}, keying, 9, Code(), Overs()).Process(untouched);
    EXPECT_EQ(untouched, keyed);
}

TEST(BandModel, TheVolumeSetsTheLoudnessAndNothingClips) {
    BandSettings harsh;
    harsh.snrDb = kSnrMinDb;
    harsh.fading = FadingKind::Flutter;
    harsh.staticPercent = kStaticMax;
    harsh.stations = kStationsMax;
    harsh.bandwidth = Bandwidth::Hz2400;
    for (const bool agc : {true, false}) {
        for (const int volume : {0, 6}) {
            SCOPED_TRACE(testing::Message() << "AGC " << agc << ", volume " << volume);
            const std::vector<int16_t> keyed = Keyed("TTTTTTTTTT", 12, volume);
            const int amplitude = 32767 * (8 - volume) / 8;
            BandSettings clean = Enabled(Preset(Profile::Clear));
            clean.agc = harsh.agc = agc;
            std::vector<int16_t> out = keyed;
            BandSimulator(clean, {800.0, 800, amplitude}, 3, Code(), Overs()).Process(out);
            // The middle of the first dash.
            const double keyDown =
                std::sqrt(2.0) * audio::test::Rms(std::span(out).subspan(400, 1600));
            EXPECT_NEAR(Db(keyDown / amplitude), Db(kOutputLevel), agc ? 0.5 : 0.15);
            if (!agc) {  // the gain set for the key-down with the noise through the filter
                clean.snrDb = kSnrMinDb;
                out = keyed;
                BandSimulator(clean, {800.0, 800, amplitude}, 3, Code(), Overs()).Process(out);
                const double loud = std::sqrt(2.0) * audio::test::Rms(std::span(out).first(2400));
                EXPECT_NEAR(Db(loud / amplitude), Db(kOutputLevel), 1.0);
            }
            out = keyed;
            BandSimulator(Enabled(harsh), {800.0, 800, amplitude}, 4, Code(), Overs()).Process(out);
            const auto loudest = std::ranges::max(out, {}, [](int16_t v) { return std::abs(v); });
            EXPECT_LE(std::abs(loudest), amplitude);
            EXPECT_GT(std::abs(loudest), amplitude * kLimiterKnee);
        }
    }
}

// The keyed sound's path: the keyer's peak is the band's unit, the start delay goes through the
// band too, a buffer taken back sounds again at the volume set since, and the band is drawn
// again for a new pitch and runs on for the same one.
TEST(BandModel, TheKeyedSoundGoesThroughTheBandAtTheKeyersVolumeAndPitch) {
    Keyer keyer;
    keyer.SetSpeed(12);
    keyer.SetPitchPosition(10);
    keyer.SetVolumePosition(2);
    const auto render = [&keyer](KeyedBand& band, std::size_t lead = 800) {
        std::vector<int16_t> buffer(lead + Keyer::kMaxCharacterSamples);
        buffer.resize(RenderKeyed(keyer, &band, 'T', lead, buffer));
        return buffer;
    };
    KeyedBand none;
    EXPECT_EQ(std::ranges::max(render(none, 0)), KeyDownAmplitude(keyer));
    std::vector<int16_t> guarded(900, 7);  // cut at the buffer's end
    EXPECT_EQ(RenderKeyed(keyer, &none, 'T', 800, std::span(guarded).first(850)), 850u);
    EXPECT_EQ(guarded.back(), 7);
    const BandSettings clear = Enabled(Preset(Profile::Clear));
    KeyedBand a(clear, keyer, 5, nullptr);
    const std::vector<int16_t> first = render(a);
    EXPECT_TRUE(std::any_of(first.begin(), first.begin() + 800, [](int16_t v) { return v != 0; }));
    keyer.SetVolumePosition(4);
    a.SetKeyDownAmplitude(KeyDownAmplitude(keyer));
    a.TakeBackLast();
    KeyedBand b(clear, keyer, 5, nullptr), fresh = b;
    EXPECT_EQ(render(a), render(b));
    a.Retune(keyer.ToneFrequency());
    EXPECT_NE(render(a), render(fresh));
    keyer.SetPitchPosition(12);
    b.Retune(keyer.ToneFrequency());
    b.TakeBackLast();  // nothing to take back in a band drawn again
    KeyedBand retuned(clear, keyer, 5, nullptr);
    EXPECT_EQ(render(b), render(retuned));
}

TEST(BandModel, CopyStaysPossibleAtTwentyDbWithShallowFadingLightStaticAndWeakerStations) {
    const std::string text = "CQ DE UA3XYZ PSE K 5NN TU 73";
    BandSettings s;
    s.snrDb = 20;
    s.fading = FadingKind::Normal;
    s.depthPercent = 20;
    s.staticPercent = 10;
    s.stations = 2;
    for (const uint64_t seed : {1u, 2u, 3u}) {
        BandPlan plan = DrawPlan(Enabled(s), 800.0, 480, seed);
        for (StationPlan& station : plan.stations) {  // at least 10 dB below the wanted one
            station.levelDb = std::min(station.levelDb, -10.0);
        }
        std::vector<int16_t> out = Keyed(text, 20);
        BandSimulator(plan, 32767, Code(), Overs()).Process(out);
        EXPECT_EQ(DecodeMorse(SegmentOnOff(Heard(out, 800.0), kFs)), text) << seed;
    }
}

// The profiles as the user guide lists them.
TEST(BandModel, ProfilesAreRecognisedAndSettingsKeptInRange) {
    using F = FadingKind;
    const BandSettings kGuide[] = {{false, Profile::Clear, 30, F::None, 100, 0, 0},
                                   {false, Profile::Fading, 15, F::Normal, 100, 0, 0},
                                   {false, Profile::SummerEvening, 10, F::Slow, 50, 80, 1},
                                   {false, Profile::Contest, 15, F::Normal, 40, 10, 5},
                                   {false, Profile::Aurora, 10, F::Flutter, 100, 0, 1}};
    for (int p = 0; p + 1 < kProfileCount; ++p) {
        const auto profile = static_cast<Profile>(p);
        EXPECT_EQ(Preset(profile), kGuide[p]);
        EXPECT_EQ(MatchingProfile(Preset(profile)), profile);
        BandSettings changed = Preset(profile);
        changed.snrDb -= 1;
        EXPECT_EQ(MatchingProfile(changed), Profile::Custom);
        EXPECT_EQ(Changed(Preset(profile), changed).profile, Profile::Custom);
        changed = Preset(profile);
        changed.agc = false;
        EXPECT_EQ(MatchingProfile(changed), Profile::Custom);
    }
    const std::pair<BandSettings, BandSettings> kWild[] = {
        {{true, Profile{9}, 99, F{-1}, 101, -5, 6, Bandwidth{3}, false},
         {true, Profile::Clear, kSnrMaxDb, F::None, kDepthMax, kStaticMin, kStationsMax,
          Bandwidth::Hz500, false}},
        {{false, Profile{-1}, -99, F{4}, -1, 101, -1, Bandwidth{-1}},
         {false, Profile::Clear, kSnrMinDb, F::None, kDepthMin, kStaticMax, kStationsMin}}};
    for (const auto& [wild, expected] : kWild) {
        EXPECT_EQ(Clamped(wild), expected);
    }
}

}  // namespace
}  // namespace vantrel::band
