#pragma once

// Narrow and wide text of the scene model.
//
// Narrow text is UTF-8 where it is valid; a byte that does not start or continue a valid
// UTF-8 sequence stands for the code point of the same value (so every byte string
// converts, whatever the locale). Wide text is UTF-16 in char16_t units. Conversions
// into fixed buffers truncate before a character that would not fit: they never leave a
// partial UTF-8 sequence or half of a surrogate pair, and always write a terminator.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Size of every fixed name buffer, terminator included.
constexpr std::size_t kNameCapacity = 260;

// Writes the wide form of `narrow` (up to its first NUL) into out[0..capacity) with a
// terminator; returns the number of units written before the terminator. capacity 0
// writes nothing.
std::size_t narrowToWide(std::string_view narrow, char16_t* out, std::size_t capacity);
// Writes the UTF-8 form of `wide` (up to its first NUL) into out[0..capacity) with a
// terminator; returns the number of bytes before the terminator. An unpaired surrogate
// becomes U+FFFD.
std::size_t wideToNarrow(std::u16string_view wide, char* out, std::size_t capacity);

std::u16string narrowToWide(std::string_view narrow);
// Appends the UTF-8 text of narrow text to `out`, read as the wide conversion reads it: valid
// UTF-8 sequences unchanged, every other byte as the code point of its value (a Latin-1
// "\xE9" becomes U+00E9). NULs are kept; the result is always valid UTF-8.
void appendNarrowAsUtf8(std::string& out, std::string_view narrow);
std::string wideToNarrow(std::u16string_view wide);

// Length of the longest prefix of `text` that has at most maxBytes bytes and does not
// end inside a UTF-8 sequence (invalid bytes count as one-byte characters).
std::size_t narrowPrefixLength(std::string_view text, std::size_t maxBytes);

// Copies `text` (up to its first NUL) into a fixed narrow buffer of kNameCapacity bytes,
// truncated at a character boundary, with a terminator.
void copyNarrowName(char (&out)[kNameCapacity], std::string_view text);

// The name field of most records: a wide and a narrow form of the same text, both
// zero-terminated. The setters always write both forms so that they never disagree.
struct RecordName {
    char16_t wide[kNameCapacity] = {};
    char narrow[kNameCapacity] = {};

    // Stores the narrow text (truncated to 259 bytes at a character boundary, stopping
    // at a NUL) and its wide form. A null pointer clears the name.
    void set(const char* text);
    void set(std::string_view text);
    // Stores the wide text; the narrow form is its UTF-8 text, and the wide form is then
    // rebuilt from the (possibly truncated) narrow form.
    void setWide(std::u16string_view text);
    // "%s%d"-style default names such as "QVXGroup3".
    void setNumbered(const char* prefix, std::int64_t number);
    // Copies both forms; copying a name onto itself does nothing.
    void copyFrom(const RecordName& other);
    // Sets the first unit of both buffers to 0.
    void clear();

    bool empty() const { return narrow[0] == '\0'; }
    const char* c_str() const { return narrow; }
    std::string_view narrowView() const;
    std::u16string_view wideView() const;
};

// An owned narrow string that can also be null (a mesh without a source path, a bone
// without a full path): null and "" are different states.
class OwnedString {
  public:
    OwnedString() = default;

    // Copies the text; a null or empty text yields the present empty string. Returns 1,
    // or 0 (the string left as it was) when memory runs out.
    int set(const char* text);
    int set(std::string_view text);
    // Back to null.
    void reset();

    bool isNull() const { return !present_; }
    // nullptr when null.
    const char* get() const { return present_ ? text_.c_str() : nullptr; }
    // "" when null.
    const char* c_str() const { return text_.c_str(); }
    std::string_view view() const { return text_; }
    // Byte-for-byte comparison with a present string; a null string equals nothing.
    bool equals(std::string_view text) const { return present_ && text_ == text; }

  private:
    std::string text_;
    bool present_ = false;
};
