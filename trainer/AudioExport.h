// Practice to take away: a practice text rendered through the keyer into a WAV file (8000
// samples per second, mono, 16-bit), with the text beside it as a Windows-1251 .txt file.
//
// The rendering goes a few characters at a time, so that a window can show its progress and
// stop it between two steps; it keeps a copy of the keyer, so the settings in force when the
// export began hold to its end whatever the learner changes meanwhile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "trainer/Keyer.h"

namespace vantrel {

class AudioExport {
  public:
    // `text`: Windows-1251, keyed character by character as the playback engine keys it (no
    // start delay).
    AudioExport(const Keyer& keyer, std::string text);

    // Renders up to `characters` more characters; true once the whole text is rendered.
    bool RenderSome(std::size_t characters);
    bool Finished() const { return next_ >= text_.size(); }
    std::size_t RenderedCharacters() const { return next_; }
    const std::string& Text() const { return text_; }
    const std::vector<int16_t>& Samples() const { return samples_; }
    // The whole WAV file of what has been rendered.
    std::vector<uint8_t> WavBytes() const;

  private:
    Keyer keyer_;
    std::string text_;
    std::size_t next_ = 0;
    std::vector<int16_t> samples_;
};

// The text file that goes beside `wavPath`: the same name with the extension ".txt".
std::filesystem::path ExportTextPath(const std::filesystem::path& wavPath);

// Writes the WAV to `wavPath` and the text to ExportTextPath(wavPath), each through a temporary
// file renamed into place. When either fails, neither file of this export is left (a file of
// that name from before stays only when its replacement was never written) and the result is
// the message for the learner (UTF-8, Russian); otherwise nothing.
std::optional<std::string> WriteExport(const AudioExport& rendered,
                                       const std::filesystem::path& wavPath);

}  // namespace vantrel
