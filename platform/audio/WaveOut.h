// The wave output contract shared by the keying path and the interference outputs.
//
// A WaveOutSystem enumerates output devices and opens streams on them; a WaveOut is one open
// stream. The caller owns every WaveHeader and the samples it points to; the stream plays the
// written headers gaplessly in write order and hands each one back with a Done notification.
//
// Notifications (Open, Done, Close) arrive on a thread of the backend's own, never inside the
// call that caused them, and in the order they were produced. The notification routine may call
// back into the stream (write, reset, close) but must not destroy it; after the Close
// notification has been delivered no further notification arrives for that stream.
// Destroying a stream closes it if needed, drops the notifications not yet delivered and
// returns only when no notification routine of it is running or will run; it must not be done
// from inside that stream's notification routine, nor while holding a lock that the routine
// takes.
//
// Headers play in write order without gaps between them; a stream whose queue ran dry plays
// silence and stays open, and a header written later plays from where the written sound ended.
// Reset and Close return every queued header, each with its own Done, in write order, before
// anything later (such as Close). On a closed stream Write, Pause, Restart, Reset and
// GetPosition answer MMSYSERR_INVALHANDLE; Prepare and Unprepare only mark the header and always
// work.
//
// Every operation returns a multimedia result code (see MMResult below); 0 is success.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vantrel::audio {

using MMResult = uint32_t;

// Multimedia result codes used by the backends.
inline constexpr MMResult MMSYSERR_NOERROR = 0;
inline constexpr MMResult MMSYSERR_ERROR = 1;
inline constexpr MMResult MMSYSERR_BADDEVICEID = 2;
inline constexpr MMResult MMSYSERR_ALLOCATED = 4;
inline constexpr MMResult MMSYSERR_INVALHANDLE = 5;
inline constexpr MMResult MMSYSERR_NODRIVER = 6;
inline constexpr MMResult MMSYSERR_NOMEM = 7;
inline constexpr MMResult MMSYSERR_INVALPARAM = 11;
inline constexpr MMResult WAVERR_BADFORMAT = 32;
inline constexpr MMResult WAVERR_STILLPLAYING = 33;
inline constexpr MMResult WAVERR_UNPREPARED = 34;

// The system's default output device.
inline constexpr int WAVE_MAPPER = -1;

// PCM stream description, laid out like the 18-byte WAVEFORMATEX record.
struct WaveFormat {
    uint16_t formatTag = 1;  // PCM
    uint16_t channels = 1;
    uint32_t samplesPerSec = 8000;
    uint32_t avgBytesPerSec = 16000;
    uint16_t blockAlign = 2;
    uint16_t bitsPerSample = 16;
    uint16_t extraSize = 0;

    static WaveFormat Pcm(uint16_t channels, uint32_t rate, uint16_t bits) {
        WaveFormat f;
        f.channels = channels;
        f.samplesPerSec = rate;
        f.bitsPerSample = bits;
        f.blockAlign = static_cast<uint16_t>(bits / 8 * channels);
        f.avgBytesPerSec = f.blockAlign * rate;
        return f;
    }
};

// True for PCM with 1 to 8 channels of 8 or 16 bits, a rate of 1000 to 384000 samples per
// second and block alignment and byte rate that agree with them. Backends answer
// WAVERR_BADFORMAT for anything else.
bool IsValidPcm(const WaveFormat& format);

// A device's product name as the capability record holds it: at most 31 bytes, cut on a UTF-8
// character boundary.
std::string CutDeviceName(const std::string& name);

// Message numbers of the notifications.
enum class WaveMessage : uint32_t { Open = 0x3BB, Close = 0x3BC, Done = 0x3BD };

// One caller-owned buffer. The stream reads `data[0 .. length)` while the header is queued.
struct WaveHeader {
    const uint8_t* data = nullptr;
    uint32_t length = 0;  // bytes to play
    uintptr_t user = 0;   // caller's own value, untouched by the backend
    // Backend bookkeeping; callers leave these alone.
    bool prepared = false;
    bool queued = false;
};

// Called on the backend's notification thread. `header` is the returned header for Done,
// nullptr for Open and Close.
using WaveCallback = std::function<void(WaveMessage message, WaveHeader* header)>;

// The header bookkeeping every backend does under its stream's own lock, with the result codes
// that Prepare, Unprepare and Write promise below.
MMResult MarkPrepared(WaveHeader* header);
MMResult MarkUnprepared(WaveHeader* header);
// MMSYSERR_NOERROR when `header` may be queued on a stream that is open (`closed` false).
MMResult CheckWritable(const WaveHeader* header, bool closed);

class WaveOut {
  public:
    virtual ~WaveOut() = default;

    // Marks a header usable for Write. MMSYSERR_INVALPARAM for nullptr.
    virtual MMResult Prepare(WaveHeader* header) = 0;
    // Releases the preparation; WAVERR_STILLPLAYING while the header is queued.
    virtual MMResult Unprepare(WaveHeader* header) = 0;
    // Queues a prepared header behind the ones already queued. WAVERR_UNPREPARED when not
    // prepared, WAVERR_STILLPLAYING when already queued, MMSYSERR_INVALPARAM for nullptr or
    // missing data. A trailing partial frame is not played.
    virtual MMResult Write(WaveHeader* header) = 0;
    // Stops the clock of the stream; queued headers stay queued.
    virtual MMResult Pause() = 0;
    virtual MMResult Restart() = 0;
    // Stops playback at once and returns every queued header, each with its Done notification.
    virtual MMResult Reset() = 0;
    // Closes the stream (returning anything still queued first) and posts Close. Closing an
    // already closed stream is harmless and returns MMSYSERR_NOERROR.
    virtual MMResult Close() = 0;
    // How far the stream has played: the frames of written headers that have reached the
    // listener, counted from the open or the last Reset. Silence played while the queue ran dry
    // does not count, so a header that ends at frame F of everything written has been heard
    // whole once the position reaches F; the position stands still while paused. Cheap, and
    // never waits for the device or the server (not even a hung one), so the owner may ask as
    // often as it likes. MMSYSERR_INVALPARAM for nullptr, MMSYSERR_INVALHANDLE once closed.
    virtual MMResult GetPosition(uint64_t* frames) = 0;
};

class WaveOutSystem {
  public:
    virtual ~WaveOutSystem() = default;

    virtual int DeviceCount() = 0;
    // Product name of device `index`, at most 31 characters; empty for an invalid index.
    virtual std::string DeviceName(int index) = 0;
    // Opens device `deviceId` (or WAVE_MAPPER) for `format`. On success `*stream` holds the
    // open stream and an Open notification follows; on failure `*stream` stays empty and no
    // notification follows.
    virtual MMResult Open(int deviceId, const WaveFormat& format, WaveCallback callback,
                          std::unique_ptr<WaveOut>* stream) = 0;
};

}  // namespace vantrel::audio
