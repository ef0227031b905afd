// The window and the text source of a playback engine that runs without a window (benchmarks,
// the end-to-end sound tests, the session's suite): the view keeps what it is shown, the host
// keys a fixed text.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "support/MMErrorText.h"
#include "trainer/TrainerSession.h"

namespace vantrel::test {

// Keeps the status and every box, as "audio error: <device's text>" or "error: <file>".
struct KeptView : SessionView {
    void SetStatus(RunStatus shown) override { status = shown; }
    void SetStartEnabled(bool) override {}
    void SetPauseEnabled(bool) override {}
    void SetPauseCaption(PauseCaption) override {}
    void SetCheckEnabled(bool) override {}
    void ShowKeyedText(const std::string&, int) override {}
    void ClearKeyedText() override {}
    void ShowAudioOpenError(audio::MMResult result) override {
        boxes.push_back(std::string("audio error: ") + MMErrorText(result));
    }
    void ShowFileError(const files::FileError& error) override {
        boxes.push_back("error: " + error.path.string());
    }

    std::optional<RunStatus> status;
    std::vector<std::string> boxes;
};

// Keys `text` from its start; Start sets the keyer to `speed` groups per minute without extra
// spacing, or leaves it as it is when `speed` is 0.
struct FixedTextHost : PlaybackHost {
    FixedTextHost(Keyer& k, int s, std::string t) : keyer(k), speed(s), text(std::move(t)) {}
    void ApplyTiming() override {
        if (speed > 0) {
            keyer.SetSpeed(speed);
            keyer.SetSpacing(0);
        }
    }
    bool BuildPracticeText(std::string& out, int32_t& cursor) override {
        out = text;
        cursor = 1;
        return true;
    }

    Keyer& keyer;
    int speed;
    std::string text;
};

// `pairs` times "12345 67890 ".
inline std::string DigitGroups(int pairs) {
    std::string text;
    for (int i = 0; i < pairs; ++i) {
        text += "12345 67890 ";
    }
    return text;
}

}  // namespace vantrel::test
