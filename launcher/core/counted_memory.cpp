#include "counted_memory.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace pantrix {
namespace {

std::atomic<long long> bytes_held{0};

// Every block starts with its size, so that CountedFree knows what to subtract. The header is
// as large as max_align_t to keep the caller's part aligned.
constexpr size_t kHeaderSize = alignof(std::max_align_t) > sizeof(size_t)
                                   ? alignof(std::max_align_t)
                                   : sizeof(size_t);

}  // namespace

void* CountedAlloc(size_t size) {
    if (size > static_cast<size_t>(-1) - kHeaderSize) std::exit(1);
    auto* block = static_cast<unsigned char*>(std::malloc(kHeaderSize + size));
    if (!block) std::exit(1);
    std::memcpy(block, &size, sizeof(size));
    bytes_held += static_cast<long long>(size);
    return block + kHeaderSize;
}

void CountedFree(void* pointer) {
    if (!pointer) return;
    unsigned char* block = static_cast<unsigned char*>(pointer) - kHeaderSize;
    size_t size = 0;
    std::memcpy(&size, block, sizeof(size));
    bytes_held -= static_cast<long long>(size);
    std::free(block);
}

long long CountedBytesHeld() {
    return bytes_held.load();
}

CountedBuffer::CountedBuffer(size_t size)
    : data_(static_cast<char*>(CountedAlloc(size))), size_(size) {}

CountedBuffer::CountedBuffer(CountedBuffer&& other) noexcept
    : data_(other.data_), size_(other.size_) {
    other.data_ = nullptr;
    other.size_ = 0;
}

CountedBuffer& CountedBuffer::operator=(CountedBuffer&& other) noexcept {
    if (this != &other) {
        reset();
        data_ = other.data_;
        size_ = other.size_;
        other.data_ = nullptr;
        other.size_ = 0;
    }
    return *this;
}

CountedBuffer::~CountedBuffer() {
    reset();
}

void CountedBuffer::reset() {
    CountedFree(data_);
    data_ = nullptr;
    size_ = 0;
}

CountedBuffer CopyText(const char* text, size_t length) {
    CountedBuffer copy(length + 1);
    if (length) std::memcpy(copy.get(), text, length);
    copy.get()[length] = '\0';
    return copy;
}

}  // namespace pantrix
