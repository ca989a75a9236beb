// Builds host dialogs from a flat list of tagged values, eight per item, runs
// them through the host's DialogService and copies the edited state back into
// the caller's variables.
#pragma once

#include <cstddef>
#include <cstdint>

#include "support/host_interface.h"
#include "support/owned_buffers.h"

enum class ValueKind : uint8_t { Integer, Boolean, Reference, TextPointer };

struct ItemValue {
    ValueKind Kind;
    uint32_t Payload;
};

using ItemValueList = OwnedArray<ItemValue>;

// Positions of an item's eight values.
constexpr size_t ValuesPerItem = 8;
enum ItemValuePosition : size_t {
    ValueType = 0,
    ValueLeft = 1,
    ValueTop = 2,
    ValueRight = 3,
    ValueFocus = 4,
    ValueParameter = 5,
    ValueFlags = 6,
    ValueData = 7,
};

// The item type of buttons; the first one in the list is the default.
constexpr int32_t ButtonItemType = 7;

// Typed makers for the values, so a caller never spells a payload by hand.
inline ItemValue IntegerValue(int32_t value) { return {ValueKind::Integer, static_cast<uint32_t>(value)}; }
inline ItemValue BooleanValue(bool value) { return {ValueKind::Boolean, value ? 1u : 0u}; }
// Parameter position: a one-byte variable, read at build and written back.
inline ItemValue ByteReference(uint8_t* variable) {
    return {ValueKind::Reference, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(variable))};
}
// Data position: a text variable, shown in the item and written back.
inline ItemValue TextReference(BasicText* variable) {
    return {ValueKind::Reference, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(variable))};
}
// Parameter position: the address of a text that outlives the run.
inline ItemValue TextPointerValue(const char* text) {
    return {ValueKind::TextPointer, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(text))};
}

// Fills one record per whole group of eight values. cutTexts receives, for
// each item whose referenced text was too long for the record, its whole text.
// False when memory for such a text ran short.
bool BuildItems(const ItemValue* values, OwnedArray<DialogItemRecord>& items, OwnedArray<Text>& cutTexts);
// Copies each item's parameter byte and text into the variables referenced.
// Every new text is made before any variable changes: false, and no variable
// touched, when memory ran short.
bool ReadBackItems(const ItemValue* values, const OwnedArray<DialogItemRecord>& items,
                   const OwnedArray<Text>& cutTexts);

// Shows the dialog and returns the host's result: the index of the item that
// closed it, or -1 when none did (then no variable is touched). A list of
// fewer than eight values, a missing dialog service or a failed allocation
// also give -1, without calling the host or, after it, without touching a
// variable.
int32_t RunItemDialog(const char* topic, const ItemValue* values, size_t valueCount);
// Any list that holds its values back to back: an ItemValueList, or an array
// of the caller's.
template <typename List>
int32_t RunItemDialog(const char* topic, const List& values) {
    return RunItemDialog(topic, values.data(), values.size());
}
