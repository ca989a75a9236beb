#include "relay/config_dialog.h"

#include "relay/key_relay.h"
#include "relay/plugin.h"
#include "support/settings.h"
#include "support/startup.h"

const char PatternListHistoryName[] = "Lanternix-EnterExt";

namespace {
constexpr int32_t FrameItemType = 3;
constexpr int32_t LabelItemType = 0;
constexpr int32_t EditItemType = 4;
constexpr uint32_t EditFieldFlags = 0x40000;
constexpr uint32_t ButtonFlags = 0x4000;
}  // namespace

ItemValueList ConfigurationDialogValues() {
    const ItemValue noParameter = BooleanValue(false);
    // One item a row pair, as the host's dialog table lists them.
    // clang-format off
    const ItemValue values[] = {
        // type, left, top, right, focus, parameter, flags, data
        IntegerValue(FrameItemType), IntegerValue(3), IntegerValue(1), IntegerValue(67),
        BooleanValue(false), noParameter, IntegerValue(0), IntegerValue(MessageConfigEntry),

        IntegerValue(LabelItemType), IntegerValue(5), IntegerValue(2), IntegerValue(0),
        BooleanValue(false), noParameter, IntegerValue(0), IntegerValue(MessageListLabel),

        IntegerValue(EditItemType), IntegerValue(5), IntegerValue(3), IntegerValue(65),
        BooleanValue(true), TextPointerValue(PatternListHistoryName), IntegerValue(EditFieldFlags),
        TextReference(&StartPatternList),

        IntegerValue(ButtonItemType), IntegerValue(0), IntegerValue(5), IntegerValue(0),
        BooleanValue(false), noParameter, IntegerValue(ButtonFlags), IntegerValue(MessageFirstButton),

        IntegerValue(ButtonItemType), IntegerValue(0), IntegerValue(5), IntegerValue(0),
        BooleanValue(false), noParameter, IntegerValue(ButtonFlags), IntegerValue(MessageSecondButton),
    };
    // clang-format on
    ItemValueList list;
    list.Assign(values, sizeof values / sizeof values[0]);
    return list;
}

extern "C" int32_t __stdcall Configure(int32_t) {
    // An empty list (no memory for it) shows no dialog and changes nothing.
    if (RunItemDialog(nullptr, ConfigurationDialogValues()) != StoreButtonIndex) return HostFalse;
    WriteSettingText(HKEY_CURRENT_USER, PatternListValueName, StartPatternList.c_str());
    return HostTrue;
}
