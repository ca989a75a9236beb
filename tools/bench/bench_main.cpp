// What the plug-in costs, measured side by side in one run: pattern matching
// against a bare loop over the same patterns, each entry point of the real
// DLL, the start-up from LoadLibrary to the end of SetStartupInfo, a load and
// unload against a minimal DLL's, and the DLL's size and imports. Not a test:
// scripts/bench.sh builds it and runs it under Wine on a console (OpenPlugin
// reads its event from the console).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "relay/key_relay.h"
#include "relay/plugin_constants.h"
#include "support/startup.h"
#include "tools/hostkit/console_input.h"
#include "tools/hostkit/lean_host.h"
#include "tools/hostkit/paths.h"
#include "tools/hostkit/pe_facts.h"
#include "tools/hostkit/plugin_dll.h"
#include "tools/hostkit/resource_meter.h"
#include "tools/hostkit/system_handles.h"

namespace {

volatile intptr_t Sink = 0;  // keeps measured results alive

// ---- the stub host ------------------------------------------------------------

// The test bed's lean host stands in for the file manager. Its name matcher
// does a wildcard match; this one returns 0 at once, which lays the relay's
// own share bare.
int32_t __stdcall EmptyStub(const char*, const char*, int32_t) { return 0; }

PanelItemRecord PanelItem;  // the one item of the lean host's panel

// ---- timing -------------------------------------------------------------------

struct Timing {
    double Best = 0;    // nanoseconds per call, fastest round
    double Median = 0;  // nanoseconds per call, median round
};

Timing Summarise(std::vector<double> perCall) {
    std::sort(perCall.begin(), perCall.end());
    return {perCall.front(), perCall[perCall.size() / 2]};
}

// Rounds of `calls` calls each; `prepare` runs untimed before every round.
template <typename Call, typename Prepare>
Timing Measure(int calls, int rounds, Call call, Prepare prepare) {
    std::vector<double> perCall;
    for (int round = 0; round < rounds; ++round) {
        prepare();
        const double start = Seconds();
        for (int i = 0; i < calls; ++i) call();
        perCall.push_back((Seconds() - start) * 1e9 / calls);
    }
    return Summarise(perCall);
}

template <typename Call>
Timing Measure(int calls, int rounds, Call call) {
    return Measure(calls, rounds, call, [] {});
}

std::string Time(double nanoseconds) {
    char text[32];
    if (nanoseconds < 1e3) {
        std::snprintf(text, sizeof text, "%.1f ns", nanoseconds);
    } else if (nanoseconds < 1e6) {
        std::snprintf(text, sizeof text, "%.2f us", nanoseconds / 1e3);
    } else {
        std::snprintf(text, sizeof text, "%.2f ms", nanoseconds / 1e6);
    }
    return text;
}

void PrintTiming(const char* what, const Timing& timing) {
    std::printf("  %-58s %12s   (median %s)\n", what, Time(timing.Best).c_str(), Time(timing.Median).c_str());
}

// ---- MatchesStartPattern against a bare loop ------------------------------------

// The patterns the relay hands over, split beforehand.
std::vector<std::string> Split(const std::string& list) {
    std::vector<std::string> patterns;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string::npos) end = list.size();
        if (end - start <= MaxPatternLength) patterns.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return patterns;
}

// What matching would cost with the patterns already split: only the service
// calls, through the same pointer, stopping at the first match.
__attribute__((noinline)) bool BareLoop(const std::vector<const char*>& patterns, const char* name) {
    const NameMatchServiceProc matches = HostStartupRecord.NameMatchService;
    for (const char* pattern : patterns)
        if (matches(pattern, name, NameMatchFlag) != 0) return true;
    return false;
}

// Short patterns ("*.x0", "*.x1", ...) filling exactly 8191 characters.
std::string LongList() {
    std::string list;
    for (int i = 0; list.size() < 8191; ++i) list += "*.x" + std::to_string(i) + ",";
    list.resize(8191);
    return list;
}

constexpr double MatchingTarget = 1.25;
constexpr double LoadTarget = 1.2;

void PrintRatio(double best, double median, double target) {
    std::printf("    ratio %.2f (median %.2f), target at most %.2f: %s\n", best, median, target,
                best <= target ? "met" : "NOT MET");
}

void CompareMatching(const char* title, const std::string& list, NameMatchServiceProc stub, int calls, bool targeted) {
    HostStartupRecord.NameMatchService = stub;
    StartPatternList.Assign(list.data(), list.size());
    const std::vector<std::string> split = Split(list);
    std::vector<const char*> patterns;
    for (const std::string& pattern : split) patterns.push_back(pattern.c_str());
    const char* name = "readme.txt";  // matches none: every pattern is asked
    std::vector<double> relay, bare;
    for (int round = 0; round < 9; ++round) {  // alternating, so both see the same machine
        double start = Seconds();
        for (int i = 0; i < calls; ++i) Sink = Sink + (MatchesStartPattern(name) ? 1 : 0);
        relay.push_back((Seconds() - start) * 1e9 / calls);
        start = Seconds();
        for (int i = 0; i < calls; ++i) Sink = Sink + (BareLoop(patterns, name) ? 1 : 0);
        bare.push_back((Seconds() - start) * 1e9 / calls);
    }
    const Timing relayTime = Summarise(relay);
    const Timing bareTime = Summarise(bare);
    std::printf("  %s, %zu characters, %zu patterns:\n", title, list.size(), patterns.size());
    std::printf("    MatchesStartPattern %s per call, the bare loop %s per call\n", Time(relayTime.Best).c_str(),
                Time(bareTime.Best).c_str());
    if (targeted) {
        PrintRatio(relayTime.Best / bareTime.Best, relayTime.Median / bareTime.Median, MatchingTarget);
    } else {
        std::printf("    ratio %.2f (median %.2f): the relay's own work per call, no target\n",
                    relayTime.Best / bareTime.Best, relayTime.Median / bareTime.Median);
    }
}

// ---- the DLL --------------------------------------------------------------------

const char BenchRoot[] = "Software\\LanternixBench";

void MeasureEntryPoints(const std::string& dllPath) {
    auto dll = std::make_unique<PluginDll>();
    if (!dll->Loaded()) {
        std::printf("  cannot load %s\n", dllPath.c_str());
        return;
    }
    auto setStartupInfo = dll->SetStartupInfo;
    auto getPluginInfo = dll->GetPluginInfo;
    auto openPlugin = dll->OpenPlugin;
    auto configure = dll->Configure;
    LeanHost& host = LeanHost::Instance();
    StartupRecord record = LeanRecord(BenchRoot);
    setStartupInfo(&record);

    PluginInfoRecord info{};
    PrintTiming("GetPluginInfo (hands over the two menu texts)", Measure(1000000, 7, [&] { getPluginInfo(&info); }));
    PrintTiming("SetStartupInfo (record copied, list read from the registry)",
                Measure(2000, 7, [&] { setStartupInfo(&record); }));
    host.DialogResult = -1;
    PrintTiming("Configure, stub dialog closed with -1 (no change)", Measure(20000, 7, [&] { Sink = configure(0); }));
    host.DialogResult = 4;
    PrintTiming("Configure, stub dialog closed with 4 (list kept in memory)",
                Measure(20000, 7, [&] { Sink = configure(0); }));
    host.DialogResult = 3;
    PrintTiming("Configure, stub dialog closed with 3 (list stored)", Measure(2000, 7, [&] { Sink = configure(0); }));

    // The console queue is filled before each round; each call reads one
    // Ctrl press, which sends nothing.
    if (ConsoleInputAvailable()) {
        FlushConsoleInput();
        HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
        constexpr int Batch = 500;
        std::vector<INPUT_RECORD> records(Batch, KeyEventRecord(VK_CONTROL, 0x1D, true));
        PrintTiming("OpenPlugin, one queued console event (Ctrl press)",
                    Measure(
                        Batch, 9, [&] { Sink = openPlugin(0, 0); },
                        [&] {
                            DWORD written = 0;
                            WriteConsoleInputA(input, records.data(), Batch, &written);
                        }));
        PrintTiming("  for comparison: ReadConsoleInputA of one queued event",
                    Measure(
                        Batch, 9,
                        [&] {
                            INPUT_RECORD read;
                            DWORD count = 0;
                            ReadConsoleInputA(input, &read, 1, &count);
                        },
                        [&] {
                            DWORD written = 0;
                            WriteConsoleInputA(input, records.data(), Batch, &written);
                        }));
    } else {
        std::printf("  OpenPlugin: skipped, standard input is not a console\n");
    }
    dll.reset();

    // From LoadLibrary to the end of SetStartupInfo, a fresh load each time.
    std::vector<double> startUps;
    for (int cycle = 0; cycle < 300; ++cycle) {
        const double start = Seconds();
        const UniqueModule loaded(LoadLibraryA(dllPath.c_str()));
        FindEntryPoint<SetStartupInfoProc>(loaded.get(), "SetStartupInfo")(&record);
        startUps.push_back((Seconds() - start) * 1e9);
    }
    PrintTiming("LoadLibrary to the end of SetStartupInfo (300 fresh loads)", Summarise(startUps));
}

// LoadLibrary and FreeLibrary of the plug-in against the same of a DLL that
// has one export and no runtime, in rounds of cycles. Within a round the two
// DLLs take turns to go first, so both see the same moments of the machine;
// a single cycle is too short to compare on its own under Wine.
void CompareLoading(const std::string& dllPath) {
    const std::string minimalPath = FolderOf(dllPath) + "lanternix-minimal.dll";
    constexpr int Rounds = 20;
    constexpr int CyclesPerRound = 50;
    std::vector<double> plugin, minimal;  // nanoseconds per cycle, one entry a round
    auto cycle = [](const std::string& path, double& total) {
        const double start = Seconds();
        HMODULE loaded = LoadLibraryA(path.c_str());
        if (loaded == nullptr) return false;
        FreeLibrary(loaded);
        total += Seconds() - start;
        return true;
    };
    for (int round = 0; round < Rounds; ++round) {
        double pluginTotal = 0, minimalTotal = 0;
        for (int i = 0; i < CyclesPerRound; ++i) {
            const bool pluginFirst = i % 2 == 0;
            if (!cycle(pluginFirst ? dllPath : minimalPath, pluginFirst ? pluginTotal : minimalTotal) ||
                !cycle(pluginFirst ? minimalPath : dllPath, pluginFirst ? minimalTotal : pluginTotal)) {
                std::printf("  cannot load %s or %s\n", dllPath.c_str(), minimalPath.c_str());
                return;
            }
        }
        plugin.push_back(pluginTotal * 1e9 / CyclesPerRound);
        minimal.push_back(minimalTotal * 1e9 / CyclesPerRound);
    }
    const Timing pluginTime = Summarise(plugin);
    const Timing minimalTime = Summarise(minimal);
    std::printf(
        "  LoadLibrary then FreeLibrary, %d rounds of %d cycles each, per cycle in the fastest round\n"
        "  (median round):\n",
        Rounds, CyclesPerRound);
    std::printf("    Lanternix.dll %s (%s); a minimal DLL (one export, no runtime) %s (%s)\n",
                Time(pluginTime.Best).c_str(), Time(pluginTime.Median).c_str(), Time(minimalTime.Best).c_str(),
                Time(minimalTime.Median).c_str());
    PrintRatio(pluginTime.Best / minimalTime.Best, pluginTime.Median / minimalTime.Median, LoadTarget);
}

void PrintDllFacts(const std::string& dllPath) {
    const PeFacts facts = ReadPeFacts(dllPath);
    if (!facts.Valid) {
        std::printf("  %s: %s\n", dllPath.c_str(), facts.Problem.c_str());
        return;
    }
    constexpr uint64_t SizeTarget = 32768;
    std::printf("  Lanternix.dll is %llu bytes (target at most %llu: %s), %s\n",
                static_cast<unsigned long long>(facts.FileSize), static_cast<unsigned long long>(SizeTarget),
                facts.FileSize <= SizeTarget ? "met" : "NOT MET",
                facts.Machine == IMAGE_FILE_MACHINE_I386    ? "32-bit x86"
                : facts.Machine == IMAGE_FILE_MACHINE_AMD64 ? "64-bit x64"
                                                            : "neither x86 nor x64");
    std::printf("  it imports (DLL, number of functions):");
    for (const ImportedDll& imported : facts.Imports)
        std::printf(" %s (%zu)", imported.Name.c_str(), imported.Functions);
    std::printf("\n  hardening:");
    // NO_SEH declares that 32-bit code installs no exception handler; 64-bit
    // code has none to declare, and asks for ASLR over the whole address space.
    const std::pair<uint16_t, const char*> flags[] = {
        {IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE, "DYNAMIC_BASE"},
        {IMAGE_DLLCHARACTERISTICS_NX_COMPAT, "NX_COMPAT"},
        facts.Bits == 64 ? std::pair<uint16_t, const char*>{IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA, "HIGH_ENTROPY_VA"}
                         : std::pair<uint16_t, const char*>{IMAGE_DLLCHARACTERISTICS_NO_SEH, "NO_SEH"}};
    for (const auto& [bit, name] : flags)
        std::printf(" %s %s", name, (facts.DllCharacteristics & bit) != 0 ? "yes" : "no");
    const bool debugSections = std::any_of(facts.Sections.begin(), facts.Sections.end(),
                                           [](const std::string& name) { return name.rfind(".debug", 0) == 0; });
    std::printf("; debug sections: %s\n", debugSections ? "present" : "none");
}

}  // namespace

int main() {
    const std::string dllPath = PluginDll::Path();
    std::printf("Lanternix benchmark, %d-bit (best round; median round in brackets)\n\n",
                static_cast<int>(sizeof(void*) * 8));

    // The list as stored after configuration, read at every start-up.
    const std::string settingsPath = std::string(BenchRoot) + SettingsKeyName;
    {
        RegistryKey key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, settingsPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.receive(),
                            nullptr) == ERROR_SUCCESS)
            RegSetValueExA(key.get(), PatternListValueName, 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(DefaultStartPatternList),
                           static_cast<DWORD>(std::strlen(DefaultStartPatternList) + 1));
    }
    PanelItem = MakePanelItem("setup.exe");
    LeanHost::Instance().Items = &PanelItem;
    LeanHost::Instance().ItemCount = 1;

    std::printf(
        "Matching a file name against the pattern list: MatchesStartPattern (a copy of the list, then\n"
        "the host asked pattern by pattern) against a bare loop that asks the host the same patterns,\n"
        "split beforehand. The name readme.txt matches none, so every pattern is asked.\n");
    std::printf(" The host's matcher does a wildcard match, as a host's does:\n");
    CompareMatching("default list", DefaultStartPatternList, LeanWildcardMatch, 200000, true);
    CompareMatching("long list", LongList(), LeanWildcardMatch, 1000, true);
    std::printf(" The host's matcher returns 0 at once, which lays the relay's own share bare:\n");
    CompareMatching("default list", DefaultStartPatternList, EmptyStub, 400000, false);
    CompareMatching("long list", LongList(), EmptyStub, 4000, false);

    std::printf("\nEach entry point of the real DLL, time per call, with stub host services\n");
    MeasureEntryPoints(dllPath);

    std::printf("\nLoading and unloading the DLL\n");
    CompareLoading(dllPath);

    std::printf("\nThe DLL as a file\n");
    PrintDllFacts(dllPath);

    RegDeleteTreeA(HKEY_CURRENT_USER, BenchRoot);
    return 0;
}
