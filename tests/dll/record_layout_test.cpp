// The start-up record and the panel's records as a host of this build's width
// lays them out, written and read by byte offset alone: the DLL must find
// every service, the registry root, the panel's items, its cursor and its top
// where such a host puts them. (The plug-in information record and the dialog
// items are read back by offset in plugin_test.cpp and config_dialog_test.cpp.)
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tests/testbed/expected_facts.h"
#include "tests/testbed/win_testbed.h"

namespace {

const expected::HostLayout& At = expected::ThisWidth;
// Above 4 GiB at 64 bits: an id the plug-in cuts to 32 bits fails.
constexpr intptr_t ModuleId = static_cast<intptr_t>(sizeof(void*) == 8 ? 0x4C4E584400000044ull : 0x4C4E5844ull);

template <typename T>
void Put(void* record, size_t at, T value) {
    std::memcpy(static_cast<uint8_t*>(record) + at, &value, sizeof value);
}

// What the DLL asked of this host.
struct Asked {
    std::vector<intptr_t> ModuleIds;   // of every message, dialog and message box call
    std::vector<std::string> Boxes;    // every message box's items, one text
    std::vector<std::string> Matches;  // "pattern name"
    std::vector<int32_t> Redraws;      // current and top of each redraw
    int PanelInfoCalls = 0;
};
Asked Seen;

// Three panel items back to back: a folder, a file the list does not match,
// and the current item, a file it does.
std::vector<uint8_t> Items;

const char* __stdcall Message(intptr_t moduleId, int32_t) {
    Seen.ModuleIds.push_back(moduleId);
    return "Text";
}

int32_t __stdcall Dialog(intptr_t moduleId, int32_t, int32_t, int32_t, int32_t, const char*, DialogItemRecord*,
                         int32_t) {
    Seen.ModuleIds.push_back(moduleId);
    return -1;
}

int32_t __stdcall MessageBox(intptr_t moduleId, uint32_t flags, const char*, const char* const* items, int32_t count,
                             int32_t buttons) {
    Seen.ModuleIds.push_back(moduleId);
    std::string box = std::to_string(flags) + " " + std::to_string(buttons);
    for (int32_t i = 0; i < count; ++i) box += std::string(" ") + items[i];
    Seen.Boxes.push_back(box);
    return 0;
}

int32_t __stdcall Panel(intptr_t panel, int32_t command, void* record) {
    if (panel != -1 || record == nullptr) return 0;
    if (command == expected::PanelGetInfo) {
        ++Seen.PanelInfoCalls;
        Put(record, At.PanelItems, static_cast<void*>(Items.data()));
        Put(record, At.PanelItemCount, int32_t{3});
        Put(record, At.PanelCurrentItem, int32_t{2});
        Put(record, At.PanelTopItem, int32_t{1});
    } else if (command == expected::PanelRedraw) {
        int32_t redraw[2];
        std::memcpy(redraw, record, sizeof redraw);
        Seen.Redraws.insert(Seen.Redraws.end(), redraw, redraw + 2);
    }
    return 1;
}

int32_t __stdcall Match(const char* pattern, const char* name, int32_t) {
    Seen.Matches.push_back(std::string(pattern) + " " + name);
    return std::strcmp(pattern, "*.raw") == 0 && std::strcmp(name, "notes.raw") == 0 ? 1 : 0;
}

void PutItem(size_t index, const char* name, DWORD attributes) {
    const size_t at = index * At.PanelItemSize;
    Put(Items.data(), at, attributes);
    std::memcpy(Items.data() + at + 44, name, std::strlen(name) + 1);
}

TEST(RecordLayout, ServicesRootAndPanelWhereTheHostsWidthPutsThem) {
    ScratchKey root(TestKeyPath());
    ScratchKey settings(expected::SettingsKeyUnder(root.Path()));
    settings.SetText(expected::ValueName, "*.raw");
    Seen = Asked{};
    // Every byte the plug-in has no business with holds a pattern of its own.
    Items.assign(3 * At.PanelItemSize, 0xA5);
    PutItem(0, "folder", FILE_ATTRIBUTE_DIRECTORY);
    PutItem(1, "other.txt", FILE_ATTRIBUTE_ARCHIVE);
    PutItem(2, "notes.raw", FILE_ATTRIBUTE_ARCHIVE);
    std::vector<uint8_t> record(At.StartupSize, 0xA5);
    Put(record.data(), At.ModuleId, ModuleId);
    Put(record.data(), At.RegistryRoot, root.Path().c_str());
    Put(record.data(), At.DialogService, &Dialog);
    Put(record.data(), At.MessageBoxService, &MessageBox);
    Put(record.data(), At.MessageService, &Message);
    Put(record.data(), At.PanelControlService, &Panel);
    Put(record.data(), At.NameMatchService, &Match);

    const std::vector<uint8_t> kept = record;

    PluginDll dll;
    ASSERT_TRUE(dll.Loaded());
    dll.SetStartupInfo(reinterpret_cast<const StartupRecord*>(record.data()));
    record.assign(record.size(), 0);  // the plug-in keeps its own copy
    PluginInfoRecord info{};
    dll.GetPluginInfo(&info);
    dll.Configure(0);
    EXPECT_EQ(Seen.ModuleIds, (std::vector<intptr_t>(7, ModuleId))) << "two menu texts, four dialog texts, the dialog";

    // A Ctrl release over the current item: the stored list, read from below
    // the root, is asked about the third item's name, which it matches.
    KeyCapture::Instance().TakeKeys();
    QueueKeyEvent(VK_CONTROL, CtrlScanCode, false);
    dll.OpenPlugin(0, 0);
    EXPECT_EQ(Describe(KeyCapture::Instance().TakeKeys()),
              (std::vector<std::string>{CtrlReleasedKey(), EnterKeys(false), EnterKeys(true)}));
    EXPECT_EQ(Seen.Matches, (std::vector<std::string>{"*.raw notes.raw"}));

    // A key press moves the cursor from the host's current item, keeping its top.
    QueueKeyEvent(VK_DOWN, 0x50, true);
    dll.OpenPlugin(0, 0);
    KeyCapture::Instance().TakeKeys();
    EXPECT_EQ(Seen.PanelInfoCalls, 2);
    EXPECT_EQ(Seen.Redraws, (std::vector<int32_t>{3, 1}));

    // A stored list too long to read: the settings tell so through the
    // message box, right after the dialog service, and open no dialog.
    settings.SetText(expected::ValueName, std::string(9000, 'x'));
    dll.SetStartupInfo(reinterpret_cast<const StartupRecord*>(kept.data()));
    Seen.ModuleIds.clear();
    EXPECT_EQ(dll.Configure(0), 0);
    EXPECT_EQ(Seen.ModuleIds, (std::vector<intptr_t>(5, ModuleId))) << "four texts, the message box";
    EXPECT_EQ(Seen.Boxes, (std::vector<std::string>{"65537 0 Text Text Text Text"}));
}

}  // namespace
