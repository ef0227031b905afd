// The export of a practice text as a WAV file with the text beside it.
#include <gtest/gtest.h>

#include "platform/audio/WavWriter.h"
#include "tests/support/TempFolder.h"
#include "trainer/AudioExport.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

class AudioExportTest : public ::testing::Test {
  protected:
    AudioExportTest() { keyer.SetVolumePosition(0); }

    std::vector<int16_t> Rendered(const std::string& text) {
        std::vector<int16_t> all;
        std::vector<int16_t> one(Keyer::kMaxCharacterSamples);
        for (char c : text) {
            const int bytes = keyer.RenderCharacter(one.data(), one.size(), c);
            all.insert(all.end(), one.begin(), one.begin() + bytes / 2);
        }
        return all;
    }
    static std::optional<AudioExportError> Export(AudioExport& rendering, const fs::path& wav) {
        if (std::optional<AudioExportError> error = rendering.Begin(wav)) {
            return error;
        }
        while (!rendering.RenderSome(3)) {
        }
        return rendering.Commit();
    }
    static std::string Read(const fs::path& file) { return testing::ReadWholeFile(file); }

    Keyer keyer;
    testing::TempFolder temp;
    const fs::path folder = temp.Path();
};

TEST_F(AudioExportTest, ExportedWavHoldsTheKeyersSamplesAndTheTextLiesBeside) {
    keyer.SetSpeed(12);
    keyer.SetSpacing(1);
    const std::string text = "\xC6\xC6\xC6 = PARIS 12345\r\n ";
    AudioExport rendering(keyer, text);
    keyer.SetSpeed(30);  // the export keeps the settings it began with
    const fs::path wav = folder / "practice.wav";
    ASSERT_EQ(Export(rendering, wav), std::nullopt);

    keyer.SetSpeed(12);
    const std::vector<int16_t> expected = Rendered(text);
    std::string pcm;
    for (int16_t sample : expected) {
        pcm += {static_cast<char>(sample & 0xFF), static_cast<char>(sample >> 8)};
    }
    const std::vector<uint8_t> file =
        audio::WavWriter::Encode(audio::WaveFormat::Pcm(1, 8000, 16),
                                 reinterpret_cast<const uint8_t*>(pcm.data()), pcm.size());
    EXPECT_TRUE(Read(wav) == std::string(file.begin(), file.end())) << "the WAV differs";
    EXPECT_EQ(Read(folder / "practice.txt"), text);
}

TEST_F(AudioExportTest, UnwritableTargetLeavesNothingBehind) {
    AudioExport rendering(keyer, "E ");
    testing::WriteWholeFile(folder / "file", "x");
    EXPECT_EQ(Export(rendering, folder / "file" / "a.wav"),
              (AudioExportError{AudioExportError::Kind::NotWritten, folder / "file" / "a.wav"}));

    // The text cannot take its place: the WAV is not put in place either. An abandoned export
    // leaves nothing.
    fs::create_directory(folder / "b.txt");
    EXPECT_TRUE(Export(rendering, folder / "b.wav").has_value());
    rendering.Begin(folder / "c.wav");  // abandoned
    rendering.Abandon();
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
    EXPECT_FALSE(fs::exists(folder / "b.wav"));
}

}  // namespace
}  // namespace vantrel
