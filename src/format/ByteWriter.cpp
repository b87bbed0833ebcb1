#include "format/ByteWriter.h"

#include <algorithm>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace {

// Buffers from this size on are aligned to and advised for 2 MiB pages.
constexpr std::size_t kHugePage = std::size_t{2} << 20;

}  // namespace

void* allocateOutputBuffer(std::size_t bytes) {
    if (bytes < kHugePage) return ::operator new(bytes);
    void* p = ::operator new (bytes, std::align_val_t{kHugePage});
#ifdef __linux__
    madvise(p, bytes, MADV_HUGEPAGE);  // advice only: failure changes nothing
#endif
    return p;
}

void releaseOutputBuffer(void* p, std::size_t bytes) noexcept {
    if (bytes < kHugePage)
        ::operator delete(p);
    else
        ::operator delete (p, std::align_val_t{kHugePage});
}

void ByteWriter::reserve(std::size_t bytes) {
    if (failed_ || bytes <= buffer_.size()) return;
    const std::size_t capped = std::min(bytes, limit_);
    try {
        buffer_.resize(capped);
    } catch (const std::bad_alloc&) {
        return;  // only a hint: writing still grows step by step
    }
    end_ = buffer_.size();
}

bool ByteWriter::grow(std::size_t count) {
    if (failed_) return false;
    if (count > limit_ - pos_) {
        fail();
        return false;
    }
    const std::size_t needed = pos_ + count;
    std::size_t capacity = std::max<std::size_t>(buffer_.size(), 4096);
    while (capacity < needed) capacity = capacity > limit_ / 2 ? limit_ : capacity * 2;
    // The buffer never extends past the limit, so room() alone refuses writes beyond it.
    capacity = std::min(capacity, limit_);
    try {
        buffer_.resize(capacity);
    } catch (const std::bad_alloc&) {
        fail();
        return false;
    }
    end_ = buffer_.size();
    return true;
}

void ByteWriter::fail() {
    failed_ = true;
    end_ = pos_;
}

void ByteWriter::f32s(const float* values, std::size_t count) {
    if (!room(4 * count)) return;
    unsigned char* p = buffer_.data() + pos_;
    for (std::size_t i = 0; i < count; ++i) {
        uint32_t bits;
        std::memcpy(&bits, values + i, sizeof bits);
        store32(p + 4 * i, bits);
    }
    pos_ += 4 * count;
}

void ByteWriter::bytes(const void* data, std::size_t count) {
    if (count == 0 || !room(count)) return;
    std::memcpy(buffer_.data() + pos_, data, count);
    pos_ += count;
}

void ByteWriter::zeros(std::size_t count) {
    if (count == 0 || !room(count)) return;
    std::memset(buffer_.data() + pos_, 0, count);
    pos_ += count;
}

void ByteWriter::countedString(std::string_view text) {
    const std::size_t length = std::min(text.size(), kMaxCountedText);
    if (!room(2 + length + 1)) return;
    u16(static_cast<uint16_t>(length + 1));
    bytes(text.data(), length);
    buffer_[pos_++] = 0;
}

void ByteWriter::patch(std::size_t offset, const void* data, std::size_t count) {
    if (failed_) return;
    if (offset > pos_ || count > pos_ - offset) {
        fail();
        return;
    }
    std::memcpy(buffer_.data() + offset, data, count);
}

std::vector<unsigned char> ByteWriter::release() {
    std::vector<unsigned char> out(buffer_.data(), buffer_.data() + pos_);
    buffer_ = {};
    pos_ = 0;
    end_ = 0;
    return out;
}
