// Every call the DLL makes that can fail, failing, and every host service
// answering badly: one table, one runner. Each row names a failure, the calls
// it strikes and the outcome. A row runs one scenario: start-up, a Ctrl
// release over "x.own", the settings closed with Save (the list edited or
// not), and a Ctrl release again; after each call no registry key is left
// open, and after the unload no heap block.
#include <cstring>
#include <string>
#include <vector>

#include "tests/hostile/failing_imports.h"
#include "tests/hostile/hostile.h"

namespace hostile {
namespace {

// A list stored, or in use.
enum class List { Mine, Long, Default, Edit, None };
// The calls a row's failure strikes.
enum Phase : uint8_t { AtStartUp = 1, AtRelay = 2, AtSettings = 4 };
// Failures beyond the imports (Fault::Import, with the row's import and status).
enum class Fault {
    Import,
    FirstAllocation,    // the first allocation of the call fails
    DialogAnswer,       // the dialog service answers the row's status as an index
    PanelFillsNothing,  // the panel service fills nothing and answers 0
    MessagesNull,       // the message service answers null for every id
    MessagesEmpty,      // the message service answers "" for every id
    MatchCallsBack,     // the name match service runs Configure, Save with the edit
    NoServices,         // every service pointer of the record is null
};
// The keys a Ctrl release over "x.own" sends.
enum class Keys { AsTheList, CtrlUpOnly, None };

// The message boxes the user sees: message ids of the title and lines.
using Box = std::vector<int32_t>;
const Box NoBox{};
constexpr int32_t Title = 3;
const Box UnreadDenied{Title, 5, 6, 9}, UnreadTooLong{Title, 5, 7, 9}, UnreadNoMemory{Title, 5, 8, 9};
const Box UnreadOther{Title, 5, 9};  // and the system's text for the reason
const Box NotStoredDenied{Title, 10, 6, 11}, NotStoredOther{Title, 10, 11};

struct FaultRow {
    const char* What;
    List Before;  // stored at the start
    Fault Kind;
    FailingImport Import;
    DWORD Status;
    uint8_t In;          // the phases the failure strikes
    bool Edits;          // the dialog's answer puts Edit into the field
    Keys FirstKeys;      // sent by the first Ctrl release
    List InUse;          // the list the first Ctrl release matches with
    List Shown;          // in the dialog's field; None: no dialog
    int32_t Configured;  // Configure's result
    Box Told;            // the message box shown by Configure, if any
    List StoredAfter;    // the registry at the end
    List InUseAfter;     // the list the last Ctrl release matches with
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
constexpr DWORD MoreData = ERROR_MORE_DATA, BadHandle = ERROR_INVALID_HANDLE;
constexpr FailingImport NoImport = FailingImport::None, Open = FailingImport::RegOpenKeyExA,
                        Create = FailingImport::RegCreateKeyExA, Query = FailingImport::RegQueryValueExA,
                        SetValue = FailingImport::RegSetValueExA;
constexpr uint8_t Always = AtStartUp | AtSettings;
constexpr bool Edited = true, AsShown = false;
constexpr List Mn = List::Mine, Lg = List::Long, Df = List::Default, Ed = List::Edit, No = List::None;
constexpr Fault Imp = Fault::Import;
constexpr Keys AsList = Keys::AsTheList;

// clang-format off
const FaultRow Rows[] = {
    // what, stored, fault, import, status, phases, edits, first keys, in use, shown, Configure, told, stored after, in use after
    // A read that fails at start-up only: the default meanwhile, the stored list read again for the dialog, kept.
    {"open denied at start-up", Mn, Imp, Open, Denied, AtStartUp, AsShown, AsList, Df, Mn, -1, NoBox, Mn, Mn},
    {"open without memory at start-up", Mn, Imp, Open, NoMemory, AtStartUp, AsShown, AsList, Df, Mn, -1, NoBox, Mn, Mn},
    {"open out of memory at start-up", Mn, Imp, Open, OutOfMemory, AtStartUp, AsShown, AsList, Df, Mn, -1, NoBox, Mn, Mn},
    {"query denied at start-up", Mn, Imp, Query, Denied, AtStartUp, AsShown, AsList, Df, Mn, -1, NoBox, Mn, Mn},
    {"query without memory at start-up", Mn, Imp, Query, NoMemory, AtStartUp, AsShown, AsList, Df, Mn, -1, NoBox, Mn, Mn},
    {"query out of memory at start-up", Mn, Imp, Query, OutOfMemory, AtStartUp, AsShown, AsList, Df, Mn, -1, NoBox, Mn, Mn},
    {"query more data at start-up", Mn, Imp, Query, MoreData, AtStartUp, AsShown, AsList, Df, Mn, -1, NoBox, Mn, Mn},
    {"no memory for the path at the first start-up", Mn, Fault::FirstAllocation, NoImport, 0, AtStartUp, AsShown, AsList,
     Df, Mn, -1, NoBox, Mn, Mn},
    // Still unreadable when the settings are opened: told why, no dialog, the stored list kept, the default in use.
    {"open denied throughout", Mn, Imp, Open, Denied, Always, Edited, AsList, Df, No, 0, UnreadDenied, Mn, Df},
    {"query out of memory throughout", Mn, Imp, Query, OutOfMemory, Always, Edited, AsList, Df, No, 0, UnreadNoMemory, Mn, Df},
    {"query more data throughout", Mn, Imp, Query, MoreData, Always, Edited, AsList, Df, No, 0, UnreadTooLong, Mn, Df},
    {"open with an invalid handle throughout", Mn, Imp, Open, BadHandle, Always, Edited, AsList, Df, No, 0, UnreadOther, Mn, Df},
    {"a value too long to read", Lg, Imp, NoImport, 0, 0, Edited, AsList, Df, No, 0, UnreadTooLong, Lg, Df},
    {"no memory for the path when the settings read again", Mn, Fault::FirstAllocation, NoImport, 0, Always, Edited,
     AsList, Df, No, 0, UnreadNoMemory, Mn, Df},
    // A Save the registry refuses: told why; the edit in use until restart, nothing stored, Configure as for Save.
    {"create denied at Save", Mn, Imp, Create, Denied, AtSettings, Edited, AsList, Mn, Mn, -1, NotStoredDenied, Mn, Ed},
    {"create with an invalid handle at Save, nothing stored", No, Imp, Create, BadHandle, AtSettings, Edited, AsList, Df,
     Df, -1, NotStoredOther, No, Ed},
    {"set value denied at Save", Mn, Imp, SetValue, Denied, AtSettings, Edited, AsList, Mn, Mn, -1, NotStoredDenied, Mn, Ed},
    // ERROR_MORE_DATA means too long only for a read: a write that answers it is told in the system's words.
    {"set value answering more data at Save", Mn, Imp, SetValue, MoreData, AtSettings, Edited, AsList, Mn, Mn, -1,
     NotStoredOther, Mn, Ed},
    {"no memory when the settings open", Mn, Fault::FirstAllocation, NoImport, 0, AtSettings, Edited, AsList, Mn, No,
     0, NoBox, Mn, Mn},
    // The console read fails: nothing sent, nothing asked of the host.
    {"no standard input handle", Mn, Imp, FailingImport::GetStdHandle, BadHandle, AtRelay, AsShown, Keys::None, No, Mn,
     -1, NoBox, Mn, Mn},
    {"console read fails", Mn, Imp, FailingImport::ReadConsoleInputA, BadHandle, AtRelay, AsShown, Keys::None, No, Mn,
     -1, NoBox, Mn, Mn},
    {"console read returns no record", Mn, Imp, FailingImport::ReadNoRecord, 0, AtRelay, AsShown, Keys::None, No, Mn,
     -1, NoBox, Mn, Mn},
    // Host services answering badly.
    {"dialog closed with -1", Mn, Fault::DialogAnswer, NoImport, static_cast<DWORD>(-1), AtSettings, Edited, AsList, Mn,
     Mn, 0, NoBox, Mn, Mn},
    {"dialog answers an index past its items", Mn, Fault::DialogAnswer, NoImport, 99, AtSettings, Edited, AsList, Mn,
     Mn, 0, NoBox, Mn, Ed},
    {"dialog answers a negative index", Mn, Fault::DialogAnswer, NoImport, static_cast<DWORD>(-7), AtSettings, Edited,
     AsList, Mn, Mn, 0, NoBox, Mn, Ed},
    {"panel service fills nothing", Mn, Fault::PanelFillsNothing, NoImport, 0, AtRelay, AsShown, Keys::CtrlUpOnly, No,
     Mn, -1, NoBox, Mn, Mn},
    {"message service answers null, list too long", Lg, Fault::MessagesNull, NoImport, 0, Always, Edited, AsList, Df,
     No, 0, UnreadTooLong, Lg, Df},
    {"message service answers empty texts, Save refused", Mn, Fault::MessagesEmpty, Create, Denied, AtSettings, Edited,
     AsList, Mn, Mn, -1, NotStoredDenied, Mn, Ed},
    {"name match calls back into Configure", Mn, Fault::MatchCallsBack, NoImport, 0, AtRelay, AsShown, AsList, Mn, Ed,
     -1, NoBox, Ed, Ed},
    {"no services at all, list too long", Lg, Fault::NoServices, NoImport, 0, Always | AtRelay, Edited, Keys::CtrlUpOnly,
     No, No, 0, NoBox, Lg, Df},
};
// clang-format on

class FaultTable : public HostileTest {
protected:
    ScratchKey root{TestKeyPath()};
    ScratchKey settings{expected::SettingsKeyUnder(root.Path())};
    PluginDll* dll = nullptr;
    const FaultRow* row = nullptr;
    StartupRecord record{};

    std::string Stored() {
        const RegistryValue value = ReadRegistryValue(settings.Path(), expected::ValueName);
        return value.Present ? value.Data.substr(0, value.Data.find('\0')) : "<none>";
    }

    void SaveTheEdit(DialogItemRecord* items) {
        std::memset(items[2].Text, 0, sizeof items[2].Text);
        std::memcpy(items[2].Text, Edit.data(), Edit.size());
    }

    // Takes the failure of the phase away; one armed must have struck.
    void Disarm(Phase phase) {
        if ((row->In & phase) != 0 && row->Import != FailingImport::None) {
            EXPECT_GT(ImportFailuresHit(), 0) << "the failure never struck";
        }
        if ((row->In & phase) != 0 && row->Kind == Fault::FirstAllocation) {
            EXPECT_TRUE(FencedFailureHit()) << "the failure never struck";
        }
        Arm(Phase{});
    }

    // Arms the row's failure for the phase, or takes it away.
    void Arm(Phase phase) {
        const bool now = (row->In & phase) != 0;
        FailImport(now ? row->Import : FailingImport::None, row->Status);
        FailFencedAllocation(now && row->Kind == Fault::FirstAllocation ? 1 : 0);
        Panel().FillsNothing = now && row->Kind == Fault::PanelFillsNothing;
        host.Messages.clear();
        for (int32_t id = 0; id <= 11; ++id)
            if (!now || row->Kind != Fault::MessagesNull)
                host.Messages[id] = now && row->Kind == Fault::MessagesEmpty ? "" : "Message " + std::to_string(id);
        const bool dialogFault = now && row->Kind == Fault::DialogAnswer;
        const int32_t answer = dialogFault ? static_cast<int32_t>(row->Status) : 3;  // Save
        const bool edits = row->Edits;
        host.DialogAnswer = [this, answer, edits](DialogItemRecord* items, int32_t) {
            if (edits) SaveTheEdit(items);
            return answer;
        };
        host.Matcher = [](const std::string&, const std::string&) { return false; };
        if (now && row->Kind == Fault::MatchCallsBack) {
            host.Matcher = [this](const std::string&, const std::string&) {
                host.DialogAnswer = [this](DialogItemRecord* items, int32_t) { return SaveTheEdit(items), 3; };
                EXPECT_EQ(dll->Configure(0), -1);
                return false;
            };
        }
    }

    // A Ctrl release over "x.own", nothing matching: the keys sent and the patterns asked.
    // With the failure armed when `phase` is AtRelay.
    std::vector<std::string> ReleaseCtrl(std::vector<std::string>& keys, Phase phase) {
        Arm(phase);
        keys = ReleaseCtrlOver(*dll, MakePanelItem("x.own"), true, "Ctrl release");
        Disarm(phase);
        return host.MatchedPatterns();
    }

    std::vector<std::string> KeysExpected(Keys keys) {
        if (keys == Keys::None) return {};
        if (keys == Keys::CtrlUpOnly) return {CtrlReleasedKey()};
        return {CtrlReleasedKey(), F3Keys(false), F3Keys(true)};
    }

    // The message box as the row tells it: its texts as the host handed them.
    void ExpectTold(const Box& told) {
        const bool other = told == UnreadOther || told == NotStoredOther;
        if (told.empty() || row->Kind == Fault::NoServices) {
            EXPECT_TRUE(host.MessageBoxCalls.empty());
            return;
        }
        ASSERT_EQ(host.MessageBoxCalls.size(), 1u);
        const MessageBoxCall& box = host.MessageBoxCalls[0];
        EXPECT_EQ(box.ModuleId, TestHost::ModuleId);
        EXPECT_EQ(box.Flags, other ? 0x10003u : 0x10001u) << "warning, OK button, and the system's text if no own";
        EXPECT_EQ(box.ButtonCount, 0);
        EXPECT_EQ(box.HelpTopic, "<null>");
        if (other) {
            EXPECT_EQ(box.LastError, row->Status) << "the reason as the thread's last error";
        }
        std::vector<std::string> texts;
        for (const int32_t id : told)
            texts.push_back(row->Kind == Fault::MessagesNull || row->Kind == Fault::MessagesEmpty
                                ? ""
                                : "Message " + std::to_string(id));
        EXPECT_EQ(box.Items, texts);
    }

    void Run() {
        if (row->Before != List::None) settings.SetText(expected::ValueName, Text(row->Before));
        host.RegistryRoot = root.Path();
        auto loaded = LoadDll();
        ASSERT_TRUE(loaded->Loaded());
        dll = loaded.get();
        RerouteImportsOf(dll->Module());
        record = HostileRecord();
        if (row->Kind == Fault::NoServices) {
            record.DialogService = nullptr;
            record.MessageBoxService = nullptr;
            record.MessageService = nullptr;
            record.PanelControlService = nullptr;
            record.NameMatchService = nullptr;
        }

        Arm(AtStartUp);
        dll->SetStartupInfo(&record);
        Disarm(AtStartUp);
        EXPECT_EQ(OpenRegistryKeys(), 0u);
        std::vector<std::string> keys;
        EXPECT_EQ(ReleaseCtrl(keys, AtRelay),
                  row->InUse == List::None ? std::vector<std::string>{} : ReferencePatterns(Text(row->InUse)));
        EXPECT_EQ(keys, KeysExpected(row->FirstKeys));
        EXPECT_EQ(OpenRegistryKeys(), 0u);

        host.DialogCalls.clear();
        host.MessageBoxCalls.clear();
        host.Calls.clear();
        Arm(AtSettings);
        EXPECT_EQ(dll->Configure(0), row->Configured);
        Disarm(AtSettings);
        EXPECT_EQ(OpenRegistryKeys(), 0u);
        EXPECT_EQ(host.DialogCalls.size(), row->Shown != List::None ? 1u : 0u);
        if (row->Shown != List::None && !host.DialogCalls.empty()) {
            EXPECT_EQ(std::string(host.DialogCalls[0].Items[2].Text), Text(row->Shown));
        }
        ExpectTold(row->Told);
        if (row->Kind == Fault::NoServices) {
            EXPECT_TRUE(host.Calls.empty()) << "a null service is never called";
        }
        EXPECT_EQ(Stored(), Text(row->StoredAfter));
        if (row->Kind != Fault::NoServices) {
            EXPECT_EQ(ReleaseCtrl(keys, Phase{}), ReferencePatterns(Text(row->InUseAfter)));
        }
        loaded.reset();
        EXPECT_EQ(LiveFencedBlocks(), 0u) << "heap blocks the DLL kept after unloading";
    }
};

TEST_F(FaultTable, EveryFailureHasItsOutcome) {
    int index = 0;
    for (const FaultRow& each : Rows) {
        CaseScope scope(each.What, index++);
        RegDeleteTreeA(HKEY_CURRENT_USER, settings.Path().c_str());
        host.Reset();
        Panel() = HostilePanel{};
        row = &each;
        Run();
    }
}

}  // namespace
}  // namespace hostile
