// The trainer session as the window drives it, without a window: the stored values through the
// one table, the copy check with everything it returns, the texts it builds at Start and for
// export, and the recognition drills keyed on the virtual device against a manual clock. The run
// itself is the engine's suite; the window's suite checks only the wiring.
#include "trainer/TrainerSession.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "platform/audio/VirtualWaveOut.h"
#include "platform/settings/MemorySettings.h"
#include "support/Cp1251.h"
#include "tests/platform/AudioAnalysis.h"
#include "tests/support/FakeWindowGeometry.h"
#include "tests/support/TempFolder.h"
#include "tests/trainer/PlaybackStandIns.h"
#include "trainer/AudioExport.h"
#include "trainer/ContactData.h"
#include "trainer/ManualNotificationQueue.h"
#include "trainer/Random.h"

namespace vantrel {
namespace {

using settings::Value;

class TrainerSessionTest : public ::testing::Test {
  protected:
    TrainerSessionTest() {
        queue_.SetIdleHook([this] { audio_.AdvanceMs(80); });
    }

    TrainerSession& Open() {
        session_ = std::make_unique<TrainerSession>(audio_, queue_, view_, store_);
        session_->SetTimeOfDayClock([] { return TimeOfDay{14, 35, 7}; });
        session_->SetWallClock([] { return int64_t{1'796'000'000}; });
        session_->LoadSettings(window_);
        return *session_;
    }
    void Put(std::string_view name, int32_t value) {
        store_.Put(kSettingsKey, name, Value::Dword(static_cast<uint32_t>(value)));
    }
    // Keys `typed` as the typed text type to its end.
    void Run(const char* typed) {
        session_->SetTextType(TextType::Keyboard);
        session_->Start(typed);
        queue_.RunUntil([this] { return session_->Engine().DeviceClosed(); });
    }
    // Plays what the session has started until its device has closed.
    void PlayToClose() {
        queue_.RunUntil([this] { return session_->Engine().DeviceClosed(); });
    }
    // The samples of the export of the typed `text` from `seed`.
    std::vector<int16_t> Exported(uint64_t seed, const char* text) {
        session_->SeedRandom(seed);
        const std::unique_ptr<AudioExport> exported = session_->PrepareExport(text);
        EXPECT_FALSE(exported->Begin("export.wav"));
        while (!exported->RenderSome(10)) {
        }
        EXPECT_FALSE(exported->Commit());
        const std::string bytes = testing::ReadWholeFile("export.wav");
        std::vector<int16_t> samples((bytes.size() - 44) / 2);
        std::memcpy(samples.data(), bytes.data() + 44, 2 * samples.size());
        return samples;
    }
    std::string Settings() {
        const TrainerSettings& s = session_->Settings();
        return std::to_string(s.speed) + ' ' + std::to_string(s.spacing) + ' ' +
               std::to_string(s.textType) + ' ' + std::to_string(s.pitch) + ' ' +
               std::to_string(s.volume) + ' ' + std::to_string(s.kochAlphabet) + ' ' +
               std::to_string(s.lesson) + ' ' + std::to_string(s.startDelay) + " | " +
               std::to_string(s.drillSet) + ' ' + std::to_string(s.drillSpeed) + ' ' +
               std::to_string(s.responseTarget) + ' ' + std::to_string(s.drillPause) + ' ' +
               std::to_string(s.sprintSpeed) + " | " + std::to_string(s.language);
    }
    // The drills' sound is stamped by a clock that moves with the device, a millisecond a step.
    void StepWithClock() {
        session_->DrillSounds().SetClock([this] { return Now(); });
        queue_.SetIdleHook([this] {
            nowMs_ += 1;
            audio_.AdvanceMs(1);
        });
    }
    SteadyTime Now() const { return SteadyTime(std::chrono::milliseconds(nowMs_.load())); }
    // Runs the drill until its character has been heard and waits for the answer.
    unsigned char Heard() {
        queue_.RunUntil([this] { return session_->CharacterDrill().AwaitsAnswer(); });
        return session_->CharacterDrill().Asked();
    }

    testing::WorkingFolder folder_;
    audio::VirtualWaveSystem audio_{audio::VirtualWaveSystem::Clock::Manual};
    ManualNotificationQueue queue_;
    test::KeptView view_;
    settings::MemorySettings store_;
    test::FakeWindow window_;
    std::unique_ptr<TrainerSession> session_;
    std::atomic<int64_t> nowMs_{1'000'000};
};

// What the drills tell their window, one line each.
struct DrillLog : CharacterDrillView, SprintView {
    void DrillFailed(audio::MMResult error) override { Add("failed " + std::to_string(error)); }
    void HistoryNotices(const std::vector<progress::HistoryNotice>& notices) override {
        Add("notices " + std::to_string(notices.size()));
    }
    void CharacterAsked() override { Add("asked"); }
    void AnswerGraded(const progress::DrillAnswer& a,
                      const progress::CharacterMastery& m) override {
        Add(std::string(a.right ? "right " : "wrong ") + std::to_string(a.responseMs) + " of " +
            std::to_string(m.answers));
    }
    void CallKeyed(int number, int speed) override {
        speeds.push_back(speed);
        dots.push_back(session->DrillSounds().Keying().DotLength());
        (void)number;
    }
    void CallGraded(const progress::SprintCall& call) override { calls.push_back(call); }
    void SprintFinished(const progress::SprintRun& run) override {
        Add("finished " + std::to_string(run.Score()));
    }
    void Add(std::string line) { lines += (lines.empty() ? "" : ", ") + line; }

    TrainerSession* session = nullptr;
    std::string lines;
    std::vector<int> speeds, dots;
    std::vector<progress::SprintCall> calls;
};

// Missing values take their defaults and stored ones are brought into range, the lesson into its
// alphabet's; the keyer follows them; closing stores them all, below-range text type included.
TEST_F(TrainerSessionTest, StoredValuesAreReadIntoRangeAppliedAndWrittenBackWhole) {
    Open();
    EXPECT_EQ(std::tuple(session_->Keying().DotLength(), session_->Keying().VolumeLevel()),
              std::tuple(800, 8));
    EXPECT_TRUE(window_.calls.empty()) << "no record, nothing restored";

    EXPECT_EQ(Settings(), "12 0 0 8 0 0 1 0 | 0 20 700 300 20 | 0");
    for (auto [name, value] : {std::pair{"Speed", 50},
                               {"DrillSet", 9},
                               {"DrillSpeed", 61},
                               {"DrillTarget", 100},
                               {"DrillPause", 1001},
                               {"SprintSpeed", 101},
                               {"Spacing", -3},
                               {"Test", 9},
                               {"Pitch", 2},
                               {"Volume", 20},
                               {"KochAlphabet", 0},
                               {"Lesson", 45},
                               {"StartDelay", 7},
                               {"Language", 5}}) {
        Put(name, value);
    }
    store_.Put(kSettingsKey, "Pitch", Value::String("12"));  // not a dword: the default
    Open();
    EXPECT_EQ(Settings(), "30 0 7 8 8 0 40 3 | 4 60 200 1000 100 | 1");
    EXPECT_EQ(session_->Keying().ToneFrequency(), 800);

    for (auto [name, value] : {std::pair{"Test", -5},
                               {"KochAlphabet", 1},
                               {"Lesson", 45},
                               {"DrillSet", -1},
                               {"DrillSpeed", 0},
                               {"DrillTarget", 3001},
                               {"SprintSpeed", 9},
                               {"Language", -1}}) {
        Put(name, value);
    }
    Open();
    EXPECT_EQ(Settings(), "30 0 -1 8 8 1 45 3 | 0 10 3000 1000 10 | 0");
    session_->SetSpeed(20);
    session_->SetDrillPause(0);
    session_->SetLanguage(Language::English);
    session_->SaveSettings(window_);
    for (auto [name, value] :
         {std::pair{"Speed", 20u}, {"Test", 0xFFFFFFFFu}, {"Pitch", 8u}, {"Language", 1u}}) {
        EXPECT_EQ(store_.Get(kSettingsKey, name), Value::Dword(value)) << name;
    }
    EXPECT_TRUE(store_.Get(kSettingsKey, kWindowPosSetting).has_value());
    Open();
    EXPECT_EQ(Settings(), "20 0 -1 8 8 1 45 3 | 0 10 3000 0 10 | 1");
}

// The band conditions are off by default; stored ones are read back through the band's own
// ranges (a named profile that its values do not match is the custom one), and the learner's
// changes are kept as the band decides: a profile sets its values, a changed value makes the
// profile custom.
TEST_F(TrainerSessionTest, BandConditionsAreStoredOffByDefaultAndReadBackIntoRange) {
    Open();
    EXPECT_EQ(session_->BandConditions(), band::BandSettings{});
    for (auto [name, value] : {std::pair{"Band", 5},
                               {"BandProfile", 3},
                               {"BandSnr", 99},
                               {"BandFading", -1},
                               {"BandDepth", 101},
                               {"BandStatic", -5},
                               {"BandStations", 6},
                               {"BandFilter", 3},
                               {"BandAgc", 0}}) {
        Put(name, value);
    }
    using band::Profile;
    Open();
    EXPECT_EQ(session_->BandConditions(),
              (band::BandSettings{true, Profile::Custom, 30, band::FadingKind::None, 100, 0, 5,
                                  band::Bandwidth::Hz500, false}));
    band::BandSettings wanted = session_->BandConditions();
    wanted.profile = Profile::Aurora;
    EXPECT_EQ(session_->SetBandConditions(wanted), band::Preset(Profile::Aurora, wanted));
    wanted = session_->BandConditions();
    wanted.snrDb = 12;
    wanted.enabled = false;
    band::BandSettings custom = wanted;
    custom.profile = Profile::Custom;
    EXPECT_EQ(session_->SetBandConditions(wanted), custom);
    session_->SaveSettings(window_);
    EXPECT_EQ(store_.Get(kSettingsKey, "BandProfile"), Value::Dword(5));
    Open();
    EXPECT_EQ(session_->BandConditions(), custom);
}

// Each run draws its band from the session's generator, so a run and the export of its text from
// the same seed are the same to the last sample, the start delay included. Resumed after a
// pause, the band goes on from where the character cut off began, as if the run had never
// stopped. The check records the conditions the text was keyed under.
TEST_F(TrainerSessionTest, ABandRunResumesWhereItStoppedAndSoundsAsItsExport) {
    Open().SetTextType(TextType::Keyboard);
    band::BandSettings wanted = session_->BandConditions();
    wanted.enabled = true;
    wanted.profile = band::Profile::Contest;
    wanted = session_->SetBandConditions(wanted);
    wanted.staticPercent = 60;
    session_->SetBandConditions(wanted);
    session_->SeedRandom(7);
    session_->Start("cq test");
    queue_.RunUntil([this] { return session_->Engine().DoneCount() >= 7; });
    session_->Pause();
    PlayToClose();
    std::size_t heard = 0;  // the samples of the characters before the one cut off
    const std::string keyed = session_->Engine().KeyedText();
    for (char c : keyed.substr(0, keyed.size() - 1)) {
        heard += session_->Keying().CharacterSamples(static_cast<uint8_t>(c));
    }
    const int volume = 8 - session_->Keying().VolumeLevel();
    session_->SetVolumePosition(volume + 3);  // the band follows the volume set while paused
    session_->Pause();
    PlayToClose();

    const std::vector<int16_t> quieter = Exported(7, "cq test");
    session_->SetVolumePosition(volume);
    const std::vector<int16_t> exported = Exported(7, "cq test");
    EXPECT_NE(Exported(8, "cq test"), exported);
    const std::vector<int16_t> first = audio_.PlayedSamples(0);
    const std::vector<int16_t> resumed = audio_.PlayedSamples(1);
    ASSERT_GE(first.size(), heard);
    EXPECT_TRUE(std::equal(first.begin(), first.begin() + heard, exported.begin()));
    const std::size_t rest = std::min(resumed.size(), exported.size() - heard);
    EXPECT_GT(rest, 8000u);
    int worst = 0;
    for (std::size_t n = 0; n < rest; ++n) {
        worst = std::max(worst, std::abs(resumed[n] - quieter[heard + n]));
    }
    EXPECT_LE(worst, 2);

    session_->Check("CQ TEST");
    session_->SetStartDelay(1);
    wanted.enabled = false;
    session_->SetBandConditions(wanted);
    Run("e");
    session_->Check("E");
    const auto entries = session_->History().Entries(progress::Period::All, false);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].conditions, (progress::CheckConditions{5, 15, 2, 60, 5, 500}));
    EXPECT_FALSE(entries[1].conditions);

    wanted.enabled = true;
    session_->SetBandConditions(wanted);
    session_->SeedRandom(9);
    Run("e");
    const std::vector<int16_t> delayed = audio_.PlayedSamples(3);
    const std::vector<int16_t> delayedExport = Exported(9, "e");
    ASSERT_GT(delayedExport.size(), 8000u + 9600u);
    EXPECT_TRUE(std::equal(delayedExport.begin(), delayedExport.begin() + 17600, delayed.begin()));

    // A pitch set while the run plays: the narrow filter is tuned to it at once.
    wanted.profile = band::Profile::Clear;
    wanted = session_->SetBandConditions(wanted);
    wanted.bandwidth = band::Bandwidth::Hz250;
    wanted.agc = false;
    session_->SetBandConditions(wanted);
    session_->Start("eeeeee");
    queue_.RunUntil([this] { return session_->Engine().DoneCount() >= 2; });
    session_->SetPitchPosition(12);
    PlayToClose();
    const std::vector<int16_t> retuned = audio_.PlayedSamples(4);
    EXPECT_GT(std::ranges::max(std::span(retuned).last(retuned.size() / 4)),
              0.4 * KeyDownAmplitude(session_->Keying()));
}

// A drill's sound goes through a band of its own, drawn from the session's generator when the
// drill's stream opens and running on from one character and its pad to the next.
TEST_F(TrainerSessionTest, ADrillsSoundGoesThroughItsBandFromOneCharacterToTheNext) {
    Open();
    band::BandSettings wanted = session_->BandConditions();
    wanted.enabled = true;
    wanted.staticPercent = 50;
    wanted.fading = band::FadingKind::Flutter;
    session_->SetBandConditions(wanted);
    DrillSound& sound = session_->DrillSounds();
    sound.Keying().SetSpeed(20, SpeedRange::CharacterDrill);
    sound.Keying().SetVolumePosition(0);
    sound.Key("T", 0);  // an earlier drill's band is not this one's
    sound.Stop();
    session_->SeedRandom(4);
    std::vector<int16_t> keyed;
    for (const auto& [text, lead] : {std::pair{"E", 800}, {"T", 0}}) {
        sound.Key(text, lead);
        std::vector<int16_t> one = KeyedSamples(sound.Keying(), text, lead);
        one.resize(one.size() + DrillSound::kPadMs * 8);
        keyed.insert(keyed.end(), one.begin(), one.end());
    }
    queue_.RunUntil([&sound] { return !sound.Busy(); });
    EXPECT_EQ(KeyedSamples(sound.Keying(), "E", 800).size(), 800u + 480u) << "cut at the dot's end";
    KeyedBand band(session_->BandConditions(), sound.Keying(), Random(4).NextSeed(), nullptr);
    band.Process(keyed);
    const std::vector<int16_t> played = audio_.PlayedSamples(1);
    ASSERT_GE(played.size(), keyed.size());
    EXPECT_TRUE(std::equal(keyed.begin(), keyed.end(), played.begin()));
}

// One check: graded, logged in the working folder, aligned and recorded once; nothing at all for
// an empty copy. A lesson text copied well offers the next lesson unless it is the last.
TEST_F(TrainerSessionTest, CheckGradesLogsAlignsRecordsAndWeighsTheLesson) {
    Open().SetSpeed(20);
    Run("kmkmk mkmkm");
    EXPECT_FALSE(session_->Check("").copied);
    EXPECT_FALSE(std::filesystem::exists("log.txt"));

    const CheckOutcome outcome = session_->Check("KMKMK MKMM");
    EXPECT_EQ(std::tuple(outcome.copied, outcome.result.errorCount, outcome.result.grade),
              std::tuple(true, 1, 4));
    EXPECT_FALSE(outcome.logError || !outcome.historyNotices.empty() || outcome.offeredLesson);
    const std::string hyphens(40, '-');
    EXPECT_EQ(cp1251::ToUtf8(testing::ReadWholeFile("log.txt")),
              hyphens + "\r\n14:35:07\r\nСкорость приема: 20\r\nКоличество ошибок:1 Оценка: 4\r\n" +
                  hyphens + "\r\n");
    EXPECT_EQ(std::tuple(outcome.comparison.sentCount, outcome.comparison.rightCount,
                         outcome.comparison.missedCount),
              std::tuple(10, 9, 1));
    const auto entries = session_->History().Entries(progress::Period::All, true);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(
        std::tuple(entries[0].timeUnix, entries[0].settings.textType, entries[0].settings.speed,
                   entries[0].settings.spacing, entries[0].settings.pitchHz,
                   entries[0].charactersRight, entries[0].blocksWrong, entries[0].pairs.size()),
        std::tuple(1'796'000'000, 3, 20, 0, 800, 9, 1, outcome.comparison.pairs.size()));

    // The text type and lesson at the time of the check decide the offer.
    session_->SetTextType(TextType::Lesson);
    EXPECT_EQ(session_->Check("KMKMK MKMM").offeredLesson, 2);
    EXPECT_FALSE(session_->Check("KMKMK MKM").offeredLesson);  // 8 of 10
    session_->SetLesson(40);
    EXPECT_FALSE(session_->Check("KMKMK MKMKM").offeredLesson);  // no lesson after the last
}

// Start and export build the chosen text from the typed text and the settings, or say why not.
TEST_F(TrainerSessionTest, StartAndExportBuildTheChosenTextOrSayWhyNot) {
    Open().SetTextType(TextType::File);
    session_->Start("");
    EXPECT_EQ(view_.status, RunStatus::NoFileChosen);
    EXPECT_TRUE(view_.boxes.empty());
    session_->SetTextFile("lesson.txt");
    session_->Start("");
    ASSERT_EQ(view_.boxes.size(), 1u);
    EXPECT_TRUE(view_.boxes[0].starts_with("error: ") &&
                view_.boxes[0].find("lesson.txt") != std::string::npos)
        << view_.boxes[0];
    EXPECT_EQ(audio_.OpenAttempts(), 0u);

    std::ofstream("lesson.txt") << "cq test\n";
    const std::unique_ptr<AudioExport> exported = session_->PrepareExport("");
    ASSERT_TRUE(exported);
    EXPECT_EQ(exported->Text(), cp1251::FromUtf8("ЖЖЖ = CQ TEST\r\n "));
    session_->SetTextType(TextType::None);
    EXPECT_FALSE(session_->PrepareExport("paris"));
    session_->SetTextType(TextType::Keyboard);
    session_->Start("paris");
    EXPECT_EQ(session_->Engine().PracticeText(), cp1251::FromUtf8("ЖЖЖ = PARIS  "));
}

// The character drill keys one character at a time at its speed after the start delay, times
// each answer from the moment the character's end was heard, stores it, and goes on: after a
// right answer to the next character, after a wrong one through a buzz and the same character
// again. Its answers choose the next drill's characters.
TEST_F(TrainerSessionTest, CharacterDrillTimesAnswersFromTheEarStoresThemAndLearnsFromThem) {
    Open().SetDrillSet(static_cast<int>(progress::DrillSet::Latin));
    session_->SetDrillSpeed(20);
    session_->SetDrillPause(200);
    session_->SetResponseTarget(200);  // the 250 ms answer is slow
    session_->SetPitchPosition(12);
    session_->SetStartDelay(1);
    session_->SeedRandom(7);
    StepWithClock();
    DrillLog log;
    ASSERT_TRUE(session_->CharacterDrill().Start(log));
    EXPECT_EQ(std::tuple(session_->DrillSounds().Keying().DotLength(),
                         session_->DrillSounds().Keying().ToneFrequency()),
              std::tuple(480, session_->Keying().ToneFrequency()));
    const unsigned char first = Heard();
    const SteadyTime heard = Now();
    session_->CharacterDrill().Answer(first == 'X' ? 'Y' : 'x',
                                      heard + std::chrono::milliseconds(400));
    session_->CharacterDrill().Answer(first, Now());  // not taken during the buzz and re-key
    const unsigned char second = Heard();
    session_->CharacterDrill().Answer(static_cast<unsigned char>(second + 32),
                                      Now() + std::chrono::milliseconds(250));
    const unsigned char third = session_->CharacterDrill().Asked();  // still being keyed
    session_->CharacterDrill().Answer(third, Now());
    session_->CharacterDrill().Answer('Q', Now());  // one answer a character
    Heard();
    session_->CharacterDrill().Stop();
    EXPECT_FALSE(session_->DrillSounds().Busy());
    ASSERT_TRUE(first != second && second != third && third != first) << "choose another seed";
    EXPECT_EQ(log.lines,
              "asked, wrong 400 of 1, asked, asked, right 250 of 1, asked, right 0 of 1");

    const auto answers = session_->History().DrillAnswers(progress::Period::All);
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_EQ(
        std::tuple(answers[0].sent, answers[0].right, answers[0].responseMs, answers[0].speed),
        std::tuple(first, false, 400, 20));
    EXPECT_EQ(
        std::tuple(answers[1].sent, answers[1].typed, answers[1].right, answers[1].sessionUnix),
        std::tuple(second, second, true, int64_t{1'796'000'000}));
    // Heard as keyed: the start delay, the first character, the buzz (a long tone), the same
    // character again, and after the pause the next ones.
    const std::vector<int16_t> played = audio_.PlayedSamples(0);
    const auto segments = audio::test::SegmentOnOff(played, 8000);
    ASSERT_GT(segments.size(), 1u);
    EXPECT_NEAR(static_cast<double>(segments[1].start), 8000.0, Keyer::kEnvelopeSamples);
    const std::string c1(1, static_cast<char>(first)), c2(1, static_cast<char>(second));
    EXPECT_EQ(audio::test::DecodeMorse(segments).substr(0, 6), c1 + "T" + c1 + " " + c2 + " ");
    EXPECT_NEAR(audio::test::ToneFrequencyHz(played, segments, 8000, 40), 160, 5);

    ASSERT_TRUE(session_->CharacterDrill().Start(log));
    session_->Start("e");  // a run stops the drill
    EXPECT_FALSE(session_->CharacterDrill().Running());
    const progress::CharacterDrill& drill = *session_->CharacterDrill().Drill();
    EXPECT_EQ(std::tuple(drill.Weight(first), drill.Weight(second), drill.ReviewDue(third)),
              std::tuple(5'000'000u, 3'000'000u, int64_t{1'796'000'000 + 24 * 3600}));
    // The lesson's set is the chosen lesson's characters.
    session_->SetDrillSet(static_cast<int>(progress::DrillSet::Lesson));
    session_->SetLesson(2);
    session_->UseHistoryFile(std::filesystem::current_path() / "history.sqlite");
    ASSERT_TRUE(session_->CharacterDrill().Start(log));
    const unsigned char asked = Heard();
    {
        testing::FileSizeLimit full(0);  // an answer that cannot be stored is told of
        session_->CharacterDrill().Answer(asked, Now());
    }
    EXPECT_TRUE(log.lines.ends_with(", notices 1")) << log.lines;
    session_->CharacterDrill().Stop();
    EXPECT_EQ(std::pair(drill.Weight('U'), drill.Weight('A')), std::pair(1'000'000u, 0u));
}

// The sprint keys fifty calls, each at the speed the answers so far have earned, one repeat a
// call; at its end the run is stored, and its characters count as a check's. Calls never hold a
// character without a code.
TEST_F(TrainerSessionTest, SprintKeysEachCallAtItsEarnedSpeedAndStoresTheRun) {
    Open().SetSprintSpeed(96);
    std::ofstream("file") << "not a folder";
    session_->UseHistoryFile("file/history.sqlite");  // its notice told at the end, kept in memory
    session_->SeedRandom(3);
    DrillLog log;
    log.session = session_.get();
    ASSERT_TRUE(session_->Sprint().Start(log));
    EXPECT_TRUE(session_->Sprint().Repeat());
    EXPECT_FALSE(session_->Sprint().Repeat());
    for (int call = 0; call < progress::kSprintCalls; ++call) {
        const std::string sent(session_->Sprint().Sprint()->Call());
        if (call == 1) {  // heard to its end: the pause after the answer comes first
            queue_.RunUntil([this] { return !session_->DrillSounds().Busy(); });
            const std::vector<int16_t> played = audio_.PlayedSamples(0);
            const auto first =
                std::find_if(played.begin(), played.end(), [](int16_t v) { return v != 0; });
            EXPECT_NEAR(static_cast<double>(first - played.begin()), 300 * 8,
                        Keyer::kEnvelopeSamples);
        }
        session_->Sprint().Answer(call == 3 ? "X" : sent);
        if (call == 0) {  // the call and its repeat cut for the next call and its pad
            EXPECT_EQ(audio_.QueuedHeaders(), 2);
        }
        queue_.RunPending();
    }
    EXPECT_FALSE(session_->Sprint().Running());
    EXPECT_EQ(std::vector(log.speeds.begin(), log.speeds.begin() + 6),
              (std::vector{96, 98, 100, 100, 98, 100}));
    for (std::size_t i = 0; i < log.speeds.size(); ++i) {
        EXPECT_EQ(log.dots[i], 9600 / log.speeds[i]) << i;
    }
    ASSERT_EQ(log.calls.size(), 50u);
    EXPECT_TRUE(log.calls[0].repeated);
    const auto best = session_->History().BestSprintRuns(1);
    ASSERT_EQ(best.size(), 1u);
    EXPECT_EQ(log.lines, "finished " + std::to_string(best[0].Score()) + ", notices 1");
    EXPECT_EQ(std::tuple(best[0].calls, best[0].timeUnix), std::tuple(log.calls, 1'796'000'000));
    EXPECT_EQ(audio_.TotalWritten(), 2u * 51) << "each call and its repeat keyed with its pad";
    EXPECT_FALSE(session_->History().PairTotals(progress::Period::All).empty());

    // Stopped, a sprint neither repeats nor takes answers; a device that cannot open fails both.
    ASSERT_TRUE(session_->Sprint().Start(log));
    session_->Sprint().Stop();
    EXPECT_FALSE(session_->Sprint().Repeat() || session_->DrillSounds().Busy());
    session_->Sprint().Answer("X");
    audio_.FailOpens(audio::MMSYSERR_NODRIVER);
    session_->UseHistoryFile("file/history.sqlite");  // the history's notice first
    EXPECT_FALSE(session_->CharacterDrill().Start(log) || session_->Sprint().Start(log));
    EXPECT_EQ(std::tuple(log.calls.size(), log.lines.substr(log.lines.find(", "))),
              std::tuple(50u, ", notices 1, notices 1, failed 6, failed 6"));

    Random random(11);
    int suffixed = 0;
    for (const std::string& call : SprintCalls(ContactTexts(), random, 2000)) {
        suffixed += call.find('/') != std::string::npos;
        for (char c : call) {
            ASSERT_FALSE(MorseCode(static_cast<uint8_t>(c)).empty()) << call;
        }
    }
    EXPECT_GT(suffixed, 0);
}

// The key's time comes from its event's stamp, the monotonic clock's milliseconds cut to 32 bits;
// a stamp that cannot be one of the last ten seconds gives the present.
TEST_F(TrainerSessionTest, AKeyPressIsTimedByItsEventStampOrElseNow) {
    const SteadyTime now{std::chrono::milliseconds(0x1'2345'6789)};
    const std::pair<uint64_t, int64_t> cases[] = {
        {0x2345'6789, 0},         {0x2345'6700, 0x89}, {0x2345'6789 - 10000, 10000},
        {0x2345'6789 - 10001, 0}, {0x2345'6790, 0},    {0, 0}};
    for (auto [stamp, agoMs] : cases) {
        EXPECT_EQ(now - KeyPressTime(stamp, now), std::chrono::milliseconds(agoMs)) << stamp;
    }
    const SteadyTime wrapped{std::chrono::milliseconds(0x1'0000'0005)};
    EXPECT_EQ(wrapped - KeyPressTime(0xFFFF'FFFB, wrapped), std::chrono::milliseconds(10));
}

// The lesson tab's knowledge: a character is known at 19 right of its last 20 answers with a
// median under the target; all of the lesson known offers the next lesson, but not after the last.
TEST_F(TrainerSessionTest, TheDrillOffersTheNextLessonWhenEveryCharacterOfTheLessonIsKnown) {
    Open();
    std::vector<progress::DrillAnswer> answers;
    for (unsigned char c : {'K', 'M'}) {
        for (int i = 0; i < 20; ++i) {
            answers.push_back({1000 + i, 1000, c, c, true, 300 + i, 20});
        }
    }
    answers[20].right = false;
    session_->History().AppendDrillAnswers(answers);
    const auto knowledge = [this] {
        const LessonMastery m = session_->LessonKnowledge();
        std::string shown = m.characters + ':';
        for (bool known : m.known) {
            shown += known ? '+' : '-';
        }
        return shown + (m.earnsNextLesson ? " offer" : "");
    };
    EXPECT_EQ(knowledge(), "KM:++ offer");
    session_->SetResponseTarget(310);
    EXPECT_EQ(knowledge(), "KM:+-");  // K's median 309 is under it, M's 310 is not
    session_->SetResponseTarget(700);
    session_->History().AppendDrillAnswers({{2000, 2000, 'M', 'N', false, 300, 20}});
    EXPECT_EQ(knowledge(), "KM:++ offer");  // the older wrong answer is no longer of the last 20
    session_->History().AppendDrillAnswers({{2001, 2000, 'M', 0, false, 300, 20}});
    EXPECT_EQ(knowledge(), "KM:+-");
    session_->SetLesson(2);
    EXPECT_EQ(knowledge(), "KMU:+--");
    // The last lesson known whole offers nothing after it.
    session_->SetLesson(40);
    answers.clear();
    for (char c : progress::LessonCharacters(progress::KochAlphabet::Latin, 40)) {
        for (int i = 0; i < 20; ++i) {
            answers.push_back({3000 + i, 3000, uint8_t(c), uint8_t(c), true, 300, 20});
        }
    }
    session_->History().AppendDrillAnswers(answers);
    const LessonMastery last = session_->LessonKnowledge();
    EXPECT_EQ(
        std::tuple(std::count(last.known.begin(), last.known.end(), false), last.earnsNextLesson),
        std::tuple(std::ptrdiff_t{0}, false));
}

}  // namespace
}  // namespace vantrel
