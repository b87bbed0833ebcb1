#include "scene/BigBuffer.h"

#include <cstdint>
#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace bigbuffer {

#if defined(__linux__)

namespace {

std::size_t roundUp(std::size_t bytes) {
    return (bytes + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
}

}  // namespace

void* allocate(std::size_t bytes) noexcept {
    if (bytes < kHugePageBytes) return std::malloc(bytes == 0 ? 1 : bytes);
    const std::size_t length = roundUp(bytes);
    if (length < bytes || length + kHugePageBytes < length) return nullptr;
    // Map one huge page more than needed and trim both ends to a 2 MiB boundary.
    void* mapped =
        ::mmap(nullptr, length + kHugePageBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + kHugePageBytes - 1) & ~std::uintptr_t(kHugePageBytes - 1);
    if (aligned > start) ::munmap(mapped, aligned - start);
    const std::uintptr_t end = start + length + kHugePageBytes;
    if (end > aligned + length) ::munmap(reinterpret_cast<void*>(aligned + length), end - (aligned + length));
    void* p = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
    // Advice only: where transparent huge pages are off this changes nothing.
    ::madvise(p, length, MADV_HUGEPAGE);
#endif
    return p;
}

void release(void* p, std::size_t bytes) noexcept {
    if (!p) return;
    if (bytes < kHugePageBytes) {
        std::free(p);
        return;
    }
    ::munmap(p, roundUp(bytes));
}

#else

void* allocate(std::size_t bytes) noexcept {
    return std::malloc(bytes == 0 ? 1 : bytes);
}

void release(void* p, std::size_t) noexcept {
    std::free(p);
}

#endif

}  // namespace bigbuffer
