// Allocation failures inside the DLL, at every allocation a call makes in
// turn: the allocator answers null, the call returns its defined result, and
// what is in memory and in the registry afterwards is one of the outcomes the
// rules allow.
#include <cstring>

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
    std::string edit;

    void SetUp() override {
        HostileTest::SetUp();
        host.RegistryRoot = root.Path();
        host.DialogAnswer = [this](DialogItemRecord* items, int32_t) {
            if (result != -1) {
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
};

TEST_F(AllocationFailures, InSetStartupInfoKeepTheOldListOrGiveTheStoredOneTheDefaultOrNone) {
    const std::string stored = "*.stored,*.list,*.read,*.at,*.start";
    settings.SetText(expected::ValueName, stored);
    dll->SetStartupInfo(&record);
    const std::string before = "*.before,*.any,*.failure";
    edit = before;
    result = 4;  // into memory only
    EXPECT_EQ(dll->Configure(0), 0);
    ASSERT_EQ(ListInMemory(), before);

    int failures = 0;
    for (int countdown = 1;; ++countdown) {
        CaseScope scope("SetStartupInfo allocation", countdown);
        FailFencedAllocation(countdown);
        dll->SetStartupInfo(&record);
        const bool hit = FencedFailureHit();
        const std::string list = ListInMemory();
        if (!hit) {
            EXPECT_EQ(list, stored);
            break;
        }
        ++failures;
        EXPECT_TRUE(list == before || list == stored || list == expected::DefaultList || list.empty()) << list;
        // The next start-up in enough memory puts everything right.
        dll->SetStartupInfo(&record);
        EXPECT_EQ(ListInMemory(), stored);
        edit = before;
        result = 4;
        EXPECT_EQ(dll->Configure(0), 0);
        ASSERT_EQ(ListInMemory(), before);
        if (HasFailure()) return;  // the first failing case tells the story
    }
    EXPECT_GT(failures, 2) << "start-up allocates for the path, the read buffer and the list";
}

TEST_F(AllocationFailures, InConfigureChangeAllOrNothing) {
    for (const int32_t closing : {3, 4}) {
        int failures = 0;
        for (int countdown = 1;; ++countdown) {
            CaseScope scope(closing == 3 ? "Configure 3 allocation" : "Configure 4 allocation", countdown);
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
                break;
            }
            ++failures;
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
            if (HasFailure()) return;  // the first failing case tells the story
        }
        EXPECT_GT(failures, 2) << "the value list, the items and the read-back allocate";
    }
}

}  // namespace
}  // namespace hostile
