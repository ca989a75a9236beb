// The stand-in host's file panel: a real folder listed as the file manager
// lists it, with names in the OEM code page as the plug-in sees them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/host_interface.h"

// A folder's items as the plug-in gets them, and each item's real name
// (UTF-8), which the host needs to open it.
struct FolderListing {
    std::vector<PanelItemRecord> Items;
    std::vector<std::string> RealNames;
};

// The host's panel: its items, the cursor and the top item shown. The host
// owns the bounds: whatever index a redraw asks for, the cursor stays on an
// item and the cursor's row stays within the rows shown.
class Panel {
public:
    explicit Panel(int32_t rows = 20) : rows_(rows < 1 ? 1 : rows) {}

    void SetItems(FolderListing listing);
    // The host's array, which the plug-in reads after PanelGetInfo.
    PanelItemRecord* ItemArray() { return listing_.Items.empty() ? nullptr : listing_.Items.data(); }
    int32_t Count() const { return static_cast<int32_t>(listing_.Items.size()); }
    int32_t Current() const { return current_; }
    int32_t Top() const { return top_; }
    int32_t Rows() const { return rows_; }

    // Applies a redraw request, clamped; true when something had to be
    // clamped.
    bool Redraw(int32_t current, int32_t top);
    // The item named so (UTF-8; its real name or the name the plug-in sees,
    // exact first, then in any case); -1 when none.
    int32_t Find(const std::string& name) const;
    // The name as the plug-in sees it, in UTF-8 for display.
    std::string NameAt(int32_t index) const;
    std::string RealNameAt(int32_t index) const;
    // False when the OEM code page cannot hold the real name.
    bool NameFits(int32_t index) const { return NameAt(index) == RealNameAt(index); }
    bool IsDirectory(int32_t index) const;

private:
    FolderListing listing_;
    int32_t current_ = 0;
    int32_t top_ = 0;
    int32_t rows_;
};

// An item of the given name (UTF-8) and attributes; its name in the record
// is converted to the OEM code page.
PanelItemRecord MakeItem(const std::string& name, DWORD attributes);
FolderListing ListingOf(const std::vector<PanelItemRecord>& items);

// The folder's full path (UTF-8), without a trailing separator except at a
// drive's root. False, with a reason, when it is no folder.
bool FolderPath(const std::string& folder, std::string& path, std::string& error);

// The items of a folder (its full path) as a panel shows them: ".." first
// when the folder has a parent, then the folders, then the files, each group
// by name in any case. False, with a reason, when it cannot be listed.
bool ListFolder(const std::string& path, FolderListing& listing, std::string& error);

// The folder an item leads to: the parent for "..", else the subfolder.
std::string FolderBehind(const std::string& path, const std::string& realName);

// The last component of a path ("sample" for "C:\build\sample"), for display.
std::string FolderDisplayName(const std::string& path);
