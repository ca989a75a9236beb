// The file manager's values and the plug-in's names as the tests hold the
// plug-in to them. They are spelled out here, not taken from the plug-in's
// headers, so that a value changed there fails the tests instead of
// following them. The texts are built at start-up: a constant of a test file
// must not be built from them, as not every compiler builds them first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace expected {

// Dialog item types and flags, as the file manager reads them.
constexpr int32_t TextItem = 0;
constexpr int32_t FrameItem = 3;
constexpr int32_t EditItem = 4;
constexpr int32_t ButtonItem = 7;
constexpr uint32_t EditKeepsHistory = 0x40000;
constexpr uint32_t ButtonsCentredInRow = 0x4000;

// Panel commands: fill a panel record; redraw with a new cursor and top.
constexpr int32_t PanelGetInfo = 1;
constexpr int32_t PanelRedraw = 5;

// The plug-in's identity: the PluginGUID of its version resource, by which
// the file manager knows it and a key binding invokes it.
inline const std::string PluginGuid = "469D5FDF-4420-4778-BA05-8778AD34E5FD";

// Where the plug-in keeps its list, and the list it uses while none is stored.
inline const std::string KeyName = "Lanternix";
inline const std::string ValueName = "EnterExt";
inline const std::string HistoryName = "Lanternix-EnterExt";
inline const std::string DefaultList =
    "*.com,*.exe,*.bat,*.cmd,*.rar,*.arj,*.zip,*.lzh,*.ha,*.uc2,*.ain,*.gz,*.tar,*.tgz,*.bz2";

// The patterns the relay tries for a list that is not empty and does not end
// in a comma, in order: the text between its commas.
inline std::vector<std::string> PatternsOf(const std::string& list) {
    std::vector<std::string> patterns;
    size_t start = 0;
    for (size_t comma; (comma = list.find(',', start)) != std::string::npos; start = comma + 1)
        patterns.push_back(list.substr(start, comma - start));
    patterns.push_back(list.substr(start));
    return patterns;
}
// A function, not a constant, for the same reason.
inline std::vector<std::string> DefaultPatterns() { return PatternsOf(DefaultList); }

// The stack guard as the DLL file holds it, in force until the load seeds it.
constexpr uint32_t UnseededStackGuard = 0x4C4E5800;

// The plug-in's settings key below a registry root: the root, a backslash and
// the key's name, however the root ends.
inline std::string SettingsKeyUnder(const std::string& root) { return root + "\\" + KeyName; }

}  // namespace expected

namespace expected {

// A host's records as it lays them out, by byte offset and size, at each
// width. The layout tests write and read records by these numbers alone, so
// that a record the plug-in believes wrong fails them.
struct HostLayout {
    size_t StartupSize, ModuleId, RegistryRoot, DialogService, MessageBoxService, MessageService, PanelControlService,
        NameMatchService;
    size_t PanelInfoSize, PanelItems, PanelItemCount, PanelCurrentItem, PanelTopItem;
    size_t PanelItemSize;  // the find record first: attributes at 0, the name at 44
    size_t DialogItemSize, ItemParameter, ItemFlags, ItemIsDefault, ItemText;
    size_t PluginInfoSize, HostFieldsEnd, MenuEntryTexts, MenuEntryCount, ConfigEntryTexts, ConfigEntryCount;
};
inline constexpr HostLayout Layout32{336, 264, 268, 276, 280, 284, 288, 320, 496, 24, 28, 40, 44,
                                     366, 548, 24,  28,  32,  36,  40,  16,  20,  24, 28, 32};
inline constexpr HostLayout Layout64{408, 264, 272, 288, 296, 304, 312, 376, 512, 24, 32, 52, 56,
                                     400, 552, 24,  32,  36,  40,  72,  24,  32,  40, 48, 56};
inline constexpr const HostLayout& ThisWidth = sizeof(void*) == 8 ? Layout64 : Layout32;

}  // namespace expected
