#pragma once

// Pieces both body writers share.

#include <cstddef>
#include <cstring>
#include <string_view>

// The file name and extension of a texture path: the drive and folders are dropped, with
// "/" and "\" both taken as separators so that paths made on Windows reduce the same way.
std::string_view textureFileName(std::string_view path);

// The text of a zero-terminated name buffer of `capacity` bytes, never reading past it and
// never longer than capacity - 1 (what a reader's name buffer can take back).
inline std::string_view boundedText(const char* buffer, std::size_t capacity) {
    if (buffer == nullptr || capacity == 0) return {};
    const void* end = std::memchr(buffer, 0, capacity - 1);
    return std::string_view(
        buffer, end ? static_cast<std::size_t>(static_cast<const char*>(end) - buffer) : capacity - 1);
}
