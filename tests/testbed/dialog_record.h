// Reading a dialog item record the way the host reads it: by byte offset,
// independent of the struct the plug-in builds it with.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "support/host_interface.h"

// The 32-bit field at a byte offset of the record.
int32_t FieldAt(const DialogItemRecord& item, size_t offset);

// The characters of the record's Text before its terminator.
std::string TextOf(const DialogItemRecord& item);

// The record's Text holds exactly `text`, a terminator and zeros to the end of
// its 512 bytes.
::testing::AssertionResult TextIs(const DialogItemRecord& item, const std::string& text);
