// The records and services that cross the boundary between the host file
// manager and the plug-in. Every record is a plain struct whose layout is
// proved below; the plug-in never reaches a host field by byte arithmetic.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

static_assert(sizeof(void*) == 4, "the host is a 32-bit program: pointers are 32 bits");

struct DialogItemRecord;

// Host services, reached through the start-up record. All are stdcall and take
// and return 32-bit values.
using DialogServiceProc = int32_t(__stdcall*)(int32_t moduleId, int32_t left, int32_t top, int32_t right,
                                              int32_t bottom, const char* topic, DialogItemRecord* items,
                                              int32_t itemCount);
using MessageServiceProc = const char*(__stdcall*)(int32_t moduleId, int32_t messageId);
using PanelControlServiceProc = int32_t(__stdcall*)(int32_t panel, int32_t command, void* parameter);
using NameMatchServiceProc = int32_t(__stdcall*)(const char* pattern, const char* name, int32_t flag);

// Panel commands and arguments the plug-in uses.
constexpr int32_t ActivePanel = -1;
constexpr int32_t PanelGetInfo = 1;  // fills a PanelInfoRecord
constexpr int32_t PanelRedraw = 5;   // redraws with a RedrawRecord's cursor and top
constexpr int32_t NameMatchFlag = -1;

// Handed over once by SetStartupInfo; 336 bytes, of which six fields mean
// something to the plug-in.
struct StartupRecord {
    uint8_t Opaque0[264];
    int32_t ModuleId;
    const char* RegistryRoot;
    uint8_t Opaque1[4];
    DialogServiceProc DialogService;
    uint8_t Opaque2[4];
    MessageServiceProc MessageService;
    PanelControlServiceProc PanelControlService;
    uint8_t Opaque3[28];
    NameMatchServiceProc NameMatchService;
    uint8_t Opaque4[12];
};
static_assert(sizeof(StartupRecord) == 336);
static_assert(offsetof(StartupRecord, ModuleId) == 264);
static_assert(offsetof(StartupRecord, RegistryRoot) == 268);
static_assert(offsetof(StartupRecord, DialogService) == 276);
static_assert(offsetof(StartupRecord, MessageService) == 284);
static_assert(offsetof(StartupRecord, PanelControlService) == 288);
static_assert(offsetof(StartupRecord, NameMatchService) == 320);

constexpr DWORD DirectoryAttribute = FILE_ATTRIBUTE_DIRECTORY;
constexpr size_t PanelItemNameSize = MAX_PATH;  // 260 bytes, not always terminated

// One panel entry: the platform's find record followed by host fields the
// plug-in never reads. Entries lie back to back, 366 bytes apart.
#pragma pack(push, 1)
struct PanelItemRecord {
    WIN32_FIND_DATAA FindData;
    uint8_t Opaque[46];
};
#pragma pack(pop)
static_assert(sizeof(PanelItemRecord) == 366);
static_assert(offsetof(PanelItemRecord, FindData) == 0);
static_assert(offsetof(WIN32_FIND_DATAA, dwFileAttributes) == 0);
static_assert(offsetof(WIN32_FIND_DATAA, cFileName) == 44);
static_assert(sizeof(WIN32_FIND_DATAA::cFileName) == PanelItemNameSize);

// Filled by PanelGetInfo. ItemCount bounds Items: the plug-in never reads an
// entry outside 0..ItemCount-1.
struct PanelInfoRecord {
    uint8_t Opaque0[24];
    PanelItemRecord* Items;
    int32_t ItemCount;
    uint8_t Opaque1[8];
    int32_t CurrentItem;
    int32_t TopItem;
    uint8_t Opaque2[448];
};
static_assert(sizeof(PanelInfoRecord) == 496);
static_assert(offsetof(PanelInfoRecord, Items) == 24);
static_assert(offsetof(PanelInfoRecord, ItemCount) == 28);
static_assert(offsetof(PanelInfoRecord, CurrentItem) == 40);
static_assert(offsetof(PanelInfoRecord, TopItem) == 44);

// Argument of PanelRedraw.
struct RedrawRecord {
    int32_t CurrentItem;
    int32_t TopItem;
};
static_assert(sizeof(RedrawRecord) == 8);
static_assert(offsetof(RedrawRecord, CurrentItem) == 0);
static_assert(offsetof(RedrawRecord, TopItem) == 4);

constexpr size_t DialogItemTextSize = 512;

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

// One dialog item; the host takes an array of them, 548 bytes apart.
struct DialogItemRecord {
    int32_t ItemType;
    int32_t Left;
    int32_t Top;
    int32_t Right;
    int32_t Bottom;
    int32_t HasFocus;
    uint32_t Parameter;  // a byte value or the address of a text, by the item
    uint32_t ItemFlags;
    int32_t IsDefault;
    char Text[DialogItemTextSize];
};
static_assert(sizeof(DialogItemRecord) == 548);
static_assert(offsetof(DialogItemRecord, ItemType) == 0);
static_assert(offsetof(DialogItemRecord, Left) == 4);
static_assert(offsetof(DialogItemRecord, Top) == 8);
static_assert(offsetof(DialogItemRecord, Right) == 12);
static_assert(offsetof(DialogItemRecord, Bottom) == 16);
static_assert(offsetof(DialogItemRecord, HasFocus) == 20);
static_assert(offsetof(DialogItemRecord, Parameter) == 24);
static_assert(offsetof(DialogItemRecord, ItemFlags) == 28);
static_assert(offsetof(DialogItemRecord, IsDefault) == 32);
static_assert(offsetof(DialogItemRecord, Text) == 36);

// Filled by GetPluginInfo; the host owns it. Fields at 8 and 12 are the host's
// and stay as they are.
struct PluginInfoRecord {
    int32_t RecordSize;
    uint32_t Reserved4;
    uint32_t HostField8;
    uint32_t HostField12;
    uint32_t Reserved16;
    const char* const* MenuEntryTexts;
    int32_t MenuEntryCount;
    const char* const* ConfigEntryTexts;
    int32_t ConfigEntryCount;
    uint32_t Reserved36;
};
static_assert(sizeof(PluginInfoRecord) == 40);
static_assert(offsetof(PluginInfoRecord, RecordSize) == 0);
static_assert(offsetof(PluginInfoRecord, Reserved4) == 4);
static_assert(offsetof(PluginInfoRecord, HostField8) == 8);
static_assert(offsetof(PluginInfoRecord, HostField12) == 12);
static_assert(offsetof(PluginInfoRecord, Reserved16) == 16);
static_assert(offsetof(PluginInfoRecord, MenuEntryTexts) == 20);
static_assert(offsetof(PluginInfoRecord, MenuEntryCount) == 24);
static_assert(offsetof(PluginInfoRecord, ConfigEntryTexts) == 28);
static_assert(offsetof(PluginInfoRecord, ConfigEntryCount) == 32);
static_assert(offsetof(PluginInfoRecord, Reserved36) == 36);

// Truth values written into host records or returned to the host.
constexpr int32_t HostTrue = -1;
constexpr int32_t HostFalse = 0;
