// The lean host's services, its record and its wildcard match.
#include "tools/hostkit/lean_host.h"

#include <cctype>
#include <cstring>

#include "tools/hostkit/startup_record.h"

namespace {

constexpr int32_t LeanModuleId = 7;

const char* const MessageTexts[] = {"Store", "Cancel", "Lanternix", "Lanternix settings", "Patterns:"};

const char* __stdcall LeanMessage(intptr_t, int32_t id) { return id >= 0 && id < 5 ? MessageTexts[id] : nullptr; }

int32_t __stdcall LeanPanel(intptr_t, int32_t command, void* parameter) {
    if (command == PanelGetInfo && parameter != nullptr) {
        const LeanHost& host = LeanHost::Instance();
        auto* info = static_cast<PanelInfoRecord*>(parameter);
        info->Items = host.Items;
        info->ItemCount = host.ItemCount;
        info->CurrentItem = 0;
        info->TopItem = 0;
    }
    return 1;
}

int32_t __stdcall LeanDialog(intptr_t, int32_t, int32_t, int32_t, int32_t, const char*, DialogItemRecord* items,
                             int32_t count) {
    const LeanHost& host = LeanHost::Instance();
    if (host.DialogEdit != nullptr && count > 2) {
        std::memset(items[2].Text, 0, sizeof items[2].Text);
        std::strncpy(items[2].Text, host.DialogEdit, sizeof items[2].Text - 1);
    }
    return host.DialogResult;
}

}  // namespace

LeanHost& LeanHost::Instance() {
    static LeanHost host;
    return host;
}

int32_t __stdcall LeanWildcardMatch(const char* pattern, const char* name, int32_t) {
    return WildcardMatch(pattern, name) ? 1 : 0;
}

StartupRecord LeanRecord(const char* registryRoot, NameMatchServiceProc nameMatch) {
    return MakeStartupRecord({LeanModuleId, LeanDialog, nullptr, LeanMessage, LeanPanel, nameMatch}, registryRoot);
}

bool WildcardMatch(const char* pattern, const char* name) {
    auto same = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    // Greedy with one backtrack point: the last star seen.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name != '\0') {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern != '\0' && (*pattern == '?' || same(*pattern, *name))) {
            ++pattern;
            ++name;
        } else if (star != nullptr) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == '\0';
}

PanelItemRecord MakePanelItem(const std::string& name, DWORD attributes) {
    PanelItemRecord item;
    std::memset(&item, 0, sizeof item);
    item.FindData.dwFileAttributes = attributes;
    std::strncpy(item.FindData.cFileName, name.c_str(), sizeof item.FindData.cFileName - 1);
    return item;
}
