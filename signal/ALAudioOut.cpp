#include "signal/ALAudioOut.h"

#include <algorithm>
#include <mutex>
#include <utility>

#include "signal/ALAudioBuffer.h"
#include "signal/OWLocks.h"

namespace vantrel::signal {

// ---------------------------------------------------------------------------------------------
// TSLOperationList

TSLOperationList::TSLOperationList(TOWObject* lock)
    : ownLock_(lock ? nullptr : std::make_unique<TOWObject>()), lock_(lock ? *lock : *ownLock_) {}

int TSLOperationList::Append(TOWOperationPtr operation, bool keepNewestOnly) {
    TOWWriteLockSection section(lock_);
    operations_.push_back(std::move(operation));
    if (keepNewestOnly) {
        while (operations_.size() > 1) {
            operations_.pop_front();
        }
    }
    return static_cast<int>(operations_.size());
}

int TSLOperationList::InsertFront(TOWOperationPtr operation) {
    TOWWriteLockSection section(lock_);
    operations_.push_front(std::move(operation));
    return static_cast<int>(operations_.size());
}

TOWOperationPtr TSLOperationList::TakeFirst() {
    TOWWriteLockSection section(lock_);
    if (operations_.empty()) {
        return nullptr;
    }
    TOWOperationPtr first = std::move(operations_.front());
    operations_.pop_front();
    return first;
}

int TSLOperationList::Count() const {
    TOWWriteLockSection section(lock_);
    return static_cast<int>(operations_.size());
}

// ---------------------------------------------------------------------------------------------
// TALAudioOut

audio::WaveFormat TALAudioOut::ProbeFormat() {
    return audio::WaveFormat::Pcm(1, 11025, 16);
}

TALAudioOut::TALAudioOut(audio::WaveOutSystem& system, std::string name, bool designMode)
    : TOWComponent(std::move(name)),
      system_(system),
      params_(TALAudioParams::Create()),
      device_(this, system),
      inputPin_(this, "InputPin",
                TOWSinkPin::Handler([this](TOWSinkPin&, const TOWOperationPtr& operation) {
                    return InputPinOperation(operation);
                })),
      enablePin_(
          this, "EnablePin", [this](TOWBoolStatePin&, bool value) { SetEnabled(value); }, true),
      operations_(&inputPin_) {
    SetDesignMode(designMode);
    if (!designMode) {
        notifyThread_ =
            std::make_unique<TSLNotifyThread>([this](TSLNotifyThread&) { NotifyRoutine(); });
    }
}

TALAudioOut::~TALAudioOut() {
    destroying_ = true;
    inputPin_.Disconnect();
    // The notify thread goes first, so no close or hand-on of waiting operations it may be
    // running overlaps the final close.
    if (notifyThread_) {
        notifyThread_->StopThread();
    }
    CloseDevice(true);
    notifyThread_.reset();
}

void TALAudioOut::SetEnabled(bool enabled) {
    if (enabled_.load() != enabled) {
        enabled_ = enabled;
    }
}

bool TALAudioOut::Opened() const {
    std::lock_guard lock(*params_);
    return params_->Opened();
}

bool TALAudioOut::Idle() const {
    {
        std::lock_guard lock(*params_);
        if (params_->Opened() || closing_ || closeRequested_ || handingOn_) {
            return false;
        }
    }
    return operations_.Count() == 0;
}

bool TALAudioOut::PumpMaster() const {
    std::lock_guard lock(*params_);
    return params_->PumpMaster();
}

std::size_t TALAudioOut::QueuedBuffers() const {
    std::lock_guard lock(*params_);
    return params_->Buffers().size();
}

bool TALAudioOut::DeviceFailed() const {
    std::lock_guard lock(*params_);
    return deviceFailed_;
}

bool TALAudioOut::MayProcessNow() const {
    if (!resumed_.load()) {
        return true;
    }
    std::lock_guard lock(*params_);
    return params_->Buffers().size() <= 1;
}

bool TALAudioOut::InputPinOperation(const TOWOperationPtr& operation) {
    if (operation->Is<TOWPumpRequestOperation>()) {
        // The source reads the answer as soon as the send returns, so a request is answered
        // at once even while blocks of an earlier stream are still waiting.
        HandleOperation(operation);
        return false;
    }
    if (operation->Is<TOWEndStopOperation>()) {
        std::lock_guard lock(*params_);
        claimedSinceEndStop_ = false;
    }
    operations_.Append(operation, false);
    // Everything that may go through now does: a list that holds more than the new operation
    // (left over from a stream that ended, or the start of a stream behind one) never stalls.
    while (MayProcessNow() && ProcessNextOperation()) {
    }
    return false;
}

bool TALAudioOut::ProcessNextOperation() {
    TOWOperationPtr operation;
    bool handled = false;
    int pumps = 0;
    {
        TOWWriteLockSection section(inputPin_);
        operation = operations_.TakeFirst();
        if (operation) {
            handled = HandleOperation(operation, &pumps);
        }
    }
    // Pumps take the source's lock, which a source sending to the input holds before the input
    // pin's: so they are made after the input pin's lock is released. (Inside a send the
    // sender still holds both, in that order.)
    for (int i = 0; i < pumps; ++i) {
        Pump();
    }
    return handled;
}

bool TALAudioOut::HandleOperation(const TOWOperationPtr& operation, int* deferredPumps) {
    if (const auto* start = operation->As<TOWStartWaveOperation>()) {
        bool wait = false;
        {
            std::lock_guard lock(*params_);
            wait = params_->Opened() || closeRequested_ || closing_ || destroying_.load();
            if (!wait) {
                resumed_ = false;
            }
        }
        if (wait) {
            // The previous stream is still open or closing: wait at the front.
            operations_.InsertFront(operation);
            return false;
        }
        OpenDevice(start->Format);
        return true;
    }
    if (operation->Is<TOWStartPumpOperation>()) {
        int pumps = 0;
        if (PumpMaster() && EnableMasterPumping()) {
            pumps = PreFillEnabled() ? (Resumed() ? 3 : 4) : 1;
        }
        if (deferredPumps) {
            *deferredPumps = pumps;
        } else {
            for (int i = 0; i < pumps; ++i) {
                Pump();
            }
        }
        return true;
    }
    if (operation->Is<TOWStopOperation>()) {
        if (operation->Is<TOWEndStopOperation>()) {
            {
                std::lock_guard lock(*params_);
                closeRequested_ = true;
            }
            if (notifyThread_) {
                notifyThread_->Signal();
            }
        }
        return true;
    }
    if (operation->Is<TOWSLResumeOperation>()) {
        resumed_ = true;
        std::lock_guard lock(*params_);
        if (waveOut_) {
            waveOut_->Restart();
        }
        return true;
    }
    if (auto* request = operation->As<TOWPumpRequestOperation>()) {
        if (EnableMasterPumping()) {
            ClaimPumpMaster(*request);
        }
        return true;
    }
    if (const auto* supplied = operation->As<TOWSuppliedBufferOperation>()) {
        if (supplied->Buffer) {
            WriteBuffer(TALAudioBuffer::CreateFrom(*supplied->Buffer));
        }
        return true;
    }
    return true;
}

void TALAudioOut::ClaimPumpMaster(TOWPumpRequestOperation& request) {
    if (request.ClaimLevel == TOWPumpRequestOperation::kClaimed &&
        request.Priority >= PumpPriority()) {
        return;  // an output of at least equal priority claimed it first
    }
    std::unique_ptr<audio::WaveOut> probe;
    const audio::MMResult result = system_.Open(
        ResolveDeviceId(device_), ProbeFormat(),
        [](audio::WaveMessage message, audio::WaveHeader* header) {
            WaveOutProc(nullptr, message, nullptr, header);
        },
        &probe);
    std::lock_guard lock(*params_);
    if (result == audio::MMSYSERR_NOERROR && probe) {
        request.Pumper = this;
        request.Priority = PumpPriority();
        request.ClaimLevel = TOWPumpRequestOperation::kClaimed;
        params_->SetPumpMaster(true);
        claimedSinceEndStop_ = true;
        probe->Close();
        probe.reset();
    } else {
        params_->SetPumpMaster(false);
    }
}

void TALAudioOut::Pump() {
    inputPin_.NotifyUpstream(std::make_shared<TOWMasterPumpOperation>(this));
}

void TALAudioOut::OpenDevice(const TALWaveFormat& format) {
    if (Opened()) {
        CloseDevice(false);
    }
    std::lock_guard lock(*params_);
    params_->SetOpened(true);
    waveThread_ = std::make_unique<TALWaveThread>(
        [this](audio::WaveMessage message, audio::WaveOut* device, audio::WaveHeader* header) {
            WaveMessage(message, device, header);
        });
    // The stream handle is known only once the open returns; notifications read it here.
    auto handle = std::make_shared<std::atomic<audio::WaveOut*>>(nullptr);
    TALWaveThread* instance = waveThread_.get();
    const audio::MMResult result = system_.Open(
        ResolveDeviceId(device_), format.ToDeviceFormat(),
        [handle, instance](audio::WaveMessage message, audio::WaveHeader* header) {
            WaveOutProc(handle->load(std::memory_order_acquire), message, instance, header);
        },
        &waveOut_);
    if (result != audio::MMSYSERR_NOERROR || !waveOut_) {
        // Nothing will play: buffers are dropped until the end stop closes the stream.
        waveOut_.reset();
        deviceFailed_ = true;
        return;
    }
    deviceFailed_ = false;
    handle->store(waveOut_.get(), std::memory_order_release);
    waveOut_->Pause();
}

void TALAudioOut::CloseDevice(bool clearMaster) {
    audio::WaveOut* device = nullptr;
    TALWaveThread* thread = nullptr;
    {
        std::lock_guard lock(*params_);
        closeRequested_ = false;
        if (!params_->Opened()) {
            return;
        }
        closing_ = true;
        thread = waveThread_.get();
        thread->Lock();
        thread->ClearQueue();
        // A claim made for a newer stream after the end stop arrived keeps the role.
        if (clearMaster && !claimedSinceEndStop_) {
            params_->SetPumpMaster(false);
        }
        thread->Unlock();
        params_->SetOpened(false);
        device = waveOut_.get();
    }
    if (device) {
        device->Reset();
    }
    thread->StopThread();

    std::lock_guard lock(*params_);
    for (auto& buffer : params_->Buffers()) {
        buffer->Device()->Unprepare(&buffer->Header());
    }
    params_->Buffers().clear();
    if (waveOut_) {
        waveOut_->Close();
        waveOut_.reset();
    }
    waveThread_.reset();
    deviceFailed_ = false;
    closing_ = false;
}

void TALAudioOut::WriteBuffer(std::shared_ptr<TALAudioBuffer> buffer) {
    if (!Enabled() || !buffer) {
        return;
    }
    std::lock_guard lock(*params_);
    // Nothing is queued at a device that is closing or failed to open, so no buffer is ever
    // freed while a device still holds it.
    if (!params_->Opened() || !waveOut_) {
        return;
    }
    auto wave = std::make_unique<TALWaveBuffer>(waveOut_.get(), buffer);
    auto writer = buffer->AudioAccess();
    writer->WriteData();  // the device reads these samples: the block must be the buffer's own
    auto reader = buffer->AudioAccess();
    wave->SetSamples(reader->Data(), static_cast<uint32_t>(reader->DataBytes()));
    audio::WaveHeader* header = &wave->Header();
    waveOut_->Prepare(header);
    params_->Buffers().push_back(std::move(wave));
    // Written under the lock: a close that begins now finds the buffer queued and the reset
    // returns it.
    waveOut_->Write(header);
}

void TALAudioOut::WaveOutProc(audio::WaveOut* device, audio::WaveMessage message,
                              TALWaveThread* instance, audio::WaveHeader* parameter) {
    if (instance) {
        instance->QueueMessage(device, message, parameter);
    }
}

void TALAudioOut::WaveMessage(audio::WaveMessage message, audio::WaveOut* device,
                              audio::WaveHeader* parameter) {
    TOWGlobalReadLockSection section;
    if (message == audio::WaveMessage::Done) {
        BufferDone(device, parameter);
    }
}

void TALAudioOut::BufferDone(audio::WaveOut* device, audio::WaveHeader* header) {
    (void)device;  // each wave buffer knows the device it was queued on
    {
        std::unique_lock lock(*params_);
        if (!params_->Opened()) {
            return;  // closing: the close disposes of the buffer
        }
        if (params_->PumpMaster()) {
            lock.unlock();
            Pump();
            lock.lock();
        }
        auto& buffers = params_->Buffers();
        auto found = std::find_if(buffers.begin(), buffers.end(), [header](const auto& buffer) {
            return &buffer->Header() == header;
        });
        if (found != buffers.end()) {
            (*found)->Device()->Unprepare(header);
            buffers.erase(found);
        }
    }
    // One waiting operation goes through, normally the block just pumped. When it does not
    // queue a block (a resume, a start pump, an end stop), the next one follows while the
    // device is short of blocks: otherwise the list would stall with the device drained, and
    // an end stop behind it would never close the stream.
    while (ProcessNextOperation() && MayProcessNow()) {
    }
}

void TALAudioOut::NotifyRoutine() {
    {
        std::lock_guard lock(*params_);
        handingOn_ = true;
    }
    CloseDevice(true);
    ProcessWaitingOperations();
    std::lock_guard lock(*params_);
    handingOn_ = false;
}

void TALAudioOut::ProcessWaitingOperations() {
    if (destroying_.load()) {
        return;
    }
    // Exclusive like a source's start: nothing else reaches the output while the waiting start
    // of the next stream opens its device and pulls its first blocks here. Each operation is
    // handled without the input pin's lock, so the source's lock is taken first, as on every
    // other path that pumps.
    TOWGlobalWriteLockSection section;
    while (!destroying_.load() && MayProcessNow()) {
        TOWOperationPtr operation = operations_.TakeFirst();
        if (!operation || !HandleOperation(operation)) {
            break;
        }
    }
}

}  // namespace vantrel::signal
