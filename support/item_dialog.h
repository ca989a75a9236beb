// Builds host dialogs from a flat list of tagged values, eight per item, runs
// them through the host's DialogService and copies the edited state back into
// the caller's variables.
#pragma once

#include <cstddef>
#include <cstdint>

#include "support/host_interface.h"
#include "support/owned_buffers.h"

enum class ValueKind : uint8_t { Integer, Boolean, Reference, TextPointer };

// The payload is pointer-sized, so that a reference or a text pointer fits;
// an Integer keeps its 32 bits in the low half.
struct ItemValue {
    ValueKind Kind;
    uintptr_t Payload;
};

// Eight values an item, in this order: type, left, top, right (Integer),
// focus (Boolean), parameter (Boolean, ByteReference or TextPointer), flags
// (Integer), data (Integer message id or TextReference).
using ItemValueList = OwnedArray<ItemValue>;

// Typed makers for the values, so a caller never spells a payload by hand.
inline ItemValue IntegerValue(int32_t value) { return {ValueKind::Integer, static_cast<uint32_t>(value)}; }
inline ItemValue BooleanValue(bool value) { return {ValueKind::Boolean, value ? 1u : 0u}; }
// Parameter position: a one-byte variable, read at build and written back.
inline ItemValue ByteReference(uint8_t* variable) {
    return {ValueKind::Reference, reinterpret_cast<uintptr_t>(variable)};
}
// Data position: a text variable, shown in the item and written back.
inline ItemValue TextReference(BasicText* variable) {
    return {ValueKind::Reference, reinterpret_cast<uintptr_t>(variable)};
}
// Parameter position: the address of a text that outlives the run.
inline ItemValue TextPointerValue(const char* text) {
    return {ValueKind::TextPointer, reinterpret_cast<uintptr_t>(text)};
}

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
