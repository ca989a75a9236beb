// The start-up record copy, the start-up hook and message lookup.
#include <gtest/gtest.h>

#include <cstring>

#include "support/startup.h"
#include "tests/testbed/test_host.h"

namespace {

int HookCalls = 0;
intptr_t ModuleIdSeenByHook = 0;

void CountingHook() {
    ++HookCalls;
    ModuleIdSeenByHook = HostStartupRecord.ModuleId;
}

class StartupTest : public ::testing::Test {
protected:
    TestHost& host = TestHost::Instance();

    void SetUp() override {
        host.Reset();
        HostStartupRecord = StartupRecord{};
        StartupHook = nullptr;
        HookCalls = 0;
        ModuleIdSeenByHook = 0;
    }

    void TearDown() override {
        HostStartupRecord = StartupRecord{};
        StartupHook = nullptr;
    }
};

// A record whose opaque bytes all differ from their neighbours.
StartupRecord PatternedRecord() {
    const StartupRecord services = TestHost::Instance().Record();
    StartupRecord record;
    auto* bytes = reinterpret_cast<uint8_t*>(&record);
    for (size_t i = 0; i < sizeof record; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    record.ModuleId = services.ModuleId;
    record.DialogService = services.DialogService;
    record.MessageBoxService = services.MessageBoxService;
    record.MessageService = services.MessageService;
    record.PanelControlService = services.PanelControlService;
    record.NameMatchService = services.NameMatchService;
    return record;
}

TEST_F(StartupTest, CopyIsWholeAndIndependentOfTheHostRecord) {
    StartupRecord record = PatternedRecord();
    const StartupRecord original = record;
    SetStartupInfo(&record);
    EXPECT_EQ(std::memcmp(&HostStartupRecord, &original, sizeof original), 0);
    EXPECT_TRUE(host.Calls.empty());

    std::memset(&record, 0, sizeof record);
    EXPECT_EQ(std::memcmp(&HostStartupRecord, &original, sizeof original), 0);
    EXPECT_EQ(LookupMessage(2), host.Messages[2].c_str());
    ASSERT_EQ(host.MessageCalls.size(), 1u);
    EXPECT_EQ(host.MessageCalls[0].ModuleId, TestHost::ModuleId);
}

TEST_F(StartupTest, HookRunsAfterEachCopyWhenSet) {
    StartupRecord record = host.Record();
    SetStartupInfo(&record);
    EXPECT_EQ(HookCalls, 0);

    StartupHook = CountingHook;
    for (int32_t id : {17, 18}) {
        record.ModuleId = id;
        SetStartupInfo(&record);
        EXPECT_EQ(ModuleIdSeenByHook, id);  // the copy is made before the hook runs
    }
    EXPECT_EQ(HookCalls, 2);
    EXPECT_TRUE(host.Calls.empty());

    // No record: the copy stays as it was and the hook does not run.
    SetStartupInfo(nullptr);
    EXPECT_EQ(HostStartupRecord.ModuleId, 18);
    EXPECT_EQ(HookCalls, 2);
}

TEST_F(StartupTest, LookupMasksTheIdToSevenBits) {
    StartupRecord record = host.Record();
    SetStartupInfo(&record);
    host.Messages[127] = "Message 127";
    EXPECT_EQ(LookupMessage(2), host.Messages[2].c_str());
    EXPECT_EQ(LookupMessage(130), host.Messages[2].c_str());
    EXPECT_EQ(LookupMessage(0x7F), host.Messages[127].c_str());
    EXPECT_EQ(LookupMessage(-1), host.Messages[127].c_str());
    EXPECT_EQ(LookupMessage(0x100 + 4), host.Messages[4].c_str());
    EXPECT_EQ(LookupMessage(5), nullptr);  // the host's null, unchanged
    ASSERT_EQ(host.MessageCalls.size(), 6u);
    const int32_t asked[] = {2, 2, 127, 127, 4, 5};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(host.MessageCalls[i].MessageId, asked[i]) << i;
        EXPECT_EQ(host.MessageCalls[i].ModuleId, TestHost::ModuleId) << i;
    }
}

TEST_F(StartupTest, LookupWithoutAMessageServiceGivesNull) {
    EXPECT_EQ(LookupMessage(2), nullptr);  // before any record
    StartupRecord record = host.Record();
    record.MessageService = nullptr;
    SetStartupInfo(&record);
    EXPECT_EQ(LookupMessage(2), nullptr);
    EXPECT_TRUE(host.Calls.empty());
}

}  // namespace
