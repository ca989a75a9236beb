// Every call the DLL makes that can fail, failing: the registry and console
// imports, the allocator and the host's services. One table, one runner: each
// row names a failure and the calls it strikes, and the outcome. A row runs
// one scenario: start-up, a Ctrl release over "x.own", the settings closed
// with Save, and a Ctrl release again.
#include <cstring>
#include <string>
#include <vector>

#include "tests/hostile/failing_imports.h"
#include "tests/hostile/hostile.h"

namespace hostile {
namespace {

// What the registry holds, or the list in use.
enum class List { Mine, Long, Default, Edit, None };
// The calls a row's failure strikes.
enum Phase : uint8_t { AtStartUp = 1, AtRelay = 2, AtSettings = 4 };
// Failures beyond the imports.
enum class Fault { Import, FirstAllocation };

struct FaultRow {
    const char* What;
    List Before;  // stored at the start
    Fault Kind;
    FailingImport Import;
    DWORD Status;
    uint8_t In;         // the phases the failure strikes
    List InUse;         // the list the first Ctrl release matches with
    bool DialogOpens;   // showing the stored list
    int32_t Configured; // Configure's result
    List StoredAfter;   // the registry after Save
    List InUseAfter;    // the list the last Ctrl release matches with
};

const std::string Mine = "*.mine,*.own";
const std::string Edit = "*.edit,*.own";

// Longer than the 8,192-byte read: 9,003 characters, ending in "*.own".
std::string LongList() {
    std::string list;
    for (int n = 0; list.size() < 8990; ++n) list += "*.q" + std::to_string(1000 + n) + ",";
    return list.substr(0, 8998) + "*.own";
}

std::string Text(List list) {
    switch (list) {
        case List::Mine: return Mine;
        case List::Long: return LongList();
        case List::Default: return expected::DefaultList;
        case List::Edit: return Edit;
        case List::None: return "<none>";
    }
    return "";
}

constexpr DWORD Denied = ERROR_ACCESS_DENIED, NoMemory = ERROR_NOT_ENOUGH_MEMORY, OutOfMemory = ERROR_OUTOFMEMORY;
constexpr FailingImport Open = FailingImport::RegOpenKeyExA, Query = FailingImport::RegQueryValueExA;

// clang-format off
const FaultRow Rows[] = {
    // what, stored, kind, import, status, phases, in use, dialog, Configure, stored after, in use after
    {"open denied at start-up", List::Mine, Fault::Import, Open, Denied, AtStartUp,
     List::Default, true, -1, List::Mine, List::Mine},
    {"open without memory at start-up", List::Mine, Fault::Import, Open, NoMemory, AtStartUp,
     List::Default, true, -1, List::Mine, List::Mine},
    {"open out of memory at start-up", List::Mine, Fault::Import, Open, OutOfMemory, AtStartUp,
     List::Default, true, -1, List::Mine, List::Mine},
    {"query denied at start-up", List::Mine, Fault::Import, Query, Denied, AtStartUp,
     List::Default, true, -1, List::Mine, List::Mine},
    {"query without memory at start-up", List::Mine, Fault::Import, Query, NoMemory, AtStartUp,
     List::Default, true, -1, List::Mine, List::Mine},
    {"query out of memory at start-up", List::Mine, Fault::Import, Query, OutOfMemory, AtStartUp,
     List::Default, true, -1, List::Mine, List::Mine},
    {"query more data at start-up", List::Mine, Fault::Import, Query, ERROR_MORE_DATA, AtStartUp,
     List::Default, true, -1, List::Mine, List::Mine},
    {"a value too long to read", List::Long, Fault::Import, FailingImport::None, 0, AtStartUp,
     List::Default, false, 0, List::Long, List::Default},
    {"no memory for the path at the first start-up", List::Mine, Fault::FirstAllocation, FailingImport::None, 0,
     AtStartUp, List::Default, true, -1, List::Mine, List::Mine},
};
// clang-format on

class FaultTable : public HostileTest {
protected:
    ScratchKey root{TestKeyPath()};
    ScratchKey settings{expected::SettingsKeyUnder(root.Path())};

    std::string Stored() {
        const RegistryValue value = ReadRegistryValue(settings.Path(), expected::ValueName);
        return value.Present ? value.Data.substr(0, value.Data.find('\0')) : "<none>";
    }

    void Arm(const FaultRow& row, Phase phase) {
        const bool now = (row.In & phase) != 0;
        if (row.Kind == Fault::Import) FailImport(now ? row.Import : FailingImport::None, row.Status);
        if (row.Kind == Fault::FirstAllocation) FailFencedAllocation(now ? 1 : 0);
    }
    void Disarm() {
        FailImport(FailingImport::None);
        FailFencedAllocation(0);
    }

    // A Ctrl release over "x.own", nothing matching: the patterns asked.
    std::vector<std::string> PatternsInUse(PluginDll& dll, const FaultRow& row, Phase phase) {
        host.Matcher = [](const std::string&, const std::string&) { return false; };
        Arm(row, phase);
        ReleaseCtrlOver(dll, MakePanelItem("x.own"), true, "Ctrl release");
        Disarm();
        return host.MatchedPatterns();
    }

    void Run(const FaultRow& row) {
        if (row.Before != List::None) settings.SetText(expected::ValueName, Text(row.Before));
        host.RegistryRoot = root.Path();
        auto dll = LoadDll();
        ASSERT_TRUE(dll->Loaded());
        RerouteImportsOf(dll->Module());
        StartupRecord record = HostileRecord();

        Arm(row, AtStartUp);
        dll->SetStartupInfo(&record);
        Disarm();
        EXPECT_EQ(OpenRegistryKeys(), 0u);
        EXPECT_EQ(PatternsInUse(*dll, row, AtRelay), ReferencePatterns(Text(row.InUse)));

        host.DialogCalls.clear();
        host.DialogAnswer = [](DialogItemRecord*, int32_t) { return 3; };  // Save, the list as shown
        Arm(row, AtSettings);
        EXPECT_EQ(dll->Configure(0), row.Configured);
        Disarm();
        EXPECT_EQ(OpenRegistryKeys(), 0u);
        EXPECT_EQ(host.DialogCalls.size(), row.DialogOpens ? 1u : 0u);
        if (row.DialogOpens && !host.DialogCalls.empty()) {
            EXPECT_EQ(std::string(host.DialogCalls[0].Items[2].Text), Text(row.Before));
        }
        EXPECT_EQ(Stored(), Text(row.StoredAfter));
        EXPECT_EQ(PatternsInUse(*dll, row, AtRelay), ReferencePatterns(Text(row.InUseAfter)));
        dll.reset();
        EXPECT_EQ(LiveFencedBlocks(), 0u) << "heap blocks the DLL kept after unloading";
    }
};

TEST_F(FaultTable, EveryFailureHasItsOutcome) {
    int index = 0;
    for (const FaultRow& row : Rows) {
        CaseScope scope(row.What, index++);
        RegDeleteTreeA(HKEY_CURRENT_USER, settings.Path().c_str());
        host.Reset();
        Run(row);
    }
}

}  // namespace
}  // namespace hostile
