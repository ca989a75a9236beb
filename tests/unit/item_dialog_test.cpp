// RunItemDialog against the in-test host: what the host receives, byte for
// byte, and what lands in the caller's variables afterwards.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "support/item_dialog.h"
#include "support/startup.h"
#include "tests/testbed/dialog_record.h"
#include "tests/testbed/expected_facts.h"
#include "tests/testbed/owned_text.h"
#include "tests/testbed/test_host.h"

namespace {

// The tests build their value lists in a vector: RunItemDialog takes any list
// that holds its values back to back.
using ItemValueList = std::vector<ItemValue>;

// An address in the never-mapped first 64 KiB: touching it faults.
constexpr uint32_t UnmappedAddress = 0xDEA0;

ItemValue Raw(ValueKind kind, uintptr_t payload) { return {kind, payload}; }
ItemValue NullReference() { return Raw(ValueKind::Reference, 0); }
ItemValue BadReference() { return Raw(ValueKind::Reference, UnmappedAddress); }

uintptr_t AddressOf(const void* p) { return reinterpret_cast<uintptr_t>(p); }

// Appends one item's eight values in list order.
void AddItem(ItemValueList& list, int32_t type, int32_t left, int32_t top, int32_t right, ItemValue focus,
             ItemValue parameter, uint32_t flags, ItemValue data) {
    list.insert(list.end(), {IntegerValue(type), IntegerValue(left), IntegerValue(top), IntegerValue(right), focus,
                             parameter, Raw(ValueKind::Integer, flags), data});
}

// A plain item of the given type: no focus, Boolean false parameter, no text.
void AddPlain(ItemValueList& list, int32_t type, int32_t top = 2) {
    AddItem(list, type, 1, top, 10, BooleanValue(false), BooleanValue(false), 0, NullReference());
}

class ItemDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.Reset();
        savedHook = StartupHook;
        StartupHook = nullptr;
        record = host.Record();
        SetStartupInfo(&record);
    }
    void TearDown() override {
        HostStartupRecord = StartupRecord{};
        StartupHook = savedHook;
        host.Reset();
    }
    // The items as the one dialog call handed them over.
    const std::vector<DialogItemRecord>& Sent() {
        EXPECT_EQ(host.DialogCalls.size(), 1u);
        static const std::vector<DialogItemRecord> none;
        return host.DialogCalls.empty() ? none : host.DialogCalls.back().Items;
    }
    void Answer(int32_t result, std::function<void(DialogItemRecord*)> edit = nullptr) {
        host.DialogAnswer = [result, edit](DialogItemRecord* items, int32_t) {
            if (edit) edit(items);
            return result;
        };
    }

    TestHost& host = TestHost::Instance();
    StartupRecord record{};
    StartupHookProc savedHook = nullptr;
};

TEST_F(ItemDialogTest, CallCarriesPositionSizeTopicArrayAndCount) {
    ItemValueList list;
    AddItem(list, expected::FrameItem, 3, 1, 67, BooleanValue(false), BooleanValue(false), 0, IntegerValue(3));
    AddPlain(list, expected::TextItem, 2);
    AddPlain(list, expected::ButtonItem, 5);
    static const char topic[] = "Topic";
    EXPECT_EQ(RunItemDialog(topic, list), -1);
    ASSERT_EQ(host.DialogCalls.size(), 1u);
    const DialogCall& call = host.DialogCalls[0];
    EXPECT_EQ(call.ModuleId, TestHost::ModuleId);
    EXPECT_EQ(call.Left, -1);
    EXPECT_EQ(call.Top, -1);
    EXPECT_EQ(call.Right, 71);  // item 0's right + 4
    EXPECT_EQ(call.Bottom, 8);  // last item's top + 3
    EXPECT_EQ(call.Topic, topic);
    EXPECT_NE(call.ItemsAddress, nullptr);
    EXPECT_EQ(call.ItemCount, 3);
    // Item 0 becomes the frame; the others keep the rows they were given.
    EXPECT_EQ(FieldOf(call.Items[0], ItemField::Top), 1);
    EXPECT_EQ(FieldOf(call.Items[0], ItemField::Bottom), 6);
    EXPECT_EQ(FieldOf(call.Items[1], ItemField::Top), 2);
    EXPECT_EQ(FieldOf(call.Items[1], ItemField::Bottom), 0);
    EXPECT_EQ(FieldOf(call.Items[2], ItemField::Top), 5);
    EXPECT_EQ(FieldOf(call.Items[2], ItemField::Bottom), 0);

    host.DialogCalls.clear();
    RunItemDialog(nullptr, list);
    ASSERT_EQ(host.DialogCalls.size(), 1u);
    EXPECT_EQ(host.DialogCalls[0].Topic, nullptr);
}

TEST_F(ItemDialogTest, FieldsPassThroughByteForByte) {
    ItemValueList list;
    AddItem(list, 12345, -7, 9, 40, BooleanValue(true), BooleanValue(true), 0xFFFFFFFFu, IntegerValue(1));
    AddItem(list, -2, 0x7FFFFFFF, 4, -40, BooleanValue(false), BooleanValue(false), expected::EditKeepsHistory,
            IntegerValue(2));
    RunItemDialog(nullptr, list);
    const auto& items = Sent();
    ASSERT_EQ(items.size(), 2u);
    const int32_t first[] = {12345, -7, 1, 40, 5, -1, 1, -1, 0};
    const int32_t second[] = {-2, 0x7FFFFFFF, 4, -40, 0, 0, 0, expected::EditKeepsHistory, 0};
    for (size_t f = 0; f < ItemFieldCount; ++f) {
        EXPECT_EQ(FieldOf(items[0], f), first[f]) << "item 0 field " << f;
        EXPECT_EQ(FieldOf(items[1], f), second[f]) << "item 1 field " << f;
    }
    EXPECT_TRUE(TextIs(items[0], "Message 1"));
    EXPECT_TRUE(TextIs(items[1], "Message 2"));
    EXPECT_EQ(host.DialogCalls[0].Right, 44);
    EXPECT_EQ(host.DialogCalls[0].Bottom, 7);
}

TEST_F(ItemDialogTest, ItemCountIsWholeGroupsOfEight) {
    // 8 values: one item, sized from itself.
    ItemValueList one;
    AddItem(one, expected::FrameItem, 3, 4, 20, BooleanValue(false), BooleanValue(false), 0, IntegerValue(0));
    Answer(0);
    EXPECT_EQ(RunItemDialog(nullptr, one), 0);
    ASSERT_EQ(host.DialogCalls.size(), 1u);
    EXPECT_EQ(host.DialogCalls[0].ItemCount, 1);
    EXPECT_EQ(FieldOf(host.DialogCalls[0].Items[0], ItemField::Top), 1);
    EXPECT_EQ(FieldOf(host.DialogCalls[0].Items[0], ItemField::Bottom), 5);  // the given top 4 + 1
    EXPECT_EQ(host.DialogCalls[0].Right, 24);
    EXPECT_EQ(host.DialogCalls[0].Bottom, 7);

    // 15 values: still one item; values 8 to 14 would fault if read, also at read-back.
    ItemValueList oneAndAHalf = one;
    for (int i = 0; i < 7; ++i) oneAndAHalf.push_back(BadReference());
    host.DialogCalls.clear();
    EXPECT_EQ(RunItemDialog(nullptr, oneAndAHalf), 0);
    ASSERT_EQ(host.DialogCalls.size(), 1u);
    EXPECT_EQ(host.DialogCalls[0].ItemCount, 1);
    EXPECT_EQ(host.DialogCalls[0].Bottom, 7);

    // 16 values: two items, sized from the second one's top.
    ItemValueList two = one;
    AddItem(two, expected::ButtonItem, 0, 6, 0, BooleanValue(false), BooleanValue(false), 0, IntegerValue(1));
    host.DialogCalls.clear();
    EXPECT_EQ(RunItemDialog(nullptr, two), 0);
    ASSERT_EQ(host.DialogCalls.size(), 1u);
    EXPECT_EQ(host.DialogCalls[0].ItemCount, 2);
    EXPECT_EQ(FieldOf(host.DialogCalls[0].Items[0], ItemField::Bottom), 7);
    EXPECT_EQ(host.DialogCalls[0].Bottom, 9);
    EXPECT_TRUE(TextIs(host.DialogCalls[0].Items[1], "Message 1"));
}

TEST_F(ItemDialogTest, FewerThanEightValuesNeverReachTheHost) {
    Answer(0);
    ItemValueList list;
    EXPECT_EQ(RunItemDialog(nullptr, list), -1);
    for (int i = 0; i < 7; ++i) list.push_back(IntegerValue(1));
    EXPECT_EQ(RunItemDialog(nullptr, list), -1);
    EXPECT_TRUE(host.DialogCalls.empty());
    EXPECT_TRUE(host.Calls.empty());
}

TEST_F(ItemDialogTest, NoDialogServiceGivesNoResult) {
    HostStartupRecord.DialogService = nullptr;
    Text text = TextOf("kept");
    ItemValueList list;
    AddItem(list, expected::EditItem, 1, 1, 10, BooleanValue(false), BooleanValue(false), 0, TextReference(&text));
    EXPECT_EQ(RunItemDialog(nullptr, list), -1);
    EXPECT_EQ(AsString(text), "kept");
}

TEST_F(ItemDialogTest, OnlyTheFirstButtonIsDefault) {
    ItemValueList list;
    for (int32_t type : {expected::FrameItem, expected::TextItem, expected::ButtonItem, expected::EditItem,
                         expected::ButtonItem, expected::TextItem, expected::ButtonItem})
        AddPlain(list, type);
    RunItemDialog(nullptr, list);
    const auto& items = Sent();
    ASSERT_EQ(items.size(), 7u);
    const int32_t expected[] = {0, 0, -1, 0, 0, 0, 0};
    for (size_t k = 0; k < items.size(); ++k)
        EXPECT_EQ(FieldOf(items[k], ItemField::IsDefault), expected[k]) << "item " << k;

    // The mark is set afresh for each run, and a button at item 0 counts too.
    ItemValueList buttons;
    for (int32_t type : {expected::ButtonItem, expected::ButtonItem}) AddPlain(buttons, type);
    host.DialogCalls.clear();
    RunItemDialog(nullptr, buttons);
    ASSERT_EQ(host.DialogCalls.size(), 1u);
    EXPECT_EQ(FieldOf(host.DialogCalls[0].Items[0], ItemField::IsDefault), -1);
    EXPECT_EQ(FieldOf(host.DialogCalls[0].Items[1], ItemField::IsDefault), 0);

    ItemValueList noButton;
    for (int32_t type : {expected::FrameItem, expected::TextItem, expected::EditItem, 8, -7}) AddPlain(noButton, type);
    host.DialogCalls.clear();
    RunItemDialog(nullptr, noButton);
    ASSERT_EQ(host.DialogCalls.size(), 1u);
    for (const DialogItemRecord& item : host.DialogCalls[0].Items) EXPECT_EQ(FieldOf(item, ItemField::IsDefault), 0);
}

TEST_F(ItemDialogTest, FocusReadsTheLowestByteOnly) {
    ItemValueList list;
    for (uint32_t payload : {1u, 0u, 0x80u, 0x100u, 0xFFFFFF00u, 0xFFu})
        AddItem(list, expected::TextItem, 1, 2, 3, Raw(ValueKind::Boolean, payload), BooleanValue(false), 0,
                NullReference());
    RunItemDialog(nullptr, list);
    const auto& items = Sent();
    ASSERT_EQ(items.size(), 6u);
    const int32_t expected[] = {-1, 0, -1, 0, 0, -1};
    for (size_t k = 0; k < items.size(); ++k)
        EXPECT_EQ(FieldOf(items[k], ItemField::HasFocus), expected[k]) << "item " << k;
}

TEST_F(ItemDialogTest, ParameterFollowsTheKindOfItsValue) {
    static const char history[] = "History";
    uint8_t byte = 200;
    ItemValueList list;
    const ItemValue parameters[] = {BooleanValue(true),   BooleanValue(false),       Raw(ValueKind::Boolean, 0x1FE),
                                    ByteReference(&byte), TextPointerValue(history), IntegerValue(77),
                                    NullReference()};
    for (const ItemValue& parameter : parameters)
        AddItem(list, expected::TextItem, 1, 2, 3, BooleanValue(false), parameter, 0, NullReference());
    // The host writes a new parameter into every item; only the byte variable takes one.
    Answer(0, [](DialogItemRecord* items) {
        for (int k = 0; k < 7; ++k) items[k].Parameter = 0x1234;
    });
    EXPECT_EQ(RunItemDialog(nullptr, list), 0);
    const auto& items = Sent();
    ASSERT_EQ(items.size(), 7u);
    const uintptr_t expected[] = {1, 0, 0xFE, 200, AddressOf(history), 0, 0};
    for (size_t k = 0; k < items.size(); ++k)
        EXPECT_EQ(static_cast<uintptr_t>(FieldOf(items[k], ItemField::Parameter)), expected[k]) << "item " << k;
    EXPECT_EQ(byte, 0x34);
    EXPECT_STREQ(history, "History");
}

TEST_F(ItemDialogTest, TextComesFromMessagesOrReferencedVariables) {
    host.Messages[3] = "Title";
    host.Messages.erase(9);
    Text variable = TextOf("*.exe,*.com");
    Text withNul = TextOf(std::string("abc\0def", 7));
    Text empty;
    static const char pointed[] = "pointed";
    ItemValueList list;
    const ItemValue data[] = {IntegerValue(3),          IntegerValue(0x83),      IntegerValue(9),
                              TextReference(&variable), TextReference(&withNul), TextReference(&empty),
                              NullReference(),          BooleanValue(true),      TextPointerValue(pointed)};
    for (const ItemValue& value : data)
        AddItem(list, expected::TextItem, 1, 2, 3, BooleanValue(false), BooleanValue(false), 0, value);
    RunItemDialog(nullptr, list);
    const auto& items = Sent();
    ASSERT_EQ(items.size(), 9u);
    const char* expected[] = {"Title", "Title", "", "*.exe,*.com", "abc", "", "", "", ""};
    for (size_t k = 0; k < items.size(); ++k) EXPECT_TRUE(TextIs(items[k], expected[k])) << "item " << k;
    // Message ids count by their low 7 bits.
    ASSERT_EQ(host.MessageCalls.size(), 3u);
    EXPECT_EQ(host.MessageCalls[0].MessageId, 3);
    EXPECT_EQ(host.MessageCalls[1].MessageId, 3);
    EXPECT_EQ(host.MessageCalls[2].MessageId, 9);
    for (const MessageCall& call : host.MessageCalls) EXPECT_EQ(call.ModuleId, TestHost::ModuleId);
}

TEST_F(ItemDialogTest, LongTextsAreShownCutTo511Characters) {
    host.Messages[1] = std::string(700, 'm');
    Text variable = TextOf(std::string(600, 'v'));
    ItemValueList list;
    AddItem(list, expected::TextItem, 1, 2, 3, BooleanValue(false), BooleanValue(false), 0, IntegerValue(1));
    AddItem(list, expected::EditItem, 1, 2, 3, BooleanValue(false), BooleanValue(false), 0, TextReference(&variable));
    RunItemDialog(nullptr, list);
    const auto& items = Sent();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_TRUE(TextIs(items[0], std::string(511, 'm')));
    EXPECT_TRUE(TextIs(items[1], std::string(511, 'v')));
    EXPECT_EQ(AsString(variable), std::string(600, 'v'));  // showing it changes nothing
}

TEST_F(ItemDialogTest, LongTextKeptWholeUnlessEdited) {
    std::string whole;
    for (int i = 0; i < 600; ++i) whole += static_cast<char>('a' + i % 26);
    Text unedited = TextOf(whole), edited = TextOf(whole), shortened = TextOf(whole), filled = TextOf(whole);
    ItemValueList list;
    for (Text* text : {&unedited, &edited, &shortened, &filled})
        AddItem(list, expected::EditItem, 1, 2, 3, BooleanValue(false), BooleanValue(false), 0, TextReference(text));
    Answer(0, [](DialogItemRecord* items) {
        items[1].Text[10] = '#';
        items[2].Text[5] = '\0';
        items[3].Text[511] = 'Z';  // the host's text runs to the end of the field
    });
    EXPECT_EQ(RunItemDialog(nullptr, list), 0);
    std::string expectedEdit = whole.substr(0, 511);
    expectedEdit[10] = '#';
    EXPECT_EQ(unedited.size(), 600u);
    EXPECT_EQ(AsString(edited), expectedEdit);
    EXPECT_EQ(AsString(shortened), whole.substr(0, 5));
    EXPECT_EQ(AsString(filled), whole.substr(0, 511) + "Z");
    EXPECT_EQ(AsString(unedited), whole);
}

TEST_F(ItemDialogTest, ReadBackTakesTheHostsTexts) {
    Text replaced = TextOf("old");
    Text emptied = TextOf("gone");
    Text stillEmpty;
    Text withNul = TextOf(std::string("abc\0def", 7));
    Text full = TextOf("x");
    ItemValueList list;
    for (Text* text : {&replaced, &emptied, &stillEmpty, &withNul, &full})
        AddItem(list, expected::EditItem, 1, 2, 3, BooleanValue(false), BooleanValue(false), 0, TextReference(text));
    Answer(4, [](DialogItemRecord* items) {
        std::strcpy(items[0].Text, "new text");
        std::memset(items[1].Text, 0, sizeof items[1].Text);
        std::memset(items[4].Text, 'y', sizeof items[4].Text);  // no terminator at all
    });
    EXPECT_EQ(RunItemDialog(nullptr, list), 4);
    EXPECT_EQ(AsString(replaced), "new text");
    EXPECT_EQ(AsString(emptied), "");
    EXPECT_EQ(AsString(stillEmpty), "");
    EXPECT_EQ(AsString(withNul), "abc");
    EXPECT_EQ(AsString(full), std::string(512, 'y'));
}

TEST_F(ItemDialogTest, ReadBackPassesOverEverythingButReferences) {
    // Every value below that names an unmapped or read-only address would
    // fault if the read-back wrote through it.
    ItemValueList list;
    AddItem(list, expected::TextItem, 1, 2, 3, BooleanValue(false), NullReference(), 0, NullReference());
    list.insert(list.end(), {IntegerValue(expected::TextItem), BadReference(), BadReference(), BadReference(),
                             BadReference(), BooleanValue(false), BadReference(), NullReference()});
    AddItem(list, expected::TextItem, 1, 2, 3, BooleanValue(false), IntegerValue(UnmappedAddress), 0,
            IntegerValue(UnmappedAddress));
    AddItem(list, expected::TextItem, 1, 2, 3, BooleanValue(false), BooleanValue(true), 0, BooleanValue(true));
    AddItem(list, expected::TextItem, 1, 2, 3, BooleanValue(false), Raw(ValueKind::TextPointer, AddressOf("p")), 0,
            Raw(ValueKind::TextPointer, AddressOf("d")));
    Answer(3, [](DialogItemRecord* items) {
        for (int k = 0; k < 5; ++k) {
            items[k].Parameter = 0xAB;
            std::strcpy(items[k].Text, "edited");
        }
    });
    EXPECT_EQ(RunItemDialog(nullptr, list), 3);
    const auto& items = Sent();
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0].Parameter, 0u);  // null reference
    EXPECT_EQ(items[2].Parameter, 0u);  // integer
    EXPECT_EQ(items[3].Parameter, 1u);  // Boolean true
    // Positions 1 to 4 and 6 are taken as plain numbers, whatever their kind.
    const int32_t second[] = {
        expected::TextItem, UnmappedAddress, UnmappedAddress, UnmappedAddress, 0, -1, 0, UnmappedAddress, 0};
    for (size_t f = 0; f < ItemFieldCount; ++f) EXPECT_EQ(FieldOf(items[1], f), second[f]) << "field " << f;
    for (size_t k = 0; k < items.size(); ++k)
        EXPECT_TRUE(TextIs(items[k], "")) << "item " << k;  // id 0xDEA0 is message 32: none
    ASSERT_EQ(host.MessageCalls.size(), 1u);
    EXPECT_EQ(host.MessageCalls[0].MessageId, 0x20);
}

TEST_F(ItemDialogTest, NoResultTouchesNoVariable) {
    uint8_t byte = 17;
    Text text = TextOf("unchanged");
    Text longText = TextOf(std::string(600, 'q'));
    ItemValueList list;
    AddItem(list, expected::EditItem, 1, 2, 3, BooleanValue(true), ByteReference(&byte), 0, TextReference(&text));
    AddItem(list, expected::EditItem, 1, 3, 3, BooleanValue(false), BooleanValue(false), 0, TextReference(&longText));
    Answer(-1, [](DialogItemRecord* items) {
        items[0].Parameter = 99;
        std::strcpy(items[0].Text, "edited");
        std::strcpy(items[1].Text, "edited");
    });
    EXPECT_EQ(RunItemDialog(nullptr, list), -1);
    EXPECT_EQ(host.DialogCalls.size(), 1u);
    EXPECT_EQ(byte, 17);
    EXPECT_EQ(AsString(text), "unchanged");
    EXPECT_EQ(AsString(longText), std::string(600, 'q'));
}

TEST_F(ItemDialogTest, AnyOtherResultReadsBack) {
    for (int32_t result : {0, 3, 4, 7, 1000, -2}) {
        SCOPED_TRACE(result);
        uint8_t byte = 1;
        Text text = TextOf("before");
        ItemValueList list;
        AddItem(list, expected::FrameItem, 3, 1, 30, BooleanValue(false), BooleanValue(false), 0, IntegerValue(3));
        AddItem(list, expected::EditItem, 5, 3, 25, BooleanValue(true), ByteReference(&byte), 0, TextReference(&text));
        AddPlain(list, expected::ButtonItem, 5);
        Answer(result, [result](DialogItemRecord* items) {
            items[1].Parameter = static_cast<uint32_t>(0x100 + result);
            std::strcpy(items[1].Text, "after");
        });
        EXPECT_EQ(RunItemDialog(nullptr, list), result);
        EXPECT_EQ(byte, static_cast<uint8_t>(result));
        EXPECT_EQ(AsString(text), "after");
    }
}

}  // namespace
