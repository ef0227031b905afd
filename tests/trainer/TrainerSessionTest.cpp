// The trainer session as the window drives it, without a window: the stored values through the
// one table, the copy check with everything it returns, and the texts it builds at Start and for
// export. The run itself is the engine's suite; the window's suite checks only the wiring.
#include "trainer/TrainerSession.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "platform/audio/VirtualWaveOut.h"
#include "platform/settings/MemorySettings.h"
#include "support/Cp1251.h"
#include "tests/support/FakeWindowGeometry.h"
#include "tests/support/TempFolder.h"
#include "tests/trainer/PlaybackStandIns.h"
#include "trainer/AudioExport.h"
#include "trainer/ManualNotificationQueue.h"

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
        session_->SetRandomSeed(seed);
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
               std::to_string(s.lesson) + ' ' + std::to_string(s.startDelay);
    }

    testing::WorkingFolder folder_;
    audio::VirtualWaveSystem audio_{audio::VirtualWaveSystem::Clock::Manual};
    ManualNotificationQueue queue_;
    test::KeptView view_;
    settings::MemorySettings store_;
    test::FakeWindow window_;
    std::unique_ptr<TrainerSession> session_;
};

// Missing values take their defaults and stored ones are brought into range, the lesson into its
// alphabet's; the keyer follows them; closing stores them all, below-range text type included.
TEST_F(TrainerSessionTest, StoredValuesAreReadIntoRangeAppliedAndWrittenBackWhole) {
    Open();
    EXPECT_EQ(Settings(), "12 0 0 8 0 0 1 0");
    EXPECT_EQ(std::tuple(session_->Keying().DotLength(), session_->Keying().VolumeLevel()),
              std::tuple(800, 8));
    EXPECT_TRUE(window_.calls.empty()) << "no record, nothing restored";

    for (auto [name, value] : {std::pair{"Speed", 50},
                               {"Spacing", -3},
                               {"Test", 9},
                               {"Pitch", 2},
                               {"Volume", 20},
                               {"KochAlphabet", 0},
                               {"Lesson", 45},
                               {"StartDelay", 7}}) {
        Put(name, value);
    }
    store_.Put(kSettingsKey, "Pitch", Value::String("12"));  // not a dword: the default
    Open();
    EXPECT_EQ(Settings(), "30 0 6 8 8 0 40 3");
    EXPECT_EQ(session_->Keying().ToneFrequency(), 800);

    Put("Test", -5);
    Put("KochAlphabet", 1);
    Put("Lesson", 45);
    Open();
    EXPECT_EQ(Settings(), "30 0 -1 8 8 1 45 3");
    session_->SetSpeed(20);
    session_->SaveSettings(window_);
    for (auto [name, value] : {std::pair{"Speed", 20u}, {"Test", 0xFFFFFFFFu}, {"Pitch", 8u}}) {
        EXPECT_EQ(store_.Get(kSettingsKey, name), Value::Dword(value)) << name;
    }
    EXPECT_TRUE(store_.Get(kSettingsKey, kWindowPosSetting).has_value());
    Open();
    EXPECT_EQ(Settings(), "20 0 -1 8 8 1 45 3");
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
    session_->SetRandomSeed(7);
    session_->Start("cq test");
    queue_.RunUntil([this] { return session_->Engine().DoneCount() >= 7; });
    session_->Pause();
    PlayToClose();
    std::size_t heard = 0;  // the samples of the characters before the one cut off
    const std::string keyed = session_->Engine().KeyedText();
    for (char c : keyed.substr(0, keyed.size() - 1)) {
        heard += session_->Keying().CharacterSamples(static_cast<uint8_t>(c));
    }
    session_->Pause();
    PlayToClose();

    const std::vector<int16_t> exported = Exported(7, "cq test");
    EXPECT_NE(Exported(8, "cq test"), exported);
    const std::vector<int16_t> first = audio_.PlayedSamples(0);
    const std::vector<int16_t> resumed = audio_.PlayedSamples(1);
    ASSERT_GE(first.size(), heard);
    EXPECT_TRUE(std::equal(first.begin(), first.begin() + heard, exported.begin()));
    const std::size_t rest = std::min(resumed.size(), exported.size() - heard);
    EXPECT_GT(rest, 8000u);
    EXPECT_TRUE(std::equal(resumed.begin(), resumed.begin() + rest, exported.begin() + heard));

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
    session_->SetRandomSeed(9);
    Run("e");
    const std::vector<int16_t> delayed = audio_.PlayedSamples(3);
    const std::vector<int16_t> delayedExport = Exported(9, "e");
    ASSERT_GT(delayedExport.size(), 8000u + 9600u);
    EXPECT_TRUE(std::equal(delayedExport.begin(), delayedExport.begin() + 17600, delayed.begin()));
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
    EXPECT_EQ(outcome.message, "Количество ошибок:1. Оценка: 4. Нормально:)");
    EXPECT_FALSE(outcome.logError || outcome.historyNotice || outcome.offeredLesson);
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
                   entries[0].settings.pitchHz, entries[0].charactersRight, entries[0].blocksWrong,
                   entries[0].pairs.size()),
        std::tuple(1'796'000'000, 3, 20, 800, 9, 1, outcome.comparison.pairs.size()));

    // The text type and lesson at the time of the check decide the offer.
    session_->SetTextType(TextType::Lesson);
    EXPECT_EQ(session_->Check("KMKMK MKMM").offeredLesson, 2);
    EXPECT_NE(session_->Check("KMKMK MKMM").offerMessage.find("к уроку 2"), std::string::npos);
    EXPECT_FALSE(session_->Check("KMKMK MK").offeredLesson);  // 7 of 10
    session_->SetLesson(40);
    EXPECT_FALSE(session_->Check("KMKMK MKMKM").offeredLesson);  // no lesson after the last
}

// Start and export build the chosen text from the typed text and the settings, or say why not.
TEST_F(TrainerSessionTest, StartAndExportBuildTheChosenTextOrSayWhyNot) {
    Open().SetTextType(TextType::File);
    session_->Start("");
    EXPECT_EQ(view_.status, "Не выбран файл!");
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

}  // namespace
}  // namespace vantrel
