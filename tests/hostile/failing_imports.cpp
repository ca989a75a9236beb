// The rerouted registry and console imports: passed on, or failing as armed.
#include "tests/hostile/failing_imports.h"

#include <gtest/gtest.h>

#include <set>

#include "tests/testbed/import_slot.h"

namespace hostile {
namespace {

FailingImport Armed = FailingImport::None;
DWORD ArmedStatus = 0;
int Hits = 0;

std::set<HKEY>& OpenKeys() {
    static std::set<HKEY> keys;
    return keys;
}

bool Fails(FailingImport import) {
    if (Armed != import) return false;
    ++Hits;
    return true;
}

// A failed call need not leave the handle's cell alone: junk there must not
// be taken for a key.
constexpr uintptr_t JunkKey = 0x5A5A5A58;

LONG WINAPI OpenKey(HKEY root, LPCSTR path, DWORD options, REGSAM access, PHKEY key) {
    if (Fails(FailingImport::RegOpenKeyExA)) {
        *key = reinterpret_cast<HKEY>(JunkKey);
        return static_cast<LONG>(ArmedStatus);
    }
    const LONG status = RegOpenKeyExA(root, path, options, access, key);
    if (status == ERROR_SUCCESS) OpenKeys().insert(*key);
    return status;
}

LONG WINAPI CreateKey(HKEY root, LPCSTR path, DWORD reserved, LPSTR type, DWORD options, REGSAM access,
                      const LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD disposition) {
    if (Fails(FailingImport::RegCreateKeyExA)) {
        *key = reinterpret_cast<HKEY>(JunkKey);
        return static_cast<LONG>(ArmedStatus);
    }
    const LONG status = RegCreateKeyExA(root, path, reserved, type, options, access, security, key, disposition);
    if (status == ERROR_SUCCESS) OpenKeys().insert(*key);
    return status;
}

LONG WINAPI QueryValue(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
    if (Fails(FailingImport::RegQueryValueExA)) return static_cast<LONG>(ArmedStatus);
    return RegQueryValueExA(key, name, reserved, type, data, size);
}

LONG WINAPI SetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
    if (Fails(FailingImport::RegSetValueExA)) return static_cast<LONG>(ArmedStatus);
    return RegSetValueExA(key, name, reserved, type, data, size);
}

LONG WINAPI CloseKey(HKEY key) {
    EXPECT_EQ(OpenKeys().erase(key), 1u) << "the DLL closed a key it had not opened";
    return RegCloseKey(key);
}

HANDLE WINAPI StdHandle(DWORD which) {
    if (!Fails(FailingImport::GetStdHandle)) return GetStdHandle(which);
    SetLastError(ArmedStatus);
    return INVALID_HANDLE_VALUE;
}

BOOL WINAPI ReadInput(HANDLE input, PINPUT_RECORD records, DWORD length, LPDWORD count) {
    if (Fails(FailingImport::ReadNoRecord)) {
        *count = 0;
        return TRUE;
    }
    if (Fails(FailingImport::ReadConsoleInputA)) {
        SetLastError(ArmedStatus);
        return FALSE;
    }
    return ReadConsoleInputA(input, records, length, count);
}

}  // namespace

void RerouteImportsOf(HMODULE module) {
    struct Reroute {
        const char* Library;
        const char* Function;
        const void* Replacement;
    };
    const Reroute reroutes[] = {
        {"advapi32.dll", "RegOpenKeyExA", reinterpret_cast<const void*>(&OpenKey)},
        {"advapi32.dll", "RegCreateKeyExA", reinterpret_cast<const void*>(&CreateKey)},
        {"advapi32.dll", "RegQueryValueExA", reinterpret_cast<const void*>(&QueryValue)},
        {"advapi32.dll", "RegSetValueExA", reinterpret_cast<const void*>(&SetValue)},
        {"advapi32.dll", "RegCloseKey", reinterpret_cast<const void*>(&CloseKey)},
        {"kernel32.dll", "GetStdHandle", reinterpret_cast<const void*>(&StdHandle)},
        {"kernel32.dll", "ReadConsoleInputA", reinterpret_cast<const void*>(&ReadInput)},
    };
    for (const Reroute& reroute : reroutes) {
        ImportEntry* slot = ImportSlot(module, reroute.Library, reroute.Function);
        EXPECT_NE(slot, nullptr) << "the DLL imports no " << reroute.Library << "!" << reroute.Function;
        if (slot != nullptr) ReplaceImport(*slot, reroute.Replacement);
    }
    OpenKeys().clear();
    FailImport(FailingImport::None);
}

void FailImport(FailingImport import, DWORD status) {
    Armed = import;
    ArmedStatus = status;
    Hits = 0;
}

int ImportFailuresHit() { return Hits; }

size_t OpenRegistryKeys() { return OpenKeys().size(); }

}  // namespace hostile
