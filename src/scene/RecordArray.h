#pragma once

// The owning array behind every count-and-array pair of the scene model.
//
// An array is either absent or holds exactly count() elements; allocate(0) is refused
// (returns 0, array stays absent) unless the policy accepts empty arrays, in which case a
// present but empty array results. New elements start from the record's zero state (all
// fields 0, names empty, owned data absent) and then get the policy's allocation or
// append defaults, which differ per array kind (see the policies in Scene.h).
//
// Failures are reported as return values: allocate() returns 0 and leaves the array
// absent, append() returns nullptr and leaves the array as it was. Pointers and
// references into the array are invalidated by append(), allocate() and clear().
//
// Storage comes from the big-buffer allocator, so a large array (the vertices of a big
// mesh, its UV coordinates) is one huge-page-backed mapping rather than thousands of 4 KiB
// page faults. An array of a trivial record can also live in a RecordPool that many arrays
// share (allocateIn): a loaded mesh then makes one allocation for all of its vertex
// weights instead of one per vertex. Such an array behaves like any other; the first
// append moves it into storage of its own.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "scene/BigBuffer.h"

namespace scene_detail {

template <class T, class = void>
struct HasZeroed : std::false_type {};
template <class T>
struct HasZeroed<T, std::void_t<decltype(T::zeroed())>> : std::true_type {};

// The zero state of a record: T::zeroed() where the record's defaults are not all zero,
// else a value-initialised T.
template <class T>
T makeZeroRecord() {
    if constexpr (HasZeroed<T>::value) {
        return T::zeroed();
    } else {
        return T{};
    }
}

// Raw storage for `capacity` elements of T from the big-buffer allocator; nothing is
// constructed in it.
template <class T>
T* allocateStorage(std::size_t capacity) noexcept {
    static_assert(alignof(T) <= alignof(std::max_align_t), "big-buffer storage is max_align_t aligned");
    if (capacity > std::numeric_limits<std::size_t>::max() / sizeof(T)) return nullptr;
    return static_cast<T*>(bigbuffer::allocate(capacity * sizeof(T)));
}

template <class T>
void releaseStorage(T* data, std::size_t capacity) noexcept {
    bigbuffer::release(data, capacity * sizeof(T));
}

}  // namespace scene_detail

// Storage shared by many small arrays of one trivial record kind (every vertex's weights,
// every polygon's corners): blocks handed out front to back and released whole when the
// pool is cleared or destroyed. The records live as long as the pool; the owner of the
// arrays that use it keeps the pool beside them (and moves it along when it moves them).
template <class T>
class RecordPool {
    static_assert(std::is_trivially_destructible_v<T>, "pooled records are never destroyed one by one");

  public:
    RecordPool() = default;
    RecordPool(RecordPool&& other) noexcept : blocks_(std::move(other.blocks_)) {}
    RecordPool& operator=(RecordPool&& other) noexcept {
        if (this != &other) {
            clear();
            blocks_ = std::move(other.blocks_);
        }
        return *this;
    }
    RecordPool(const RecordPool&) = delete;
    RecordPool& operator=(const RecordPool&) = delete;
    ~RecordPool() { clear(); }

    // Starts a new block with room for n elements (earlier blocks stay valid). Returns 1,
    // or 0 when memory runs out.
    int reserve(std::size_t n) noexcept {
        if (n == 0) return 1;
        T* data = scene_detail::allocateStorage<T>(n);
        if (data == nullptr) return 0;
        try {
            blocks_.push_back({data, n, 0});
        } catch (...) {
            scene_detail::releaseStorage(data, n);
            return 0;
        }
        return 1;
    }
    // The next n elements of the last block, unconstructed; nullptr when it has fewer left.
    T* take(std::size_t n) noexcept {
        if (blocks_.empty() || n == 0) return nullptr;
        Block& block = blocks_.back();
        if (block.capacity - block.used < n) return nullptr;
        T* p = block.data + block.used;
        block.used += n;
        return p;
    }
    // Elements still free in the last block.
    std::size_t available() const noexcept {
        return blocks_.empty() ? 0 : blocks_.back().capacity - blocks_.back().used;
    }
    std::size_t blockCount() const noexcept { return blocks_.size(); }
    // Makes room to adopt n more blocks, so that the adopt() calls that follow cannot fail.
    // Returns 0 when memory runs out.
    int reserveBlocks(std::size_t n) noexcept {
        try {
            blocks_.reserve(blocks_.size() + n);
        } catch (...) {
            return 0;
        }
        return 1;
    }
    // Takes over every block of `other` (whose records moved to arrays beside this pool).
    // Returns 0 (both pools unchanged) when memory runs out, which reserveBlocks() rules out.
    int adopt(RecordPool& other) noexcept {
        if (other.blocks_.empty()) return 1;
        if (!reserveBlocks(other.blocks_.size())) return 0;
        // The last block must stay last: take() hands out from it.
        blocks_.insert(blocks_.begin(), other.blocks_.begin(), other.blocks_.end());
        other.blocks_.clear();
        return 1;
    }
    void clear() noexcept {
        for (Block& block : blocks_) scene_detail::releaseStorage(block.data, block.capacity);
        blocks_.clear();
    }

  private:
    struct Block {
        T* data;
        std::size_t capacity;
        std::size_t used;
    };
    std::vector<Block> blocks_;
};

// An array kind without defaults: allocation and append leave the zero state, and
// allocate(0) is refused.
struct PlainArrayPolicy {
    static constexpr bool kAcceptsEmpty = false;
    template <class T>
    static void onAllocate(T&, std::int32_t) {}
    template <class T>
    static void onAppend(T&, std::int32_t) {}
};

template <class T, class Policy = PlainArrayPolicy>
class RecordArray {
  public:
    using value_type = T;
    using iterator = T*;
    using const_iterator = const T*;

    RecordArray() = default;
    RecordArray(RecordArray&& other) noexcept { steal(other); }
    RecordArray& operator=(RecordArray&& other) noexcept {
        if (this != &other) {
            clear();
            steal(other);
        }
        return *this;
    }
    // Copies every element into storage of its own (for records that copy); throws
    // std::bad_alloc when memory runs out, as the standard containers do.
    RecordArray(const RecordArray& other) { copyFrom(other); }
    RecordArray& operator=(const RecordArray& other) {
        if (this != &other) {
            RecordArray copy(other);
            *this = std::move(copy);
        }
        return *this;
    }
    ~RecordArray() { clear(); }

    std::int32_t count() const noexcept { return count_; }
    std::size_t size() const noexcept { return static_cast<std::size_t>(count_); }
    bool present() const noexcept { return present_; }
    bool absent() const noexcept { return !present_; }
    bool empty() const noexcept { return count_ == 0; }
    // True for 0..count()-1; consumers treat every other index as "none".
    bool validIndex(std::int64_t index) const noexcept { return index >= 0 && index < count_; }

    T& operator[](std::int32_t index) { return data_[index]; }
    const T& operator[](std::int32_t index) const { return data_[index]; }
    // The element at index, or nullptr when the index is out of range.
    T* get(std::int64_t index) noexcept { return validIndex(index) ? &data_[index] : nullptr; }
    const T* get(std::int64_t index) const noexcept { return validIndex(index) ? &data_[index] : nullptr; }

    T* data() noexcept { return data_; }
    const T* data() const noexcept { return data_; }
    iterator begin() noexcept { return data_; }
    iterator end() noexcept { return data_ + count_; }
    const_iterator begin() const noexcept { return data_; }
    const_iterator end() const noexcept { return data_ + count_; }
    T& back() { return data_[count_ - 1]; }
    const T& back() const { return data_[count_ - 1]; }

    // Clears, then creates n elements with this array kind's allocation defaults.
    // Returns 1, or 0 when n is refused or memory runs out (the array is then absent).
    int allocate(std::int32_t n) {
        clear();
        if (n < 0 || (n == 0 && !Policy::kAcceptsEmpty)) return 0;
        T* data = scene_detail::allocateStorage<T>(static_cast<std::size_t>(n));
        if (data == nullptr) return 0;
        return adoptStorage(data, n, n, false, true);
    }

    // As allocate(n), with the elements placed in `pool` when it has room for them (else
    // in storage of their own, as allocate(n) does).
    int allocateIn(RecordPool<T>& pool, std::int32_t n) {
        clear();
        if (n < 0 || (n == 0 && !Policy::kAcceptsEmpty)) return 0;
        T* data = pool.take(static_cast<std::size_t>(n));
        if (data == nullptr) return allocate(n);
        return adoptStorage(data, n, n, true, true);
    }

    // For a reader that writes every field of every element straight after: clears, then
    // makes n elements without writing any defaults (a record with no owned data only).
    // Until the caller has written them the element values are unspecified, so a caller
    // that fails half way clears the array. Returns 1, or 0 as allocate() does.
    int allocateForOverwrite(std::int32_t n) {
        static_assert(std::is_trivially_copyable_v<T>, "only plain records are overwritten whole");
        clear();
        if (n < 0 || (n == 0 && !Policy::kAcceptsEmpty)) return 0;
        T* data = scene_detail::allocateStorage<T>(static_cast<std::size_t>(n));
        if (data == nullptr) return 0;
        return adoptStorage(data, n, n, false, false);
    }

    // Adds one element at the end with this array kind's append defaults (extra
    // arguments go to the policy, e.g. the parent index of a bone). The existing
    // elements keep their order and owned data. Returns the new element, or nullptr
    // (array unchanged) when memory runs out or the count would overflow.
    template <class... Args>
    T* append(Args&&... args) {
        if (count_ == std::numeric_limits<std::int32_t>::max()) return nullptr;
        if (count_ == capacity_ || pooled_) {
            const std::int64_t grown = std::max<std::int64_t>(4, std::int64_t(count_) * 2);
            const auto capacity = static_cast<std::int32_t>(
                std::min<std::int64_t>(grown, std::numeric_limits<std::int32_t>::max()));
            if (!relocate(capacity)) return nullptr;
        }
        const std::int32_t index = count_;
        ::new (static_cast<void*>(data_ + index)) T(scene_detail::makeZeroRecord<T>());
        ++count_;
        present_ = true;
        Policy::onAppend(data_[index], index, std::forward<Args>(args)...);
        return &data_[index];
    }

    // Capacity hint for a run of appends; returns 0 when memory runs out.
    int reserve(std::int32_t n) {
        if (n < 0) return 0;
        if (n <= capacity_ && !pooled_) return 1;
        return relocate(std::max(n, count_)) ? 1 : 0;
    }

    // Releases every element's owned data and makes the array absent.
    void clear() noexcept {
        if (data_ != nullptr) {
            if constexpr (!std::is_trivially_destructible_v<T>) {
                for (std::int32_t i = 0; i < count_; ++i) data_[i].~T();
            }
            if (!pooled_) scene_detail::releaseStorage(data_, static_cast<std::size_t>(capacity_));
        }
        data_ = nullptr;
        count_ = 0;
        capacity_ = 0;
        pooled_ = false;
        present_ = false;
    }

  private:
    // Takes storage for `capacity` elements and makes its first n the array, constructed
    // with the allocation defaults when `construct` is set.
    int adoptStorage(T* data, std::int32_t n, std::int32_t capacity, bool pooled, bool construct) {
        if (construct) {
            std::int32_t made = 0;
            try {
                for (; made < n; ++made) {
                    ::new (static_cast<void*>(data + made)) T(scene_detail::makeZeroRecord<T>());
                    Policy::onAllocate(data[made], made);
                }
            } catch (...) {
                for (std::int32_t i = 0; i < made; ++i) data[i].~T();
                if (!pooled) scene_detail::releaseStorage(data, static_cast<std::size_t>(capacity));
                return 0;
            }
        }
        data_ = data;
        count_ = n;
        capacity_ = capacity;
        pooled_ = pooled;
        present_ = true;
        return 1;
    }

    // Moves the elements into new storage of their own for `capacity` elements.
    bool relocate(std::int32_t capacity) noexcept {
        static_assert(std::is_nothrow_move_constructible_v<T>, "records move without throwing");
        T* data = scene_detail::allocateStorage<T>(static_cast<std::size_t>(capacity));
        if (data == nullptr) return false;
        for (std::int32_t i = 0; i < count_; ++i) {
            ::new (static_cast<void*>(data + i)) T(std::move(data_[i]));
            data_[i].~T();
        }
        if (data_ != nullptr && !pooled_)
            scene_detail::releaseStorage(data_, static_cast<std::size_t>(capacity_));
        data_ = data;
        capacity_ = capacity;
        pooled_ = false;
        return true;
    }

    void copyFrom(const RecordArray& other) {
        if (!other.present_) return;
        T* data = scene_detail::allocateStorage<T>(other.size());
        if (data == nullptr) throw std::bad_alloc();
        std::int32_t made = 0;
        try {
            for (; made < other.count_; ++made) ::new (static_cast<void*>(data + made)) T(other.data_[made]);
        } catch (...) {
            for (std::int32_t i = 0; i < made; ++i) data[i].~T();
            scene_detail::releaseStorage(data, other.size());
            throw;
        }
        data_ = data;
        count_ = other.count_;
        capacity_ = other.count_;
        present_ = true;
    }

    void steal(RecordArray& other) noexcept {
        data_ = std::exchange(other.data_, nullptr);
        count_ = std::exchange(other.count_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
        pooled_ = std::exchange(other.pooled_, false);
        present_ = std::exchange(other.present_, false);
    }

    T* data_ = nullptr;
    std::int32_t count_ = 0;
    std::int32_t capacity_ = 0;
    bool pooled_ = false;
    bool present_ = false;
};
