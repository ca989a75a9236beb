// The records of a 64-bit host: 64-bit pointers and module id, each field at
// the platform's natural alignment. Included by host_interface.h only.
#pragma once

static_assert(sizeof(void*) == 8, "the 64-bit layouts are for a 64-bit build only");

// Handed over by SetStartupInfo; 408 bytes, the same fields as a 32-bit
// host's 336.
struct StartupRecord {
    uint8_t Opaque0[264];
    intptr_t ModuleId;
    const char* RegistryRoot;
    uint8_t Opaque1[8];
    DialogServiceProc DialogService;
    uint8_t Opaque2[8];
    MessageServiceProc MessageService;
    PanelControlServiceProc PanelControlService;
    uint8_t Opaque3[56];
    NameMatchServiceProc NameMatchService;
    uint8_t Opaque4[24];
};
static_assert(sizeof(StartupRecord) == 408);
static_assert(offsetof(StartupRecord, ModuleId) == 264);
static_assert(offsetof(StartupRecord, RegistryRoot) == 272);
static_assert(offsetof(StartupRecord, DialogService) == 288);
static_assert(offsetof(StartupRecord, MessageService) == 304);
static_assert(offsetof(StartupRecord, PanelControlService) == 312);
static_assert(offsetof(StartupRecord, NameMatchService) == 376);

// One panel entry: the platform's find record (320 bytes here) followed by
// host fields the plug-in never reads. Entries lie back to back, 400 bytes
// apart.
struct PanelItemRecord {
    WIN32_FIND_DATAA FindData;
    uint8_t Opaque[80];
};
static_assert(sizeof(PanelItemRecord) == 400);
static_assert(offsetof(PanelItemRecord, FindData) == 0);

// Filled by PanelGetInfo; 512 bytes reserved. ItemCount bounds Items: the
// plug-in never reads an entry outside 0..ItemCount-1.
struct PanelInfoRecord {
    uint8_t Opaque0[24];
    PanelItemRecord* Items;
    int32_t ItemCount;
    uint8_t Opaque1[16];
    int32_t CurrentItem;
    int32_t TopItem;
    uint8_t Opaque2[452];
};
static_assert(sizeof(PanelInfoRecord) == 512);
static_assert(offsetof(PanelInfoRecord, Items) == 24);
static_assert(offsetof(PanelInfoRecord, ItemCount) == 32);
static_assert(offsetof(PanelInfoRecord, CurrentItem) == 52);
static_assert(offsetof(PanelInfoRecord, TopItem) == 56);

// One dialog item; the host takes an array of them, 552 bytes apart. The
// parameter is pointer-sized: a byte value or the address of a text.
struct DialogItemRecord {
    int32_t ItemType;
    int32_t Left;
    int32_t Top;
    int32_t Right;
    int32_t Bottom;
    int32_t HasFocus;
    uintptr_t Parameter;
    uint32_t ItemFlags;
    int32_t IsDefault;
    char Text[DialogItemTextSize];
};
static_assert(sizeof(DialogItemRecord) == 552);
static_assert(offsetof(DialogItemRecord, Left) == 4);
static_assert(offsetof(DialogItemRecord, Top) == 8);
static_assert(offsetof(DialogItemRecord, Right) == 12);
static_assert(offsetof(DialogItemRecord, Bottom) == 16);
static_assert(offsetof(DialogItemRecord, HasFocus) == 20);
static_assert(offsetof(DialogItemRecord, Parameter) == 24);
static_assert(offsetof(DialogItemRecord, ItemFlags) == 32);
static_assert(offsetof(DialogItemRecord, IsDefault) == 36);
static_assert(offsetof(DialogItemRecord, Text) == 40);

// Filled by GetPluginInfo; the host owns it. The host's two pointers stay as
// they are; the reserved fields get zero. A 32-bit field that padding
// follows is written as one 64-bit field, so the padding gets zero too: the
// host reads the count at 40 and 56 as 32 bits.
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
static_assert(sizeof(PluginInfoRecord) == 72);
static_assert(offsetof(PluginInfoRecord, Reserved1) == 4);
static_assert(offsetof(PluginInfoRecord, HostField1) == 8);
static_assert(offsetof(PluginInfoRecord, HostField2) == 16);
static_assert(offsetof(PluginInfoRecord, Reserved2) == 24);
static_assert(offsetof(PluginInfoRecord, MenuEntryTexts) == 32);
static_assert(offsetof(PluginInfoRecord, MenuEntryCount) == 40);
static_assert(offsetof(PluginInfoRecord, ConfigEntryTexts) == 48);
static_assert(offsetof(PluginInfoRecord, ConfigEntryCount) == 56);
static_assert(offsetof(PluginInfoRecord, Reserved3) == 64);
