// The trainer session as the window drives it, without a window: the stored values through the
// one table, the copy check with everything it returns, and the texts it builds at Start and for
// export. The run itself is the engine's suite; the window's suite checks only the wiring.
#include "trainer/TrainerSession.h"

#include <gtest/gtest.h>

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
    std::string Settings() {
        const TrainerSettings& s = session_->Settings();
        return std::to_string(s.speed) + ' ' + std::to_string(s.spacing) + ' ' +
               std::to_string(s.textType) + ' ' + std::to_string(s.pitch) + ' ' +
               std::to_string(s.volume) + ' ' + std::to_string(s.kochAlphabet) + ' ' +
               std::to_string(s.lesson) + ' ' + std::to_string(s.startDelay) + ' ' +
               std::to_string(s.language);
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
    EXPECT_EQ(Settings(), "12 0 0 8 0 0 1 0 0");
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
                               {"StartDelay", 7},
                               {"Language", 5}}) {
        Put(name, value);
    }
    store_.Put(kSettingsKey, "Pitch", Value::String("12"));  // not a dword: the default
    Open();
    EXPECT_EQ(Settings(), "30 0 7 8 8 0 40 3 1");
    EXPECT_EQ(session_->Keying().ToneFrequency(), 800);

    Put("Test", -5);
    Put("KochAlphabet", 1);
    Put("Lesson", 45);
    Open();
    EXPECT_EQ(Settings(), "30 0 -1 8 8 1 45 3 1");
    session_->SetSpeed(20);
    session_->SetLanguage(Language::Russian);
    session_->SaveSettings(window_);
    for (auto [name, value] :
         {std::pair{"Speed", 20u}, {"Test", 0xFFFFFFFFu}, {"Pitch", 8u}, {"Language", 0u}}) {
        EXPECT_EQ(store_.Get(kSettingsKey, name), Value::Dword(value)) << name;
    }
    EXPECT_TRUE(store_.Get(kSettingsKey, kWindowPosSetting).has_value());
    Open();
    EXPECT_EQ(Settings(), "20 0 -1 8 8 1 45 3 0");
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
                   entries[0].settings.pitchHz, entries[0].charactersRight, entries[0].blocksWrong,
                   entries[0].pairs.size()),
        std::tuple(1'796'000'000, 3, 20, 800, 9, 1, outcome.comparison.pairs.size()));

    // The text type and lesson at the time of the check decide the offer.
    session_->SetTextType(TextType::Lesson);
    EXPECT_EQ(session_->Check("KMKMK MKMM").offeredLesson, 2);
    EXPECT_FALSE(session_->Check("KMKMK MK").offeredLesson);  // 7 of 10
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

}  // namespace
}  // namespace vantrel
