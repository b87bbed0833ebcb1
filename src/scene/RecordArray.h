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

#include <cstdint>
#include <limits>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <vector>

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

}  // namespace scene_detail

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

    std::int32_t count() const noexcept { return static_cast<std::int32_t>(items_.size()); }
    std::size_t size() const noexcept { return items_.size(); }
    bool present() const noexcept { return present_; }
    bool absent() const noexcept { return !present_; }
    bool empty() const noexcept { return items_.empty(); }
    // True for 0..count()-1; consumers treat every other index as "none".
    bool validIndex(std::int64_t index) const noexcept {
        return index >= 0 && index < static_cast<std::int64_t>(items_.size());
    }

    T& operator[](std::int32_t index) { return items_[static_cast<std::size_t>(index)]; }
    const T& operator[](std::int32_t index) const { return items_[static_cast<std::size_t>(index)]; }
    // The element at index, or nullptr when the index is out of range.
    T* get(std::int64_t index) noexcept { return validIndex(index) ? &items_[std::size_t(index)] : nullptr; }
    const T* get(std::int64_t index) const noexcept {
        return validIndex(index) ? &items_[std::size_t(index)] : nullptr;
    }

    T* data() noexcept { return items_.data(); }
    const T* data() const noexcept { return items_.data(); }
    iterator begin() noexcept { return items_.data(); }
    iterator end() noexcept { return items_.data() + items_.size(); }
    const_iterator begin() const noexcept { return items_.data(); }
    const_iterator end() const noexcept { return items_.data() + items_.size(); }
    T& back() { return items_.back(); }
    const T& back() const { return items_.back(); }

    // Clears, then creates n elements with this array kind's allocation defaults.
    // Returns 1, or 0 when n is refused or memory runs out (the array is then absent).
    int allocate(std::int32_t n) {
        clear();
        if (n < 0 || (n == 0 && !Policy::kAcceptsEmpty)) return 0;
        try {
            std::vector<T> items;
            items.reserve(static_cast<std::size_t>(n));
            for (std::int32_t i = 0; i < n; ++i) {
                items.push_back(scene_detail::makeZeroRecord<T>());
                Policy::onAllocate(items.back(), i);
            }
            items_ = std::move(items);
        } catch (const std::bad_alloc&) {
            return 0;
        } catch (const std::length_error&) {
            return 0;
        }
        present_ = true;
        return 1;
    }

    // Adds one element at the end with this array kind's append defaults (extra
    // arguments go to the policy, e.g. the parent index of a bone). The existing
    // elements keep their order and owned data. Returns the new element, or nullptr
    // (array unchanged) when memory runs out or the count would overflow.
    template <class... Args>
    T* append(Args&&... args) {
        if (items_.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
            return nullptr;
        const auto index = static_cast<std::int32_t>(items_.size());
        try {
            items_.push_back(scene_detail::makeZeroRecord<T>());
        } catch (const std::bad_alloc&) {
            return nullptr;
        } catch (const std::length_error&) {
            return nullptr;
        }
        present_ = true;
        Policy::onAppend(items_.back(), index, std::forward<Args>(args)...);
        return &items_.back();
    }

    // Capacity hint for a run of appends; returns 0 when memory runs out.
    int reserve(std::int32_t n) {
        if (n < 0) return 0;
        try {
            items_.reserve(static_cast<std::size_t>(n));
        } catch (const std::bad_alloc&) {
            return 0;
        } catch (const std::length_error&) {
            return 0;
        }
        return 1;
    }

    // Releases every element's owned data and makes the array absent.
    void clear() noexcept {
        std::vector<T>().swap(items_);
        present_ = false;
    }

  private:
    std::vector<T> items_;
    bool present_ = false;
};
