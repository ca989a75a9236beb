// Message texts of 0 to 2000 characters, and null: GetPluginInfo passes the
// host's pointers on untouched, into the same two cells every time, over a
// record full of garbage; a dialog item shows at most 511 characters of its
// message, zero-filled after them, and nothing for a null text. Null records
// and a record without services are survived.
#include <cstring>

#include "tests/hostile/hostile.h"
#include "tests/testbed/expected_facts.h"

namespace hostile {
namespace {

class Messages : public HostileTest {};

TEST_F(Messages, ArePassedOnAndShownCut) {
    ScratchKey root(TestKeyPath());
    host.RegistryRoot = root.Path();
    auto dll = LoadDll();
    ASSERT_TRUE(dll->Loaded());
    StartupRecord record = HostileRecord();
    dll->SetStartupInfo(&record);

    const char* const* firstMenuCell = nullptr;
    const char* const* firstConfigCell = nullptr;
    const int cases = 250 * Rounds();
    for (int index = 0; index < cases; ++index) {
        CaseScope scope("Messages", index);
        host.Messages.clear();
        for (int32_t id = 0; id <= 4; ++id) {
            if (random.Chance(15)) continue;  // no text: the host hands back null
            const size_t length = random.Chance(20) ? static_cast<size_t>(random.Between(509, 513))
                                                    : static_cast<size_t>(random.Between(0, 2000));
            host.Messages[id] = random.Bytes(length);
        }
        auto textOf = [this](int32_t id) -> const char* {
            auto found = host.Messages.find(id);
            return found == host.Messages.end() ? nullptr : found->second.c_str();
        };

        PluginInfoRecord info;
        auto* bytes = reinterpret_cast<uint8_t*>(&info);
        for (size_t i = 0; i < sizeof info; ++i) bytes[i] = static_cast<uint8_t>(random.Next());
        const PluginInfoRecord garbage = info;
        host.MessageCalls.clear();
        dll->GetPluginInfo(&info);
        EXPECT_EQ(info.RecordSize, static_cast<int32_t>(expected::ThisWidth.PluginInfoSize));
        EXPECT_EQ(info.Reserved1, 0u);
        EXPECT_EQ(info.HostField1, garbage.HostField1);
        EXPECT_EQ(info.HostField2, garbage.HostField2);
        EXPECT_EQ(info.Reserved2, 0u);
        EXPECT_EQ(info.MenuEntryCount, 1);
        EXPECT_EQ(info.ConfigEntryCount, 1);
        EXPECT_EQ(info.Reserved3, 0u);
        ASSERT_NE(info.MenuEntryTexts, nullptr);
        ASSERT_NE(info.ConfigEntryTexts, nullptr);
        if (firstMenuCell == nullptr) {
            firstMenuCell = info.MenuEntryTexts;
            firstConfigCell = info.ConfigEntryTexts;
        }
        EXPECT_EQ(info.MenuEntryTexts, firstMenuCell);
        EXPECT_EQ(info.ConfigEntryTexts, firstConfigCell);
        EXPECT_EQ(info.MenuEntryTexts[0], textOf(2));
        EXPECT_EQ(info.ConfigEntryTexts[0], textOf(3));
        ASSERT_EQ(host.MessageCalls.size(), 2u);
        EXPECT_EQ(host.MessageCalls[0].MessageId, 2);
        EXPECT_EQ(host.MessageCalls[1].MessageId, 3);
        EXPECT_EQ(host.MessageCalls[0].ModuleId, TestHost::ModuleId);

        host.DialogCalls.clear();
        host.MessageCalls.clear();
        EXPECT_EQ(dll->Configure(static_cast<int32_t>(random.Next())), 0);
        ASSERT_EQ(host.DialogCalls.size(), 1u);
        const DialogCall& call = host.DialogCalls[0];
        ASSERT_EQ(call.ItemCount, 5);
        const int32_t itemMessages[] = {3, 4, -1, 0, 1};  // item 2 is the edit field
        for (int32_t k = 0; k < 5; ++k) {
            if (itemMessages[k] < 0) continue;
            const char* text = textOf(itemMessages[k]);
            EXPECT_EQ(std::string(call.Items[k].Text, DialogItemTextSize), ShownText(text != nullptr ? text : ""))
                << "item " << k;
        }
        ASSERT_EQ(host.MessageCalls.size(), 4u);
        EXPECT_EQ(host.MessageCalls[0].MessageId, 3);
        EXPECT_EQ(host.MessageCalls[1].MessageId, 4);
        EXPECT_EQ(host.MessageCalls[2].MessageId, 0);
        EXPECT_EQ(host.MessageCalls[3].MessageId, 1);
        if (HasFailure()) return;  // the first failing case tells the story
    }
}

// A host that hands over nulls, or a record without services, gets no call
// back and no crash; every entry point keeps its documented result.
TEST_F(Messages, NullRecordsAndMissingServicesAreSurvived) {
    ScratchKey root(TestKeyPath());
    host.RegistryRoot = root.Path();
    const int cases = 20 * Rounds();
    for (int index = 0; index < cases; ++index) {
        CaseScope scope("NullRecords", index);
        auto dll = LoadDll();
        ASSERT_TRUE(dll->Loaded());
        if (random.Chance(50)) dll->SetStartupInfo(nullptr);
        StartupRecord record;
        auto* bytes = reinterpret_cast<uint8_t*>(&record);
        for (size_t i = 0; i < sizeof record; ++i) bytes[i] = static_cast<uint8_t>(random.Next());
        record.RegistryRoot = random.Chance(50) ? nullptr : host.RegistryRoot.c_str();
        record.DialogService = nullptr;
        record.MessageBoxService = nullptr;
        record.MessageService = nullptr;
        record.PanelControlService = nullptr;
        record.NameMatchService = nullptr;
        if (random.Chance(80)) dll->SetStartupInfo(&record);  // else no start-up record at all
        dll->GetPluginInfo(nullptr);
        PluginInfoRecord info{};
        dll->GetPluginInfo(&info);
        EXPECT_EQ(info.RecordSize, static_cast<int32_t>(expected::ThisWidth.PluginInfoSize));
        EXPECT_EQ(info.MenuEntryTexts[0], nullptr);
        EXPECT_EQ(info.ConfigEntryTexts[0], nullptr);
        EXPECT_EQ(dll->Configure(3), 0);
        // Any key: the relay cannot reach a panel, so it moves nothing and
        // opens nothing, but the keys themselves still go out.
        const bool ctrlRelease = random.Chance(50);
        QueueKeyEvent(ctrlRelease ? VK_CONTROL : LetterAKey, ctrlRelease ? CtrlScanCode : LetterAScanCode, false);
        EXPECT_EQ(Invoke(*dll, "OpenPlugin"), -1);
        const std::vector<std::string> expected =
            ctrlRelease ? std::vector<std::string>{CtrlReleasedKey()}
                        : std::vector<std::string>{CtrlPressedAgainKey(), HandedBackKey(LetterAKey, LetterAScanCode)};
        EXPECT_EQ(Describe(KeyCapture::Instance().TakeKeys()), expected);
        EXPECT_TRUE(host.Calls.empty());
        if (HasFailure()) return;  // the first failing case tells the story
    }
}

}  // namespace
}  // namespace hostile
