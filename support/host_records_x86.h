// The records of a 32-bit host: 32-bit pointers and module id, packed to two
// bytes. Included by host_interface.h only.
#pragma once

static_assert(sizeof(void*) == 4, "the 32-bit layouts are for a 32-bit build only");

#pragma pack(push, 2)

// Handed over by SetStartupInfo; 336 bytes, of which six fields mean
// something to the plug-in.
struct StartupRecord {
    uint8_t Opaque0[264];
    intptr_t ModuleId;
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

// One panel entry: the platform's find record followed by host fields the
// plug-in never reads. Entries lie back to back, 366 bytes apart.
struct PanelItemRecord {
    WIN32_FIND_DATAA FindData;
    uint8_t Opaque[46];
};
static_assert(sizeof(PanelItemRecord) == 366);
static_assert(offsetof(PanelItemRecord, FindData) == 0);

// Filled by PanelGetInfo; 496 bytes reserved. ItemCount bounds Items: the
// plug-in never reads an entry outside 0..ItemCount-1.
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

// One dialog item; the host takes an array of them, 548 bytes apart.
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
static_assert(sizeof(DialogItemRecord) == 548);
static_assert(offsetof(DialogItemRecord, Left) == 4);
static_assert(offsetof(DialogItemRecord, Top) == 8);
static_assert(offsetof(DialogItemRecord, Right) == 12);
static_assert(offsetof(DialogItemRecord, Bottom) == 16);
static_assert(offsetof(DialogItemRecord, HasFocus) == 20);
static_assert(offsetof(DialogItemRecord, Parameter) == 24);
static_assert(offsetof(DialogItemRecord, ItemFlags) == 28);
static_assert(offsetof(DialogItemRecord, IsDefault) == 32);
static_assert(offsetof(DialogItemRecord, Text) == 36);

// Filled by GetPluginInfo; the host owns it. The host's fields stay as they
// are; the reserved ones get zero.
struct PluginInfoRecord {
    int32_t RecordSize;
    uint32_t Reserved1;
    const void* HostField1;
    const void* HostField2;
    uint32_t Reserved2;
    const char* const* MenuEntryTexts;
    intptr_t MenuEntryCount;
    const char* const* ConfigEntryTexts;
    intptr_t ConfigEntryCount;
    uintptr_t Reserved3;
};
static_assert(sizeof(PluginInfoRecord) == 40);
static_assert(offsetof(PluginInfoRecord, Reserved1) == 4);
static_assert(offsetof(PluginInfoRecord, HostField1) == 8);
static_assert(offsetof(PluginInfoRecord, HostField2) == 12);
static_assert(offsetof(PluginInfoRecord, Reserved2) == 16);
static_assert(offsetof(PluginInfoRecord, MenuEntryTexts) == 20);
static_assert(offsetof(PluginInfoRecord, MenuEntryCount) == 24);
static_assert(offsetof(PluginInfoRecord, ConfigEntryTexts) == 28);
static_assert(offsetof(PluginInfoRecord, ConfigEntryCount) == 32);
static_assert(offsetof(PluginInfoRecord, Reserved3) == 36);

#pragma pack(pop)
