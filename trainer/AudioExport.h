// Practice to take away: a practice text rendered through the keyer into a WAV file (8000
// samples per second, mono, 16-bit), with the text beside it as a Windows-1251 .txt file.
//
// The rendering goes a few characters at a time, so that a window can show its progress and
// stop it between two steps. The samples go straight to a temporary file beside the target, so
// a long text needs no more memory than a short one; only Commit puts the WAV and the text in
// place, and a failure or an abandoned export leaves neither of them. The export keeps a copy of
// the keyer, so the settings in force when it began hold to its end.
//
// With a band, the samples go through it as a run's do (RenderKeyed), the start delay's
// `leadIn` samples first, so the file sounds as a run of the same text and seed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/files/ReplaceFile.h"
#include "trainer/KeyedSound.h"
#include "trainer/Keyer.h"

namespace vantrel {

// Why an export wrote nothing, for the window to word: the text is too long for one WAV file
// ("Текст слишком длинный ... Сохраните его частями."), or `file` could not be written ("Не
// удалось сохранить файл «name» в папке «folder». ...").
struct AudioExportError {
    enum class Kind { TooLong, NotWritten } kind = Kind::NotWritten;
    std::filesystem::path file;

    friend bool operator==(const AudioExportError&, const AudioExportError&) = default;
};

class AudioExport {
  public:
    // `text`: Windows-1251, keyed character by character as the playback engine keys it (no
    // start delay without a band).
    AudioExport(const Keyer& keyer, std::string text, KeyedBand band = {}, std::size_t leadIn = 0);
    // Removes the temporary file of an export that was not committed.
    ~AudioExport();
    AudioExport(const AudioExport&) = delete;
    AudioExport& operator=(const AudioExport&) = delete;

    // Starts the WAV file for `wavPath` (a temporary file beside it). Returns what went wrong on
    // failure, or when the text would not fit one WAV file.
    std::optional<AudioExportError> Begin(const std::filesystem::path& wavPath);
    // Renders up to `characters` more characters into the file; true once the whole text is
    // rendered (or writing has failed, which Commit reports).
    bool RenderSome(std::size_t characters);
    // Puts the WAV at the path given to Begin and the text at ExportTextPath of it. On failure
    // neither is left (a file of that name from before stays) and the result says so.
    std::optional<AudioExportError> Commit();
    // Drops the export: the temporary file goes, nothing is written.
    void Abandon();

    bool Finished() const { return next_ >= text_.size(); }
    std::size_t RenderedCharacters() const { return next_; }
    const std::string& Text() const { return text_; }
    // Samples of the whole text.
    uint64_t TotalSamples() const { return totalSamples_; }

  private:
    bool WriteSamples(const int16_t* samples, std::size_t count);

    Keyer keyer_;
    std::string text_;
    // The band as it begins, and as it goes on in the file being written.
    KeyedBand startingBand_;
    KeyedBand band_;
    std::size_t leadIn_;
    uint64_t totalSamples_ = 0;
    std::size_t next_ = 0;
    std::filesystem::path target_;
    files::PendingFile wav_;
    bool writeFailed_ = false;
    std::vector<int16_t> character_;
    std::string bytes_;
};

// The text file that goes beside `wavPath`: the same name with the extension ".txt".
std::filesystem::path ExportTextPath(const std::filesystem::path& wavPath);

}  // namespace vantrel
