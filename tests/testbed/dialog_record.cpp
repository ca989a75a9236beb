// Dialog item records read by byte offset, as the host reads them.
#include "tests/testbed/dialog_record.h"

#include <cstring>

#include "tests/testbed/expected_facts.h"

namespace {

const uint8_t* BytesOf(const DialogItemRecord& item) { return reinterpret_cast<const uint8_t*>(&item); }

}  // namespace

int64_t FieldOf(const DialogItemRecord& item, ItemField field) {
    const expected::HostLayout& at = expected::ThisWidth;
    const size_t index = static_cast<size_t>(field);
    int32_t narrow = 0;
    if (field == ItemField::Parameter) {
        intptr_t parameter = 0;
        std::memcpy(&parameter, BytesOf(item) + at.ItemParameter, sizeof parameter);
        return parameter;
    }
    // The six fields before the parameter lie 4 bytes apart from 0 at either width.
    const size_t offset = field == ItemField::Flags       ? at.ItemFlags
                          : field == ItemField::IsDefault ? at.ItemIsDefault
                                                          : index * 4;
    std::memcpy(&narrow, BytesOf(item) + offset, sizeof narrow);
    return narrow;
}

std::string TextOf(const DialogItemRecord& item) {
    const char* text = reinterpret_cast<const char*>(BytesOf(item) + expected::ThisWidth.ItemText);
    return std::string(text, strnlen(text, 512));
}

::testing::AssertionResult TextIs(const DialogItemRecord& item, const std::string& text) {
    const uint8_t* bytes = BytesOf(item) + expected::ThisWidth.ItemText;
    if (TextOf(item) != text)
        return ::testing::AssertionFailure() << "text is \"" << TextOf(item) << "\", expected \"" << text << "\"";
    for (size_t i = text.size(); i < 512; ++i)
        if (bytes[i] != 0) return ::testing::AssertionFailure() << "text byte " << i << " is " << int{bytes[i]};
    return ::testing::AssertionSuccess();
}
