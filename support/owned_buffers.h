// Small owned buffers for the plug-in's texts and arrays. The DLL links no C++
// runtime, so they draw from the C runtime's heap (malloc, calloc, realloc,
// free) and a failed allocation is a result the caller sees: the call returns
// false and the buffer stays as it was. Nothing throws.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include <new>
#include <type_traits>

// A text of 8-bit characters, always terminated. Empty texts own no memory;
// c_str() then gives "". Text releases its memory when it goes; ModuleText,
// for module-level state, only when told to (clear()).
class BasicText {
public:
    const char* c_str() const { return chars_ != nullptr ? chars_ : ""; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    // Replaces the text with `count` characters, or with those before the
    // first zero byte of a terminated text (null gives the empty text).
    bool Assign(const char* chars, size_t count);
    bool Assign(const char* terminated) {
        return Assign(terminated, terminated != nullptr ? std::strlen(terminated) : 0);
    }
    // Adds `count` characters, one at least, at the end; they may not lie within
    // this text.
    bool Append(const char* chars, size_t count);
    bool Append(const char* terminated) { return Append(terminated, std::strlen(terminated)); }

    void clear() {
        std::free(chars_);
        chars_ = nullptr;
        size_ = 0;
    }
    void swap(BasicText& other) {
        char* chars = chars_;
        chars_ = other.chars_;
        other.chars_ = chars;
        const size_t size = size_;
        size_ = other.size_;
        other.size_ = size;
    }

protected:
    BasicText() = default;
    ~BasicText() = default;
    BasicText(const BasicText&) = delete;
    BasicText& operator=(const BasicText&) = delete;

private:
    char* chars_ = nullptr;
    size_t size_ = 0;
};

class Text : public BasicText {
public:
    Text() = default;
    ~Text() { clear(); }
    Text(Text&& other) noexcept { swap(other); }
    Text& operator=(Text&& other) noexcept {
        Text taken(static_cast<Text&&>(other));
        swap(taken);
        return *this;
    }
};

// Lives as long as the library is loaded and is released by the library's
// stop. It has no destructor to run: the DLL has no runtime start-up that
// would register one, and its state needs none at load either (constant
// initialisation only).
class ModuleText : public BasicText {
public:
    constexpr ModuleText() = default;
};

// Copies at most maxChars characters, stopping at a zero byte, and always
// terminates: dest needs room for maxChars + 1 bytes.
char* CopyTextBounded(char* dest, const char* source, size_t maxChars);

// An array whose length is fixed when it is allocated. Elements start zeroed
// (value-initialised); a zeroed Text is an empty one.
template <typename T>
class OwnedArray {
public:
    OwnedArray() = default;
    ~OwnedArray() { reset(); }
    OwnedArray(OwnedArray&& other) noexcept : items_(other.items_), count_(other.count_) {
        other.items_ = nullptr;
        other.count_ = 0;
    }
    OwnedArray& operator=(OwnedArray&& other) noexcept {
        if (this != &other) {
            reset();
            items_ = other.items_;
            count_ = other.count_;
            other.items_ = nullptr;
            other.count_ = 0;
        }
        return *this;
    }
    OwnedArray(const OwnedArray&) = delete;
    OwnedArray& operator=(const OwnedArray&) = delete;

    // Replaces the contents with `count` fresh elements; the plug-in always
    // asks for some.
    bool Allocate(size_t count) {
        T* items = static_cast<T*>(std::calloc(count, sizeof(T)));
        if (items == nullptr) return false;
        if constexpr (!std::is_trivially_default_constructible_v<T>)
            for (size_t i = 0; i < count; ++i) new (items + i) T();
        reset();
        items_ = items;
        count_ = count;
        return true;
    }
    // Replaces the contents with copies of `count` plain values.
    bool Assign(const T* values, size_t count) {
        static_assert(std::is_trivially_copyable_v<T>, "copied byte for byte");
        if (!Allocate(count)) return false;
        std::memcpy(items_, values, count * sizeof(T));
        return true;
    }

    T* data() { return items_; }
    const T* data() const { return items_; }
    size_t size() const { return count_; }
    T& operator[](size_t index) { return items_[index]; }
    const T& operator[](size_t index) const { return items_[index]; }

private:
    void reset() {
        if constexpr (!std::is_trivially_destructible_v<T>)
            for (size_t i = 0; i < count_; ++i) items_[i].~T();
        std::free(items_);
        items_ = nullptr;
        count_ = 0;
    }

    T* items_ = nullptr;
    size_t count_ = 0;
};
