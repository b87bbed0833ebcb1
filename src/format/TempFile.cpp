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
int removeFile(const std::string& path) {
    return _unlink(path.c_str());
}
void keepTargetMode(int, const std::string&) {}
bool renameOver(const std::string& from, const std::string& to, std::string& why) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    why = std::error_code(static_cast<int>(GetLastError()), std::system_category()).message();
    return false;
}
#else
int openExclusive(const std::string& path) {
    // 0666 so that the finished file gets the permissions the user's umask asks for.
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}
long writeSome(int fd, const unsigned char* data, std::size_t count) {
    return ::write(fd, data, count);
}
int flushToDisk(int fd) {
    return ::fsync(fd);
}
int closeFd(int fd) {
    return ::close(fd);
}
int removeFile(const std::string& path) {
    return ::unlink(path.c_str());
}
// A replaced file keeps its permissions; a new one gets those the umask gives.
void keepTargetMode(int fd, const std::string& target) {
    struct stat existing;
    if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        ::fchmod(fd, existing.st_mode & 07777);
}
bool renameOver(const std::string& from, const std::string& to, std::string& why) {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    why = errnoText(errno);
    return false;
}
#endif

}  // namespace

TempFile::TempFile(TempFile&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)), path_(std::move(other.path_)) {
    other.path_.clear();
}

TempFile& TempFile::operator=(TempFile&& other) noexcept {
    if (this != &other) {
        discard();
        handle_ = std::exchange(other.handle_, -1);
        path_ = std::move(other.path_);
        other.path_.clear();
    }
    return *this;
}

std::string TempFile::nameBeside(const std::string& targetPath, const std::string& unique) {
    const std::size_t slash = lastSeparator(targetPath);
    const std::string folder = slash == std::string::npos ? std::string() : targetPath.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? targetPath : targetPath.substr(slash + 1);
    return folder + "." + name + ".qvx" + unique + ".tmp";
}

bool TempFile::createBeside(const std::string& targetPath, std::string& error) {
    discard();
    const std::size_t slash = lastSeparator(targetPath);
    if (targetPath.empty() || slash + 1 == targetPath.size()) {
        error = "'" + targetPath + "' does not name a file";
        return false;
    }
    std::mt19937_64 engine(nameSeed(targetPath));
    int lastError = 0;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string candidate = nameBeside(targetPath, randomSuffix(engine));
        const int fd = openExclusive(candidate);
        if (fd >= 0) {
            handle_ = fd;
            path_ = std::move(candidate);
            return true;
        }
        lastError = errno;
        if (lastError != EEXIST) break;
    }
    const std::string folder =
        slash == std::string::npos ? std::string(".") : targetPath.substr(0, slash + 1);
    error = "cannot create a temporary file in '" + folder + "': " + errnoText(lastError);
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
            error = "cannot write '" + path_ + "': " + errnoText(errno);
            return false;
        }
        if (written == 0) {
            error = "cannot write '" + path_ + "': no space left";
            return false;
        }
        p += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

bool TempFile::commit(const std::string& targetPath, std::string& error) {
    if (handle_ < 0) {
        error = "no temporary file is open";
        return false;
    }
    // The data must be on disk before the rename makes it the target, or a crash could
    // leave an empty target where the previous file was.
    if (flushToDisk(handle_) != 0) {
        error = "cannot flush '" + path_ + "': " + errnoText(errno);
        discard();
        return false;
    }
    keepTargetMode(handle_, targetPath);
    const int fd = std::exchange(handle_, -1);
    if (closeFd(fd) != 0) {
        error = "cannot close '" + path_ + "': " + errnoText(errno);
        discard();
        return false;
    }
    std::string why;
    if (!renameOver(path_, targetPath, why)) {
        error = "cannot replace '" + targetPath + "': " + why;
        discard();
        return false;
    }
    path_.clear();
    return true;
}

void TempFile::closeHandle() {
    if (handle_ >= 0) closeFd(std::exchange(handle_, -1));
}

void TempFile::discard() {
    closeHandle();
    if (!path_.empty()) {
        removeFile(path_);
        path_.clear();
    }
}
