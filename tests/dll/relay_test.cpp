// The key relay through the real DLL: console events are queued for OpenPlugin,
// the synthetic keys it sends are caught by the keyboard hook, and the panel
// and the name matcher are the in-test host's.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/testbed/dll_test.h"
#include "tests/testbed/expected_facts.h"

namespace {

using Texts = std::vector<std::string>;

constexpr WORD LetterBKey = 0x42, LetterBScanCode = 0x30;
constexpr WORD ScanUp = 0x48, ScanDown = 0x50;

// What a Ctrl release sends when it opens the item (Enter) or views it (F3).
const Texts ReleaseOpens = {CtrlReleasedKey(), EnterKeys(false), EnterKeys(true)};
const Texts ReleaseViews = {CtrlReleasedKey(), F3Keys(false), F3Keys(true)};

std::string HandedBack(WORD virtualKey, WORD scanCode) { return KeyText(virtualKey, scanCode, false, 8); }

std::vector<DWORD> HookFlags(const std::vector<CapturedKey>& keys) {
    std::vector<DWORD> flags;
    for (const CapturedKey& key : keys) flags.push_back(key.Flags);
    return flags;
}

// Restores standard input when a test has replaced it.
class StdInputSwap {
public:
    explicit StdInputSwap(HANDLE replacement) : saved_(GetStdHandle(STD_INPUT_HANDLE)) {
        SetStdHandle(STD_INPUT_HANDLE, replacement);
    }
    ~StdInputSwap() { SetStdHandle(STD_INPUT_HANDLE, saved_); }
    StdInputSwap(const StdInputSwap&) = delete;
    StdInputSwap& operator=(const StdInputSwap&) = delete;

private:
    HANDLE saved_;
};

// Stands between the plug-in and the in-test host's panel to see that every
// PanelGetInfo record arrives zero-filled.
PanelControlServiceProc HostPanelService = nullptr;
int DirtyPanelQueries = 0;

int32_t __stdcall ZeroCheckingPanelService(intptr_t panel, int32_t command, void* parameter) {
    if (command == PanelGetInfo && parameter != nullptr) {
        const auto* bytes = static_cast<const uint8_t*>(parameter);
        if (std::any_of(bytes, bytes + sizeof(PanelInfoRecord), [](uint8_t b) { return b != 0; })) ++DirtyPanelQueries;
    }
    return HostPanelService(panel, command, parameter);
}

// A fresh load of the DLL per test, started with the in-test host's record and
// a settings root holding no stored list, so the default list applies.
class RelayTest : public DllTest {
protected:
    std::unique_ptr<PluginDll> dll;

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(DllTest::SetUp());
        dll = std::make_unique<PluginDll>();
        ASSERT_TRUE(dll->Loaded());
        ASSERT_NE(dll->SetStartupInfo, nullptr);
        ASSERT_NE(dll->OpenPlugin, nullptr);
        StartupRecord record = host.Record();
        HostPanelService = record.PanelControlService;
        record.PanelControlService = ZeroCheckingPanelService;
        DirtyPanelQueries = 0;
        dll->SetStartupInfo(&record);
        // From here the plug-in must work from its own copy.
        std::memset(&record, 0, sizeof record);
        ClearLogs();
    }

    void TearDown() override {
        EXPECT_EQ(DirtyPanelQueries, 0) << "a PanelInfoRecord was handed over not zero-filled";
        dll.reset();
        DllTest::TearDown();
    }

    void ClearLogs() {
        host.Calls.clear();
        host.PanelCalls.clear();
        host.NameMatchCalls.clear();
        host.MessageCalls.clear();
    }

    // Queues the records, runs one OpenPlugin call and returns the keys sent.
    std::vector<CapturedKey> InvokeCaught(const std::vector<INPUT_RECORD>& records, int32_t openFrom = 0,
                                          intptr_t item = 0) {
        for (const INPUT_RECORD& record : records) QueueConsoleRecord(record);
        intptr_t result = 0;
        {
            Watchdog watchdog("OpenPlugin", 10000);
            result = dll->OpenPlugin(openFrom, item);
        }
        EXPECT_EQ(result, -1) << "all bits set, at either width: no plug-in panel";
        return KeyCapture::Instance().TakeKeys();
    }
    Texts Invoke(const std::vector<INPUT_RECORD>& records, int32_t openFrom = 0, intptr_t item = 0) {
        return Describe(InvokeCaught(records, openFrom, item));
    }

    Texts Key(WORD virtualKey, WORD scanCode, bool down) {
        return Invoke({KeyEventRecord(virtualKey, scanCode, down)});
    }

    // A Ctrl press sends nothing and leaves StartSent false.
    void ClearStartSent() {
        ASSERT_EQ(Key(VK_CONTROL, CtrlScanCode, true), Texts{});
        ClearLogs();
    }

    // The cursor moved on the active panel: its info asked for (1), then the
    // panel redrawn (5) as given.
    void ExpectCursorMoved(const std::string& redraw) {
        EXPECT_EQ(host.Calls, (Texts{"PanelGetInfo", redraw}));
        ASSERT_EQ(host.PanelCalls.size(), 2u);
        EXPECT_EQ(host.PanelCalls[0].Panel, -1);
        EXPECT_EQ(host.PanelCalls[0].Command, 1);
        EXPECT_EQ(host.PanelCalls[1].Panel, -1);
        EXPECT_EQ(host.PanelCalls[1].Command, 5);
    }

    // StartSent, observed: a letter's key-up moves the cursor and presses Ctrl
    // again only when the previous invocation started an item.
    void ExpectStartSent(bool expected) {
        ClearLogs();
        host.CurrentItem = 0;
        host.TopItem = 0;
        const Texts keys = Key(LetterAKey, LetterAScanCode, false);
        if (expected) {
            EXPECT_EQ(keys, (Texts{CtrlPressedAgainKey(), HandedBack(LetterAKey, LetterAScanCode)}));
            ExpectCursorMoved("PanelRedraw 1 0");
        } else {
            EXPECT_EQ(keys, Texts{HandedBack(LetterAKey, LetterAScanCode)});
            EXPECT_EQ(host.Calls, Texts{});
        }
    }
};

TEST_F(RelayTest, FirstInvocationAfterLoadMovesTheCursorOnAKeyUp) {
    host.CurrentItem = 4;
    host.TopItem = 2;
    EXPECT_EQ(Key(LetterAKey, LetterAScanCode, false),
              (Texts{CtrlPressedAgainKey(), HandedBack(LetterAKey, LetterAScanCode)}));
    ExpectCursorMoved("PanelRedraw 5 2");
    ExpectStartSent(false);
}

TEST_F(RelayTest, KeyPressMovesTheCursorOneItemKeepingTheTop) {
    ClearStartSent();
    struct Case {
        WORD VirtualKey, ScanCode;
        int32_t Current, Top;
        const char* Redraw;
    };
    const Case cases[] = {
        {VK_DOWN, ScanDown, 5, 3, "PanelRedraw 6 3"},
        {VK_UP, ScanUp, 5, 3, "PanelRedraw 4 3"},
        {VK_UP, ScanUp, 0, 0, "PanelRedraw -1 0"},  // not clamped: the host bounds it
        {LetterAKey, LetterAScanCode, 9, 7, "PanelRedraw 10 7"},
        {VK_DOWN, ScanDown, INT_MAX, 1, "PanelRedraw -2147483648 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Redraw);
        ClearLogs();
        host.CurrentItem = c.Current;
        host.TopItem = c.Top;
        EXPECT_EQ(Key(c.VirtualKey, c.ScanCode, true),
                  (Texts{CtrlPressedAgainKey(), HandedBack(c.VirtualKey, c.ScanCode)}));
        ExpectCursorMoved(c.Redraw);
    }
    ExpectStartSent(false);
}

TEST_F(RelayTest, KeyUpAfterNoStartIsOnlyHandedBackAsLowBytes) {
    ClearStartSent();
    struct Case {
        WORD VirtualKey, ScanCode, SentKey, SentScan;
    };
    const Case cases[] = {
        {LetterAKey, LetterAScanCode, LetterAKey, LetterAScanCode},
        {VK_DOWN, ScanDown, VK_DOWN, ScanDown},
        {0x141, 0x11E, LetterAKey, LetterAScanCode},
        {0xFF26, 0x7F48, VK_UP, ScanUp},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.VirtualKey);
        ClearLogs();
        EXPECT_EQ(Key(c.VirtualKey, c.ScanCode, false), Texts{HandedBack(c.SentKey, c.SentScan)});
        EXPECT_EQ(host.Calls, Texts{});
    }
}

// The key handed back is the key read: extended exactly when the console
// marked it ENHANCED_KEY (the grey arrows, keypad Enter, right Ctrl), so the
// host names it as the user's key and not as its keypad twin. Ctrl pressed
// again and Ctrl released stay the left Ctrl whatever was read. Flags are the
// hook's, in full: injected, extended, up.
TEST_F(RelayTest, KeyHandedBackIsExtendedExactlyWhenTheKeyReadIsEnhanced) {
    constexpr DWORD Injected = LLKHF_INJECTED, Extended = LLKHF_EXTENDED, Up = LLKHF_UP;
    constexpr WORD Numpad2 = VK_NUMPAD2, ScanEnter = 0x1C;
    struct Case {
        const char* What;
        WORD VirtualKey, ScanCode;
        bool Down;
        DWORD ControlKeyState;
        bool StartFirst;  // the invocation before sent Enter: a key-up moves the cursor too
        std::vector<DWORD> Flags;
    };
    const Case cases[] = {
        {"grey Down pressed",
         VK_DOWN,
         ScanDown,
         true,
         ENHANCED_KEY | LEFT_CTRL_PRESSED,
         false,
         {Injected, Injected | Extended}},
        {"grey Up pressed",
         VK_UP,
         ScanUp,
         true,
         ENHANCED_KEY | RIGHT_CTRL_PRESSED,
         false,
         {Injected, Injected | Extended}},
        {"grey Down released after a start",
         VK_DOWN,
         ScanDown,
         false,
         ENHANCED_KEY,
         true,
         {Injected, Injected | Extended}},
        {"grey Up released", VK_UP, ScanUp, false, ENHANCED_KEY | LEFT_CTRL_PRESSED, false, {Injected | Extended}},
        {"keypad Enter pressed", VK_RETURN, ScanEnter, true, ENHANCED_KEY, false, {Injected, Injected | Extended}},
        {"keypad 2 without NumLock", VK_DOWN, ScanDown, true, LEFT_CTRL_PRESSED, false, {Injected, Injected}},
        {"keypad 2 with NumLock", Numpad2, ScanDown, true, NUMLOCK_ON | LEFT_CTRL_PRESSED, false, {Injected, Injected}},
        {"keypad 8 released", VK_UP, ScanUp, false, LEFT_CTRL_PRESSED, false, {Injected}},
        {"letter, every other state bit",
         LetterAKey,
         LetterAScanCode,
         true,
         0x1FF & ~DWORD{ENHANCED_KEY},
         false,
         {Injected, Injected}},
    };
    host.AddItem("setup.exe");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        if (c.StartFirst)
            ASSERT_EQ(Key(VK_CONTROL, CtrlScanCode, false), ReleaseOpens);
        else
            ClearStartSent();
        const std::vector<CapturedKey> keys =
            InvokeCaught({KeyEventRecord(c.VirtualKey, c.ScanCode, c.Down, c.ControlKeyState)});
        EXPECT_EQ(HookFlags(keys), c.Flags);
        // The last key is the one handed back, a key-down of the key read.
        ASSERT_FALSE(keys.empty());
        EXPECT_EQ(Describe(keys.back()), HandedBack(LOBYTE(c.VirtualKey), c.ScanCode));
        if (keys.size() == 2) {
            EXPECT_EQ(Describe(keys[0]), CtrlPressedAgainKey());
        }
    }
    // A right Ctrl released (ENHANCED_KEY) is answered with the left Ctrl's
    // release and a plain Enter, as before.
    host.CurrentItem = 0;
    const std::vector<CapturedKey> keys = InvokeCaught({KeyEventRecord(VK_CONTROL, CtrlScanCode, false, ENHANCED_KEY)});
    EXPECT_EQ(Describe(keys), ReleaseOpens);
    EXPECT_EQ(HookFlags(keys), (std::vector<DWORD>{Injected | Up, Injected, Injected | Up}));
}

TEST_F(RelayTest, CtrlReleaseOverADirectorySendsEnterWithoutAskingThePatterns) {
    ClearStartSent();
    host.AddItem("readme.txt");
    host.AddItem("setup.exe", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    host.CurrentItem = 1;
    EXPECT_EQ(Key(VK_CONTROL, CtrlScanCode, false), ReleaseOpens);
    EXPECT_EQ(host.Calls, Texts{"PanelGetInfo"});
    ASSERT_EQ(host.PanelCalls.size(), 1u);
    EXPECT_EQ(host.PanelCalls[0].Panel, -1);
    ExpectStartSent(true);
}

TEST_F(RelayTest, CtrlReleaseOverAFileConsultsTheDefaultList) {
    host.AddItem("setup.exe");
    host.AddItem("readme.txt");
    host.CurrentItem = 0;
    EXPECT_EQ(Key(VK_CONTROL, CtrlScanCode, false), ReleaseOpens);
    EXPECT_EQ(host.Calls, (Texts{"PanelGetInfo", "NameMatch *.com setup.exe", "NameMatch *.exe setup.exe"}));
    for (const NameMatchCall& call : host.NameMatchCalls) EXPECT_EQ(call.Flag, -1);
    ExpectStartSent(true);

    ClearLogs();
    host.CurrentItem = 1;
    EXPECT_EQ(Key(VK_CONTROL, CtrlScanCode, false), ReleaseViews);
    EXPECT_EQ(host.MatchedPatterns(), expected::DefaultPatterns());
    for (const NameMatchCall& call : host.NameMatchCalls) EXPECT_EQ(call.Name, "readme.txt");
    ExpectStartSent(true);
}

TEST_F(RelayTest, CtrlPressSendsNothingAndEndsTheStart) {
    host.AddItem("setup.exe");
    // At load StartSent is true; a Ctrl press still sends nothing and asks nothing.
    EXPECT_EQ(Key(VK_CONTROL, CtrlScanCode, true), Texts{});
    EXPECT_EQ(host.Calls, Texts{});
    ExpectStartSent(false);

    EXPECT_EQ(Key(VK_CONTROL, CtrlScanCode, false), ReleaseOpens);
    ClearLogs();
    EXPECT_EQ(Key(VK_CONTROL, CtrlScanCode, true), Texts{});
    EXPECT_EQ(host.Calls, Texts{});
    ExpectStartSent(false);
}

TEST_F(RelayTest, EachInvocationTakesOneEventWhateverItsArguments) {
    ClearStartSent();
    QueueConsoleRecord(KeyEventRecord(LetterAKey, LetterAScanCode, false));
    EXPECT_EQ(Key(LetterBKey, LetterBScanCode, false), Texts{HandedBack(LetterAKey, LetterAScanCode)});
    EXPECT_EQ(PendingConsoleEvents(), 1u);
    EXPECT_EQ(Invoke({}, 7, INT_MIN), Texts{HandedBack(LetterBKey, LetterBScanCode)});
    EXPECT_EQ(PendingConsoleEvents(), 0u);
    EXPECT_EQ(Invoke({KeyEventRecord(VK_CONTROL, CtrlScanCode, true)}, -1, 0x7FFFFFFF), Texts{});
}

TEST_F(RelayTest, NonKeyRecordsArePassedOverUntilAKeyEvent) {
    INPUT_RECORD bufferSize{};
    bufferSize.EventType = WINDOW_BUFFER_SIZE_EVENT;
    bufferSize.Event.WindowBufferSizeEvent.dwSize = {0x41, 0x1E};
    INPUT_RECORD menu{};
    menu.EventType = MENU_EVENT;
    menu.Event.MenuEvent.dwCommandId = 0x11;
    const std::vector<INPUT_RECORD> noise = {MouseMoveRecord(0x41, 0x1E), FocusRecord(true), bufferSize, menu,
                                             FocusRecord(false)};

    host.AddItem("setup.exe");
    std::vector<INPUT_RECORD> records = noise;
    records.push_back(KeyEventRecord(VK_CONTROL, CtrlScanCode, false));
    EXPECT_EQ(Invoke(records), ReleaseOpens);
    EXPECT_EQ(PendingConsoleEvents(), 0u);

    // A stray mouse move does not end the Ctrl gesture: StartSent holds.
    ClearLogs();
    records = noise;
    records.push_back(KeyEventRecord(LetterAKey, LetterAScanCode, false));
    EXPECT_EQ(Invoke(records), (Texts{CtrlPressedAgainKey(), HandedBack(LetterAKey, LetterAScanCode)}));
    ExpectCursorMoved("PanelRedraw 1 0");
    EXPECT_EQ(PendingConsoleEvents(), 0u);
}

TEST_F(RelayTest, CtrlReleaseWithoutAnItemUnderTheCursorOnlyReleasesCtrl) {
    // Every real item would start: a read of any of them shows as Enter.
    auto arrangePanel = [this] {
        host.PanelItems.clear();
        for (int i = 0; i < 3; ++i) host.AddItem("setup.exe");
        host.CurrentItem = 0;
        host.PanelNullItems = false;
        host.PanelCountOverride = -1;
        host.PanelFillsNothing = false;
    };
    struct Case {
        const char* What;
        std::function<void()> Arrange;
    };
    const Case cases[] = {
        {"null item array", [this] { host.PanelNullItems = true; }},
        {"negative index", [this] { host.CurrentItem = -1; }},
        {"most negative index", [this] { host.CurrentItem = INT_MIN; }},
        {"index == count", [this] { host.CurrentItem = 3; }},
        {"index past a smaller count",
         [this] {
             host.PanelCountOverride = 1;
             host.CurrentItem = 1;
         }},
        {"count zero", [this] { host.PanelCountOverride = 0; }},
        {"empty panel", [this] { host.PanelItems.clear(); }},
        {"panel info not filled", [this] { host.PanelFillsNothing = true; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        arrangePanel();
        ASSERT_EQ(Key(VK_CONTROL, CtrlScanCode, false), ReleaseOpens);
        c.Arrange();
        ClearLogs();
        EXPECT_EQ(Key(VK_CONTROL, CtrlScanCode, false), Texts{CtrlReleasedKey()});
        EXPECT_EQ(host.Calls, Texts{"PanelGetInfo"});
        arrangePanel();
        ExpectStartSent(false);
    }
}

TEST_F(RelayTest, UnterminatedNameIsHandedOverAsItsFull260Characters) {
    PanelItemRecord item = MakePanelItem("");
    std::memset(item.FindData.cFileName, 'n', sizeof item.FindData.cFileName);
    std::memcpy(item.FindData.cFileName + 256, ".exe", 4);
    // Whatever follows the name field must not become part of the name.
    std::memset(item.FindData.cAlternateFileName, 'x', sizeof item.FindData.cAlternateFileName);
    std::memset(item.Opaque, 'x', sizeof item.Opaque);
    host.PanelItems.push_back(item);
    EXPECT_EQ(Key(VK_CONTROL, CtrlScanCode, false), ReleaseOpens);
    ASSERT_EQ(host.NameMatchCalls.size(), 2u);
    EXPECT_EQ(host.NameMatchCalls[1].Name, std::string(256, 'n') + ".exe");
}

// Patterns "*.<tag>NNN" joined by commas, as many as fit in 400 characters.
Texts PatternsOfAbout400Characters(const std::string& tag) {
    Texts patterns;
    for (size_t length = 0; length + 8 + tag.size() <= 400; length += patterns.back().size() + 1)
        patterns.push_back("*." + tag + std::to_string(100 + patterns.size()));
    return patterns;
}

std::string Joined(const Texts& patterns) {
    std::string list;
    for (const std::string& pattern : patterns) list += (list.empty() ? "" : ",") + pattern;
    return list;
}

// The host's match service calls back into the plug-in on its first call of a
// match and replaces the list, through Configure (kept in memory) or through
// SetStartupInfo (read from the registry): the rest of that match asks
// exactly the list it began with, and the new list is in force from the next.
TEST_F(RelayTest, ListReplacedDuringAMatchTakesEffectFromTheNextMatch) {
    const Texts edited = PatternsOfAbout400Characters("edit");
    const Texts stored = PatternsOfAbout400Characters("stored");
    ASSERT_GE(Joined(edited).size(), 380u);
    settings.SetText(expected::ValueName, Joined(stored));
    host.DialogAnswer = [&edited](DialogItemRecord* items, int32_t) {
        std::memset(items[2].Text, 0, sizeof items[2].Text);
        std::memcpy(items[2].Text, Joined(edited).data(), Joined(edited).size());
        return 4;  // the second button: in memory only
    };
    StartupRecord record = host.Record();
    record.PanelControlService = ZeroCheckingPanelService;
    struct Reentry {
        const char* What;
        Texts NewList;
        std::function<void()> Call;
    };
    const Reentry reentries[] = {
        {"Configure", edited, [this] { EXPECT_EQ(dll->Configure(0), 0); }},
        {"SetStartupInfo", stored, [this, &record] { dll->SetStartupInfo(&record); }},
    };
    host.AddItem("readme.txt");
    Texts asked = expected::DefaultPatterns();
    for (const Reentry& reentry : reentries) {
        SCOPED_TRACE(reentry.What);
        ClearLogs();
        bool reentered = false;
        host.Matcher = [&](const std::string&, const std::string&) {
            if (!reentered) {
                reentered = true;
                reentry.Call();
            }
            return false;
        };
        EXPECT_EQ(Key(VK_CONTROL, CtrlScanCode, false), ReleaseViews);
        EXPECT_TRUE(reentered);
        EXPECT_EQ(host.MatchedPatterns(), asked);
        asked = reentry.NewList;
    }
    // No more calls back: the last replacement is the list now.
    ClearLogs();
    host.Matcher = [](const std::string&, const std::string&) { return false; };
    EXPECT_EQ(Key(VK_CONTROL, CtrlScanCode, false), ReleaseViews);
    EXPECT_EQ(host.MatchedPatterns(), stored);
}

TEST_F(RelayTest, FailedConsoleReadSendsNothing) {
    host.AddItem("setup.exe");
    Texts keys;
    {
        StdInputSwap swap(INVALID_HANDLE_VALUE);
        keys = Invoke({});
    }
    EXPECT_EQ(keys, Texts{});
    EXPECT_EQ(host.Calls, Texts{});
}

}  // namespace
