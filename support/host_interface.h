// The records and services that cross the boundary between the host file
// manager and the plug-in. Every record is a plain struct whose layout is
// proved where it is written; the plug-in never reaches a host field by byte
// arithmetic. A 32-bit host and a 64-bit host hand over the same records in
// two layouts: each target's is written out once, in its own header, and a
// build compiles against its own target's layout only.
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
using PanelControlServiceProc = int32_t(__stdcall*)(intptr_t panel, int32_t command, void* parameter);
using NameMatchServiceProc = int32_t(__stdcall*)(const char* pattern, const char* name, int32_t flag);

// Panel commands and arguments the plug-in uses.
constexpr intptr_t ActivePanel = -1;  // all bits set, at either width
constexpr int32_t PanelGetInfo = 1;   // fills a PanelInfoRecord
constexpr int32_t PanelRedraw = 5;    // redraws with a RedrawRecord's cursor and top
constexpr int32_t NameMatchFlag = -1;

constexpr DWORD DirectoryAttribute = FILE_ATTRIBUTE_DIRECTORY;
constexpr size_t PanelItemNameSize = MAX_PATH;  // 260 bytes, not always terminated
static_assert(offsetof(WIN32_FIND_DATAA, dwFileAttributes) == 0);
static_assert(offsetof(WIN32_FIND_DATAA, cFileName) == 44);
static_assert(sizeof(WIN32_FIND_DATAA::cFileName) == PanelItemNameSize);

constexpr size_t DialogItemTextSize = 512;

// The records whose layout depends on the host's width: StartupRecord,
// PanelInfoRecord, PanelItemRecord, DialogItemRecord, PluginInfoRecord.
#if defined(_WIN64)
#include "support/host_records_x64.h"
#else
#include "support/host_records_x86.h"
#endif

// Argument of PanelRedraw; the same at either width.
struct RedrawRecord {
    int32_t CurrentItem;
    int32_t TopItem;
};
static_assert(sizeof(RedrawRecord) == 8 && offsetof(RedrawRecord, TopItem) == 4);

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
