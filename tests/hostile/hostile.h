// Shared pieces of the hostile-input suite: a seeded generator, the reference
// splitter of pattern lists, a panel item array fenced by no-access pages, the
// expected text of a key handed back, and a fixture that reports the seed and
// the case on any failure, crash or hang.
//
// Reproducing a run: LANTERNIX_HOSTILE_SEED=<seed> (decimal or 0x-hex) picks
// the seed; LANTERNIX_HOSTILE_ROUNDS=<n> multiplies the number of cases.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/host_interface.h"
#include "tests/testbed/expected_facts.h"
#include "tests/testbed/test_host.h"
#include "tests/testbed/win_testbed.h"

namespace hostile {

constexpr uint32_t DefaultSeed = 0x4C414E54;

// The suite's seed: LANTERNIX_HOSTILE_SEED, else DefaultSeed.
uint32_t SuiteSeed();
// Case counts are multiplied by LANTERNIX_HOSTILE_ROUNDS (default 1).
int Rounds();

// A small, fully specified generator (splitmix64), so a seed gives the same
// cases with any standard library.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint32_t Next();
    uint32_t Below(uint32_t bound);              // 0 .. bound-1; 0 when bound is 0
    int32_t Between(int32_t low, int32_t high);  // low .. high, both included
    bool Chance(uint32_t percent) { return Below(100) < percent; }
    uint8_t Byte(uint8_t low = 1, uint8_t high = 255);
    std::string Bytes(size_t count, uint8_t low = 1, uint8_t high = 255);
    template <typename T>
    const T& Pick(const std::vector<T>& choices) {
        return choices[Below(static_cast<uint32_t>(choices.size()))];
    }

private:
    uint64_t state_;
};

// The patterns a list hands to NameMatchService, in order, worked out the long
// way: a comma is appended unless the list ends in one, then the text before
// each comma is a pattern. An empty list holds none; a pattern longer than 259
// characters is never handed over.
std::vector<std::string> ReferencePatterns(const std::string& list);

// A key handed back as Describe gives it: its low bytes, marked 8.
std::string HandedBackKey(WORD virtualKey, WORD scanCode);

// The 512 bytes a dialog item's Text holds for a text: at most 511 characters,
// zero-filled after them.
std::string ShownText(const std::string& text);

// A registry value as the registry hands it to an ANSI reader.
struct RegistryValue {
    bool Present = false;
    DWORD Type = 0;
    std::string Data;
};
RegistryValue ReadRegistryValue(const std::string& keyPath, const std::string& name);

// Panel items laid flush against a no-access page, before or after them, so a
// read outside the array faults instead of passing unnoticed.
class FencedItems {
public:
    FencedItems();
    ~FencedItems();
    FencedItems(const FencedItems&) = delete;
    FencedItems& operator=(const FencedItems&) = delete;
    PanelItemRecord* Place(const std::vector<PanelItemRecord>& items, bool againstEnd);

private:
    uint8_t* region_ = nullptr;
};

// The DLL's heap blocks, each laid flush against a no-access page: the DLL's
// imports of malloc, calloc, realloc and free are redirected here, so a read
// or write one byte past a block, or into a freed one, faults at once. Blocks
// the DLL still holds after it is unloaded are leaks.
void FenceHeapOf(HMODULE module);
size_t LiveFencedBlocks();
// The countdown-th allocation from now fails (returns null), once; 0 turns the
// failure off. FencedFailureHit tells whether it has come.
void FailFencedAllocation(int countdown);
bool FencedFailureHit();

// What the hostile panel service hands over on PanelGetInfo, on top of the
// in-test host's logging: the fenced array (or null) and a count of the
// test's choosing.
struct HostilePanel {
    bool FillsNothing = false;
    PanelItemRecord* Items = nullptr;
    int32_t ItemCount = 0;
};
HostilePanel& Panel();
// The in-test host's record with the panel service replaced by the hostile one.
StartupRecord HostileRecord();

// One random case's identity, shown by every failure, crash and hang.
class CaseScope {
public:
    CaseScope(const char* test, int index);
    ~CaseScope();
    CaseScope(const CaseScope&) = delete;
    CaseScope& operator=(const CaseScope&) = delete;
    const char* Text() const;

private:
    ::testing::ScopedTrace trace_;
};

// Every hostile test: a fresh in-test host, an empty console queue, the
// keyboard hook ready, crashes reported with the current case, and a
// generator seeded from the suite seed and the test's name.
class HostileTest : public ::testing::Test {
protected:
    TestHost& host = TestHost::Instance();
    Random random{0};

    void SetUp() override;
    void TearDown() override;

    // A fresh load of the DLL, all four entry points present, its heap fenced.
    std::unique_ptr<PluginDll> LoadDll();
    // OpenPlugin under a watchdog; the console must hold the records first.
    intptr_t Invoke(PluginDll& dll, const char* what);
    // A Ctrl release over a panel of the one item, laid against the fence
    // before or after it, the match log cleared first: the keys it sent.
    std::vector<std::string> ReleaseCtrlOver(PluginDll& dll, const PanelItemRecord& item, bool againstEnd,
                                             const char* what);

private:
    DWORD savedInputMode_ = 0;
};

}  // namespace hostile
