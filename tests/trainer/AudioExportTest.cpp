// The export of a practice text as a WAV file with the text beside it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "trainer/AudioExport.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

class AudioExportTest : public testing::Test {
  protected:
    AudioExportTest() {
        keyer.SetVolumePosition(0);
        folder = fs::temp_directory_path() / ("vantrel-export-" + std::to_string(::getpid()));
        fs::create_directories(folder);
    }
    ~AudioExportTest() override { fs::remove_all(folder); }

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

TEST_F(AudioExportTest, ExportedWavHoldsTheKeyersSamplesAndTheTextLiesBeside) {
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

TEST_F(AudioExportTest, UnwritableTargetLeavesNothingBehind) {
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
