#include "trainer/AudioExport.h"

#include <string_view>
#include <system_error>
#include <utility>

#include "platform/audio/WavWriter.h"
#include "platform/settings/AtomicFile.h"
#include "trainer/Limits.h"

namespace vantrel {

namespace {

std::string CannotWrite(const std::filesystem::path& file) {
    return "Не удалось сохранить файл «" + file.filename().string() + "» в папке «" +
           file.parent_path().string() +
           "». Проверьте, что папка существует, доступна для записи и на диске есть место. "
           "Ничего не записано.";
}

}  // namespace

AudioExport::AudioExport(const Keyer& keyer, std::string text)
    : keyer_(keyer), text_(std::move(text)) {
    std::size_t total = 0;
    for (char c : text_) {
        total += keyer_.CharacterSamples(static_cast<uint8_t>(c));
    }
    samples_.reserve(total);
}

bool AudioExport::RenderSome(std::size_t characters) {
    for (; characters > 0 && !Finished(); --characters, ++next_) {
        const auto c = static_cast<uint8_t>(text_[next_]);
        const std::size_t start = samples_.size();
        const std::size_t count = keyer_.CharacterSamples(c);
        samples_.resize(start + count);
        keyer_.RenderCharacter(samples_.data() + start, count, c);
    }
    return Finished();
}

std::vector<uint8_t> AudioExport::WavBytes() const {
    const audio::WaveFormat format = audio::WaveFormat::Pcm(1, limits::kKeyedSampleRate, 16);
    std::vector<uint8_t> pcm(samples_.size() * 2);
    for (std::size_t i = 0; i < samples_.size(); ++i) {
        const auto u = static_cast<uint16_t>(samples_[i]);
        pcm[2 * i] = static_cast<uint8_t>(u);
        pcm[2 * i + 1] = static_cast<uint8_t>(u >> 8);
    }
    return audio::WavWriter::Encode(format, pcm.data(), pcm.size());
}

std::filesystem::path ExportTextPath(const std::filesystem::path& wavPath) {
    std::filesystem::path text = wavPath;
    return text.replace_extension(".txt");
}

std::optional<std::string> WriteExport(const AudioExport& rendered,
                                       const std::filesystem::path& wavPath) {
    const std::filesystem::path textPath = ExportTextPath(wavPath);
    const std::vector<uint8_t> wav = rendered.WavBytes();
    const std::string_view wavBytes(reinterpret_cast<const char*>(wav.data()), wav.size());
    if (!settings::WriteFileAtomically(wavPath, wavBytes)) {
        return CannotWrite(wavPath);
    }
    if (!settings::WriteFileAtomically(textPath, rendered.Text())) {
        std::error_code ignored;
        std::filesystem::remove(wavPath, ignored);
        return CannotWrite(textPath);
    }
    return std::nullopt;
}

}  // namespace vantrel
