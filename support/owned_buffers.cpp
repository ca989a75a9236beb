// The owned text's allocations, and copying into fixed character buffers.
#include "support/owned_buffers.h"

bool BasicText::Assign(const char* chars, size_t count) {
    if (count == 0) {
        clear();
        return true;
    }
    // The new text is made before the old one goes, so `chars` may lie within it.
    char* copy = static_cast<char*>(std::malloc(count + 1));
    if (copy == nullptr) return false;
    std::memcpy(copy, chars, count);
    copy[count] = '\0';
    std::free(chars_);
    chars_ = copy;
    size_ = count;
    return true;
}

bool BasicText::Append(const char* chars, size_t count) {
    if (count > static_cast<size_t>(-1) - size_ - 1) return false;
    // realloc keeps the old block when it fails, and the text with it.
    char* grown = static_cast<char*>(std::realloc(chars_, size_ + count + 1));
    if (grown == nullptr) return false;
    std::memcpy(grown + size_, chars, count);
    size_ += count;
    grown[size_] = '\0';
    chars_ = grown;
    return true;
}

char* CopyTextBounded(char* dest, const char* source, size_t maxChars) {
    size_t count = 0;
    while (count < maxChars && source[count] != '\0') {
        dest[count] = source[count];
        ++count;
    }
    dest[count] = '\0';
    return dest;
}
