#pragma once

// Storage for the few large byte buffers of a load or an export (the file image, the inflated
// inner file, the compressed stream).
//
// Two costs dominate such buffers, and neither is the data: zero-filling memory that is about
// to be overwritten whole, and first-touch page faults, one per 4 KiB page. So elements are
// left uninitialised when a buffer grows (the producer writes every byte), and a buffer of
// 2 MiB or more is mapped on its own at a 2 MiB boundary with transparent huge pages asked
// for (Linux madvise; plain allocation elsewhere), which makes the faults 512 times fewer.
// Nothing here changes process-wide settings, so it is safe inside a host application.

#include <cstddef>
#include <new>
#include <utility>
#include <vector>

namespace bigbuffer {

// Buffers from this size up get their own huge-page-aligned mapping.
constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

// Returns `bytes` of uninitialised memory (nullptr when none is left); bytes >= kHugePageBytes
// come 2 MiB-aligned with huge pages advised.
void* allocate(std::size_t bytes) noexcept;
// Releases memory from allocate() of the same size.
void release(void* p, std::size_t bytes) noexcept;

}  // namespace bigbuffer

// A standard allocator over bigbuffer whose value-less construction leaves elements
// uninitialised, so that resize() does not write what the producer will write.
template <class T>
struct BigBufferAllocator {
    using value_type = T;

    BigBufferAllocator() = default;
    template <class U>
    BigBufferAllocator(const BigBufferAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        void* p = bigbuffer::allocate(n * sizeof(T));
        if (!p) throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t n) noexcept { bigbuffer::release(p, n * sizeof(T)); }

    template <class U>
    void construct(U* p) noexcept(noexcept(::new (static_cast<void*>(p)) U)) {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }

    template <class U>
    bool operator==(const BigBufferAllocator<U>&) const noexcept {
        return true;
    }
    template <class U>
    bool operator!=(const BigBufferAllocator<U>&) const noexcept {
        return false;
    }
};

// The bytes of a file image or of an inflated inner file.
using ImageBuffer = std::vector<unsigned char, BigBufferAllocator<unsigned char>>;
