#pragma once

// The few file-system services the reader needs, behind one small interface so that the
// platform code sits in one place (POSIX here, Windows behind #ifdef in the .cpp).
//
// Paths are narrow strings. Stored paths inside files may come from Windows, so splitting
// a stored path treats both '/' and '\\' as separators.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "scene/BigBuffer.h"

namespace qvxfs {

// This platform's preferred separator.
#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// The folder part of `path`, ending in a separator ("" when the path has no folder part).
std::string folderOf(std::string_view path);

// The last component of a stored path (file name and extension), split on '/' and '\\'.
std::string_view lastComponent(std::string_view storedPath);

// True for a name that can be created inside a folder without leaving it: not empty, not
// "." or "..", no separator of either kind, no drive colon, no NUL.
bool isPlainFileName(std::string_view name);

// `folder` (empty, or ending in a separator, as folderOf() returns) followed by `name`.
std::string joinFolder(const std::string& folder, std::string_view name);

// True when `path` is absolute on this platform (a leading separator; on Windows also a
// drive letter or a UNC prefix).
bool isAbsolutePath(std::string_view path);

// True when `path` names an existing regular file. Relative paths are taken against
// `baseFolder` (when not empty) instead of the process's current directory, which this
// never changes.
bool fileExists(std::string_view path, const std::string& baseFolder = std::string());

enum class ReadFileResult { Ok, CannotOpen, Failed };

// Reads the whole file into `out` (sized once from the file's length).
ReadFileResult readWholeFile(const std::string& path, ImageBuffer& out, std::string& error);

enum class CreateFileResult { Created, AlreadyExists, Failed };

// Creates `path` exclusively (never replacing an existing file, not even one that appears
// between a test and the creation) and writes `count` bytes into it. A partly written file
// is removed again.
CreateFileResult createNewFile(const std::string& path, const unsigned char* data, std::size_t count);

}  // namespace qvxfs
