// The plug-in's own names and texts that reach beyond it: the message ids of
// its texts, where it keeps its pattern list in the registry, the list it
// uses while nothing is stored, and the history name of its edit field. The
// stand-in host reads them from here too. Constant data only: nothing here
// needs a start-up to run.
#pragma once

#include <cstdint>

// Message ids of the plug-in's texts in the host's message table, by use.
enum MessageId : int32_t {
    MessageSaveButton = 0,               // the dialog's first button: store the list
    MessageApplyUntilRestartButton = 1,  // the second button: use the list until the next load
    MessageMenuEntry = 2,                // the plug-in menu's entry
    MessageSettingsEntry = 3,            // the configuration menu's entry, also the dialog's title
    MessagePatternListLabel = 4,         // the label above the edit field
    // The message boxes: the stored list unreadable, or the edited one not stored.
    MessageListUnreadable = 5,   // headline: the stored list cannot be read
    MessageAccessDenied = 6,     // reason: access denied
    MessageTooLong = 7,          // reason: longer than the plug-in reads
    MessageNoMemory = 8,         // reason: not enough memory
    MessageStoredListKept = 9,   // the stored list is kept, the default in use
    MessageListNotStored = 10,   // headline: the list cannot be stored
    MessageInUseNotStored = 11,  // the list is in use until restart, not stored
};

// The settings key is the host's registry root followed by this, as it is:
// no separator is added or removed.
inline constexpr char SettingsKeyName[] = "\\Lanternix";
inline constexpr char PatternListValueName[] = "EnterExt";

// In use while no stored list can be read.
inline constexpr char DefaultStartPatternList[] =
    "*.com,*.exe,*.bat,*.cmd,*.rar,*.arj,*.zip,*.lzh,*.ha,*.uc2,*.ain,*.gz,*.tar,*.tgz,*.bz2";

// Handed to the host as the edit field's parameter: the name its history of
// entered lists is kept under.
inline constexpr char PatternListHistoryName[] = "Lanternix-EnterExt";
