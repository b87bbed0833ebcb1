#pragma once

// A new file created beside a target, written, and then either put in the target's place in
// one step (commit) or dropped (discard, or destruction without commit). The target is
// never truncated or written, so a failed or abandoned write leaves it as it was.
//
// Where the file system allows it (Linux O_TMPFILE) the new file has no name until it is
// complete: a process killed at any moment leaves no temporary file behind, only the old
// target or the new one. Elsewhere it is a hidden, uniquely named file beside the target.
//
// A target that is a symbolic link stays a link: the file it points to is the one replaced.
// A target the user may not write is refused with the system's reason, as opening it for
// writing would be, although the folder's permission would allow the rename.

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

    // Creates a new, empty file in the folder of the file that `targetPath` names (through
    // any symbolic links), never touching an existing file. Refuses a target that exists but
    // is not a regular file or may not be written. On failure returns false and sets `error`
    // to a reason naming the folder or the target.
    bool createBeside(const std::string& targetPath, std::string& error);

    // Writes all `count` bytes. On failure returns false with `error` set.
    bool write(const void* data, std::size_t count, std::string& error);

    // Flushes the data to disk, names the file (when it has no name yet), closes it and
    // renames it over the file that the target given to createBeside() names. On failure the
    // temporary file is removed, the target is untouched, and `error` says why.
    bool commit(std::string& error);
    // The same, checking that `targetPath` is the target given to createBeside().
    bool commit(const std::string& targetPath, std::string& error);

    // Closes and removes the temporary file (nothing when none is open).
    void discard();

    bool isOpen() const { return handle_ >= 0; }
    // The temporary file's path while it has a name; empty for an unnamed file.
    const std::string& path() const { return path_; }
    // The file that commit() replaces: the target with its symbolic links followed.
    const std::string& resolvedTarget() const { return resolved_; }

    // Name of a temporary file for `targetPath` and the given unique text: a hidden file in
    // the same folder ("<folder>/.<name>.qvx<unique>.tmp"), with <name> shortened so that the
    // file name stays within 255 bytes.
    static std::string nameBeside(const std::string& targetPath, const std::string& unique);

    // `path` with symbolic links of its last component followed (a relative link is taken
    // against the link's folder); `path` itself when it is not a link or does not exist.
    // False, with `error` set, on a loop of links.
    static bool followLinks(const std::string& path, std::string& resolved, std::string& error);

  private:
    void closeHandle();
    bool nameAndReplace(std::string& error);

    int handle_ = -1;         // file descriptor (POSIX) or CRT file handle (Windows)
    int folder_ = -1;         // the target folder, open (POSIX), for the *at calls
    bool anonymous_ = false;  // created without a name (O_TMPFILE)
    std::string path_;        // the temporary file's name while it has one
    std::string target_;      // the target as given
    std::string resolved_;    // the file that commit() replaces
};
