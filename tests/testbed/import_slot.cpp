// A module's import slots found by library and function name, and replaced for a while.
#include "tests/testbed/import_slot.h"

#include <gtest/gtest.h>

#include <cstring>

ImportEntry* ImportSlot(HMODULE module, const char* library, const char* function) {
    auto* base = reinterpret_cast<uint8_t*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    // The headers and import thunks of the build's own width.
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* imported = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         imported->Name != 0; ++imported) {
        if (_stricmp(reinterpret_cast<const char*>(base + imported->Name), library) != 0) continue;
        auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + imported->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imported->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if ((names->u1.Ordinal & IMAGE_ORDINAL_FLAG) != 0) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) return &slots->u1.Function;
        }
    }
    return nullptr;
}

ImportEntry ReplaceImport(ImportEntry& slot, const void* replacement) {
    const ImportEntry original = slot;
    DWORD protection = 0;
    VirtualProtect(&slot, sizeof slot, PAGE_READWRITE, &protection);
    slot = static_cast<ImportEntry>(reinterpret_cast<uintptr_t>(replacement));
    VirtualProtect(&slot, sizeof slot, protection, &protection);
    return original;
}

ImportRedirect::ImportRedirect(HMODULE module, const char* library, const char* function, const void* replacement)
    : slot_(ImportSlot(module, library, function)) {
    EXPECT_NE(slot_, nullptr) << "the module imports no " << library << "!" << function;
    if (slot_ != nullptr) original_ = ReplaceImport(*slot_, replacement);
}

ImportRedirect::~ImportRedirect() {
    if (slot_ != nullptr) ReplaceImport(*slot_, reinterpret_cast<const void*>(static_cast<uintptr_t>(original_)));
}
