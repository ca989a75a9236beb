// Configure through the loaded plug-in: the dialog the host is asked to show,
// and where an edit ends up — the list the relay matches with, the next
// dialog, and the registry value.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/testbed/dialog_record.h"
#include "tests/testbed/dll_test.h"
#include "tests/testbed/expected_facts.h"
#include "tools/hostkit/paths.h"

namespace {

constexpr int32_t StoredResult = -1;
constexpr int32_t NotStoredResult = 0;

// The file name of the module whose image holds the address.
std::string ModuleHolding(const void* address) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<const char*>(address), &module))
        return "";
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, MAX_PATH);
    return FileName(path);
}

// A comma-separated list of short patterns, exactly `length` characters long.
std::string LongList(size_t length) {
    std::string list;
    for (int n = 0; list.size() + 10 < length; ++n) list += "*.p" + std::to_string(1000 + n) + ",";
    list += "*.";
    list.append(length - list.size(), 'z');
    return list;
}

class ConfigDialogTest : public DllTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(DllTest::SetUp());
        for (int32_t id = 0; id <= 4; ++id) host.Messages[id] = std::string("Text of ") + char('0' + id);
    }
    void TearDown() override {
        dll.reset();
        DllTest::TearDown();
        host.Reset();
    }

    // Loads the plug-in and hands it the start-up record: the list is read
    // from the registry (or is the default) from here on.
    void Start() {
        dll = std::make_unique<PluginDll>();
        ASSERT_TRUE(dll->Loaded());
        ASSERT_NE(dll->Configure, nullptr);
        StartupRecord record = host.Record();
        dll->SetStartupInfo(&record);
    }

    // Runs Configure with the host answering `result` after setting the edit
    // field (item 2) to `edit`, when given.
    int32_t Configure(int32_t result, const char* edit = nullptr, int32_t argument = 0) {
        std::string text = edit != nullptr ? edit : "";
        const bool editing = edit != nullptr;
        host.DialogAnswer = [result, text, editing](DialogItemRecord* items, int32_t count) {
            if (editing && count > 2) {
                std::memset(items[2].Text, 0, sizeof items[2].Text);
                std::memcpy(items[2].Text, text.data(), text.size());
            }
            return result;
        };
        return dll->Configure(argument);
    }

    // The text the next dialog shows in the edit field, closed without a result.
    std::string NextDialogText() {
        host.DialogCalls.clear();
        EXPECT_EQ(Configure(-1), NotStoredResult);
        if (host.DialogCalls.size() != 1 || host.DialogCalls[0].Items.size() != 5) {
            ADD_FAILURE() << "no five-item dialog";
            return "<none>";
        }
        return TextOf(host.DialogCalls[0].Items[2]);
    }

    // The stored list's data, or "<absent>".
    std::string StoredValue() {
        DWORD type = 0;
        std::vector<uint8_t> data;
        if (!settings.Get(expected::ValueName, type, data)) return "<absent>";
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        return std::string(data.begin(), data.end());
    }

    std::unique_ptr<PluginDll> dll;
};

TEST_F(ConfigDialogTest, HostReceivesTheFiveRecordsAndTheCall) {
    settings.SetText(expected::ValueName, "*.exe,*.txt");
    Start();
    EXPECT_EQ(Configure(-1), NotStoredResult);
    ASSERT_EQ(host.DialogCalls.size(), 1u);
    const DialogCall& call = host.DialogCalls[0];
    EXPECT_EQ(call.ModuleId, TestHost::ModuleId);
    EXPECT_EQ(call.Left, -1);
    EXPECT_EQ(call.Top, -1);
    EXPECT_EQ(call.Right, 71);
    EXPECT_EQ(call.Bottom, 8);
    EXPECT_EQ(call.Topic, nullptr);
    EXPECT_NE(call.ItemsAddress, nullptr);
    ASSERT_EQ(call.ItemCount, 5);
    ASSERT_EQ(call.Items.size(), 5u);

    // ItemType, Left, Top, Right, Bottom, HasFocus, Parameter, ItemFlags, IsDefault
    const int32_t fields[5][9] = {
        {expected::FrameItem, 3, 1, 67, 6, 0, 0, 0, 0},
        {expected::TextItem, 5, 2, 0, 0, 0, 0, 0, 0},
        {expected::EditItem, 5, 3, 65, 0, -1, 0 /* checked below */, expected::EditKeepsHistory, 0},
        {expected::ButtonItem, 0, 5, 0, 0, 0, 0, expected::ButtonsCentredInRow, -1},
        {expected::ButtonItem, 0, 5, 0, 0, 0, 0, expected::ButtonsCentredInRow, 0},
    };
    for (size_t k = 0; k < 5; ++k)
        for (size_t f = 0; f < ItemFieldCount; ++f) {
            if (k == 2 && f == 6) continue;
            EXPECT_EQ(FieldOf(call.Items[k], f), fields[k][f]) << "item " << k << " field " << f;
        }
    EXPECT_TRUE(TextIs(call.Items[0], "Text of 3"));
    EXPECT_TRUE(TextIs(call.Items[1], "Text of 4"));
    EXPECT_TRUE(TextIs(call.Items[2], "*.exe,*.txt"));
    EXPECT_TRUE(TextIs(call.Items[3], "Text of 0"));
    EXPECT_TRUE(TextIs(call.Items[4], "Text of 1"));

    // The edit field's parameter: a constant text inside the plug-in itself.
    const char* history =
        reinterpret_cast<const char*>(static_cast<uintptr_t>(FieldOf(call.Items[2], ItemField::Parameter)));
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(std::memcmp(history, expected::HistoryName.c_str(), expected::HistoryName.size() + 1), 0);
    EXPECT_EQ(ModuleHolding(history), "Lanternix.dll");
    host.DialogCalls.clear();
    Configure(-1);
    ASSERT_EQ(host.DialogCalls.size(), 1u);
    EXPECT_EQ(FieldOf(host.DialogCalls[0].Items[2], ItemField::Parameter),
              FieldOf(call.Items[2], ItemField::Parameter));

    // Texts are asked for in item order, for this plug-in.
    std::vector<int32_t> ids;
    for (const MessageCall& message : host.MessageCalls) {
        EXPECT_EQ(message.ModuleId, TestHost::ModuleId);
        ids.push_back(message.MessageId);
    }
    EXPECT_EQ(ids, (std::vector<int32_t>{3, 4, 0, 1, 3, 4, 0, 1}));
}

TEST_F(ConfigDialogTest, FirstButtonStoresTheEditedList) {
    settings.SetText(expected::ValueName, "*.exe,*.txt");
    Start();
    EXPECT_EQ(Configure(3, "*.doc,*.pdf"), StoredResult);
    EXPECT_EQ(StoredValue(), std::string("*.doc,*.pdf\0", 12));
    EXPECT_EQ(PatternsAsked(*dll), (std::vector<std::string>{"*.doc", "*.pdf"}));
    EXPECT_EQ(NextDialogText(), "*.doc,*.pdf");
}

TEST_F(ConfigDialogTest, FirstButtonUneditedWritesTheListAgain) {
    // No stored value: the default list is in force and gets written as it is.
    Start();
    const std::vector<std::string> defaults = PatternsAsked(*dll);
    ASSERT_EQ(defaults.size(), 15u);
    EXPECT_EQ(StoredValue(), "<absent>");
    EXPECT_EQ(Configure(3), StoredResult);
    EXPECT_EQ(StoredValue(), expected::DefaultList + '\0');
    EXPECT_EQ(PatternsAsked(*dll), defaults);
    EXPECT_EQ(NextDialogText(), expected::DefaultList);
}

TEST_F(ConfigDialogTest, OtherResultsReplaceTheListInMemoryOnly) {
    settings.SetText(expected::ValueName, "*.exe,*.txt");
    Start();
    for (int32_t result : {4, 0, 1, 2, 7}) {
        SCOPED_TRACE(result);
        const std::string edit = "*.r" + std::to_string(result) + ",*.s";
        EXPECT_EQ(Configure(result, edit.c_str()), NotStoredResult);
        EXPECT_EQ(PatternsAsked(*dll), (std::vector<std::string>{"*.r" + std::to_string(result), "*.s"}));
        EXPECT_EQ(NextDialogText(), edit);
        EXPECT_EQ(StoredValue(), std::string("*.exe,*.txt\0", 12));
    }
    // Nothing stored: a fresh load reads the old list.
    dll.reset();
    Start();
    EXPECT_EQ(PatternsAsked(*dll), (std::vector<std::string>{"*.exe", "*.txt"}));
}

TEST_F(ConfigDialogTest, NoResultChangesNothing) {
    settings.SetText(expected::ValueName, "*.exe,*.txt");
    Start();
    EXPECT_EQ(Configure(-1, "*.edited"), NotStoredResult);
    EXPECT_EQ(PatternsAsked(*dll), (std::vector<std::string>{"*.exe", "*.txt"}));
    EXPECT_EQ(NextDialogText(), "*.exe,*.txt");
    EXPECT_EQ(StoredValue(), std::string("*.exe,*.txt\0", 12));
}

TEST_F(ConfigDialogTest, EmptiedFieldStoresAnEmptyList) {
    settings.SetText(expected::ValueName, "*.exe,*.txt");
    Start();
    EXPECT_EQ(Configure(3, ""), StoredResult);
    EXPECT_EQ(StoredValue(), std::string(1, '\0'));
    EXPECT_TRUE(PatternsAsked(*dll).empty());
    host.DialogCalls.clear();
    EXPECT_EQ(Configure(-1), NotStoredResult);
    ASSERT_EQ(host.DialogCalls.size(), 1u);
    EXPECT_TRUE(TextIs(host.DialogCalls[0].Items[2], ""));
}

TEST_F(ConfigDialogTest, ArgumentHasNoEffect) {
    settings.SetText(expected::ValueName, "*.exe");
    Start();
    Configure(-1);
    ASSERT_EQ(host.DialogCalls.size(), 1u);
    const DialogCall first = host.DialogCalls[0];
    for (int32_t argument : {1, -1, 3, 4, 0x7FFFFFFF, INT32_MIN}) {
        SCOPED_TRACE(argument);
        host.DialogCalls.clear();
        EXPECT_EQ(Configure(-1, "*.no", argument), NotStoredResult);
        ASSERT_EQ(host.DialogCalls.size(), 1u);
        const DialogCall& call = host.DialogCalls[0];
        EXPECT_EQ(call.Right, first.Right);
        EXPECT_EQ(call.Bottom, first.Bottom);
        EXPECT_EQ(call.ItemCount, first.ItemCount);
        ASSERT_EQ(call.Items.size(), first.Items.size());
        EXPECT_EQ(std::memcmp(call.Items.data(), first.Items.data(), first.Items.size() * sizeof(DialogItemRecord)), 0);
        EXPECT_EQ(Configure(4, "*.four", argument), NotStoredResult);
        EXPECT_EQ(StoredValue(), std::string("*.exe\0", 6));
        EXPECT_EQ(Configure(3, "*.exe", argument), StoredResult);
        EXPECT_EQ(StoredValue(), std::string("*.exe\0", 6));
        EXPECT_EQ(PatternsAsked(*dll), std::vector<std::string>{"*.exe"});
    }
}

TEST_F(ConfigDialogTest, LongStoredListSurvivesAnUneditedConfirm) {
    const std::string list = LongList(600);
    ASSERT_EQ(list.size(), 600u);
    settings.SetText(expected::ValueName, list);
    Start();
    EXPECT_EQ(Configure(3), StoredResult);
    ASSERT_EQ(host.DialogCalls.size(), 1u);
    EXPECT_TRUE(TextIs(host.DialogCalls[0].Items[2], list.substr(0, 511)));
    EXPECT_EQ(StoredValue(), list + '\0');
    EXPECT_EQ(PatternsAsked(*dll), expected::PatternsOf(list));
    // The second button without an edit keeps it whole as well.
    EXPECT_EQ(Configure(4), NotStoredResult);
    EXPECT_EQ(PatternsAsked(*dll), expected::PatternsOf(list));
    EXPECT_EQ(NextDialogText(), list.substr(0, 511));
}

TEST_F(ConfigDialogTest, EditedLongListIsReplacedByTheEdit) {
    const std::string list = LongList(600);
    settings.SetText(expected::ValueName, list);
    Start();
    std::string edit = list.substr(0, 511);
    edit[0] = '?';
    EXPECT_EQ(Configure(3, edit.c_str()), StoredResult);
    EXPECT_EQ(StoredValue(), edit + '\0');
    EXPECT_EQ(PatternsAsked(*dll), expected::PatternsOf(edit));
}

TEST_F(ConfigDialogTest, BeforeTheStartupRecordNothingIsShown) {
    dll = std::make_unique<PluginDll>();
    ASSERT_TRUE(dll->Loaded());
    host.DialogAnswer = [](DialogItemRecord*, int32_t) { return 3; };
    EXPECT_EQ(dll->Configure(0), NotStoredResult);
    EXPECT_TRUE(host.Calls.empty());
    EXPECT_FALSE(scratch.Exists());
}

}  // namespace
