// Allocation failures inside the DLL, at every allocation a call makes in
// turn: the allocator answers null, the call returns its defined result, and
// what is in memory and in the registry afterwards is one of the outcomes the
// rules allow.
#include <cstring>
#include <string>
#include <vector>

#include "tests/hostile/hostile.h"

namespace hostile {
namespace {

class AllocationFailures : public HostileTest {
protected:
    ScratchKey root{TestKeyPath()};
    ScratchKey settings{expected::SettingsKeyUnder(root.Path())};
    std::unique_ptr<PluginDll> dll;
    StartupRecord record{};
    int32_t result = -1;
    bool editing = true;  // the dialog's answer puts `edit` into the field
    std::string edit;

    void SetUp() override {
        HostileTest::SetUp();
        host.RegistryRoot = root.Path();
        host.DialogAnswer = [this](DialogItemRecord* items, int32_t) {
            if (result != -1 && editing) {
                std::memset(items[2].Text, 0, sizeof items[2].Text);
                std::memcpy(items[2].Text, edit.data(), edit.size());
            }
            return result;
        };
        dll = LoadDll();
        ASSERT_TRUE(dll->Loaded());
        record = HostileRecord();
    }
    void TearDown() override {
        dll.reset();
        HostileTest::TearDown();
    }

    // The list in memory, as the next dialog shows it (lists here are short).
    std::string ListInMemory() {
        FailFencedAllocation(0);
        const int32_t saved = result;
        result = -1;
        host.DialogCalls.clear();
        EXPECT_EQ(dll->Configure(0), 0);
        result = saved;
        if (host.DialogCalls.size() != 1) return "<no dialog>";
        const char* text = host.DialogCalls[0].Items[2].Text;
        return std::string(text, strnlen(text, DialogItemTextSize));
    }

    std::string ListInRegistry() {
        const RegistryValue value = ReadRegistryValue(settings.Path(), expected::ValueName);
        return value.Present ? value.Data.substr(0, value.Data.find('\0')) : "<none>";
    }

    // Runs `attempt` with each allocation it makes failing in turn, the
    // countdown-th from the first on, until one meets no failure: `attempt`
    // arms FailFencedAllocation(countdown) itself where its call begins and
    // says whether the failure came. Gives how many attempts met one; stops
    // at the first that fails a check, which tells the story.
    template <typename Attempt>
    int EachAllocationFailing(const char* what, Attempt attempt) {
        int failures = 0;
        for (int countdown = 1;; ++countdown) {
            CaseScope scope(what, countdown);
            if (!attempt(countdown)) return failures;
            ++failures;
            if (HasFailure()) return failures;
        }
    }

    // The patterns the list in use holds, asked for over a name none matches.
    std::vector<std::string> PatternsInUse() {
        FailFencedAllocation(0);
        host.Matcher = [](const std::string&, const std::string&) { return false; };
        ReleaseCtrlOver(*dll, MakePanelItem("name.none"), true, "Ctrl release");
        return host.MatchedPatterns();
    }
};

// A list of short patterns, too long for the relay's stack copy and for the
// dialog's field, its last pattern "*.exe".
std::string LongList() {
    std::string list;
    for (int n = 0; list.size() < 900; ++n) list += "*.p" + std::to_string(1000 + n) + ",";
    return list + "*.exe";
}

TEST_F(AllocationFailures, InSetStartupInfoKeepTheOldListOrGiveTheStoredOneTheDefaultOrNone) {
    const std::string stored = "*.stored,*.list,*.read,*.at,*.start";
    settings.SetText(expected::ValueName, stored);
    dll->SetStartupInfo(&record);
    const std::string before = "*.before,*.any,*.failure";
    edit = before;
    result = 4;  // into memory only
    EXPECT_EQ(dll->Configure(0), 0);
    ASSERT_EQ(ListInMemory(), before);

    const int failures = EachAllocationFailing("SetStartupInfo allocation", [&](int countdown) {
        FailFencedAllocation(countdown);
        dll->SetStartupInfo(&record);
        const bool hit = FencedFailureHit();
        const std::string list = ListInMemory();
        if (!hit) {
            EXPECT_EQ(list, stored);
            return false;
        }
        EXPECT_TRUE(list == before || list == stored || list == expected::DefaultList || list.empty()) << list;
        // The next start-up in enough memory puts everything right.
        dll->SetStartupInfo(&record);
        EXPECT_EQ(ListInMemory(), stored);
        edit = before;
        result = 4;
        EXPECT_EQ(dll->Configure(0), 0);
        EXPECT_EQ(ListInMemory(), before);
        return true;
    });
    if (HasFailure()) return;
    EXPECT_GT(failures, 2) << "start-up allocates for the path, the read buffer and the list";
}

// Memory short at start-up, for the path, the read buffer, the list or the
// default: the list the user stored (or, with none stored, the default) is
// what the next dialog shows, read again once memory allows, and a Save of it
// unchanged keeps it. While memory is still short, no dialog opens at all.
TEST_F(AllocationFailures, AtStartUpNeverCostTheStoredList) {
    const std::string mine = "*.mine,*.own";
    for (const bool stored : {true, false}) {
        SCOPED_TRACE(stored ? "a stored list" : "nothing stored");
        const std::string list = stored ? mine : expected::DefaultList;
        const char* what = stored ? "start-up allocation, stored list" : "start-up allocation, none stored";
        const int failures = EachAllocationFailing(what, [&](int countdown) {
            if (stored) {
                settings.SetText(expected::ValueName, mine);
            } else {
                RegDeleteTreeA(HKEY_CURRENT_USER, settings.Path().c_str());
            }
            dll->SetStartupInfo(&record);
            FailFencedAllocation(countdown);
            dll->SetStartupInfo(&record);
            const bool hit = FencedFailureHit();

            result = 3;  // the first button, the field as shown
            editing = false;
            host.DialogCalls.clear();
            FailFencedAllocation(1);
            EXPECT_EQ(dll->Configure(0), 0);
            EXPECT_TRUE(host.DialogCalls.empty());
            EXPECT_EQ(ListInRegistry(), stored ? mine : "<none>");

            FailFencedAllocation(0);
            EXPECT_EQ(dll->Configure(0), -1);
            EXPECT_EQ(host.DialogCalls.size(), 1u);
            const std::string shown = host.DialogCalls.empty() ? "<no dialog>" : host.DialogCalls[0].Items[2].Text;
            EXPECT_EQ(shown, list);
            EXPECT_EQ(ListInRegistry(), list);
            EXPECT_EQ(PatternsInUse(), ReferencePatterns(list));
            return hit;
        });
        if (HasFailure()) return;
        EXPECT_GT(failures, 3) << "start-up allocates for the path, its end, the read buffer and the list";
    }
}

// Without memory for its copy, a list too long for the stack matches nothing
// and the host is asked nothing: the file is viewed.
TEST_F(AllocationFailures, ForTheCopyOfALongListMatchNothing) {
    settings.SetText(expected::ValueName, LongList());
    dll->SetStartupInfo(&record);
    host.Matcher = [](const std::string& pattern, const std::string&) { return pattern == "*.exe"; };
    const PanelItemRecord item = MakePanelItem("setup.exe");
    FailFencedAllocation(1);
    EXPECT_EQ(ReleaseCtrlOver(*dll, item, true, "Ctrl release, no memory"),
              (std::vector<std::string>{CtrlReleasedKey(), F3Keys(false), F3Keys(true)}));
    EXPECT_TRUE(FencedFailureHit());
    EXPECT_TRUE(host.NameMatchCalls.empty());

    FailFencedAllocation(0);
    EXPECT_EQ(ReleaseCtrlOver(*dll, item, true, "Ctrl release"),
              (std::vector<std::string>{CtrlReleasedKey(), EnterKeys(false), EnterKeys(true)}));
    EXPECT_EQ(host.MatchedPatterns(), ReferencePatterns(LongList()));
}

// A list longer than the dialog's field, confirmed unedited while memory runs
// short at each allocation in turn: no dialog or no read-back, and the whole
// list stays in use and stored.
TEST_F(AllocationFailures, InConfigureOfALongListKeepItWhole) {
    const std::string list = LongList();
    settings.SetText(expected::ValueName, list);
    dll->SetStartupInfo(&record);
    editing = false;
    for (const int32_t closing : {3, 4}) {
        const char* what = closing == 3 ? "Configure 3 allocation, long list" : "Configure 4 allocation, long list";
        const int failures = EachAllocationFailing(what, [&](int countdown) {
            result = closing;
            FailFencedAllocation(countdown);
            const int32_t returned = dll->Configure(0);
            const bool hit = FencedFailureHit();
            EXPECT_EQ(returned, hit || closing == 4 ? 0 : -1);
            EXPECT_EQ(ListInRegistry(), list);
            EXPECT_EQ(PatternsInUse(), ReferencePatterns(list));
            return hit;
        });
        if (HasFailure()) return;
        EXPECT_GT(failures, 4) << "the value list, the items, the cut texts, the whole text and the read-back";
    }
}

TEST_F(AllocationFailures, InConfigureChangeAllOrNothing) {
    for (const int32_t closing : {3, 4}) {
        const char* what = closing == 3 ? "Configure 3 allocation" : "Configure 4 allocation";
        const int failures = EachAllocationFailing(what, [&](int countdown) {
            dll->SetStartupInfo(&record);
            const std::string memoryBefore = ListInMemory();
            const std::string registryBefore = ListInRegistry();
            edit = "*.edit" + std::to_string(countdown) + ",*.more,*.text,*.to,*.store";
            result = closing;
            FailFencedAllocation(countdown);
            const int32_t returned = dll->Configure(0);
            const bool hit = FencedFailureHit();
            const std::string memory = ListInMemory();
            const std::string registry = ListInRegistry();
            if (!hit) {
                EXPECT_EQ(returned, closing == 3 ? -1 : 0);
                EXPECT_EQ(memory, edit);
                EXPECT_EQ(registry, closing == 3 ? edit : registryBefore);
                return false;
            }
            if (returned == -1) {
                // Read back, then the store ran short: stored or not, the edit is in force.
                EXPECT_EQ(closing, 3);
                EXPECT_EQ(memory, edit);
                EXPECT_TRUE(registry == registryBefore || registry == edit) << registry;
            } else {
                EXPECT_EQ(returned, 0);
                EXPECT_TRUE(memory == memoryBefore || (closing == 4 && memory == edit)) << memory;
                EXPECT_EQ(registry, registryBefore);
            }
            return true;
        });
        if (HasFailure()) return;
        EXPECT_GT(failures, 2) << "the value list, the items and the read-back allocate";
    }
}

}  // namespace
}  // namespace hostile
