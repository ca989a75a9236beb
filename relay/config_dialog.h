// The configuration dialog: the user edits StartPatternList, and the first
// button stores it in the registry.
#pragma once

#include <cstdint>

// -1 when the first button closed the dialog and the list was stored, else 0.
extern "C" int32_t __stdcall Configure(int32_t item);
