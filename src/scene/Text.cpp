#include "scene/Text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// Decodes one character at the start of p[0..n) (n >= 1). Returns its length in bytes;
// a byte that does not begin a valid sequence is a character of its own, value = byte.
std::size_t decodeUtf8(const unsigned char* p, std::size_t n, char32_t& cp) {
    const unsigned char b = p[0];
    if (b < 0x80) {
        cp = b;
        return 1;
    }
    std::size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3;
        if (b == 0xE0) lo = 0xA0;  // no overlong forms
        if (b == 0xED) hi = 0x9F;  // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4;
        if (b == 0xF0) lo = 0x90;
        if (b == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
    }
    if (len == 0 || n < len || p[1] < lo || p[1] > hi) {
        cp = b;
        return 1;
    }
    for (std::size_t i = 2; i < len; ++i) {
        if (!isContinuation(p[i])) {
            cp = b;
            return 1;
        }
    }
    if (len == 2) {
        cp = (char32_t(b & 0x1F) << 6) | (p[1] & 0x3F);
    } else if (len == 3) {
        cp = (char32_t(b & 0x0F) << 12) | (char32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
    } else {
        cp = (char32_t(b & 0x07) << 18) | (char32_t(p[1] & 0x3F) << 12) | (char32_t(p[2] & 0x3F) << 6) |
             (p[3] & 0x3F);
    }
    return len;
}

// Decodes one character of UTF-16 at the start of p[0..n) (n >= 1); returns its units.
std::size_t decodeUtf16(const char16_t* p, std::size_t n, char32_t& cp) {
    const char16_t u = p[0];
    if (u >= 0xD800 && u <= 0xDBFF && n >= 2 && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
        cp = 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(p[1]) - 0xDC00);
        return 2;
    }
    cp = (u >= 0xD800 && u <= 0xDFFF) ? kReplacement : char32_t(u);
    return 1;
}

std::size_t encodeUtf8(char32_t cp, char* out) {
    if (cp < 0x80) {
        out[0] = char(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = char(0xC0 | (cp >> 6));
        out[1] = char(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = char(0xE0 | (cp >> 12));
        out[1] = char(0x80 | ((cp >> 6) & 0x3F));
        out[2] = char(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = char(0xF0 | (cp >> 18));
    out[1] = char(0x80 | ((cp >> 12) & 0x3F));
    out[2] = char(0x80 | ((cp >> 6) & 0x3F));
    out[3] = char(0x80 | (cp & 0x3F));
    return 4;
}

template <class Unit>
std::basic_string_view<Unit> untilNul(std::basic_string_view<Unit> text) {
    const auto nul = text.find(Unit(0));
    return nul == std::basic_string_view<Unit>::npos ? text : text.substr(0, nul);
}

}  // namespace

void appendNarrowAsUtf8(std::string& out, std::string_view narrow) {
    const auto* p = reinterpret_cast<const unsigned char*>(narrow.data());
    const std::size_t n = narrow.size();
    std::size_t i = 0;
    while (i < n) {
        // Runs of ASCII and of valid sequences are copied as they stand.
        std::size_t run = i;
        char32_t cp = 0;
        std::size_t len = 0;
        while (run < n) {
            len = decodeUtf8(p + run, n - run, cp);
            if (len == 1 && cp >= 0x80) break;
            run += len;
        }
        out.append(narrow.data() + i, run - i);
        if (run >= n) break;
        char buffer[4];
        out.append(buffer, encodeUtf8(cp, buffer));
        i = run + 1;
    }
}

std::size_t narrowToWide(std::string_view narrow, char16_t* out, std::size_t capacity) {
    if (capacity == 0) return 0;
    narrow = untilNul(narrow);
    const auto* p = reinterpret_cast<const unsigned char*>(narrow.data());
    const std::size_t n = narrow.size();
    std::size_t written = 0;
    for (std::size_t i = 0; i < n;) {
        char32_t cp = 0;
        const std::size_t len = decodeUtf8(p + i, n - i, cp);
        const std::size_t units = cp >= 0x10000 ? 2 : 1;
        if (written + units > capacity - 1) break;
        if (units == 2) {
            out[written++] = char16_t(0xD800 + ((cp - 0x10000) >> 10));
            out[written++] = char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out[written++] = char16_t(cp);
        }
        i += len;
    }
    out[written] = 0;
    return written;
}

std::size_t wideToNarrow(std::u16string_view wide, char* out, std::size_t capacity) {
    if (capacity == 0) return 0;
    wide = untilNul(wide);
    std::size_t written = 0;
    for (std::size_t i = 0; i < wide.size();) {
        char32_t cp = 0;
        const std::size_t units = decodeUtf16(wide.data() + i, wide.size() - i, cp);
        char bytes[4];
        const std::size_t len = encodeUtf8(cp, bytes);
        if (written + len > capacity - 1) break;
        std::memcpy(out + written, bytes, len);
        written += len;
        i += units;
    }
    out[written] = 0;
    return written;
}

std::u16string narrowToWide(std::string_view narrow) {
    narrow = untilNul(narrow);
    std::u16string result(narrow.size() + 1, u'\0');  // never more units than bytes
    result.resize(narrowToWide(narrow, result.data(), result.size()));
    return result;
}

std::string wideToNarrow(std::u16string_view wide) {
    wide = untilNul(wide);
    std::string result(wide.size() * 3 + 1, '\0');  // at most 3 bytes per unit
    result.resize(wideToNarrow(wide, result.data(), result.size()));
    return result;
}

std::size_t narrowPrefixLength(std::string_view text, std::size_t maxBytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t cp = 0;
        const std::size_t len = decodeUtf8(p + pos, text.size() - pos, cp);
        if (pos + len > maxBytes) break;
        pos += len;
    }
    return pos;
}

void copyNarrowName(char (&out)[kNameCapacity], std::string_view text) {
    text = untilNul(text);
    const std::size_t len = narrowPrefixLength(text, kNameCapacity - 1);
    if (len > 0) std::memmove(out, text.data(), len);
    std::memset(out + len, 0, kNameCapacity - len);
}

void RecordName::set(const char* text) {
    if (text == nullptr) {
        clear();
        return;
    }
    set(std::string_view(text));
}

void RecordName::set(std::string_view text) {
    copyNarrowName(narrow, text);
    const std::size_t units = narrowToWide(narrowView(), wide, kNameCapacity);
    std::fill(wide + units, wide + kNameCapacity, u'\0');
}

void RecordName::setWide(std::u16string_view text) {
    char buffer[kNameCapacity];
    wideToNarrow(text, buffer, kNameCapacity);
    set(std::string_view(buffer));
}

void RecordName::setNumbered(const char* prefix, std::int64_t number) {
    char buffer[kNameCapacity];
    std::snprintf(buffer, sizeof buffer, "%s%lld", prefix ? prefix : "", static_cast<long long>(number));
    set(std::string_view(buffer));
}

void RecordName::copyFrom(const RecordName& other) {
    if (&other == this) return;
    std::memcpy(narrow, other.narrow, kNameCapacity);
    std::memcpy(wide, other.wide, sizeof wide);
}

void RecordName::clear() {
    wide[0] = 0;
    narrow[0] = 0;
}

std::string_view RecordName::narrowView() const {
    const void* nul = std::memchr(narrow, 0, kNameCapacity);
    return std::string_view(narrow, nul ? static_cast<const char*>(nul) - narrow : kNameCapacity);
}

std::u16string_view RecordName::wideView() const {
    std::size_t n = 0;
    while (n < kNameCapacity && wide[n] != 0) ++n;
    return std::u16string_view(wide, n);
}

int OwnedString::set(const char* text) {
    return set(text ? std::string_view(text) : std::string_view());
}

int OwnedString::set(std::string_view text) {
    try {
        std::string copy(text);
        text_.swap(copy);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    present_ = true;
    return 1;
}

void OwnedString::reset() {
    std::string().swap(text_);
    present_ = false;
}
