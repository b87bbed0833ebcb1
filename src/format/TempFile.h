#pragma once

// A new file created beside a target path, written, and then either renamed over the
// target in one step (commit) or removed (discard, or destruction without commit). The
// target is never opened for writing, so a failed or abandoned write leaves it as it was.

#include <cstddef>
#include <string>

class TempFile {
  public:
    TempFile() = default;
    ~TempFile() { discard(); }
    TempFile(TempFile&& other) noexcept;
    TempFile& operator=(TempFile&& other) noexcept;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Creates a new, empty file with a unique name in the target's folder (never an existing
    // file). On failure returns false and sets `error` to a reason naming the folder.
    bool createBeside(const std::string& targetPath, std::string& error);

    // Writes all `count` bytes. On failure returns false with `error` set.
    bool write(const void* data, std::size_t count, std::string& error);

    // Flushes the data to disk, closes the file and renames it over `targetPath`. On failure
    // the temporary file is removed, the target is untouched, and `error` says why.
    bool commit(const std::string& targetPath, std::string& error);

    // Closes and removes the temporary file (nothing when none is open).
    void discard();

    bool isOpen() const { return handle_ >= 0; }
    const std::string& path() const { return path_; }

    // Name of the temporary file that createBeside() would use for `targetPath` and the given
    // unique text: a hidden file in the same folder ("<folder>/.<name>.qvx<unique>.tmp").
    static std::string nameBeside(const std::string& targetPath, const std::string& unique);

  private:
    void closeHandle();

    int handle_ = -1;  // file descriptor (POSIX) or CRT file handle (Windows)
    std::string path_;
};
