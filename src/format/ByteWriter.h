#pragma once

// An in-memory little-endian output stream that remembers its first failure.
//
// Writers issue their writes as straight lists and check ok() once per section: after a
// failure every further write is a no-op. Positions are u32 because every offset and size
// field of the format is; a write that would take the stream past `limit` bytes fails.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

// Memory for large output buffers: on systems that support it, asks for huge pages, since
// first-touch page faults are a large part of the cost of writing tens of megabytes.
void* allocateOutputBuffer(std::size_t bytes);
void releaseOutputBuffer(void* p, std::size_t bytes) noexcept;

// Leaves new elements uninitialised: the writer fills every byte it hands out, so zeroing
// a large buffer first (and touching all its pages) would only cost time.
template <class T>
struct DefaultInitAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = DefaultInitAllocator<U>;
    };
    DefaultInitAllocator() = default;
    template <class U>
    DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) { return static_cast<T*>(allocateOutputBuffer(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) noexcept { releaseOutputBuffer(p, n * sizeof(T)); }
    template <class U>
    void construct(U* p) noexcept(std::is_nothrow_default_constructible<U>::value) {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

class ByteWriter {
  public:
    static constexpr std::size_t kDefaultLimit = std::numeric_limits<uint32_t>::max();
    // Longest text a counted string can hold: its u16 length also counts the terminator.
    static constexpr std::size_t kMaxCountedText = 0xFFFE;

    explicit ByteWriter(std::size_t limit = kDefaultLimit) : limit_(limit) {}

    // Sizes the buffer for `bytes` in one step (a hint; writing more still works). Room that
    // is never written costs no memory pages, so a generous upper bound is the right hint.
    void reserve(std::size_t bytes);

    void u16(uint16_t value) {
        if (!room(2)) return;
        unsigned char* p = buffer_.data() + pos_;
        p[0] = static_cast<unsigned char>(value);
        p[1] = static_cast<unsigned char>(value >> 8);
        pos_ += 2;
    }
    void u32(uint32_t value) {
        if (!room(4)) return;
        store32(buffer_.data() + pos_, value);
        pos_ += 4;
    }
    void i32(int32_t value) { u32(static_cast<uint32_t>(value)); }
    void f32(float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        u32(bits);
    }
    // `count` floats one after the other.
    void f32s(const float* values, std::size_t count);
    void bytes(const void* data, std::size_t count);

    // Room for `count` bytes at the current position, which the caller fills completely with
    // put32() before the next write; null once the stream has failed. Lets a record of known
    // size be written with one capacity check.
    unsigned char* claim(std::size_t count) {
        if (!room(count)) return nullptr;
        unsigned char* p = buffer_.data() + pos_;
        pos_ += count;
        return p;
    }
    // Stores a u32/i32/f32 at `p` (a pointer returned by claim) and returns the next position.
    static unsigned char* put32(unsigned char* p, uint32_t value) {
        store32(p, value);
        return p + 4;
    }
    static unsigned char* put32(unsigned char* p, int32_t value) {
        return put32(p, static_cast<uint32_t>(value));
    }
    static unsigned char* put32(unsigned char* p, float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return put32(p, bits);
    }
    void zeros(std::size_t count);

    // u16 length L (text bytes plus the terminator), the text, one zero byte. Text longer
    // than kMaxCountedText is cut there. An empty text is L = 1 and a single zero byte.
    void countedString(std::string_view text);

    // Overwrites bytes written earlier (the header, once the sections are known). Fails the
    // stream when the range has not been written yet.
    void patch(std::size_t offset, const void* data, std::size_t count);

    // Current stream position: the offset the next write lands at.
    uint32_t position() const { return static_cast<uint32_t>(pos_); }
    std::size_t size() const { return pos_; }
    bool ok() const { return !failed_; }
    const unsigned char* data() const { return buffer_.data(); }

    // A copy of the written bytes (exactly size() of them); the writer is empty afterwards.
    std::vector<unsigned char> release();

  private:
    static void store32(unsigned char* p, uint32_t v) {
        p[0] = static_cast<unsigned char>(v);
        p[1] = static_cast<unsigned char>(v >> 8);
        p[2] = static_cast<unsigned char>(v >> 16);
        p[3] = static_cast<unsigned char>(v >> 24);
    }
    // True when `count` more bytes fit (growing the buffer if needed); false once failed.
    bool room(std::size_t count) { return count <= end_ - pos_ || grow(count); }
    bool grow(std::size_t count);
    void fail();

    // buffer_.size() is the capacity in use; pos_ the written length. end_ is the usable end,
    // set to pos_ on failure so that every later write goes through grow() and is refused.
    std::vector<unsigned char, DefaultInitAllocator<unsigned char>> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::size_t limit_;
    bool failed_ = false;
};
