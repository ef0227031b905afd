// The recognition drills as the session runs them: the character drill and the call-sign sprint,
// each keying through the drills' sound (DrillSound) with the session's tone, start delay,
// random generator and history. The rules themselves are progress/CharacterDrill and
// progress/CallSignSprint; here they meet the sound and the learner's keys.
//
// Character drill. A character is keyed; once its last element has been heard the learner's key
// is graded, its response time taken from the moment it was heard to the key press. A key
// pressed before that moment is graded as soon as the moment is known (0 ms). A right answer is
// followed by the next character after the learner's pause; a wrong one by a low buzz and the
// same character keyed again, and once that has been heard by the next character after the
// pause. Keys that come while no character waits for an answer are left out.
//
// Call-sign sprint. Each call is keyed at the sprint's speed; the learner's copy (taken at Enter)
// grades it and the next call follows after the pause; after the fiftieth the run is stored.
//
// Everything runs on the session's thread.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "progress/CallSignSprint.h"
#include "progress/CharacterDrill.h"
#include "progress/HistoryStore.h"
#include "trainer/DrillSound.h"
#include "trainer/SettingsTable.h"

namespace vantrel {

class Random;
struct ContactTexts;

// The moment a key was pressed, from the key event's own time stamp: milliseconds of the
// monotonic clock (std::chrono::steady_clock on Linux) cut to 32 bits, as the window system
// stamps its events. A stamp that does not fall within kKeyStampWindow before `now` (none, or
// one of another clock) gives `now`.
inline constexpr std::chrono::milliseconds kKeyStampWindow{10000};
SteadyTime KeyPressTime(uint64_t eventMs, SteadyTime now);

// `count` call signs as the contact generator builds them (with and without "/P" and "/M"),
// drawn again while one holds a character without a code.
std::vector<std::string> SprintCalls(const ContactTexts& texts, Random& random, int count);

// What the drills use of the session.
struct DrillContext {
    DrillSound& sound;
    Random& random;
    const ContactTexts& texts;
    std::function<progress::HistoryStore&()> history;
    std::function<int64_t()> wallClock;
    std::function<const TrainerSettings&()> settings;
    // Silences a run that plays; false when it cannot be silenced now.
    std::function<bool()> silenceRun;
};

// What both drills tell their window.
class DrillView {
  public:
    virtual ~DrillView() = default;
    // The drill stopped because the sound device failed with `error`; nothing was lost.
    virtual void DrillFailed(audio::MMResult error) = 0;
    // What happened to the history store, once.
    virtual void HistoryNotices(const std::vector<progress::HistoryNotice>& notices) = 0;
};

class CharacterDrillView : public DrillView {
  public:
    // A new character is being keyed.
    virtual void CharacterAsked() = 0;
    // An answer as graded and stored, with the character's mastery after it.
    virtual void AnswerGraded(const progress::DrillAnswer& answer,
                              const progress::CharacterMastery& mastery) = 0;
};

class SprintView : public DrillView {
  public:
    // Call `number` (from 1) is being keyed at `speed`.
    virtual void CallKeyed(int number, int speed) = 0;
    virtual void CallGraded(const progress::SprintCall& call) = 0;
    // The fiftieth call was graded and the run stored.
    virtual void SprintFinished(const progress::SprintRun& run) = 0;
};

class CharacterDrillController final : private DrillSoundListener {
  public:
    explicit CharacterDrillController(DrillContext context) : context_(std::move(context)) {}
    ~CharacterDrillController() override { Stop(); }

    // Starts over the set and at the speed, target and pause of the settings; false when the
    // device failed (the view has been told).
    bool Start(CharacterDrillView& view);
    // The learner typed `typedCp1251` at `pressed`.
    void Answer(unsigned char typedCp1251, SteadyTime pressed);
    void Stop();
    bool Running() const { return view_ != nullptr; }
    // The character has been heard and its answer is awaited.
    bool AwaitsAnswer() const { return state_ == State::Listening; }

    // The drill's knowledge of its set; nothing before the first Start.
    const progress::CharacterDrill* Drill() const { return drill_ ? &*drill_ : nullptr; }
    // The character asked now (0 between characters).
    unsigned char Asked() const { return state_ == State::Reviewing ? 0 : asked_; }

  private:
    enum class State { Idle, Keying, Listening, Reviewing };
    void SoundHeard(uint64_t id) override;
    void Ask(std::size_t leadSamples);
    void Grade(unsigned char typed, SteadyTime pressed);
    // After a wrong answer: the buzz and the character again.
    void Review();
    bool Keyed(DrillSound::Keyed keyed);
    void Fail(audio::MMResult error);

    DrillContext context_;
    CharacterDrillView* view_ = nullptr;
    std::optional<progress::CharacterDrill> drill_;
    State state_ = State::Idle;
    unsigned char asked_ = 0;
    uint64_t soundId_ = 0;
    std::optional<std::pair<unsigned char, SteadyTime>> early_;
    int64_t sessionUnix_ = 0;
    int speed_ = 0;
};

class SprintController final : private DrillSoundListener {
  public:
    explicit SprintController(DrillContext context) : context_(std::move(context)) {}
    ~SprintController() override { Stop(); }

    // Fifty new calls from the speed of the settings; false when the device failed.
    bool Start(SprintView& view);
    // The copy of the current call (at Enter).
    void Answer(std::string_view typedCp1251);
    // The learner asks to hear the call again (F6): true when it is keyed again.
    bool Repeat();
    void Stop();
    bool Running() const { return view_ != nullptr; }
    // The sprint; nothing before the first Start.
    const progress::CallSignSprint* Sprint() const { return sprint_ ? &*sprint_ : nullptr; }

  private:
    void SoundHeard(uint64_t) override {}
    bool KeyCall(std::size_t leadSamples);
    void Fail(audio::MMResult error);

    DrillContext context_;
    SprintView* view_ = nullptr;
    std::optional<progress::CallSignSprint> sprint_;
};

}  // namespace vantrel
