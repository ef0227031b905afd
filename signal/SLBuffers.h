// Reference-counted data buffers that share their memory until written.
//
// A TSLSmartBuffer is a fixed-size byte block. Buffers (TSLGenericBuffer and descendants) hold
// one block each; a buffer created from another shares the other's block without copying, and a
// buffer about to be written first takes a private copy if its block is shared, so writing
// through one buffer never changes another. Buffers and access objects are handled through
// std::shared_ptr: whoever drops the last reference frees them.
//
// Threads: any thread may create, share, read and release buffers. A pointer obtained for
// writing stays private to its buffer only until that buffer is shared again; do not write
// through it after handing the buffer on.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <utility>

namespace vantrel::signal {

// A fixed-size heap block with a count of the buffers that use it as their data.
class TSLSmartBuffer {
  public:
    explicit TSLSmartBuffer(size_t bytes);

    TSLSmartBuffer(const TSLSmartBuffer&) = delete;
    TSLSmartBuffer& operator=(const TSLSmartBuffer&) = delete;

    size_t Size() const { return size_; }
    uint8_t* Data() { return data_.get(); }
    const uint8_t* Data() const { return data_.get(); }

    // A new block of the same size and contents.
    std::shared_ptr<TSLSmartBuffer> Clone() const;

    // Fewer than two buffers hold the block.
    bool IsUnique() const { return holders_.load(std::memory_order_acquire) < 2; }
    int Holders() const { return holders_.load(std::memory_order_acquire); }
    void AddHolder() { holders_.fetch_add(1, std::memory_order_acq_rel); }
    void RemoveHolder() { holders_.fetch_sub(1, std::memory_order_acq_rel); }

  private:
    size_t size_;
    std::unique_ptr<uint8_t[]> data_;
    std::atomic<int> holders_{0};
};

// Byte access to a buffer's data.
class ISLDataAccess {
  public:
    virtual ~ISLDataAccess() = default;
    // The current data, without copying.
    virtual const uint8_t* ReadPointer() const = 0;
    // Makes the buffer's block private first if it is shared, then returns its data.
    virtual uint8_t* WritePointer() = 0;
    virtual size_t ByteSize() const = 0;
    virtual void ZeroFill() = 0;
    virtual void Fill(uint8_t value) = 0;
};

// Access to a block of signed 16-bit samples.
class ISLBlockDataAccess : public virtual ISLDataAccess {
  public:
    virtual const int16_t* ReadSamples() const = 0;
    virtual int16_t* WriteSamples() = 0;
    virtual size_t SampleCount() const = 0;  // ByteSize() / 2
};

class ISLDataBuffer {
  public:
    virtual ~ISLDataBuffer() = default;
    virtual size_t ByteSize() const = 0;
    // The memory block currently behind the buffer, for buffers created from this one.
    virtual std::shared_ptr<TSLSmartBuffer> SharedBlock() const = 0;
    virtual std::shared_ptr<ISLDataAccess> DataAccess() = 0;
};

class ISLBlockBuffer : public virtual ISLDataBuffer {
  public:
    virtual std::shared_ptr<ISLBlockDataAccess> BlockAccess() = 0;
};

// The block-sharing core of every buffer: holds one smart buffer and makes it private before
// a write.
class TSLGenericBuffer : public virtual ISLDataBuffer,
                         public std::enable_shared_from_this<TSLGenericBuffer> {
  public:
    ~TSLGenericBuffer() override;

    TSLGenericBuffer(const TSLGenericBuffer&) = delete;
    TSLGenericBuffer& operator=(const TSLGenericBuffer&) = delete;

    size_t ByteSize() const override;
    std::shared_ptr<TSLSmartBuffer> SharedBlock() const override;
    std::shared_ptr<ISLDataAccess> DataAccess() override;

    const uint8_t* ReadPointer() const;
    uint8_t* WritePointer();
    // Another buffer holds this buffer's block too.
    bool IsShared() const;

  protected:
    explicit TSLGenericBuffer(size_t bytes);
    explicit TSLGenericBuffer(std::shared_ptr<TSLSmartBuffer> block);

  private:
    mutable std::mutex mutex_;
    std::shared_ptr<TSLSmartBuffer> block_;
};

// A buffer over a plain heap block, such as a generator's work buffer.
class TSLBlockBuffer final : public TSLGenericBuffer, public ISLBlockBuffer {
    struct Key {};

  public:
    static std::shared_ptr<TSLBlockBuffer> Create(size_t bytes);
    // Shares the block of `source`.
    static std::shared_ptr<TSLBlockBuffer> CreateFrom(const ISLDataBuffer& source);

    TSLBlockBuffer(Key, size_t bytes) : TSLGenericBuffer(bytes) {}
    TSLBlockBuffer(Key, std::shared_ptr<TSLSmartBuffer> block)
        : TSLGenericBuffer(std::move(block)) {}

    std::shared_ptr<ISLBlockDataAccess> BlockAccess() override;
};

// The access object of a generic buffer; descendants add typed views.
class TSLDataAccess : public virtual ISLDataAccess {
  public:
    explicit TSLDataAccess(std::shared_ptr<TSLGenericBuffer> buffer);

    const uint8_t* ReadPointer() const override;
    uint8_t* WritePointer() override;
    size_t ByteSize() const override;
    void ZeroFill() override;
    void Fill(uint8_t value) override;

  protected:
    TSLGenericBuffer& Buffer() const { return *buffer_; }

  private:
    std::shared_ptr<TSLGenericBuffer> buffer_;
};

}  // namespace vantrel::signal
