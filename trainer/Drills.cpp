#include "trainer/Drills.h"

#include <algorithm>
#include <utility>

#include "support/Cp1251.h"
#include "trainer/ContactData.h"
#include "trainer/ContactGenerator.h"
#include "trainer/Limits.h"
#include "trainer/Random.h"

namespace vantrel {

namespace {

std::size_t MsToSamples(int ms) {
    return static_cast<std::size_t>(ms) * limits::kKeyedSampleRate / 1000;
}

// The start delay ahead of a drill's first sound, as a run keys it after each open.
std::size_t StartDelaySamples(const TrainerSettings& settings) {
    return static_cast<std::size_t>(settings.startDelay) * limits::kKeyedSampleRate;
}

void SetTone(Keyer& keyer, const TrainerSettings& settings) {
    keyer.SetPitchPosition(settings.pitch);
    keyer.SetVolumePosition(settings.volume);
    keyer.SetSpacing(0);
}

bool HasCodes(std::string_view cp1251) {
    return std::all_of(cp1251.begin(), cp1251.end(),
                       [](char c) { return !MorseCode(static_cast<uint8_t>(c)).empty(); });
}

}  // namespace

SteadyTime KeyPressTime(uint64_t eventMs, SteadyTime now) {
    const auto nowMs = static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count());
    const uint64_t age = (nowMs - eventMs) & 0xFFFF'FFFFu;
    if (eventMs == 0 || age > static_cast<uint64_t>(kKeyStampWindow.count())) {
        return now;
    }
    return SteadyTime(std::chrono::milliseconds(nowMs - age));
}

std::vector<std::string> SprintCalls(const ContactTexts& texts, Random& random, int count) {
    std::vector<std::string> calls;
    while (static_cast<int>(calls.size()) < count) {
        std::string call = BuildCallSign(texts.Prefixes, random, CallSignSuffix::PortableOrMobile);
        if (HasCodes(call)) {
            calls.push_back(std::move(call));
        }
    }
    return calls;
}

// ---------------------------------------------------------------------------------------------
// Character drill

bool CharacterDrillController::Start(CharacterDrillView& view) {
    Stop();
    if (!context_.silenceRun()) {
        view.DrillFailed(audio::MMSYSERR_ALLOCATED);
        return false;
    }
    const TrainerSettings& settings = context_.settings();
    progress::HistoryStore& history = context_.history();
    const std::string characters = progress::DrillSetCharacters(
        progress::DrillSetFromNumber(settings.drillSet),
        progress::KochAlphabetFromNumber(settings.kochAlphabet), settings.lesson);
    drill_.emplace(characters, settings.responseTarget, history.DrillAnswers(progress::Period::All),
                   context_.wallClock,
                   [&random = context_.random](uint32_t n) { return random(n); });
    if (auto notices = history.TakeNotices(); !notices.empty()) {
        view.HistoryNotices(notices);
    }
    Keyer& keyer = context_.sound.Keying();
    SetTone(keyer, settings);
    keyer.SetSpeed(settings.drillSpeed, SpeedRange::CharacterDrill);
    speed_ = std::clamp(settings.drillSpeed, limits::kCharacterDrillSpeedMin,
                        limits::kCharacterDrillSpeedMax);
    sessionUnix_ = context_.wallClock();
    view_ = &view;
    context_.sound.SetListener(this);
    Ask(StartDelaySamples(settings));
    return Running();
}

void CharacterDrillController::Ask(std::size_t leadSamples) {
    asked_ = drill_->Next();
    early_.reset();
    state_ = State::Keying;
    if (Keyed(context_.sound.Key(std::string_view(reinterpret_cast<const char*>(&asked_), 1),
                                 leadSamples))) {
        view_->CharacterAsked();
    }
}

bool CharacterDrillController::Keyed(DrillSound::Keyed keyed) {
    soundId_ = keyed.id;
    if (keyed.error != audio::MMSYSERR_NOERROR) {
        Fail(keyed.error);
        return false;
    }
    return true;
}

void CharacterDrillController::SoundHeard(uint64_t id) {
    if (id != soundId_) {
        return;
    }
    if (state_ == State::Keying) {
        state_ = State::Listening;
        if (early_) {
            Grade(early_->first, early_->second);
        }
    } else if (state_ == State::Reviewing) {
        Ask(MsToSamples(context_.settings().drillPause));
    }
}

void CharacterDrillController::Answer(unsigned char typedCp1251, SteadyTime pressed) {
    if (state_ == State::Keying && !early_) {
        early_.emplace(typedCp1251, pressed);
    } else if (state_ == State::Listening) {
        Grade(typedCp1251, pressed);
    }
}

void CharacterDrillController::Grade(unsigned char typed, SteadyTime pressed) {
    const SteadyTime heard = context_.sound.EndHeard(soundId_).value_or(pressed);
    progress::DrillAnswer answer;
    answer.timeUnix = context_.wallClock();
    answer.sessionUnix = sessionUnix_;
    answer.sent = asked_;
    answer.typed = cp1251::ToUpper(typed);
    answer.right = answer.typed == answer.sent;
    answer.responseMs = static_cast<int>(std::max<int64_t>(
        0, std::chrono::duration_cast<std::chrono::milliseconds>(pressed - heard).count()));
    answer.speed = speed_;
    drill_->Learn(answer);
    CharacterDrillView* view = view_;
    // The sound goes first: storing the answer takes a flush to disk.
    if (answer.right) {
        Ask(MsToSamples(context_.settings().drillPause));
    } else {
        Review();
    }
    progress::HistoryStore& history = context_.history();
    history.AppendDrillAnswers({answer});
    view->AnswerGraded(answer, drill_->Mastery(answer.sent));
    if (auto notices = history.TakeNotices(); !notices.empty()) {
        view->HistoryNotices(notices);
    }
}

void CharacterDrillController::Review() {
    state_ = State::Reviewing;
    if (const audio::MMResult buzzed = context_.sound.Buzz(); buzzed != audio::MMSYSERR_NOERROR) {
        Fail(buzzed);
        return;
    }
    Keyed(context_.sound.Key(std::string_view(reinterpret_cast<const char*>(&asked_), 1),
                             MsToSamples(DrillSound::kPadMs)));
}

void CharacterDrillController::Fail(audio::MMResult error) {
    CharacterDrillView* view = view_;
    Stop();
    if (view) {
        view->DrillFailed(error);
    }
}

void CharacterDrillController::Stop() {
    if (!view_) {
        return;
    }
    view_ = nullptr;
    state_ = State::Idle;
    asked_ = 0;
    early_.reset();
    context_.sound.SetListener(nullptr);
    context_.sound.Stop();
}

// ---------------------------------------------------------------------------------------------
// Call-sign sprint

bool SprintController::Start(SprintView& view) {
    Stop();
    if (!context_.silenceRun()) {
        view.DrillFailed(audio::MMSYSERR_ALLOCATED);
        return false;
    }
    const TrainerSettings& settings = context_.settings();
    sprint_.emplace(SprintCalls(context_.texts, context_.random, progress::kSprintCalls),
                    settings.sprintSpeed,
                    progress::SprintSpeeds{limits::kSprintSpeedMin, limits::kSprintSpeedMax,
                                           limits::kSprintSpeedStep});
    SetTone(context_.sound.Keying(), settings);
    view_ = &view;
    context_.sound.SetListener(this);
    return KeyCall(StartDelaySamples(settings));
}

bool SprintController::KeyCall(std::size_t leadSamples) {
    Keyer& keyer = context_.sound.Keying();
    keyer.SetSpeed(sprint_->Speed(), SpeedRange::Sprint);
    const DrillSound::Keyed keyed = context_.sound.Key(sprint_->Call(), leadSamples);
    if (keyed.error != audio::MMSYSERR_NOERROR) {
        Fail(keyed.error);
        return false;
    }
    view_->CallKeyed(static_cast<int>(sprint_->Run().calls.size()) + 1, sprint_->Speed());
    return true;
}

bool SprintController::Repeat() {
    if (!view_ || !sprint_->Repeat()) {
        return false;
    }
    const DrillSound::Keyed keyed = context_.sound.Key(sprint_->Call(), 0);
    if (keyed.error != audio::MMSYSERR_NOERROR) {
        Fail(keyed.error);
        return false;
    }
    return true;
}

void SprintController::Answer(std::string_view typedCp1251) {
    if (!view_) {
        return;
    }
    SprintView* view = view_;
    // The call's sound, if still playing, gives way to the next one.
    context_.sound.Silence();
    view->CallGraded(sprint_->Answer(typedCp1251));
    if (view_ != view) {
        return;
    }
    if (!sprint_->Finished()) {
        KeyCall(MsToSamples(context_.settings().drillPause));
        return;
    }
    progress::SprintRun run = sprint_->Run();
    run.timeUnix = context_.wallClock();
    progress::HistoryStore& history = context_.history();
    history.AppendSprintRun(run);
    Stop();
    view->SprintFinished(run);
    if (auto notices = history.TakeNotices(); !notices.empty()) {
        view->HistoryNotices(notices);
    }
}

void SprintController::Fail(audio::MMResult error) {
    SprintView* view = view_;
    Stop();
    if (view) {
        view->DrillFailed(error);
    }
}

void SprintController::Stop() {
    if (!view_) {
        return;
    }
    view_ = nullptr;
    context_.sound.SetListener(nullptr);
    context_.sound.Stop();
}

}  // namespace vantrel
