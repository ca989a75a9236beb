// The configuration dialog: its five items, and storing the list on Save.
#include "relay/config_dialog.h"

#include "relay/key_relay.h"
#include "relay/plugin.h"
#include "relay/plugin_constants.h"
#include "support/item_dialog.h"
#include "support/settings.h"

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

}  // namespace

extern "C" int32_t __stdcall Configure(int32_t) {
    // A list the plug-in could not read is never shown: a Save of the list
    // shown in its place would replace it. Until it is read, no dialog.
    if (!ReadUnreadStoredList()) return HostFalse;
    // An empty list (no memory for it) shows no dialog and changes nothing.
    if (RunItemDialog(nullptr, ConfigurationDialogValues()) != SaveButtonIndex) return HostFalse;
    WriteSettingText(HKEY_CURRENT_USER, PatternListValueName, StartPatternList.c_str());
    return HostTrue;
}
