// The configuration dialog: the user edits StartPatternList, and the first
// button stores it in the registry.
#pragma once

#include <cstdint>

#include "support/item_dialog.h"

// Handed to the host as the edit field's parameter.
extern const char PatternListHistoryName[];

// Index of the item that closes the dialog and stores the list.
constexpr int32_t StoreButtonIndex = 3;

// The five-item value list, its edit field bound to StartPatternList; empty
// when memory is short.
ItemValueList ConfigurationDialogValues();

// -1 when the first button closed the dialog and the list was stored, else 0.
extern "C" int32_t __stdcall Configure(int32_t item);
