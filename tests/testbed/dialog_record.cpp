// Dialog item records read by byte offset, as the host reads them.
#include "tests/testbed/dialog_record.h"

#include <cstring>

int32_t FieldAt(const DialogItemRecord& item, size_t offset) {
    int32_t value;
    std::memcpy(&value, reinterpret_cast<const uint8_t*>(&item) + offset, sizeof value);
    return value;
}

std::string TextOf(const DialogItemRecord& item) {
    const char* text = reinterpret_cast<const char*>(&item) + 36;
    return std::string(text, strnlen(text, 512));
}

::testing::AssertionResult TextIs(const DialogItemRecord& item, const std::string& text) {
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&item) + 36;
    if (TextOf(item) != text)
        return ::testing::AssertionFailure() << "text is \"" << TextOf(item) << "\", expected \"" << text << "\"";
    for (size_t i = text.size(); i < 512; ++i)
        if (bytes[i] != 0) return ::testing::AssertionFailure() << "text byte " << i << " is " << int{bytes[i]};
    return ::testing::AssertionSuccess();
}
