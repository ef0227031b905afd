// Records a PulseAudio sink's monitor with parec (a child process writing raw mono s16le to a
// temporary file), for the end-to-end sound tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/types.h>

namespace vantrel::audio::test {

class MonitorCapture {
  public:
    static constexpr double kRate = 22050;

    explicit MonitorCapture(const std::string& sink);
    ~MonitorCapture();
    MonitorCapture(const MonitorCapture&) = delete;
    MonitorCapture& operator=(const MonitorCapture&) = delete;

    // Waits until parec delivers data; false when it cannot record.
    bool WaitUntilRecording();
    // Bytes recorded so far, as samples.
    std::size_t SamplesSoFar() const;
    // Ends the recording and returns it.
    std::vector<int16_t> Stop();

  private:
    std::filesystem::path path_;
    pid_t pid_ = -1;
    bool started_ = false;
};

}  // namespace vantrel::audio::test
