// Reading a dialog item record the way the host reads it: by byte offset at
// this build's width (tests/testbed/expected_facts.h), independent of the
// struct the plug-in builds it with.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "support/host_interface.h"

// A dialog item's fields, in record order.
enum class ItemField { Type, Left, Top, Right, Bottom, HasFocus, Parameter, Flags, IsDefault };
constexpr size_t ItemFieldCount = 9;

// A field's value by its offset: the parameter pointer-sized, as the host
// reads it, every other field a 32-bit integer.
int64_t FieldOf(const DialogItemRecord& item, ItemField field);
inline int64_t FieldOf(const DialogItemRecord& item, size_t field) {
    return FieldOf(item, static_cast<ItemField>(field));
}

// The characters of the record's Text before its terminator.
std::string TextOf(const DialogItemRecord& item);

// The record's Text holds exactly `text`, a terminator and zeros to the end of
// its 512 bytes.
::testing::AssertionResult TextIs(const DialogItemRecord& item, const std::string& text);
