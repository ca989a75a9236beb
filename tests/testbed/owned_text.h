// The plug-in's owned texts seen from the tests, which use std::string.
#pragma once

#include <string>

#include "support/owned_buffers.h"

inline std::string AsString(const BasicText& text) { return std::string(text.c_str(), text.size()); }

// A text holding the characters of `value`, embedded zero bytes included.
inline Text TextOf(const std::string& value) {
    Text text;
    text.Assign(value.data(), value.size());
    return text;
}

inline void SetText(BasicText& text, const std::string& value) { text.Assign(value.data(), value.size()); }
