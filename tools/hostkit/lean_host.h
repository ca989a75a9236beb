// A host for measuring the plug-in: its services keep no logs and allocate
// nothing, so every byte that comes or goes, and every moment a run takes, is
// the plug-in's (or the platform's on its behalf). One per process.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "support/host_interface.h"

struct LeanHost {
    static LeanHost& Instance();

    // PanelGetInfo hands over these items, the cursor and the top on the first.
    PanelItemRecord* Items = nullptr;
    int32_t ItemCount = 0;
    // The dialog writes DialogEdit, when set, into item 2's text, as a person
    // editing the pattern field would, and closes with DialogResult.
    int32_t DialogResult = -1;
    const char* DialogEdit = nullptr;
};

// The case-insensitive * and ? match of file names, as a NameMatchService.
int32_t __stdcall LeanWildcardMatch(const char* pattern, const char* name, int32_t flag);

// A record pointing at the lean services, zero elsewhere. Messages 0 to 4 are
// the English texts, others null; names are matched by `nameMatch`.
StartupRecord LeanRecord(const char* registryRoot, NameMatchServiceProc nameMatch = LeanWildcardMatch);

// A case-insensitive wildcard match of * and ?, the usual file-name rules.
bool WildcardMatch(const char* pattern, const char* name);

// A panel item with the given name and attributes.
PanelItemRecord MakePanelItem(const std::string& name, DWORD attributes = FILE_ATTRIBUTE_NORMAL);
