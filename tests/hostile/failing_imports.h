// The DLL's registry and console imports rerouted through the test's own
// functions, as its allocator is (FenceHeapOf): they pass every call on to the
// system until a failure is armed, then answer with it. Keys the DLL opens
// are counted until it closes them.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace hostile {

enum class FailingImport : uint8_t {
    None,
    RegOpenKeyExA,
    RegCreateKeyExA,
    RegQueryValueExA,
    RegSetValueExA,
    GetStdHandle,       // answers INVALID_HANDLE_VALUE, the status as last error
    ReadConsoleInputA,  // answers FALSE, the status as last error
    ReadNoRecord,       // ReadConsoleInputA answers TRUE with no record read
};

// Reroutes the imports of a freshly loaded DLL; every one must be there.
void RerouteImportsOf(HMODULE module);
// From now on every call of the import fails with the status (a registry
// call returns it); None passes every call on again.
void FailImport(FailingImport import, DWORD status = 0);
// Calls that met the armed failure since it was armed.
int ImportFailuresHit();
// Registry keys the DLL opened or created and has not closed.
size_t OpenRegistryKeys();

}  // namespace hostile
