// The records and services that cross the boundary between the host file
// manager and the plug-in. Every record is a plain struct whose layout is
// proved below; the plug-in never reaches a host field by byte arithmetic.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

struct DialogItemRecord;

// Host services, reached through the start-up record. The module id and the
// panel handle are pointer-sized, as are the addresses; every other argument
// and every result but the message text is a 32-bit integer. stdcall on a
// 32-bit host; a 64-bit host has one calling convention, which the keyword
// leaves as it is.
using DialogServiceProc = int32_t(__stdcall*)(intptr_t moduleId, int32_t left, int32_t top, int32_t right,
                                              int32_t bottom, const char* topic, DialogItemRecord* items,
                                              int32_t itemCount);
using MessageServiceProc = const char*(__stdcall*)(intptr_t moduleId, int32_t messageId);
// The host's message box: items[0] is the title, then the lines, the last
// buttonCount items the buttons. Returns the chosen button's index, or -1
// for Esc.
using MessageBoxServiceProc = int32_t(__stdcall*)(intptr_t moduleId, uint32_t flags, const char* helpTopic,
                                                  const char* const* items, int32_t itemCount, int32_t buttonCount);
using PanelControlServiceProc = int32_t(__stdcall*)(intptr_t panel, int32_t command, void* parameter);
using NameMatchServiceProc = int32_t(__stdcall*)(const char* pattern, const char* name, int32_t flag);

// Panel commands and arguments the plug-in uses.
constexpr intptr_t ActivePanel = -1;  // all bits set, at either width
constexpr int32_t PanelGetInfo = 1;   // fills a PanelInfoRecord
constexpr int32_t PanelRedraw = 5;    // redraws with a RedrawRecord's cursor and top
constexpr int32_t NameMatchFlag = -1;

// Message box flags, as the file manager reads them.
constexpr uint32_t MessageBoxWarning = 0x1;        // warning colours
constexpr uint32_t MessageBoxWithLastError = 0x2;  // adds the system's text for the thread's last error as a line
constexpr uint32_t MessageBoxLeftAligned = 0x10;   // lines left-aligned
constexpr uint32_t MessageBoxOkButton = 0x10000;   // one OK button of the host's own; buttonCount is then 0

constexpr DWORD DirectoryAttribute = FILE_ATTRIBUTE_DIRECTORY;
constexpr size_t PanelItemNameSize = MAX_PATH;  // 260 bytes, not always terminated
static_assert(offsetof(WIN32_FIND_DATAA, dwFileAttributes) == 0 && offsetof(WIN32_FIND_DATAA, cFileName) == 44 &&
              sizeof(WIN32_FIND_DATAA::cFileName) == PanelItemNameSize);

constexpr size_t DialogItemTextSize = 512;

// A 32-bit host and a 64-bit host hand over the same records in two layouts:
// where each field the plug-in uses lies, and how long each record is. Each
// target's layout is written here once; the records below are laid out from
// it and proved against it, field by field. A build compiles against its own
// target's layout only.
struct StartupLayout {
    size_t ModuleId, RegistryRoot, DialogService, MessageBoxService, MessageService, PanelControlService,
        NameMatchService, Size;
};
struct PanelInfoLayout {
    size_t Items, ItemCount, CurrentItem, TopItem, Size;
};
struct DialogItemLayout {
    size_t Parameter, ItemFlags, IsDefault, Text, Size;
};
struct PluginInfoLayout {
    size_t HostField2, Reserved2, MenuEntryTexts, MenuEntryCount, ConfigEntryTexts, ConfigEntryCount, Reserved3, Size;
};
#if defined(_WIN64)
// A 64-bit host: 64-bit pointers and module id, each field at the platform's
// natural alignment. A panel item is the find record (320 bytes) and 80 more.
constexpr StartupLayout StartupAt{264, 272, 288, 296, 304, 312, 376, 408};
constexpr PanelInfoLayout PanelInfoAt{24, 32, 52, 56, 512};
constexpr size_t PanelItemSize = 400;
constexpr DialogItemLayout DialogItemAt{24, 32, 36, 40, 552};
constexpr PluginInfoLayout PluginInfoAt{16, 24, 32, 40, 48, 56, 64, 72};
#else
// A 32-bit host: 32-bit pointers and module id, records packed to two bytes.
// A panel item is the find record (320 bytes) and 46 more.
constexpr StartupLayout StartupAt{264, 268, 276, 280, 284, 288, 320, 336};
constexpr PanelInfoLayout PanelInfoAt{24, 28, 40, 44, 496};
constexpr size_t PanelItemSize = 366;
constexpr DialogItemLayout DialogItemAt{24, 28, 32, 36, 548};
constexpr PluginInfoLayout PluginInfoAt{12, 16, 20, 24, 28, 32, 36, 40};
#pragma pack(push, 2)
#endif
// The module id is pointer-sized: a layout of the other width cannot pass.
static_assert(StartupAt.RegistryRoot - StartupAt.ModuleId == sizeof(void*), "the layout of another width");

// Bytes of a record the plug-in neither reads nor writes, from the end of
// one field to the start of the next.
template <size_t From, size_t To>
using HostBytes = uint8_t[To - From];

// The proof of a record: each field where the compiler put it (offsetof, and
// the record's size last) against the layout's number for it, in order.
template <size_t N>
constexpr bool LaidOut(const size_t (&placed)[N], const size_t (&layout)[N]) {
    for (size_t i = 0; i < N; ++i)
        if (placed[i] != layout[i]) return false;
    return true;
}

// Handed over by SetStartupInfo; of its fields seven mean something to the
// plug-in.
struct StartupRecord {
    HostBytes<0, StartupAt.ModuleId> Opaque0;
    intptr_t ModuleId;
    const char* RegistryRoot;
    HostBytes<StartupAt.RegistryRoot + sizeof(void*), StartupAt.DialogService> Opaque1;
    DialogServiceProc DialogService;
    MessageBoxServiceProc MessageBoxService;
    MessageServiceProc MessageService;
    PanelControlServiceProc PanelControlService;
    HostBytes<StartupAt.PanelControlService + sizeof(void*), StartupAt.NameMatchService> Opaque3;
    NameMatchServiceProc NameMatchService;
    HostBytes<StartupAt.NameMatchService + sizeof(void*), StartupAt.Size> Opaque4;
};
static_assert(LaidOut({offsetof(StartupRecord, ModuleId), offsetof(StartupRecord, RegistryRoot),
                       offsetof(StartupRecord, DialogService), offsetof(StartupRecord, MessageBoxService),
                       offsetof(StartupRecord, MessageService), offsetof(StartupRecord, PanelControlService),
                       offsetof(StartupRecord, NameMatchService), sizeof(StartupRecord)},
                      {StartupAt.ModuleId, StartupAt.RegistryRoot, StartupAt.DialogService, StartupAt.MessageBoxService,
                       StartupAt.MessageService, StartupAt.PanelControlService, StartupAt.NameMatchService,
                       StartupAt.Size}));
// The message box lies right after the dialog service, and the message
// service right after it, at either width.
static_assert(StartupAt.MessageBoxService == StartupAt.DialogService + sizeof(void*) &&
              StartupAt.MessageService == StartupAt.MessageBoxService + sizeof(void*));

// One panel entry: the platform's find record followed by host fields the
// plug-in never reads. Entries lie back to back.
struct PanelItemRecord {
    WIN32_FIND_DATAA FindData;
    HostBytes<sizeof(WIN32_FIND_DATAA), PanelItemSize> Opaque;
};
static_assert(LaidOut({offsetof(PanelItemRecord, FindData), sizeof(PanelItemRecord)}, {0, PanelItemSize}));

// Filled by PanelGetInfo into as many bytes as the record reserves. ItemCount
// bounds Items: the plug-in never reads an entry outside 0..ItemCount-1.
struct PanelInfoRecord {
    HostBytes<0, PanelInfoAt.Items> Opaque0;
    PanelItemRecord* Items;
    int32_t ItemCount;
    HostBytes<PanelInfoAt.ItemCount + sizeof(int32_t), PanelInfoAt.CurrentItem> Opaque1;
    int32_t CurrentItem;
    int32_t TopItem;
    HostBytes<PanelInfoAt.TopItem + sizeof(int32_t), PanelInfoAt.Size> Opaque2;
};
static_assert(LaidOut(
    {offsetof(PanelInfoRecord, Items), offsetof(PanelInfoRecord, ItemCount), offsetof(PanelInfoRecord, CurrentItem),
     offsetof(PanelInfoRecord, TopItem), sizeof(PanelInfoRecord)},
    {PanelInfoAt.Items, PanelInfoAt.ItemCount, PanelInfoAt.CurrentItem, PanelInfoAt.TopItem, PanelInfoAt.Size}));

// One dialog item; the host takes an array of them, back to back. The six
// fields before the parameter lie at 0 to 20 at either width.
struct DialogItemRecord {
    int32_t ItemType;
    int32_t Left;
    int32_t Top;
    int32_t Right;
    int32_t Bottom;
    int32_t HasFocus;
    uintptr_t Parameter;  // a byte value or the address of a text, by the item
    uint32_t ItemFlags;
    int32_t IsDefault;
    char Text[DialogItemTextSize];
};
static_assert(LaidOut({offsetof(DialogItemRecord, HasFocus), offsetof(DialogItemRecord, Parameter),
                       offsetof(DialogItemRecord, ItemFlags), offsetof(DialogItemRecord, IsDefault),
                       offsetof(DialogItemRecord, Text), sizeof(DialogItemRecord)},
                      {20, DialogItemAt.Parameter, DialogItemAt.ItemFlags, DialogItemAt.IsDefault, DialogItemAt.Text,
                       DialogItemAt.Size}));

// Filled by GetPluginInfo; the host owns it. The host's two fields stay as
// they are; the reserved ones get zero. On 64 bits a 32-bit field that
// padding follows is written as one 64-bit field, so the padding gets zero
// too; the host reads the counts as 32 bits.
struct PluginInfoRecord {
    int32_t RecordSize;
    uint32_t Reserved1;
    const void* HostField1;
    const void* HostField2;
    uintptr_t Reserved2;
    const char* const* MenuEntryTexts;
    intptr_t MenuEntryCount;
    const char* const* ConfigEntryTexts;
    intptr_t ConfigEntryCount;
    uintptr_t Reserved3;
};
static_assert(LaidOut({offsetof(PluginInfoRecord, Reserved1), offsetof(PluginInfoRecord, HostField1),
                       offsetof(PluginInfoRecord, HostField2), offsetof(PluginInfoRecord, Reserved2),
                       offsetof(PluginInfoRecord, MenuEntryTexts), offsetof(PluginInfoRecord, MenuEntryCount),
                       offsetof(PluginInfoRecord, ConfigEntryTexts), offsetof(PluginInfoRecord, ConfigEntryCount),
                       offsetof(PluginInfoRecord, Reserved3), sizeof(PluginInfoRecord)},
                      {4, 8, PluginInfoAt.HostField2, PluginInfoAt.Reserved2, PluginInfoAt.MenuEntryTexts,
                       PluginInfoAt.MenuEntryCount, PluginInfoAt.ConfigEntryTexts, PluginInfoAt.ConfigEntryCount,
                       PluginInfoAt.Reserved3, PluginInfoAt.Size}));

#if !defined(_WIN64)
#pragma pack(pop)
#endif

// Argument of PanelRedraw; the same at either width.
struct RedrawRecord {
    int32_t CurrentItem;
    int32_t TopItem;
};
static_assert(LaidOut({offsetof(RedrawRecord, TopItem), sizeof(RedrawRecord)}, {4, 8}));

// Dialog item types, as the file manager draws them.
enum DialogItemType : int32_t {
    TextItemType = 0,    // a line of text, such as a label
    FrameItemType = 3,   // a double frame around the dialog, its text the title
    EditItemType = 4,    // a one-line edit field
    ButtonItemType = 7,  // a button that closes the dialog
};

// Dialog item flags, as the file manager reads them.
// On an edit field: keep a history of the texts entered, under the name the
// item's parameter points to.
constexpr uint32_t EditKeepsHistory = 0x40000;
// On a button: the buttons of its row are centred as one group.
constexpr uint32_t ButtonsCentredInRow = 0x4000;

// Truth values written into host records or returned to the host.
constexpr int32_t HostTrue = -1;
constexpr int32_t HostFalse = 0;
