#ifndef MAYASIM_ARRAYIMPL_H
#define MAYASIM_ARRAYIMPL_H
// Internal: the shared body of the API array classes. Each array keeps a std::vector in its hidden
// storage; MAYASIM_ARRAY_COMMON defines the members every array class has.

#include <algorithm>
#include <vector>

#include "Access.h"

#define MAYASIM_ARRAY_COMMON(Cls, T)                                             \
    Cls::Cls() {                                                                 \
        new (fStore) std::vector<T>();                                           \
    }                                                                            \
    Cls::Cls(const Cls& other) {                                                 \
        new (fStore) std::vector<T>(mayasim::Access::vec<T>(other));             \
    }                                                                            \
    Cls::~Cls() {                                                                \
        using V = std::vector<T>;                                                \
        mayasim::Access::vec<T>(*this).~V();                                     \
    }                                                                            \
    Cls& Cls::operator=(const Cls& other) {                                      \
        mayasim::Access::vec<T>(*this) = mayasim::Access::vec<T>(other);         \
        return *this;                                                            \
    }                                                                            \
    MStatus Cls::set(const T& element, unsigned int index) {                     \
        auto& v = mayasim::Access::vec<T>(*this);                                \
        if (index >= v.size()) return MS::kFailure;                              \
        v[index] = element;                                                      \
        return MS::kSuccess;                                                     \
    }                                                                            \
    MStatus Cls::setLength(unsigned int length) {                                \
        mayasim::Access::vec<T>(*this).resize(length);                           \
        return MS::kSuccess;                                                     \
    }                                                                            \
    unsigned int Cls::length() const {                                           \
        return static_cast<unsigned int>(mayasim::Access::vec<T>(*this).size()); \
    }                                                                            \
    MStatus Cls::remove(unsigned int index) {                                    \
        auto& v = mayasim::Access::vec<T>(*this);                                \
        if (index >= v.size()) return MS::kFailure;                              \
        v.erase(v.begin() + index);                                              \
        return MS::kSuccess;                                                     \
    }                                                                            \
    MStatus Cls::insert(const T& element, unsigned int index) {                  \
        auto& v = mayasim::Access::vec<T>(*this);                                \
        if (index > v.size()) return MS::kFailure;                               \
        v.insert(v.begin() + index, element);                                    \
        return MS::kSuccess;                                                     \
    }                                                                            \
    MStatus Cls::append(const T& element) {                                      \
        mayasim::Access::vec<T>(*this).push_back(element);                       \
        return MS::kSuccess;                                                     \
    }                                                                            \
    MStatus Cls::clear() {                                                       \
        mayasim::Access::vec<T>(*this).clear();                                  \
        return MS::kSuccess;                                                     \
    }                                                                            \
    void Cls::setSizeIncrement(unsigned int) {}                                  \
    unsigned int Cls::sizeIncrement() const {                                    \
        return 1;                                                                \
    }

// copy() exists on every array class except MStringArray.
#define MAYASIM_ARRAY_COPY(Cls, T)                                        \
    MStatus Cls::copy(const Cls& source) {                                \
        mayasim::Access::vec<T>(*this) = mayasim::Access::vec<T>(source); \
        return MS::kSuccess;                                              \
    }

// Numeric arrays take and return elements by value.
#define MAYASIM_NUMERIC_ARRAY(Cls, T)                                                  \
    Cls::Cls() {                                                                       \
        new (fStore) std::vector<T>();                                                 \
    }                                                                                  \
    Cls::Cls(const Cls& other) {                                                       \
        new (fStore) std::vector<T>(mayasim::Access::vec<T>(other));                   \
    }                                                                                  \
    Cls::Cls(const T src[], unsigned int count) {                                      \
        new (fStore) std::vector<T>(src ? src : nullptr, src ? src + count : nullptr); \
    }                                                                                  \
    Cls::Cls(unsigned int initialSize, T initialValue) {                               \
        new (fStore) std::vector<T>(initialSize, initialValue);                        \
    }                                                                                  \
    Cls::~Cls() {                                                                      \
        using V = std::vector<T>;                                                      \
        mayasim::Access::vec<T>(*this).~V();                                           \
    }                                                                                  \
    Cls& Cls::operator=(const Cls& other) {                                            \
        mayasim::Access::vec<T>(*this) = mayasim::Access::vec<T>(other);               \
        return *this;                                                                  \
    }                                                                                  \
    MStatus Cls::set(T element, unsigned int index) {                                  \
        auto& v = mayasim::Access::vec<T>(*this);                                      \
        if (index >= v.size()) return MS::kFailure;                                    \
        v[index] = element;                                                            \
        return MS::kSuccess;                                                           \
    }                                                                                  \
    MStatus Cls::setLength(unsigned int length) {                                      \
        mayasim::Access::vec<T>(*this).resize(length);                                 \
        return MS::kSuccess;                                                           \
    }                                                                                  \
    unsigned int Cls::length() const {                                                 \
        return static_cast<unsigned int>(mayasim::Access::vec<T>(*this).size());       \
    }                                                                                  \
    MStatus Cls::remove(unsigned int index) {                                          \
        auto& v = mayasim::Access::vec<T>(*this);                                      \
        if (index >= v.size()) return MS::kFailure;                                    \
        v.erase(v.begin() + index);                                                    \
        return MS::kSuccess;                                                           \
    }                                                                                  \
    MStatus Cls::insert(T element, unsigned int index) {                               \
        auto& v = mayasim::Access::vec<T>(*this);                                      \
        if (index > v.size()) return MS::kFailure;                                     \
        v.insert(v.begin() + index, element);                                          \
        return MS::kSuccess;                                                           \
    }                                                                                  \
    MStatus Cls::append(T element) {                                                   \
        mayasim::Access::vec<T>(*this).push_back(element);                             \
        return MS::kSuccess;                                                           \
    }                                                                                  \
    MStatus Cls::copy(const Cls& source) {                                             \
        mayasim::Access::vec<T>(*this) = mayasim::Access::vec<T>(source);              \
        return MS::kSuccess;                                                           \
    }                                                                                  \
    MStatus Cls::clear() {                                                             \
        mayasim::Access::vec<T>(*this).clear();                                        \
        return MS::kSuccess;                                                           \
    }                                                                                  \
    MStatus Cls::get(T array[]) const {                                                \
        if (!array) return MS::kInvalidParameter;                                      \
        const auto& v = mayasim::Access::vec<T>(*this);                                \
        std::copy(v.begin(), v.end(), array);                                          \
        return MS::kSuccess;                                                           \
    }                                                                                  \
    void Cls::setSizeIncrement(unsigned int) {}                                        \
    unsigned int Cls::sizeIncrement() const {                                          \
        return 1;                                                                      \
    }                                                                                  \
    T& Cls::operator[](unsigned int index) {                                           \
        return mayasim::Access::vec<T>(*this)[index];                                  \
    }                                                                                  \
    T Cls::operator[](unsigned int index) const {                                      \
        return mayasim::Access::vec<T>(*this)[index];                                  \
    }

// Object arrays (element passed by const reference) also have a constructor from a C array, a
// sized constructor and both subscript forms.
#define MAYASIM_OBJECT_ARRAY(Cls, T)                                                   \
    MAYASIM_ARRAY_COMMON(Cls, T)                                                       \
    MAYASIM_ARRAY_COPY(Cls, T)                                                         \
    Cls::Cls(const T src[], unsigned int count) {                                      \
        new (fStore) std::vector<T>(src ? src : nullptr, src ? src + count : nullptr); \
    }                                                                                  \
    Cls::Cls(unsigned int initialSize, const T& initialValue) {                        \
        new (fStore) std::vector<T>(initialSize, initialValue);                        \
    }                                                                                  \
    T& Cls::operator[](unsigned int index) {                                           \
        return mayasim::Access::vec<T>(*this)[index];                                  \
    }                                                                                  \
    const T& Cls::operator[](unsigned int index) const {                               \
        return mayasim::Access::vec<T>(*this)[index];                                  \
    }

#endif
