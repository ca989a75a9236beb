// The DLL as a file a user installs: the version resource the file's
// properties show, what its PE header asks of the loader, and the stack guard
// its load draws.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tests/testbed/expected_facts.h"
#include "tools/hostkit/pe_facts.h"
#include "tools/hostkit/plugin_dll.h"
#include "tools/hostkit/version_info.h"

namespace {

TEST(DllFile, VersionResourceCarriesTheProjectsVersionNamesAndTheGuid) {
    VersionInfo info(PluginDll::Path());
    ASSERT_TRUE(info.Present()) << "no version resource";

    const VS_FIXEDFILEINFO* fixed = info.Fixed();
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const DWORD high = MAKELONG(LANTERNIX_VERSION_MINOR, LANTERNIX_VERSION_MAJOR);
    const DWORD low = MAKELONG(0, LANTERNIX_VERSION_PATCH);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));

    void* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(info.Query("\\VarFileInfo\\Translation", translation, length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(static_cast<const WORD*>(translation)[0], 0x409);  // US English
    EXPECT_EQ(static_cast<const WORD*>(translation)[1], 1200);   // Unicode

    EXPECT_EQ(info.Text("FileVersion"), LANTERNIX_VERSION);
    EXPECT_EQ(info.Text("ProductVersion"), LANTERNIX_VERSION);
    EXPECT_EQ(info.Text("ProductName"), "Lanternix");
    EXPECT_EQ(info.Text("OriginalFilename"), "Lanternix.dll");
    EXPECT_EQ(info.Text("LegalCopyright"), "Copyright (c) 2026 the Lanternix developers");
    EXPECT_EQ(info.Text("FileDescription").rfind("Lanternix: ", 0), 0u);
    // What the file manager shows as the author, and the identity it knows
    // the plug-in by: never to change.
    EXPECT_EQ(info.Text("CompanyName"), "the Lanternix developers");
    EXPECT_EQ(info.Text("PluginGUID"), expected::PluginGuid);
}

TEST(DllFile, HeaderAsksForRandomBaseAndNoExecuteDataAndHasNoExceptionHandlers) {
    const PeFacts facts = ReadPeFacts(PluginDll::Path());
    ASSERT_TRUE(facts.Valid) << facts.Problem;
    // The build's own width, for a host of that width.
    const bool wide = sizeof(void*) == 8;
    EXPECT_EQ(facts.Machine, wide ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(facts.Bits, wide ? 64 : 32);
    EXPECT_NE(facts.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE, 0) << "ASLR";
    EXPECT_NE(facts.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_NX_COMPAT, 0) << "DEP";
    // 32-bit code declares that it installs no exception handler; 64-bit code
    // has none to declare, and asks for ASLR over the whole address space.
    if (wide)
        EXPECT_NE(facts.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA, 0);
    else
        EXPECT_NE(facts.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_NO_SEH, 0);

    // Only Windows' own DLLs: a compiler runtime's DLL would have to be shipped.
    const std::set<std::string> system = {"ADVAPI32.DLL", "KERNEL32.DLL", "MSVCRT.DLL", "USER32.DLL"};
    ASSERT_FALSE(facts.Imports.empty());
    for (const ImportedDll& imported : facts.Imports) {
        std::string name = imported.Name;
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
        EXPECT_EQ(system.count(name), 1u) << imported.Name;
    }
}

// The DLL is stripped: the guard is found by the value the file gives it, and
// read at the same place in the loaded image.
TEST(DllFile, LoadSeedsTheStackGuardTheFileHolds) {
    const std::vector<uint32_t> places = WritableDataWordsHolding(PluginDll::Path(), expected::UnseededStackGuard);
    ASSERT_EQ(places.size(), 1u) << "the guard's value in the file's data";
    std::vector<uintptr_t> guards;
    for (int load = 0; load < 2; ++load) {
        PluginDll dll;
        ASSERT_TRUE(dll.Loaded());
        // The whole pointer-sized guard: at 64 bits its high half is drawn too.
        uintptr_t guard = 0;
        std::memcpy(&guard, reinterpret_cast<const uint8_t*>(dll.Module()) + places[0], sizeof guard);
        EXPECT_NE(guard, uintptr_t{expected::UnseededStackGuard}) << "load " << load;
        EXPECT_EQ(guard & 0xFF, 0u) << "its first byte stays zero";
        EXPECT_NE(guard, 0u);
        if (sizeof guard == 8) {
            EXPECT_NE(static_cast<uint64_t>(guard) >> 32, 0u) << "the high half is seeded";
        }
        guards.push_back(guard);
    }
    EXPECT_NE(guards[0], guards[1]) << "each load draws a guard of its own";
}

}  // namespace
