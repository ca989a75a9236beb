// The configuration dialog: its five items, and storing the list on Save.
#include "relay/config_dialog.h"

#include "relay/key_relay.h"
#include "relay/plugin.h"
#include "relay/plugin_constants.h"
#include "support/item_dialog.h"
#include "support/settings.h"
#include "support/startup.h"

namespace {

// Index of the item that closes the dialog and stores the list.
constexpr int32_t SaveButtonIndex = 3;

// The five-item value list, its edit field bound to StartPatternList; empty
// when memory is short.
ItemValueList ConfigurationDialogValues() {
    const ItemValue noParameter = BooleanValue(false);
    const ItemValue noFlags = IntegerValue(0);
    // One item a row pair, as the host's dialog table lists them.
    // clang-format off
    const ItemValue values[] = {
        // type, left, top, right, focus, parameter, flags, data
        IntegerValue(FrameItemType), IntegerValue(3), IntegerValue(1), IntegerValue(67),
        BooleanValue(false), noParameter, noFlags, IntegerValue(MessageSettingsEntry),

        IntegerValue(TextItemType), IntegerValue(5), IntegerValue(2), IntegerValue(0),
        BooleanValue(false), noParameter, noFlags, IntegerValue(MessagePatternListLabel),

        IntegerValue(EditItemType), IntegerValue(5), IntegerValue(3), IntegerValue(65),
        BooleanValue(true), TextPointerValue(PatternListHistoryName), IntegerValue(EditKeepsHistory),
        TextReference(&StartPatternList),

        IntegerValue(ButtonItemType), IntegerValue(0), IntegerValue(5), IntegerValue(0),
        BooleanValue(false), noParameter, IntegerValue(ButtonsCentredInRow), IntegerValue(MessageSaveButton),

        IntegerValue(ButtonItemType), IntegerValue(0), IntegerValue(5), IntegerValue(0),
        BooleanValue(false), noParameter, IntegerValue(ButtonsCentredInRow),
        IntegerValue(MessageApplyUntilRestartButton),
    };
    // clang-format on
    ItemValueList list;
    list.Assign(values, sizeof values / sizeof values[0]);
    return list;
}

// Tells the user, in a warning box titled as the dialog, that the list
// cannot be read or stored: the headline, the reason in the plug-in's own
// words where it has them (else the system's text for it), and what follows.
// ERROR_MORE_DATA means a value too long only for a read.
void Tell(int32_t headline, uint32_t reason, int32_t consequence) {
    int32_t reasonText = -1;
    switch (reason) {
        case ERROR_ACCESS_DENIED: reasonText = MessageAccessDenied; break;
        case ERROR_MORE_DATA:
            if (headline == MessageListUnreadable) reasonText = MessageTooLong;
            break;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY: reasonText = MessageNoMemory; break;
        default: break;
    }
    if (reasonText < 0) {
        const int32_t lines[] = {MessageSettingsEntry, headline, consequence};
        return ShowMessage(MessageBoxWarning | MessageBoxWithLastError, lines, reason);
    }
    const int32_t lines[] = {MessageSettingsEntry, headline, reasonText, consequence};
    ShowMessage(MessageBoxWarning, lines);
}

}  // namespace

extern "C" int32_t __stdcall Configure(int32_t) {
    // A list the plug-in could not read is never shown: a Save of the list
    // shown in its place would replace it. It is read again; while it stays
    // unreadable the user is told why, and no dialog opens.
    if (!ReadUnreadStoredList()) {
        Tell(MessageListUnreadable, StoredListUnread, MessageStoredListKept);
        return HostFalse;
    }
    // An empty list (no memory for it) shows no dialog and changes nothing.
    if (RunItemDialog(nullptr, ConfigurationDialogValues()) != SaveButtonIndex) return HostFalse;
    // The edited list is in use either way; the host learns that Save was chosen.
    const LONG status = WriteSettingText(HKEY_CURRENT_USER, PatternListValueName, StartPatternList.c_str());
    if (status != ERROR_SUCCESS) Tell(MessageListNotStored, static_cast<uint32_t>(status), MessageInUseNotStored);
    return HostTrue;
}
