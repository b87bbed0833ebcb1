#include "format/TempFile.h"

#include <cerrno>
#include <chrono>
#include <exception>
#include <functional>
#include <random>
#include <system_error>
#include <utility>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

std::string errnoText(int code) {
    return std::error_code(code, std::generic_category()).message();
}

// Attempts before giving up on finding an unused name (each try is a fresh random name).
constexpr int kNameAttempts = 64;

// Seed for the name generator. Names need only be unlikely to collide (creation is exclusive
// and retried), so the clock and the path stand in when no entropy source is available.
uint64_t nameSeed(const std::string& targetPath) {
    uint64_t seed = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                    (std::hash<std::string>{}(targetPath) << 1);
    try {
        std::random_device device;
        seed ^= (static_cast<uint64_t>(device()) << 32) ^ device();
    } catch (const std::exception&) {
    }
    return seed;
}

std::string randomSuffix(std::mt19937_64& engine) {
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 2);
    std::string text(8, '0');
    for (char& c : text) c = kAlphabet[pick(engine)];
    return text;
}

std::size_t lastSeparator(const std::string& path) {
#ifdef _WIN32
    return path.find_last_of("/\\");
#else
    return path.find_last_of('/');
#endif
}

#ifdef _WIN32
int openExclusive(const std::string& path) {
    int fd = -1;
    const errno_t err = _sopen_s(&fd, path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                                 _SH_DENYRW, _S_IREAD | _S_IWRITE);
    if (err != 0) errno = err;
    return err == 0 ? fd : -1;
}
int writeSome(int fd, const unsigned char* data, std::size_t count) {
    const unsigned slice = count > 0x40000000u ? 0x40000000u : static_cast<unsigned>(count);
    return _write(fd, data, slice);
}
int flushToDisk(int fd) {
    return _commit(fd);
}
int closeFd(int fd) {
    return _close(fd);
}
void keepTargetMode(int, const std::string&) {}
bool renameOver(const std::string& from, const std::string& to, std::string& why) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    why = std::error_code(static_cast<int>(GetLastError()), std::system_category()).message();
    return false;
}
#else
long writeSome(int fd, const unsigned char* data, std::size_t count) {
    return ::write(fd, data, count);
}
int flushToDisk(int fd) {
    return ::fsync(fd);
}
int closeFd(int fd) {
    return ::close(fd);
}
// A replaced file keeps its permissions; a new one gets those the umask gives.
void keepTargetMode(int fd, const std::string& target) {
    struct stat existing;
    if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        ::fchmod(fd, existing.st_mode & 07777);
}
#endif

// Longest file name that common file systems accept.
constexpr std::size_t kMaxFileName = 255;
// Most symbolic links followed before a target counts as a loop (the kernel's own limit).
constexpr int kMaxLinks = 40;

std::string folderPart(const std::string& path) {
    const std::size_t slash = lastSeparator(path);
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string namePart(const std::string& path) {
    const std::size_t slash = lastSeparator(path);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

TempFile::TempFile(TempFile&& other) noexcept {
    *this = std::move(other);
}

TempFile& TempFile::operator=(TempFile&& other) noexcept {
    if (this != &other) {
        discard();
        handle_ = std::exchange(other.handle_, -1);
        folder_ = std::exchange(other.folder_, -1);
        anonymous_ = std::exchange(other.anonymous_, false);
        path_ = std::exchange(other.path_, std::string());
        target_ = std::exchange(other.target_, std::string());
        resolved_ = std::exchange(other.resolved_, std::string());
    }
    return *this;
}

std::string TempFile::nameBeside(const std::string& targetPath, const std::string& unique) {
    const std::string folder = folderPart(targetPath);
    std::string name = namePart(targetPath);
    const std::size_t fixed = 1 + 4 + unique.size() + 4;  // ".", ".qvx", unique, ".tmp"
    if (fixed + name.size() > kMaxFileName) name.resize(kMaxFileName > fixed ? kMaxFileName - fixed : 0);
    return folder + "." + name + ".qvx" + unique + ".tmp";
}

bool TempFile::followLinks(const std::string& path, std::string& resolved, std::string& error) {
    resolved = path;
#ifndef _WIN32
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat st;
        if (::lstat(resolved.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t length = ::readlink(resolved.c_str(), link.data(), link.size());
        if (length < 0) {
            error = "cannot read the link '" + resolved + "': " + errnoText(errno);
            return false;
        }
        if (static_cast<std::size_t>(length) >= link.size()) continue;  // grew meanwhile: read again
        link.resize(static_cast<std::size_t>(length));
        resolved = (!link.empty() && link[0] == '/') ? link : folderPart(resolved) + link;
    }
    error = "'" + path + "': " + errnoText(ELOOP);
    return false;
#else
    (void)error;
    return true;
#endif
}

bool TempFile::createBeside(const std::string& targetPath, std::string& error) {
    discard();
    if (targetPath.empty() || lastSeparator(targetPath) + 1 == targetPath.size()) {
        error = "'" + targetPath + "' does not name a file";
        return false;
    }
    std::string resolved;
    if (!followLinks(targetPath, resolved, error)) return false;
    const std::string name = namePart(resolved);
    if (name.empty() || name == "." || name == "..") {
        error = "'" + targetPath + "' does not name a file";
        return false;
    }
    const std::string folder = folderPart(resolved);
#ifndef _WIN32
    struct stat st;
    if (::stat(resolved.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            error = "'" + targetPath + "' is not a regular file";
            return false;
        }
        // The rename needs only the folder's permission; the user's right to change the file
        // itself is what writing it in place would need, so that is what is asked.
        const int probe = ::open(resolved.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (probe < 0) {
            error = "cannot write '" + targetPath + "': " + errnoText(errno);
            return false;
        }
        ::close(probe);
    }
    const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_DIRECTORY | O_PATH | O_CLOEXEC);
    if (dir < 0) {
        error = "cannot open the folder '" + (folder.empty() ? std::string(".") : folder) +
                "': " + errnoText(errno);
        return false;
    }
    folder_ = dir;
    target_ = targetPath;
    resolved_ = resolved;
#ifdef O_TMPFILE
    // 0666 so that the finished file gets the permissions the user's umask asks for.
    const int unnamed = ::openat(folder_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (unnamed >= 0) {
        handle_ = unnamed;
        anonymous_ = true;
        return true;
    }
#endif
#else
    target_ = targetPath;
    resolved_ = resolved;
#endif
    std::mt19937_64 engine(nameSeed(targetPath));
    int lastError = 0;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string unique = randomSuffix(engine);
#ifdef _WIN32
        std::string candidate = nameBeside(resolved, unique);
        const int fd = openExclusive(candidate);
#else
        std::string candidate = nameBeside(resolved, unique);
        const int fd =
            ::openat(folder_, namePart(candidate).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
#endif
        if (fd >= 0) {
            handle_ = fd;
            path_ = std::move(candidate);
            return true;
        }
        lastError = errno;
        if (lastError != EEXIST) break;
    }
    error = "cannot create a temporary file in '" + (folder.empty() ? std::string(".") : folder) +
            "': " + errnoText(lastError);
    discard();
    return false;
}

bool TempFile::write(const void* data, std::size_t count, std::string& error) {
    if (handle_ < 0) {
        error = "no temporary file is open";
        return false;
    }
    const unsigned char* p = static_cast<const unsigned char*>(data);
    while (count > 0) {
        const auto written = writeSome(handle_, p, count);
        if (written < 0) {
            if (errno == EINTR) continue;
            error = "cannot write the temporary file for '" + target_ + "': " + errnoText(errno);
            return false;
        }
        if (written == 0) {
            error = "cannot write the temporary file for '" + target_ + "': no space left";
            return false;
        }
        p += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

bool TempFile::commit(const std::string& targetPath, std::string& error) {
    if (handle_ >= 0 && targetPath != target_) {
        error = "the temporary file was made for '" + target_ + "', not '" + targetPath + "'";
        discard();
        return false;
    }
    return commit(error);
}

bool TempFile::commit(std::string& error) {
    if (handle_ < 0) {
        error = "no temporary file is open";
        return false;
    }
    // The data must be on disk before the rename makes it the target, or a crash could
    // leave an empty target where the previous file was.
    if (flushToDisk(handle_) != 0) {
        error = "cannot flush the temporary file for '" + target_ + "': " + errnoText(errno);
        discard();
        return false;
    }
    keepTargetMode(handle_, resolved_);
    if (!nameAndReplace(error)) {
        discard();
        return false;
    }
    discard();  // closes the folder; the file is the target now
    return true;
}

bool TempFile::nameAndReplace(std::string& error) {
#ifdef _WIN32
    const int fd = std::exchange(handle_, -1);
    if (closeFd(fd) != 0) {
        error = "cannot close '" + path_ + "': " + errnoText(errno);
        return false;
    }
    std::string why;
    if (!renameOver(path_, resolved_, why)) {
        error = "cannot replace '" + target_ + "': " + why;
        return false;
    }
    path_.clear();
    return true;
#else
    if (anonymous_) {
        // The complete file gets a name only now, and only until the rename right after.
        std::mt19937_64 engine(nameSeed(resolved_));
        const std::string self = "/proc/self/fd/" + std::to_string(handle_);
        int lastError = 0;
        for (int attempt = 0; attempt < kNameAttempts && path_.empty(); ++attempt) {
            std::string candidate = nameBeside(resolved_, randomSuffix(engine));
            const std::string name = namePart(candidate);
            int linked = ::linkat(AT_FDCWD, self.c_str(), folder_, name.c_str(), AT_SYMLINK_FOLLOW);
#ifdef AT_EMPTY_PATH
            if (linked != 0 && errno == ENOENT) {
                // Without /proc; this form needs a privilege that processes rarely hold.
                linked = ::linkat(handle_, "", folder_, name.c_str(), AT_EMPTY_PATH);
            }
#endif
            if (linked == 0) {
                path_ = std::move(candidate);
                break;
            }
            lastError = errno;
            if (lastError != EEXIST) break;
        }
        if (path_.empty()) {
            error = "cannot name the new file beside '" + target_ + "': " + errnoText(lastError);
            return false;
        }
        anonymous_ = false;
    }
    const int fd = std::exchange(handle_, -1);
    if (closeFd(fd) != 0) {
        error = "cannot close '" + path_ + "': " + errnoText(errno);
        return false;
    }
    if (::renameat(folder_, namePart(path_).c_str(), folder_, namePart(resolved_).c_str()) != 0) {
        error = "cannot replace '" + target_ + "': " + errnoText(errno);
        return false;
    }
    path_.clear();
    return true;
#endif
}

void TempFile::closeHandle() {
    if (handle_ >= 0) closeFd(std::exchange(handle_, -1));
}

void TempFile::discard() {
    closeHandle();
    anonymous_ = false;
#ifdef _WIN32
    if (!path_.empty()) _unlink(path_.c_str());
#else
    if (!path_.empty()) ::unlinkat(folder_ >= 0 ? folder_ : AT_FDCWD, namePart(path_).c_str(), 0);
    if (folder_ >= 0) ::close(std::exchange(folder_, -1));
#endif
    path_.clear();
}
