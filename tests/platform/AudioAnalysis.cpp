#include "tests/platform/AudioAnalysis.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>

namespace vantrel::audio::test {

namespace {

const std::map<std::string, char>& Patterns() {
    static const std::map<std::string, char> table = [] {
        std::istringstream codes(
            "A.- B-... C-.-. D-.. E. F..-. G--. H.... I.. J.--- K-.- L.-.. M-- N-. O--- P.--. "
            "Q--.- R.-. S... T- U..- V...- W.-- X-..- Y-.-- Z--.. 0----- 1.---- 2..--- 3...-- "
            "4....- 5..... 6-.... 7--... 8---.. 9----. =-...- /-..-. ?..--.. ,--..-- ..-.-.- "
            "+.-.-.");
        std::map<std::string, char> m;
        for (std::string code; codes >> code;) {
            m[code.substr(1)] = code[0];
        }
        return m;
    }();
    return table;
}

}  // namespace

double Rms(std::span<const int16_t> samples) {
    if (samples.empty()) {
        return 0.0;
    }
    double sum = 0.0;
    for (int16_t s : samples) {
        sum += static_cast<double>(s) * s;
    }
    return std::sqrt(sum / static_cast<double>(samples.size()));
}

double FundamentalHz(std::span<const int16_t> samples, double sampleRate) {
    // A crossing counts only after the signal has gone below a tenth of its peak, so that noise
    // around zero (in silence or on a decaying edge) adds no crossings.
    int peak = 0;
    for (int16_t s : samples) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    const int arm = -std::max(1, peak / 10);
    bool armed = false;
    double first = -1.0;
    double last = -1.0;
    int crossings = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        const int a = samples[i - 1];
        const int b = samples[i];
        armed = armed || a <= arm;
        if (armed && a < 0 && b >= 0) {
            const double at = static_cast<double>(i - 1) + static_cast<double>(-a) / (b - a);
            if (first < 0) {
                first = at;
            }
            last = at;
            ++crossings;
            armed = false;
        }
    }
    if (crossings < 2 || last <= first) {
        return 0.0;
    }
    return (crossings - 1) * sampleRate / (last - first);
}

std::vector<Segment> SegmentOnOff(std::span<const int16_t> samples, double sampleRate) {
    std::vector<double> envelope(samples.size());
    const double decay = std::exp(-1000.0 / (3.0 * sampleRate));  // 3 ms
    double env = 0.0;
    double peak = 0.0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        env = std::max(static_cast<double>(std::abs(samples[i])), env * decay);
        envelope[i] = env;
        peak = std::max(peak, env);
    }
    std::vector<Segment> segments;
    if (samples.empty()) {
        return segments;
    }
    const double high = peak * 0.6;
    const double low = peak * 0.4;
    bool on = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const bool next = on ? envelope[i] >= low : (peak > 0 && envelope[i] >= high);
        if (next != on) {
            if (i > start) {
                segments.push_back({on, start, i - start});
            }
            on = next;
            start = i;
        }
    }
    segments.push_back({on, start, samples.size() - start});
    return segments;
}

namespace {

// The dot length: the median of the short tones, where short tones are those below the largest
// jump (by ratio) between sorted tone lengths. All tones count as dots when no jump reaches 1.8.
std::size_t EstimateDot(const std::vector<Segment>& segments) {
    std::vector<std::size_t> tones;
    for (const Segment& s : segments) {
        if (s.on) {
            tones.push_back(s.length);
        }
    }
    if (tones.empty()) {
        return 0;
    }
    std::sort(tones.begin(), tones.end());
    std::size_t split = tones.size();
    double widest = 1.8;
    for (std::size_t i = 1; i < tones.size(); ++i) {
        const double ratio = static_cast<double>(tones[i]) / static_cast<double>(tones[i - 1]);
        if (ratio >= widest) {
            widest = ratio;
            split = i;
        }
    }
    return tones[(split - 1) / 2];
}

}  // namespace

std::string DecodeMorse(const std::vector<Segment>& segments) {
    const std::size_t dot = EstimateDot(segments);
    std::string text;
    if (dot == 0) {
        return text;
    }
    std::string pattern;
    auto endCharacter = [&] {
        if (!pattern.empty()) {
            const auto found = Patterns().find(pattern);
            text += found == Patterns().end() ? '#' : found->second;
            pattern.clear();
        }
    };
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const Segment& s = segments[i];
        if (s.on) {
            pattern += s.length <= 2 * dot ? '.' : '-';
            continue;
        }
        const bool inside = i > 0 && i + 1 < segments.size();
        if (!inside || s.length < 2 * dot) {
            continue;
        }
        endCharacter();
        if (s.length >= 4 * dot) {
            text += ' ';
        }
    }
    endCharacter();
    return text;
}

double ToneFrequencyHz(std::span<const int16_t> samples, const std::vector<Segment>& segments,
                       double sampleRate, std::size_t trim) {
    const Segment* longest = nullptr;
    for (const Segment& s : segments) {
        longest = s.on && (!longest || s.length > longest->length) ? &s : longest;
    }
    if (!longest || longest->length <= 2 * trim) {
        return 0.0;
    }
    return FundamentalHz(samples.subspan(longest->start + trim, longest->length - 2 * trim),
                         sampleRate);
}

}  // namespace vantrel::audio::test
