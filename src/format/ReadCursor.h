#pragma once

// The one type that reads bytes out of a file image. Every primitive read checks the
// bytes that remain; a short read returns false, leaves the position where it was and
// records the first failure (offset, section, what was expected) so that a caller can say
// exactly where a file goes wrong. Nothing else indexes the image.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

// Where and why reading stopped.
struct ReadFailure {
    std::size_t offset = 0;  // byte offset in the image being read
    std::string section;     // e.g. "materials"
    std::string expected;    // e.g. "4 bytes (2 remain)"
    bool set = false;
};

class ReadCursor {
  public:
    ReadCursor() = default;
    ReadCursor(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    // A cursor over [position(), position() + length) of the same image, at the same
    // position, so that a reader of one chunk cannot run past the chunk's end. Offsets stay
    // those of the whole image. `length` must not exceed remaining().
    ReadCursor part(std::size_t length) const {
        ReadCursor sub(data_, pos_ + length);
        sub.pos_ = pos_;
        sub.section_ = section_;
        return sub;
    }

    std::size_t size() const { return size_; }
    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return size_ - pos_; }
    bool atEnd() const { return pos_ == size_; }

    // Moves to an absolute position inside the image (the end included).
    bool seek(std::size_t position) {
        if (position > size_) return failNeed(position - pos_);
        pos_ = position;
        return true;
    }
    bool skip(std::size_t count) {
        if (count > remaining()) return failNeed(count);
        pos_ += count;
        return true;
    }

    bool u16(uint16_t& out) {
        if (remaining() < 2) {
            out = 0;
            return failNeed(2);
        }
        out = static_cast<uint16_t>(data_[pos_] | data_[pos_ + 1] << 8);
        pos_ += 2;
        return true;
    }
    bool u32(uint32_t& out) {
        if (remaining() < 4) {
            out = 0;
            return failNeed(4);
        }
        out = load32(data_ + pos_);
        pos_ += 4;
        return true;
    }
    bool i32(int32_t& out) {
        uint32_t v;
        const bool ok = u32(v);
        out = static_cast<int32_t>(v);
        return ok;
    }
    bool f32(float& out) {
        uint32_t v;
        const bool ok = u32(v);
        std::memcpy(&out, &v, sizeof out);
        return ok;
    }
    // `count` consecutive f32 values.
    bool f32s(float* out, std::size_t count) {
        if (count > remaining() / 4) return failNeed(count * 4);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        std::memcpy(out, data_ + pos_, count * 4);
#else
        for (std::size_t i = 0; i < count; ++i) {
            const uint32_t v = load32(data_ + pos_ + 4 * i);
            std::memcpy(out + i, &v, sizeof v);
        }
#endif
        pos_ += count * 4;
        return true;
    }
    // `count` consecutive 32-bit words (signed or not) into 32-bit integers.
    template <class Int>
    bool words(Int* out, std::size_t count) {
        static_assert(sizeof(Int) == 4, "32-bit words only");
        if (count > remaining() / 4) return failNeed(count * 4);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        std::memcpy(out, data_ + pos_, count * 4);
#else
        for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<Int>(load32(data_ + pos_ + 4 * i));
#endif
        pos_ += count * 4;
        return true;
    }
    bool bytes(void* out, std::size_t count) {
        if (count > remaining()) return failNeed(count);
        if (count) std::memcpy(out, data_ + pos_, count);
        pos_ += count;
        return true;
    }
    // Hands out a pointer to the next `count` bytes (valid while the image lives) and moves past them.
    bool view(std::size_t count, const unsigned char*& out) {
        if (count > remaining()) {
            out = nullptr;
            return failNeed(count);
        }
        out = data_ + pos_;
        pos_ += count;
        return true;
    }
    // A counted string: u16 byte length, then that many bytes, handed out as a view.
    bool countedBytes(const unsigned char*& text, std::size_t& length) {
        const std::size_t start = pos_;
        uint16_t l = 0;
        if (!u16(l)) return false;
        if (!view(l, text)) {
            pos_ = start;
            return false;
        }
        length = l;
        return true;
    }

    // A signed count of records of at least `minRecordBytes` each: fails when negative or
    // when that many records could not fit in the bytes that remain. Call it before sizing
    // anything from the count.
    bool count(int32_t& out, std::size_t minRecordBytes, const char* what) {
        const std::size_t at = pos_;
        if (!i32(out)) return false;
        if (out < 0) return failAt(at, std::string("a non-negative ") + what);
        return fits(static_cast<uint64_t>(out), minRecordBytes, what, at);
    }
    // An unsigned section count word; it must also fit in a signed 32-bit array count.
    bool sectionCount(uint32_t& out, std::size_t minRecordBytes, const char* what) {
        const std::size_t at = pos_;
        if (!u32(out)) return false;
        if (out > 0x7FFFFFFFu) return failAt(at, std::string("a ") + what + " below 2^31");
        return fits(out, minRecordBytes, what, at);
    }
    // True when `count` records of `minRecordBytes` fit in what remains.
    bool fits(uint64_t count, uint64_t minRecordBytes, const char* what, std::size_t at) {
        // Divided rather than multiplied: a product of two large stored values could wrap.
        if (minRecordBytes == 0 || count <= remaining() / minRecordBytes) return true;
        return failAt(at, std::string("room for ") + std::to_string(count) + " " + what + " of at least " +
                              std::to_string(minRecordBytes) + " bytes (" + std::to_string(remaining()) +
                              " bytes remain)");
    }

    // Names the part of the file being read; failures are reported against it.
    void setSection(const char* section) {
        section_ = section;
    }
    const char* section() const {
        return section_;
    }
    // Records a failure at `offset` unless one is recorded already; always returns false.
    bool failAt(std::size_t offset, const std::string& expected);
    bool fail(const std::string& expected) {
        return failAt(pos_, expected);
    }
    // Takes over a failure recorded by a cursor over part of the same image.
    bool adoptFailure(const ReadFailure& failure) {
        if (!failure_.set && failure.set) failure_ = failure;
        return false;
    }
    const ReadFailure& failure() const {
        return failure_;
    }
    bool failed() const {
        return failure_.set;
    }

  private:
    static uint32_t load32(const unsigned char* p) {
        return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
               static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    }
    bool failNeed(std::size_t count);

    const unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t pos_ = 0;
    const char* section_ = "header";
    ReadFailure failure_;
};
