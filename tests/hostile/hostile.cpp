// The hostile suite's shared pieces: generator, reference splitter, fenced items and heap, the fixture.
#include "tests/hostile/hostile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "tests/testbed/crash_report.h"
#include "tests/testbed/import_slot.h"
#include "tools/hostkit/system_handles.h"

namespace hostile {

namespace {

uint32_t ParseNumber(const char* text, uint32_t fallback) {
    if (text == nullptr || *text == '\0') return fallback;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 0);
    return end != nullptr && *end == '\0' ? static_cast<uint32_t>(value) : fallback;
}

uint64_t NameHash(const char* text) {
    uint64_t hash = 1469598103934665603ull;  // FNV-1a
    for (; *text != '\0'; ++text) hash = (hash ^ static_cast<uint8_t>(*text)) * 1099511628211ull;
    return hash;
}

// The case being run, for the crash filter and the watchdog.
char CurrentCase[200] = "no case";

std::string CaseText(const char* test, int index) {
    char text[sizeof CurrentCase];
    std::snprintf(text, sizeof text, "%s case %d (LANTERNIX_HOSTILE_SEED=0x%08lX)", test, index,
                  static_cast<unsigned long>(SuiteSeed()));
    return text;
}

}  // namespace

uint32_t SuiteSeed() {
    static const uint32_t seed = ParseNumber(std::getenv("LANTERNIX_HOSTILE_SEED"), DefaultSeed);
    return seed;
}

int Rounds() {
    static const int rounds = static_cast<int>(ParseNumber(std::getenv("LANTERNIX_HOSTILE_ROUNDS"), 1));
    return rounds < 1 ? 1 : rounds;
}

uint32_t Random::Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
}

uint32_t Random::Below(uint32_t bound) {
    return bound == 0 ? 0 : static_cast<uint32_t>((static_cast<uint64_t>(Next()) * bound) >> 32);
}

int32_t Random::Between(int32_t low, int32_t high) {
    const uint32_t span = static_cast<uint32_t>(high) - static_cast<uint32_t>(low) + 1u;
    return static_cast<int32_t>(static_cast<uint32_t>(low) + (span == 0 ? Next() : Below(span)));
}

uint8_t Random::Byte(uint8_t low, uint8_t high) { return static_cast<uint8_t>(Between(low, high)); }

std::string Random::Bytes(size_t count, uint8_t low, uint8_t high) {
    std::string bytes(count, '\0');
    for (char& c : bytes) c = static_cast<char>(Byte(low, high));
    return bytes;
}

std::vector<std::string> ReferencePatterns(const std::string& list) {
    std::vector<std::string> patterns;
    if (list.empty()) return patterns;
    std::string rest = list;
    if (rest.back() != ',') rest += ',';
    for (size_t comma = rest.find(','); comma != std::string::npos; comma = rest.find(',')) {
        std::string pattern = rest.substr(0, comma);
        if (pattern.size() <= 259) patterns.push_back(pattern);
        rest.erase(0, comma + 1);
    }
    return patterns;
}

std::string HandedBackKey(WORD virtualKey, WORD scanCode) {
    return KeyText(virtualKey & 0xFF, scanCode & 0xFF, false, 8);
}

std::string ShownText(const std::string& text) {
    std::string shown = text.substr(0, DialogItemTextSize - 1);
    shown.resize(DialogItemTextSize, '\0');
    return shown;
}

RegistryValue ReadRegistryValue(const std::string& keyPath, const std::string& name) {
    RegistryValue value;
    RegistryKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_QUERY_VALUE, key.receive()) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.Type, nullptr, &size) == ERROR_SUCCESS) {
        // Room to spare: a string value's ANSI form may come out longer than asked.
        std::vector<char> data(size + 16);
        DWORD read = static_cast<DWORD>(data.size());
        if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.Type, reinterpret_cast<BYTE*>(data.data()),
                             &read) == ERROR_SUCCESS) {
            value.Present = true;
            value.Data.assign(data.data(), read);
        }
    }
    return value;
}

// ---- fenced panel items ------------------------------------------------------

namespace {
constexpr size_t PageSize = 4096;
static_assert(5 * sizeof(PanelItemRecord) < PageSize, "five items fit in the one open page");
}  // namespace

FencedItems::FencedItems() {
    region_ = static_cast<uint8_t*>(VirtualAlloc(nullptr, 3 * PageSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD old = 0;
    if (region_ != nullptr) {
        VirtualProtect(region_, PageSize, PAGE_NOACCESS, &old);
        VirtualProtect(region_ + 2 * PageSize, PageSize, PAGE_NOACCESS, &old);
    }
}

FencedItems::~FencedItems() {
    if (region_ != nullptr) VirtualFree(region_, 0, MEM_RELEASE);
}

PanelItemRecord* FencedItems::Place(const std::vector<PanelItemRecord>& items, bool againstEnd) {
    uint8_t* open = region_ + PageSize;
    std::memset(open, 0xEE, PageSize);
    uint8_t* first = againstEnd ? open + PageSize - items.size() * sizeof(PanelItemRecord) : open;
    if (!items.empty()) std::memcpy(first, items.data(), items.size() * sizeof(PanelItemRecord));
    return reinterpret_cast<PanelItemRecord*>(first);
}

// ---- fenced heap -------------------------------------------------------------

namespace {

using MallocProc = void*(__cdecl*)(size_t);
using CallocProc = void*(__cdecl*)(size_t, size_t);
using ReallocProc = void*(__cdecl*)(void*, size_t);
using FreeProc = void(__cdecl*)(void*);

MallocProc RealMalloc = nullptr;
CallocProc RealCalloc = nullptr;
ReallocProc RealRealloc = nullptr;
FreeProc RealFree = nullptr;

struct FencedBlock {
    uint8_t* Region;
    size_t Size;
};
std::map<void*, FencedBlock>& FencedBlocks() {
    static std::map<void*, FencedBlock> blocks;
    return blocks;
}

int FailCountdown = 0;
bool FailureHit = false;

void* __cdecl FencedMalloc(size_t size) {
    if (FailCountdown > 0 && --FailCountdown == 0) {
        FailureHit = true;
        return nullptr;
    }
    const size_t pages = size == 0 ? 1 : (size + PageSize - 1) / PageSize;
    auto* region =
        static_cast<uint8_t*>(VirtualAlloc(nullptr, (pages + 1) * PageSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (region == nullptr) return nullptr;
    DWORD old = 0;
    uint8_t* fence = region + pages * PageSize;
    VirtualProtect(fence, PageSize, PAGE_NOACCESS, &old);
    std::memset(region, 0xCD, pages * PageSize);  // never zero: an unset byte is no terminator
    uint8_t* block = fence - (size == 0 ? 1 : size);
    FencedBlocks()[block] = {region, size};
    return block;
}

void __cdecl FencedFree(void* block) {
    if (block == nullptr) return;
    auto found = FencedBlocks().find(block);
    if (found == FencedBlocks().end()) {
        RealFree(block);  // allocated before the fence went up
        return;
    }
    VirtualFree(found->second.Region, 0, MEM_RELEASE);  // a later touch faults
    FencedBlocks().erase(found);
}

void* __cdecl FencedCalloc(size_t count, size_t size) {
    if (size != 0 && count > SIZE_MAX / size) return nullptr;
    void* block = FencedMalloc(count * size);
    if (block != nullptr) std::memset(block, 0, count * size);
    return block;
}

void* __cdecl FencedRealloc(void* block, size_t size) {
    if (block == nullptr) return FencedMalloc(size);
    auto found = FencedBlocks().find(block);
    if (found == FencedBlocks().end()) return RealRealloc(block, size);
    if (size == 0) {
        FencedFree(block);
        return nullptr;
    }
    void* moved = FencedMalloc(size);
    if (moved == nullptr) return nullptr;
    std::memcpy(moved, block, std::min(size, found->second.Size));
    FencedFree(block);
    return moved;
}

// Keeps the DLL's own function the first time, so a second load finds it too.
template <typename Proc>
void Redirect(HMODULE module, const char* function, Proc& original, Proc replacement, int& redirected) {
    ImportEntry* slot = ImportSlot(module, "msvcrt.dll", function);
    if (slot == nullptr) return;
    const ImportEntry old = ReplaceImport(*slot, reinterpret_cast<const void*>(replacement));
    if (original == nullptr) original = reinterpret_cast<Proc>(static_cast<uintptr_t>(old));
    ++redirected;
}

}  // namespace

void FenceHeapOf(HMODULE module) {
    int redirected = 0;
    Redirect(module, "malloc", RealMalloc, &FencedMalloc, redirected);
    Redirect(module, "calloc", RealCalloc, &FencedCalloc, redirected);
    Redirect(module, "realloc", RealRealloc, &FencedRealloc, redirected);
    Redirect(module, "free", RealFree, &FencedFree, redirected);
    EXPECT_EQ(redirected, 4) << "the DLL's malloc, calloc, realloc and free imports";
}

size_t LiveFencedBlocks() { return FencedBlocks().size(); }

void FailFencedAllocation(int countdown) {
    FailCountdown = countdown;
    FailureHit = false;
}

bool FencedFailureHit() { return FailureHit; }

HostilePanel& Panel() {
    static HostilePanel panel;
    return panel;
}

namespace {
PanelControlServiceProc LoggingPanelService = nullptr;

int32_t __stdcall HostilePanelService(intptr_t panel, int32_t command, void* parameter) {
    const int32_t result = LoggingPanelService(panel, command, parameter);
    if (command == PanelGetInfo && parameter != nullptr && !Panel().FillsNothing) {
        auto* info = static_cast<PanelInfoRecord*>(parameter);
        info->Items = Panel().Items;
        info->ItemCount = Panel().ItemCount;
    }
    return result;
}
}  // namespace

StartupRecord HostileRecord() {
    StartupRecord record = TestHost::Instance().Record();
    LoggingPanelService = record.PanelControlService;
    record.PanelControlService = HostilePanelService;
    return record;
}

// ---- cases and the fixture --------------------------------------------------

CaseScope::CaseScope(const char* test, int index) : trace_(__FILE__, __LINE__, CaseText(test, index)) {
    std::snprintf(CurrentCase, sizeof CurrentCase, "%s", CaseText(test, index).c_str());
    SetCrashDetail(CurrentCase);
}

CaseScope::~CaseScope() {
    SetCrashDetail(nullptr);
    std::snprintf(CurrentCase, sizeof CurrentCase, "no case");
}

const char* CaseScope::Text() const { return CurrentCase; }

void HostileTest::SetUp() {
    ASSERT_TRUE(ConsoleInputAvailable());
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string(test->test_suite_name()) + "." + test->name();
    random = Random(SuiteSeed() ^ NameHash(name.c_str()));
    // Key records carrying Ctrl+C reach the plug-in like any other record; a
    // console in processed mode would swallow them and signal the process.
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    GetConsoleMode(input, &savedInputMode_);
    SetConsoleMode(input, savedInputMode_ & ~static_cast<DWORD>(ENABLE_PROCESSED_INPUT));
    FlushConsoleInput();
    host.Reset();
    Panel() = HostilePanel{};
    KeyCapture::Instance().TakeKeys();
}

void HostileTest::TearDown() {
    FailFencedAllocation(0);
    // Every DLL of the test is unloaded by now: whatever it still holds leaked.
    EXPECT_EQ(LiveFencedBlocks(), 0u) << "heap blocks the DLL kept after unloading";
    FlushConsoleInput();
    SetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), savedInputMode_);
    host.Reset();
}

std::unique_ptr<PluginDll> HostileTest::LoadDll() {
    auto dll = std::make_unique<PluginDll>();
    EXPECT_TRUE(dll->Loaded());
    EXPECT_NE(dll->SetStartupInfo, nullptr);
    EXPECT_NE(dll->GetPluginInfo, nullptr);
    EXPECT_NE(dll->OpenPlugin, nullptr);
    EXPECT_NE(dll->Configure, nullptr);
    if (dll->Loaded()) FenceHeapOf(GetModuleHandleA(PluginDll::Path().c_str()));
    return dll;
}

intptr_t HostileTest::Invoke(PluginDll& dll, const char* what) {
    char label[sizeof CurrentCase + 40];
    std::snprintf(label, sizeof label, "%s: %s", what, CurrentCase);
    Watchdog watchdog(label, 10000);
    return dll.OpenPlugin(static_cast<int32_t>(random.Next()), static_cast<intptr_t>(random.Next()));
}

std::vector<std::string> HostileTest::ReleaseCtrlOver(PluginDll& dll, const PanelItemRecord& item, bool againstEnd,
                                                      const char* what) {
    FencedItems fence;
    Panel().Items = fence.Place({item}, againstEnd);
    Panel().ItemCount = 1;
    host.CurrentItem = 0;
    host.NameMatchCalls.clear();
    QueueKeyEvent(VK_CONTROL, CtrlScanCode, false);
    EXPECT_EQ(Invoke(dll, what), -1);
    Panel().Items = nullptr;  // the fence goes
    return Describe(KeyCapture::Instance().TakeKeys());
}

}  // namespace hostile
