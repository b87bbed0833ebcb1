#include "format/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace qvxfs {
namespace {

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

#ifdef _WIN32
constexpr int kReadFlags = _O_RDONLY | _O_BINARY;
constexpr int kCreateFlags = _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY;
int openFile(const char* path, int flags, int mode = 0) {
    return ::_open(path, flags, mode);
}
int closeFile(int fd) {
    return ::_close(fd);
}
long long readFile(int fd, void* data, std::size_t count) {
    return ::_read(fd, data, static_cast<unsigned>(count > 0x40000000u ? 0x40000000u : count));
}
long long writeFile(int fd, const void* data, std::size_t count) {
    return ::_write(fd, data, static_cast<unsigned>(count > 0x40000000u ? 0x40000000u : count));
}
bool isRegular(const char* path) {
    struct _stat64 st;
    return ::_stat64(path, &st) == 0 && (st.st_mode & _S_IFREG) != 0;
}
bool mayOpenForReading(const char* path) {
    struct _stat64 st;
    return ::_stat64(path, &st) != 0 || (st.st_mode & _S_IFREG) != 0;
}
bool fileSize(int fd, long long& size) {
    struct _stat64 st;
    if (::_fstat64(fd, &st) != 0 || !(st.st_mode & _S_IFREG)) return false;
    size = st.st_size;
    return true;
}
#else
// Non-blocking, so that a FIFO put in place of the file between the check and the open
// cannot stall the open; regular files ignore the flag.
constexpr int kReadFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
constexpr int kCreateFlags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW;
int openFile(const char* path, int flags, int mode = 0) {
    int fd;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}
int closeFile(int fd) {
    return ::close(fd);
}
long long readFile(int fd, void* data, std::size_t count) {
    return ::read(fd, data, count);
}
long long writeFile(int fd, const void* data, std::size_t count) {
    return ::write(fd, data, count);
}
bool isRegular(const char* path) {
    struct stat st;
    return ::stat(path, &st) == 0 && S_ISREG(st.st_mode);
}
// False only when `path` exists and is not a regular file (a missing file is left to the
// open, which gives the system's reason).
bool mayOpenForReading(const char* path) {
    struct stat st;
    return ::stat(path, &st) != 0 || S_ISREG(st.st_mode);
}
bool fileSize(int fd, long long& size) {
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    size = st.st_size;
    return true;
}
#endif

}  // namespace

std::string folderOf(std::string_view path) {
    std::size_t cut = path.size();
    while (cut > 0 && !isSeparator(path[cut - 1])) --cut;
#ifdef _WIN32
    if (cut == 0 && path.size() >= 2 && path[1] == ':') cut = 2;
#endif
    return std::string(path.substr(0, cut));
}

std::string_view lastComponent(std::string_view storedPath) {
    std::size_t cut = storedPath.size();
    while (cut > 0 && !isSeparator(storedPath[cut - 1])) --cut;
    std::string_view name = storedPath.substr(cut);
    // A drive prefix without a separator ("C:wood.png") is not part of the name.
    if (cut == 0 && name.size() >= 2 && name[1] == ':') name.remove_prefix(2);
    return name;
}

bool isPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name) {
        if (isSeparator(c) || c == ':' || c == '\0') return false;
    }
    return true;
}

std::string joinFolder(const std::string& folder, std::string_view name) {
    std::string out = folder;
    if (!out.empty() && !isSeparator(out.back()) && out.back() != ':') out += kSeparator;
    out.append(name.data(), name.size());
    return out;
}

bool isAbsolutePath(std::string_view path) {
    if (path.empty()) return false;
#ifdef _WIN32
    if (isSeparator(path[0])) return true;
    return path.size() >= 2 && path[1] == ':';
#else
    return path[0] == '/';
#endif
}

bool fileExists(std::string_view path, const std::string& baseFolder) {
    if (path.empty() || path.find('\0') != std::string_view::npos) return false;
    if (!isAbsolutePath(path) && !baseFolder.empty()) return isRegular(joinFolder(baseFolder, path).c_str());
    return isRegular(std::string(path).c_str());
}

ReadFileResult readWholeFile(const std::string& path, ImageBuffer& out, std::string& error) {
    out.clear();
    // A FIFO, socket or device is refused before it is opened: opening a FIFO that nobody
    // writes would wait forever, and a device never ends.
    if (!mayOpenForReading(path.c_str())) {
        error = "not a regular file";
        return ReadFileResult::CannotOpen;
    }
    const int fd = openFile(path.c_str(), kReadFlags);
    if (fd < 0) {
        error = std::strerror(errno);
        return ReadFileResult::CannotOpen;
    }
    long long size = 0;
    if (!fileSize(fd, size) || size < 0) {
        closeFile(fd);
        error = "not a regular file";
        return ReadFileResult::CannotOpen;
    }
    try {
        out.resize(static_cast<std::size_t>(size));
    } catch (const std::exception&) {
        closeFile(fd);
        error = "out of memory for " + std::to_string(size) + " bytes";
        return ReadFileResult::Failed;
    }
    std::size_t done = 0;
    while (done < out.size()) {
        const long long got = readFile(fd, out.data() + done, out.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    closeFile(fd);
    if (done != out.size()) {
        error = "read " + std::to_string(done) + " of " + std::to_string(out.size()) + " bytes";
        out.clear();
        return ReadFileResult::Failed;
    }
    return ReadFileResult::Ok;
}

CreateFileResult createNewFile(const std::string& path, const unsigned char* data, std::size_t count) {
    const int fd = openFile(path.c_str(), kCreateFlags, 0644);
    if (fd < 0) return errno == EEXIST ? CreateFileResult::AlreadyExists : CreateFileResult::Failed;
    std::size_t done = 0;
    while (done < count) {
        const long long put = writeFile(fd, data + done, count - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) break;
        done += static_cast<std::size_t>(put);
    }
    const bool closed = closeFile(fd) == 0;
    if (done != count || !closed) {
        std::remove(path.c_str());
        return CreateFileResult::Failed;
    }
    return CreateFileResult::Created;
}

}  // namespace qvxfs
