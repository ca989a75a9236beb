// Console records of every event type with random fields, over panels of 0 to
// 5 items: null arrays, panels that fill nothing, cursor indexes from -3 to
// count + 3, names filling all 260 bytes, every attribute bit. Invocation after
// invocation, the keys sent, the panel calls and the patterns asked for follow
// the relay's rules exactly; non-key records are passed over; nothing outside
// the item array is read (it lies against a no-access page).
#include <climits>
#include <cstring>

#include "tests/hostile/hostile.h"

namespace hostile {
namespace {

const std::vector<std::string> PatternPool = {
    "*.exe", "*.TXT", "?", "", " *", "a*b", "*.\xE9*", std::string(260, '*'), "setup.*", "??"};
const std::vector<std::string> NamePool = {"setup.exe", "a.txt", "x", "ab", "readme", " q", "A1B", "file.\xE9t"};

const std::vector<WORD> OtherEventTypes = {
    MOUSE_EVENT, WINDOW_BUFFER_SIZE_EVENT, MENU_EVENT, FOCUS_EVENT, 0, 0x20, 0x40, 0xFFFF};

INPUT_RECORD RandomRecord(Random& random, WORD type) {
    INPUT_RECORD record;
    auto* bytes = reinterpret_cast<uint8_t*>(&record);
    for (size_t i = 0; i < sizeof record; ++i) bytes[i] = static_cast<uint8_t>(random.Next());
    record.EventType = type;
    return record;
}

INPUT_RECORD RandomKeyRecord(Random& random) {
    INPUT_RECORD record = RandomRecord(random, KEY_EVENT);
    KEY_EVENT_RECORD& key = record.Event.KeyEvent;
    key.bKeyDown = static_cast<BOOL>(random.Pick(std::vector<uint32_t>{0, 0, 1, random.Next()}));
    switch (random.Below(20)) {
        case 0:
        case 1:
        case 2:
        case 3:
        case 4:
        case 5:
        case 6:
        case 7: key.wVirtualKeyCode = VK_CONTROL; break;
        case 8:
        case 9: key.wVirtualKeyCode = VK_UP; break;
        case 10:
            key.wVirtualKeyCode = static_cast<WORD>(random.Pick(std::vector<uint32_t>{0x111, 0xFF11, 0x126}));
            break;
        default: key.wVirtualKeyCode = static_cast<WORD>(random.Next()); break;
    }
    key.wVirtualScanCode = static_cast<WORD>(random.Next());
    return record;
}

PanelItemRecord RandomItem(Random& random) {
    PanelItemRecord item;
    std::memset(&item, 0x5A, sizeof item);  // no zero byte after the name but its own
    item.FindData.dwFileAttributes = random.Next();
    char* name = item.FindData.cFileName;
    std::string text =
        random.Chance(40) ? random.Pick(NamePool) : random.Bytes(static_cast<size_t>(random.Between(0, 259)));
    if (random.Chance(25)) text = random.Bytes(PanelItemNameSize);  // fills the field, no terminator
    std::memcpy(name, text.data(), text.size());
    if (text.size() < PanelItemNameSize) name[text.size()] = '\0';
    return item;
}

// What the relay must see on a PanelGetInfo: the host's answer over a record
// zero-filled by the relay.
struct PanelView {
    const PanelItemRecord* Items;
    int32_t Count;
    int32_t Current;
    int32_t Top;
};

// The relay's rules, worked out for one invocation; StartSent carries over.
struct RelayModel {
    bool StartSent = true;
    std::vector<std::string> Patterns;
    std::vector<std::string> Keys;
    std::vector<std::string> Calls;

    void Invocation(const KEY_EVENT_RECORD& key, TestHost& host, const std::vector<PanelItemRecord>& items) {
        Keys.clear();
        Calls.clear();
        auto getInfo = [&]() {
            Calls.push_back("PanelGetInfo");
            if (Panel().FillsNothing) return PanelView{nullptr, 0, 0, 0};
            return PanelView{Panel().Items == nullptr ? nullptr : items.data(), Panel().ItemCount, host.CurrentItem,
                             host.TopItem};
        };
        const WORD virtualKey = key.wVirtualKeyCode;
        const bool down = key.bKeyDown != 0;
        if (virtualKey != VK_CONTROL) {
            if (down || StartSent) {
                const PanelView view = getInfo();
                const int32_t current = static_cast<int32_t>(static_cast<uint32_t>(view.Current) +
                                                             (virtualKey == VK_UP ? 0xFFFFFFFFu : 1u));
                Calls.push_back("PanelRedraw " + std::to_string(current) + " " + std::to_string(view.Top));
                Keys.push_back(CtrlPressedAgainKey());
            }
            Keys.push_back(HandedBackKey(virtualKey, key.wVirtualScanCode));
        }
        StartSent = false;
        if (virtualKey != VK_CONTROL || down) return;
        Keys.push_back(CtrlReleasedKey());
        const PanelView view = getInfo();
        if (view.Items == nullptr || view.Current < 0 || view.Current >= view.Count) return;
        const PanelItemRecord& item = view.Items[view.Current];
        bool enter = (item.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!enter) {
            const std::string name(item.FindData.cFileName, strnlen(item.FindData.cFileName, PanelItemNameSize));
            for (const std::string& pattern : Patterns) {
                Calls.push_back("NameMatch " + pattern + " " + name);
                if (WildcardMatch(pattern.c_str(), name.c_str())) {
                    enter = true;
                    break;
                }
            }
        }
        Keys.push_back(enter ? EnterKeys(false) : F3Keys(false));
        Keys.push_back(enter ? EnterKeys(true) : F3Keys(true));
        StartSent = true;
    }
};

class RelayInput : public HostileTest {};

TEST_F(RelayInput, FollowsTheRulesForEveryRecordAndPanel) {
    ScratchKey root(TestKeyPath());
    ScratchKey settings(expected::SettingsKeyUnder(root.Path()));
    host.RegistryRoot = root.Path();
    std::string list = "*.never";  // at least one pattern, so names reach the matcher
    for (int32_t i = random.Between(0, 6); i > 0; --i) list += "," + random.Pick(PatternPool);
    if (random.Chance(50)) list += ",";
    settings.SetRaw(expected::ValueName, REG_BINARY, list.data(), static_cast<DWORD>(list.size()));
    RelayModel model;
    model.Patterns = ReferencePatterns(list);

    std::unique_ptr<PluginDll> dll;
    FencedItems fence;
    const int cases = 600 * Rounds();
    for (int index = 0; index < cases; ++index) {
        CaseScope scope("RelayInput", index);
        if (index % 100 == 0) {  // a fresh load now and then: StartSent is true again
            dll.reset();
            dll = LoadDll();
            ASSERT_TRUE(dll->Loaded());
            StartupRecord record = HostileRecord();
            dll->SetStartupInfo(&record);
            model.StartSent = true;
        }

        std::vector<PanelItemRecord> items(static_cast<size_t>(random.Between(0, 5)));
        for (PanelItemRecord& item : items) item = RandomItem(random);
        const int32_t count = static_cast<int32_t>(items.size());
        const uint32_t panelKind = random.Below(10);
        Panel().FillsNothing = panelKind == 0;
        host.PanelFillsNothing = Panel().FillsNothing;
        Panel().Items = fence.Place(items, random.Chance(50));
        if (panelKind == 1) Panel().Items = nullptr;
        Panel().ItemCount = panelKind == 2 ? random.Pick(std::vector<int32_t>{-1, -3, INT_MIN}) : count;
        // Half the time on an item, else anywhere from -3 to count + 3, now
        // and then at the ends of the range, where moving the cursor wraps.
        if (random.Chance(5)) {
            host.CurrentItem = random.Pick(std::vector<int32_t>{INT_MIN, INT_MAX});
        } else {
            host.CurrentItem =
                count > 0 && random.Chance(50) ? random.Between(0, count - 1) : random.Between(-3, count + 3);
        }
        host.TopItem = static_cast<int32_t>(random.Next());

        std::vector<INPUT_RECORD> records;
        for (int32_t i = random.Chance(60) ? 0 : random.Between(1, 3); i > 0; --i)
            records.push_back(RandomRecord(random, random.Pick(OtherEventTypes)));
        records.push_back(RandomKeyRecord(random));
        DWORD written = 0;
        ASSERT_TRUE(WriteConsoleInputA(GetStdHandle(STD_INPUT_HANDLE), records.data(),
                                       static_cast<DWORD>(records.size()), &written));
        ASSERT_EQ(written, records.size());

        model.Invocation(records.back().Event.KeyEvent, host, items);
        host.Calls.clear();
        EXPECT_EQ(Invoke(*dll, "OpenPlugin"), -1);
        EXPECT_EQ(Describe(KeyCapture::Instance().TakeKeys()), model.Keys);
        EXPECT_EQ(host.Calls, model.Calls);
        EXPECT_EQ(PendingConsoleEvents(), 0u) << "records left in the console queue";
        if (HasFailure()) return;  // the first failing case tells the story
    }
}

}  // namespace
}  // namespace hostile
