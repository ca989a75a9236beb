// A module's import address table, entry by entry: the tests put functions of
// their own in place of the system functions a module calls, to give it a
// failing allocator or a random source that fails.
#pragma once

#include <windows.h>

// An entry of the import address table: pointer-sized.
using ImportEntry = decltype(IMAGE_THUNK_DATA::u1.Function);

// The slot through which the module calls `function` of `library` (its name in
// any case), imported by name; null when it imports no such function.
ImportEntry* ImportSlot(HMODULE module, const char* library, const char* function);

// Writes the address into the slot, which the loader may have left read-only,
// and gives back what the slot held.
ImportEntry ReplaceImport(ImportEntry& slot, const void* replacement);

// A slot pointed elsewhere for as long as this lives, then back; a function the
// module does not import fails the test.
class ImportRedirect {
public:
    ImportRedirect(HMODULE module, const char* library, const char* function, const void* replacement);
    ~ImportRedirect();
    ImportRedirect(const ImportRedirect&) = delete;
    ImportRedirect& operator=(const ImportRedirect&) = delete;

private:
    ImportEntry* slot_;
    ImportEntry original_ = 0;
};
