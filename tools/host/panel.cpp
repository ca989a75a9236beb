// The panel's cursor kept in bounds, and folders listed and named as the file manager lists them.
#include "tools/host/panel.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "tools/host/text.h"
#include "tools/hostkit/paths.h"
#include "tools/hostkit/system_handles.h"

void Panel::SetItems(FolderListing listing) {
    listing_ = std::move(listing);
    listing_.RealNames.resize(listing_.Items.size());
    current_ = 0;
    top_ = 0;
}

bool Panel::Redraw(int32_t current, int32_t top) {
    const int32_t count = Count();
    int32_t newCurrent = 0, newTop = 0;
    if (count > 0) {
        newCurrent = std::clamp(current, 0, count - 1);
        newTop = std::clamp(top, 0, std::max(0, count - rows_));
        // The cursor's row is always shown.
        if (newCurrent < newTop) newTop = newCurrent;
        if (newCurrent >= newTop + rows_) newTop = newCurrent - rows_ + 1;
    }
    current_ = newCurrent;
    top_ = newTop;
    return newCurrent != current || newTop != top;
}

int32_t Panel::Find(const std::string& name) const {
    for (int32_t i = 0; i < Count(); ++i)
        if (RealNameAt(i) == name || NameAt(i) == name) return i;
    // Any case, non-ASCII letters too.
    const std::wstring wanted = Widen(name);
    for (int32_t i = 0; i < Count(); ++i)
        if (lstrcmpiW(Widen(RealNameAt(i)).c_str(), wanted.c_str()) == 0) return i;
    return -1;
}

std::string Panel::NameAt(int32_t index) const {
    if (index < 0 || index >= Count()) return "";
    const char* name = listing_.Items[static_cast<size_t>(index)].FindData.cFileName;
    return OemToUtf8(std::string(name, strnlen(name, PanelItemNameSize)));
}

std::string Panel::RealNameAt(int32_t index) const {
    if (index < 0 || index >= Count()) return "";
    const std::string& real = listing_.RealNames[static_cast<size_t>(index)];
    return real.empty() ? NameAt(index) : real;
}

bool Panel::IsDirectory(int32_t index) const {
    return index >= 0 && index < Count() &&
           (listing_.Items[static_cast<size_t>(index)].FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

namespace {
// The name in the OEM code page; a character it cannot hold becomes '?',
// as the file manager's narrow name would show it.
std::string OemName(const std::string& name) {
    std::string oem, refused;
    if (Utf8ToOem(name, oem, refused)) return oem;
    const std::wstring wide = Widen(name);
    const int length =
        WideCharToMultiByte(CP_OEMCP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    oem.assign(static_cast<size_t>(std::max(length, 0)), '?');
    WideCharToMultiByte(CP_OEMCP, 0, wide.data(), static_cast<int>(wide.size()), oem.data(), length, nullptr, nullptr);
    return oem;
}

bool IsRoot(const std::string& path) { return PathIsRootW(Widen(path).c_str()) != FALSE; }
}  // namespace

PanelItemRecord MakeItem(const std::string& name, DWORD attributes) {
    PanelItemRecord item{};
    item.FindData.dwFileAttributes = attributes;
    std::snprintf(item.FindData.cFileName, sizeof item.FindData.cFileName, "%s", OemName(name).c_str());
    return item;
}

FolderListing ListingOf(const std::vector<PanelItemRecord>& items) { return {items, {}}; }

bool FolderPath(const std::string& folder, std::string& path, std::string& error) {
    wchar_t full[MAX_PATH * 4];
    const DWORD length = GetFullPathNameW(Widen(folder).c_str(), MAX_PATH * 4, full, nullptr);
    if (length == 0 || length >= MAX_PATH * 4) return error = "no such folder: " + folder, false;
    path = Narrow(std::wstring(full, length));
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return error = "no such folder: " + folder, false;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return error = "not a folder, but a file: " + folder, false;
    return true;
}

bool ListFolder(const std::string& path, FolderListing& listing, std::string& error) {
    listing = {};
    std::string pattern = path;
    if (pattern.back() != '\\') pattern += '\\';
    WIN32_FIND_DATAW found;
    const UniqueFindHandle search(FindFirstFileW(Widen(pattern + "*").c_str(), &found));
    if (!search) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND) return error = "cannot list the folder " + path, false;
    } else {
        std::vector<std::pair<std::string, DWORD>> entries;
        do {
            const std::string name = Narrow(found.cFileName);
            if (name != "." && name != "..") entries.emplace_back(name, found.dwFileAttributes);
        } while (FindNextFileW(search.get(), &found));
        std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
            const bool aFolder = (a.second & FILE_ATTRIBUTE_DIRECTORY) != 0;
            const bool bFolder = (b.second & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (aFolder != bFolder) return aFolder;
            return LessIgnoringCase(a.first, b.first);
        });
        for (const auto& [name, attributes] : entries) {
            listing.Items.push_back(MakeItem(name, attributes));
            listing.RealNames.push_back(name);
        }
    }
    if (!IsRoot(path)) {
        listing.Items.insert(listing.Items.begin(), MakeItem("..", FILE_ATTRIBUTE_DIRECTORY));
        listing.RealNames.insert(listing.RealNames.begin(), "..");
    }
    return true;
}

std::string FolderBehind(const std::string& path, const std::string& realName) {
    if (realName != "..") return path + (path.back() == '\\' ? "" : "\\") + realName;
    const size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return path;
    std::string parent = path.substr(0, slash);
    if (parent.size() == 2 && parent[1] == ':') parent += '\\';  // a drive's root keeps its separator
    return parent;
}

std::string FolderDisplayName(const std::string& path) { return IsRoot(path) ? path : FileName(path); }
