#include "signal/SLBuffers.h"

#include <cstring>

namespace vantrel::signal {

TSLSmartBuffer::TSLSmartBuffer(size_t bytes) : size_(bytes), data_(new uint8_t[bytes]()) {}

std::shared_ptr<TSLSmartBuffer> TSLSmartBuffer::Clone() const {
    auto copy = std::make_shared<TSLSmartBuffer>(size_);
    if (size_ > 0) {
        std::memcpy(copy->data_.get(), data_.get(), size_);
    }
    return copy;
}

TSLGenericBuffer::TSLGenericBuffer(size_t bytes)
    : TSLGenericBuffer(std::make_shared<TSLSmartBuffer>(bytes)) {}

TSLGenericBuffer::TSLGenericBuffer(std::shared_ptr<TSLSmartBuffer> block)
    : block_(block ? std::move(block) : std::make_shared<TSLSmartBuffer>(0)) {
    block_->AddHolder();
}

TSLGenericBuffer::~TSLGenericBuffer() {
    block_->RemoveHolder();
}

size_t TSLGenericBuffer::ByteSize() const {
    std::lock_guard lock(mutex_);
    return block_->Size();
}

std::shared_ptr<TSLSmartBuffer> TSLGenericBuffer::SharedBlock() const {
    std::lock_guard lock(mutex_);
    return block_;
}

std::shared_ptr<ISLDataAccess> TSLGenericBuffer::DataAccess() {
    return std::make_shared<TSLDataAccess>(shared_from_this());
}

const uint8_t* TSLGenericBuffer::ReadPointer() const {
    std::lock_guard lock(mutex_);
    return block_->Data();
}

uint8_t* TSLGenericBuffer::WritePointer() {
    std::lock_guard lock(mutex_);
    if (!block_->IsUnique()) {
        // Another buffer reads this block: switch to a private copy and leave it theirs.
        auto copy = block_->Clone();
        copy->AddHolder();
        block_->RemoveHolder();
        block_ = std::move(copy);
    }
    return block_->Data();
}

bool TSLGenericBuffer::IsShared() const {
    std::lock_guard lock(mutex_);
    return !block_->IsUnique();
}

namespace {

class TSLBlockDataAccess final : public TSLDataAccess, public ISLBlockDataAccess {
  public:
    using TSLDataAccess::TSLDataAccess;

    const int16_t* ReadSamples() const override {
        return reinterpret_cast<const int16_t*>(ReadPointer());
    }
    int16_t* WriteSamples() override { return reinterpret_cast<int16_t*>(WritePointer()); }
    size_t SampleCount() const override { return ByteSize() / sizeof(int16_t); }
};

}  // namespace

std::shared_ptr<TSLBlockBuffer> TSLBlockBuffer::Create(size_t bytes) {
    return std::make_shared<TSLBlockBuffer>(Key{}, bytes);
}

std::shared_ptr<TSLBlockBuffer> TSLBlockBuffer::CreateFrom(const ISLDataBuffer& source) {
    return std::make_shared<TSLBlockBuffer>(Key{}, source.SharedBlock());
}

std::shared_ptr<ISLBlockDataAccess> TSLBlockBuffer::BlockAccess() {
    return std::make_shared<TSLBlockDataAccess>(shared_from_this());
}

TSLDataAccess::TSLDataAccess(std::shared_ptr<TSLGenericBuffer> buffer)
    : buffer_(std::move(buffer)) {}

const uint8_t* TSLDataAccess::ReadPointer() const {
    return buffer_->ReadPointer();
}

uint8_t* TSLDataAccess::WritePointer() {
    return buffer_->WritePointer();
}

size_t TSLDataAccess::ByteSize() const {
    return buffer_->ByteSize();
}

void TSLDataAccess::ZeroFill() {
    Fill(0);
}

void TSLDataAccess::Fill(uint8_t value) {
    const size_t size = ByteSize();
    if (size > 0) {
        std::memset(WritePointer(), value, size);
    }
}

}  // namespace vantrel::signal
