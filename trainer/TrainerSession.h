// The trainer's front door: everything a learner does goes through one session, and the window
// only calls it and shows what it returns.
//
// The session owns the keyer, the program's random generator, the practice text builder, the
// playback engine with the device it keys on, the band conditions of the run, the result log,
// the learner's history and the interference sources. It keeps the learner's settings
// (SettingsTable.h) and applies each change at once: the timing, the tone, the start delay and
// the band conditions come from it at every Start.
//
// Everything runs on the owner's thread. The engine's notifications arrive through the owner's
// NotificationQueue; what a run shows goes to the SessionView, which must outlive the session.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/audio/WaveOut.h"
#include "progress/CheckComparison.h"
#include "progress/HistoryStore.h"
#include "progress/WallClock.h"
#include "trainer/CopyCheck.h"
#include "trainer/Drills.h"
#include "trainer/KeyedSound.h"
#include "trainer/Keyer.h"
#include "trainer/PlaybackEngine.h"
#include "trainer/ResultLog.h"
#include "trainer/SettingsTable.h"

namespace vantrel {

class AudioExport;
class InterferenceControls;
class PracticeTextBuilder;
class Random;
struct ContactTexts;

// What a run shows, and the application's error box for a practice text file that cannot be
// read.
class SessionView : public PlaybackView {
  public:
    virtual void ShowFileError(const files::FileError& error) = 0;
};

// Everything a copy check found, for the window to show in this order.
struct CheckOutcome {
    // False when nothing was copied ("Ничего не ввели!"): nothing was checked, logged or
    // recorded.
    bool copied = false;
    // The message says "Количество ошибок:N. Оценка: G. Нормально:)".
    CopyCheckResult result;
    // The result log could not be written; it is as it was.
    std::optional<files::FileError> logError;
    // The copy aligned with the sent text, character by character.
    progress::CheckComparison comparison;
    // What happened to the history store, when something did.
    std::vector<progress::HistoryNotice> historyNotices;
    // A lesson text copied well enough: the lesson now offered.
    std::optional<int> offeredLesson;
};

// The lesson's characters as the character drill knows them.
struct LessonMastery {
    std::string characters;   // Windows-1251, in the lesson's order
    std::vector<bool> known;  // of each
    // Every one is known and a later lesson exists: the next lesson is offered.
    bool earnsNextLesson = false;
};

class TrainerSession final : private PlaybackHost, private PlaybackView {
  public:
    // `audio` plays the keyed text (through a worker that bounds each device call) and the
    // interference; `store` keeps the settings. All must outlive the session.
    TrainerSession(audio::WaveOutSystem& audio, NotificationQueue& queue, SessionView& view,
                   settings::SettingsBackend& store);
    // Silences a run that still plays and waits for its device to close.
    ~TrainerSession() override;

    TrainerSession(const TrainerSession&) = delete;
    TrainerSession& operator=(const TrainerSession&) = delete;

    // The stored settings: read (the window's position restored through `window`), brought
    // into range and applied; written back whole.
    const TrainerSettings& LoadSettings(WindowGeometry& window);
    void SaveSettings(WindowGeometry& window);
    const TrainerSettings& Settings() const { return settings_; }

    // The learner's choices, each brought into its range and applied at once.
    void SetSpeed(int groupsPerMinute);
    void SetSpacing(int spacing);
    void SetPitchPosition(int position);
    void SetVolumePosition(int position);
    void SetTextType(TextType textType);
    TextType ChosenTextType() const { return static_cast<TextType>(settings_.textType); }
    void SetKochAlphabet(int alphabet);
    void SetLesson(int lesson);
    void SetStartDelay(int seconds);
    // The band conditions: what the learner's change from the present ones comes to
    // (band::Changed) is kept and returned. They apply from the next Start (or export); a run
    // keeps the band it began with, following only the volume and the pitch.
    band::BandSettings SetBandConditions(const band::BandSettings& wanted);
    band::BandSettings BandConditions() const { return vantrel::BandConditions(settings_); }
    // The recognition drills' choices, read at each drill's start.
    void SetDrillSet(int set) { Keep(&TrainerSettings::drillSet, set); }
    void SetDrillSpeed(int speed) { Keep(&TrainerSettings::drillSpeed, speed); }
    void SetResponseTarget(int ms) { Keep(&TrainerSettings::responseTarget, ms); }
    void SetDrillPause(int ms) { Keep(&TrainerSettings::drillPause, ms); }
    void SetSprintSpeed(int speed) { Keep(&TrainerSettings::sprintSpeed, speed); }
    // The interface's language, stored with the settings; the session itself words nothing.
    void SetLanguage(Language language);
    Language ChosenLanguage() const { return static_cast<Language>(settings_.language); }
    // The text file of the file text type; read at Start.
    void SetTextFile(std::filesystem::path file) { textFile_ = std::move(file); }
    const std::filesystem::path& TextFile() const { return textFile_; }
    // The timing and the tone as keyed now (pitch in hertz, volume level).
    const Keyer& Keying() const { return keyer_; }

    // Start (button, tool button, Ctrl+Enter): builds the practice text of the chosen type from
    // `keyboardCp1251` (the input tab's text) and the settings, and keys it.
    void Start(std::string keyboardCp1251);
    // Pause or Resume (button, tool button, Ctrl+P).
    void Pause();
    // The window's close query (PlaybackEngine::StopNow); the drills stop too.
    bool StopNow();
    const PlaybackEngine& Engine() const { return *engine_; }

    // The copy check of `copyCp1251` against the text the text window shows: graded, logged,
    // aligned once, recorded in the history and, for a lesson text, weighed for the next
    // lesson.
    CheckOutcome Check(std::string_view copyCp1251);

    // The next practice text of the chosen type, as Start would build it, ready to be rendered
    // to a file with the timing and tone of now; nothing when no text could be built (the
    // view has been told why).
    std::unique_ptr<AudioExport> PrepareExport(std::string keyboardCp1251);

    // The recognition drills. Starting one stops a run and the other drill; a run's Start stops
    // both.
    CharacterDrillController& CharacterDrill() { return *characterDrill_; }
    SprintController& Sprint() { return *sprint_; }
    // The drills' sound (tests).
    DrillSound& DrillSounds() { return *drillSound_; }
    // The current lesson's characters known in the character drill, from its recent answers.
    LessonMastery LessonKnowledge();

    // The noise and tone sources of the group " Шумы ".
    InterferenceControls& Interference() { return *interference_; }

    // The learner's history: in memory until a file is named; opened at its first use.
    progress::HistoryStore& History() { return *history_; }
    void UseHistoryFile(std::filesystem::path file);
    // Clocks (tests).
    void SetTimeOfDayClock(TimeOfDayClock clock) { resultLog_ = ResultLog(std::move(clock)); }
    void SetWallClock(progress::WallClock clock) { wallClock_ = std::move(clock); }
    // Seeds the program's random generator, which draws the practice texts, the drills' characters
    // and the seed of each run's, export's and drill's band (tests).
    void SeedRandom(uint64_t seed);

  private:
    // Keeps `value` as the stored value `field`, brought into its range; returns what is kept.
    int Keep(int TrainerSettings::*field, int value);
    // The practice text of the chosen type into `text`; false when none could be built.
    bool BuildText(std::string& text, int32_t& cursor);
    // The band of a run, an export or a drill that begins now, keyed by `keyer`: its own seed
    // when the conditions are on.
    KeyedBand NewBand(const Keyer& keyer);
    DrillContext MakeDrillContext();
    void StopDrills();

    // PlaybackHost.
    void ApplyTiming() override;
    bool BuildPracticeText(std::string& text, int32_t& cursor) override;

    // PlaybackView: everything goes on to the window; the session notes the text shown, which
    // the check compares.
    void SetStatus(RunStatus status) override { view_.SetStatus(status); }
    void SetStartEnabled(bool enabled) override { view_.SetStartEnabled(enabled); }
    void SetPauseEnabled(bool enabled) override { view_.SetPauseEnabled(enabled); }
    void SetPauseCaption(PauseCaption caption) override { view_.SetPauseCaption(caption); }
    void SetCheckEnabled(bool enabled) override { view_.SetCheckEnabled(enabled); }
    void ShowKeyedText(const std::string& cp1251, int caret) override;
    void ClearKeyedText() override;
    void ShowAudioOpenError(audio::MMResult result) override { view_.ShowAudioOpenError(result); }

    settings::SettingsBackend& store_;
    SessionView& view_;
    TrainerSettings settings_ = DefaultTrainerSettings();
    std::filesystem::path textFile_;
    std::string keyboardText_;
    // The text window's content as keyed (Windows-1251, CR LF kept).
    std::string shownText_;

    Keyer keyer_;
    std::unique_ptr<audio::WaveOutSystem> keyingAudio_;
    std::unique_ptr<Random> random_;
    std::shared_ptr<const ContactTexts> contactTexts_;
    std::unique_ptr<PracticeTextBuilder> builder_;
    // Every buffer of the run goes through it; the conditions the run was keyed under, for the
    // check.
    KeyedBand runBand_;
    std::optional<progress::CheckConditions> runConditions_;
    std::unique_ptr<PlaybackEngine> engine_;
    std::unique_ptr<InterferenceControls> interference_;
    ResultLog resultLog_;
    progress::WallClock wallClock_ = progress::SystemSeconds;
    std::unique_ptr<progress::HistoryStore> history_;
    std::unique_ptr<DrillSound> drillSound_;
    std::unique_ptr<CharacterDrillController> characterDrill_;
    std::unique_ptr<SprintController> sprint_;
};

}  // namespace vantrel
