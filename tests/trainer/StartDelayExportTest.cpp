// The start delay on the virtual device, and the export of a practice text as a WAV file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/audio/VirtualWaveOut.h"
#include "trainer/AudioExport.h"
#include "trainer/ManualNotificationQueue.h"
#include "trainer/PlaybackEngine.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

struct SilentView : PlaybackView {
    void SetStatusText(const std::string&) override {}
    void SetStartEnabled(bool) override {}
    void SetPauseEnabled(bool) override {}
    void SetPauseCaption(const std::string&) override {}
    void SetCheckEnabled(bool) override {}
    void ShowKeyedText(const std::string&, int) override {}
    void ClearKeyedText() override {}
    void ShowWarning(const std::string& text) override { ADD_FAILURE() << text; }
};

struct TextHost : PlaybackHost {
    std::string text;
    void ApplyTiming() override {}
    bool BuildPracticeText(std::string& out, int32_t& cursor) override {
        out = text, cursor = 1;
        return true;
    }
};

class StartDelayExportTest : public testing::Test {
  protected:
    StartDelayExportTest() {
        keyer.SetSpeed(3);
        keyer.SetSpacing(7);
        keyer.SetVolumePosition(0);
        folder = fs::temp_directory_path() / ("vantrel-export-" + std::to_string(::getpid()));
        fs::create_directories(folder);
    }
    ~StartDelayExportTest() override { fs::remove_all(folder); }

    std::vector<int16_t> Rendered(const std::string& text) {
        std::vector<int16_t> all;
        std::vector<int16_t> one(Keyer::kMaxCharacterSamples);
        for (char c : text) {
            const int bytes = keyer.RenderCharacter(one.data(), one.size(), c);
            all.insert(all.end(), one.begin(), one.begin() + bytes / 2);
        }
        return all;
    }
    static std::string Read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    Keyer keyer;
    fs::path folder;
};

TEST_F(StartDelayExportTest, FirstToneSampleComesExactlyAfterTheDelay) {
    audio::VirtualWaveSystem device(audio::VirtualWaveSystem::Clock::Manual);
    ManualNotificationQueue queue([&] { device.Advance(800); });
    SilentView view;
    TextHost host;
    host.text = "0E ";  // "0" at 3 groups per minute and spacing 7: the longest character
    PlaybackEngine engine(keyer, device, queue, view, host);
    engine.SetStartDelay(3);
    engine.StartBtnClick();
    queue.RunUntil([&] { return engine.DeviceClosed(); });

    const std::vector<int16_t> played = device.PlayedSamples(0);
    const std::vector<int16_t> expected = Rendered("0E");
    ASSERT_GE(played.size(), 24000 + expected.size());
    EXPECT_EQ(std::vector<int16_t>(played.begin(), played.begin() + 24000),
              std::vector<int16_t>(24000, 0));
    EXPECT_EQ(
        std::vector<int16_t>(played.begin() + 24000, played.begin() + 24000 + expected.size()),
        expected);
}

TEST_F(StartDelayExportTest, ExportedWavHoldsTheKeyersSamplesAndTheTextLiesBeside) {
    keyer.SetSpeed(12);
    keyer.SetSpacing(1);
    const std::string text = "\xC6\xC6\xC6 = PARIS 12345\r\n ";
    AudioExport rendering(keyer, text);
    keyer.SetSpeed(30);  // the export keeps the settings it began with
    while (!rendering.RenderSome(3)) {
    }
    const fs::path wav = folder / "practice.wav";
    ASSERT_EQ(WriteExport(rendering, wav), std::nullopt);

    keyer.SetSpeed(12);
    const std::vector<int16_t> expected = Rendered(text);
    std::string pcm;
    for (int16_t sample : expected) {
        pcm += {static_cast<char>(sample & 0xFF), static_cast<char>(sample >> 8)};
    }
    const std::string bytes = Read(wav);
    // PCM, mono, 8000 samples per second, 16000 bytes per second, 2-byte frames, 16 bits.
    EXPECT_EQ(bytes.substr(20, 16), std::string("\1\0\1\0\x40\x1f\0\0\x80\x3e\0\0\2\0\x10\0", 16));
    EXPECT_TRUE(bytes.substr(44) == pcm) << "the samples differ";
    EXPECT_EQ(Read(folder / "practice.txt"), text);
}

TEST_F(StartDelayExportTest, UnwritableTargetLeavesNothingBehind) {
    AudioExport rendering(keyer, "E ");
    rendering.RenderSome(10);
    std::ofstream(folder / "file") << "x";
    const std::optional<std::string> error = WriteExport(rendering, folder / "file" / "a.wav");
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find("Не удалось сохранить файл «a.wav»"), std::string::npos) << *error;

    // The text cannot take its place: the WAV written just before goes again.
    fs::create_directory(folder / "b.txt");
    EXPECT_TRUE(WriteExport(rendering, folder / "b.wav").has_value());
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
    EXPECT_FALSE(fs::exists(folder / "b.wav"));
}

}  // namespace
}  // namespace vantrel
