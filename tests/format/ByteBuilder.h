#pragma once

// A small little-endian byte builder for hand-built test files. Tests describe a file
// field by field with it, independently of the writers under test, so that a reader test
// never passes merely because writer and reader share a mistake.

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

class ByteBuilder {
  public:
    ByteBuilder& u8(uint8_t v) {
        bytes_.push_back(v);
        return *this;
    }
    ByteBuilder& u16(uint16_t v) {
        u8(static_cast<uint8_t>(v));
        return u8(static_cast<uint8_t>(v >> 8));
    }
    ByteBuilder& u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) u8(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
    ByteBuilder& i32(int32_t v) { return u32(static_cast<uint32_t>(v)); }
    ByteBuilder& f32(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        return u32(bits);
    }
    ByteBuilder& f32s(std::initializer_list<float> values) {
        for (float v : values) f32(v);
        return *this;
    }
    ByteBuilder& vec3(float x, float y, float z) { return f32(x).f32(y).f32(z); }
    ByteBuilder& rgba(float r, float g, float b, float a) { return f32(r).f32(g).f32(b).f32(a); }
    ByteBuilder& zeros(std::size_t count) {
        bytes_.insert(bytes_.end(), count, 0);
        return *this;
    }
    ByteBuilder& raw(const void* data, std::size_t count) {
        const auto* p = static_cast<const unsigned char*>(data);
        bytes_.insert(bytes_.end(), p, p + count);
        return *this;
    }
    ByteBuilder& raw(const std::vector<unsigned char>& data) { return raw(data.data(), data.size()); }
    ByteBuilder& text(const std::string& s) { return raw(s.data(), s.size()); }

    // Counted 8-bit string: u16 length counting the terminator, the bytes, a zero byte.
    ByteBuilder& str8(const std::string& s) {
        u16(static_cast<uint16_t>(s.size() + 1));
        return text(s).u8(0);
    }
    // Counted UTF-16LE string of ASCII or 16-bit units: u16 byte length counting a
    // two-byte terminator, then the units.
    ByteBuilder& str16(const std::u16string& s) {
        u16(static_cast<uint16_t>(2 * (s.size() + 1)));
        for (char16_t c : s) u16(static_cast<uint16_t>(c));
        return u16(0);
    }
    // The string form the version calls for: UTF-16 for versions 10 and 32 onwards.
    ByteBuilder& str(const std::string& s, uint32_t version) {
        if (version == 10 || version >= 32) return str16(std::u16string(s.begin(), s.end()));
        return str8(s);
    }

    // The default transform block: identity rotation, zero translation, unit scale,
    // identity 4x4 matrix, quaternion (0,0,0,1), Euler angles 0.
    ByteBuilder& transform(float tx = 0, float ty = 0, float tz = 0) {
        f32s({1, 0, 0, 0, 1, 0, 0, 0, 1});
        vec3(tx, ty, tz).vec3(1, 1, 1);
        f32s({1, 0, 0, tx, 0, 1, 0, ty, 0, 0, 1, tz, 0, 0, 0, 1});
        f32s({0, 0, 0, 1});
        return vec3(0, 0, 0);
    }

    void patchU32(std::size_t offset, uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes_[offset + i] = static_cast<uint8_t>(v >> (8 * i));
    }
    uint32_t readU32(std::size_t offset) const {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | bytes_[offset + i];
        return v;
    }

    // A chunk: tag, a length patched by endChunk(), the payload.
    std::size_t beginChunk(uint32_t tag) {
        u32(tag);
        const std::size_t at = bytes_.size();
        u32(0);
        return at;
    }
    void endChunk(std::size_t lengthAt) {
        patchU32(lengthAt, static_cast<uint32_t>(bytes_.size() - lengthAt - 4));
    }

    std::size_t size() const { return bytes_.size(); }
    const std::vector<unsigned char>& bytes() const { return bytes_; }
    std::vector<unsigned char>& bytes() { return bytes_; }

  private:
    std::vector<unsigned char> bytes_;
};

// Writes a zlib stream of `inner` with zlib itself (not the code under test).
inline std::vector<unsigned char> zlibStream(const std::vector<unsigned char>& inner) {
    uLongf capacity = compressBound(static_cast<uLong>(inner.size()));
    std::vector<unsigned char> out(capacity);
    compress(out.data(), &capacity, inner.data(), static_cast<uLong>(inner.size()));
    out.resize(capacity);
    return out;
}

// A compressed wrapper around a sectioned inner file: magic, version 8, flags 0x12, the
// inner length, then the inner header's remaining bytes up to headerBytes, so that the
// slot at offset 20 (stream offset) is overwritten with headerBytes, then the stream.
inline std::vector<unsigned char> wrapSectioned(const std::vector<unsigned char>& inner,
                                                std::size_t headerBytes) {
    ByteBuilder out;
    out.text("QVXH").u32(8).u32(0x12).u32(static_cast<uint32_t>(inner.size()));
    out.raw(inner.data() + 16, headerBytes - 16);
    out.patchU32(20, static_cast<uint32_t>(headerBytes));
    out.raw(zlibStream(inner));
    return out.bytes();
}

// A compressed chunked file: a 48-byte header (magic, 34, flags | 0x10, inner length,
// stream offset 48) then the stream of the whole inner chunked file.
inline std::vector<unsigned char> wrapChunked(const std::vector<unsigned char>& inner, uint32_t flags,
                                              uint32_t outerVersion = 34) {
    ByteBuilder out;
    out.text("QVXH").u32(outerVersion).u32(flags | 0x10).u32(static_cast<uint32_t>(inner.size())).u32(48);
    out.zeros(28);
    out.raw(zlibStream(inner));
    return out.bytes();
}
