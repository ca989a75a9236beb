// An in-test host: a StartupRecord whose services are this file's functions.
// Each service logs its calls; the panel, the messages, the name matcher and
// the dialog's answer are set by the test.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/host_interface.h"
#include "tools/hostkit/lean_host.h"

struct PanelCall {
    intptr_t Panel;
    int32_t Command;
    RedrawRecord Redraw;  // for PanelRedraw only
};

struct NameMatchCall {
    std::string Pattern;
    std::string Name;
    int32_t Flag;
    const void* PatternAt;  // where the plug-in keeps the pattern it hands over
};

struct MessageCall {
    intptr_t ModuleId;
    int32_t MessageId;
};

struct MessageBoxCall {
    intptr_t ModuleId;
    uint32_t Flags;
    std::string HelpTopic;           // "<null>" for none
    std::vector<std::string> Items;  // the title, the lines, the buttons; "<null>" for a null text
    int32_t ButtonCount;
    DWORD LastError;  // the thread's last error as the box was asked for
};

struct DialogCall {
    intptr_t ModuleId;
    int32_t Left, Top, Right, Bottom;
    const char* Topic;
    const DialogItemRecord* ItemsAddress;
    int32_t ItemCount;
    std::vector<DialogItemRecord> Items;  // as handed over, before the test's edit
};

class TestHost {
public:
    static TestHost& Instance();

    // Back to a fresh host: logs empty, panel empty, messages "Message N".
    void Reset();

    // A record pointing at this host's services; the opaque bytes carry a
    // pattern so a copy can be told apart from a zeroed record.
    StartupRecord Record() const;

    // Above 4 GiB at 64 bits: an id cast through 32 bits anywhere is caught.
#if defined(_WIN64)
    static constexpr intptr_t ModuleId = 0x123456789A;
#else
    static constexpr intptr_t ModuleId = 0x4C4E5800;
#endif
    static constexpr uint8_t OpaqueFill = 0xA5;
    std::string RegistryRoot = "Software\\LanternixTests\\Default";
    bool NullRegistryRoot = false;

    // Messages: text by id; ids not in the map get a null pointer.
    std::map<int32_t, std::string> Messages;

    // The panel served by PanelGetInfo, and what PanelRedraw did to it.
    std::vector<PanelItemRecord> PanelItems;
    int32_t CurrentItem = 0;
    int32_t TopItem = 0;
    bool PanelFillsNothing = false;   // PanelGetInfo leaves the record as given
    bool PanelNullItems = false;      // PanelGetInfo reports no item array
    int32_t PanelCountOverride = -1;  // >= 0: reported instead of the real count
    void AddItem(const std::string& name, DWORD attributes = FILE_ATTRIBUTE_NORMAL);

    // Decides NameMatchService; by default a case-insensitive * and ? match.
    std::function<bool(const std::string& pattern, const std::string& name)> Matcher;

    // Edits the handed-over items and returns the dialog's result (default -1).
    std::function<int32_t(DialogItemRecord* items, int32_t count)> DialogAnswer;

    // The message box's answer: a button's index, or -1 for Esc (default 0).
    int32_t MessageBoxAnswer = 0;

    // Logs.
    std::vector<std::string> Calls;  // every service call, in order, as text
    std::vector<MessageCall> MessageCalls;
    std::vector<PanelCall> PanelCalls;
    std::vector<NameMatchCall> NameMatchCalls;
    std::vector<DialogCall> DialogCalls;
    std::vector<MessageBoxCall> MessageBoxCalls;
    std::vector<std::string> MatchedPatterns() const;

private:
    TestHost() { Reset(); }
};
