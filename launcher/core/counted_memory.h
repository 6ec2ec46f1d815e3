#pragma once

// The launcher's own allocations, counted so that the exit log can say how many bytes are
// still held ("C.exit(%d) [m=%d]"). Allocation failure is not an error path: the launcher
// works with a few kilobytes plus the section table, and a failed allocation ends the
// process at once with code 1 (there is no sensible message to show without memory).
#include <cstddef>

namespace pantrix {

void* CountedAlloc(size_t size);
void CountedFree(void* block);
// Bytes currently held through CountedAlloc.
long long CountedBytesHeld();

// A counted block of bytes, freed when it goes out of scope.
class CountedBuffer {
  public:
    CountedBuffer() = default;
    explicit CountedBuffer(size_t size);
    CountedBuffer(const CountedBuffer&) = delete;
    CountedBuffer& operator=(const CountedBuffer&) = delete;
    CountedBuffer(CountedBuffer&& other) noexcept;
    CountedBuffer& operator=(CountedBuffer&& other) noexcept;
    ~CountedBuffer();

    char* get() const { return data_; }
    unsigned char* bytes() const { return reinterpret_cast<unsigned char*>(data_); }
    size_t size() const { return size_; }
    bool empty() const { return data_ == nullptr; }
    void reset();

  private:
    char* data_ = nullptr;
    size_t size_ = 0;
};

// A zero-terminated counted copy of text[0..length).
CountedBuffer CopyText(const char* text, size_t length);

}  // namespace pantrix
