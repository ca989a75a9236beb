// Registration and lifecycle through the real DLL: the list loaded at start-up
// is observed through the patterns a Ctrl release over a non-matching file
// asks the host about, in order.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tests/testbed/dll_test.h"
#include "tests/testbed/expected_facts.h"
#include "tools/hostkit/system_handles.h"

namespace {

// A pointer-sized value at a byte offset of a record.
uintptr_t PointerAt(const std::vector<uint8_t>& bytes, size_t at) {
    uintptr_t value = 0;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

void PutWord(std::vector<uint8_t>& bytes, size_t at, uint32_t value) { std::memcpy(bytes.data() + at, &value, 4); }

// The plug-in information record as GetPluginInfo must leave it, byte for
// byte at this width: the record's size first, the host's own fields holding
// hostFill, the two cells' addresses as `filled` holds them, each count 1 in
// its 32 bits, zero everywhere else in the record and guard bytes beyond.
std::vector<uint8_t> PluginInfoBytes(const std::vector<uint8_t>& filled, uint8_t hostFill, int guard = 0xCD) {
    const expected::HostLayout& at = expected::ThisWidth;
    std::vector<uint8_t> bytes(filled.size(), static_cast<uint8_t>(guard));
    std::fill(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(at.PluginInfoSize), 0);
    PutWord(bytes, 0, static_cast<uint32_t>(at.PluginInfoSize));
    std::fill(bytes.begin() + 8, bytes.begin() + static_cast<ptrdiff_t>(at.HostFieldsEnd), hostFill);
    for (const size_t cell : {at.MenuEntryTexts, at.ConfigEntryTexts})
        std::memcpy(bytes.data() + cell, filled.data() + cell, sizeof(void*));
    PutWord(bytes, at.MenuEntryCount, 1);
    PutWord(bytes, at.ConfigEntryCount, 1);
    return bytes;
}

// Patterns "*.N" joined by commas into a list of exactly the given length.
std::string ListOfLength(size_t length, std::vector<std::string>& patterns) {
    patterns.clear();
    std::string list;
    for (int index = 0; list.size() + 12 < length; ++index) {
        patterns.push_back("*." + std::to_string(index));
        list += patterns.back() + ",";
    }
    patterns.push_back("*." + std::string(length - list.size() - 2, 'z'));
    list += patterns.back();
    return list;
}

DWORD WINAPI IdleThread(LPVOID) { return 0; }

class PluginTest : public DllTest {
protected:
    void Start(PluginDll& dll) {
        StartupRecord record = host.Record();
        dll.SetStartupInfo(&record);
    }

    // Stores the list where the plug-in reads it, then starts the plug-in.
    void StartWithStoredList(PluginDll& dll, const std::string& list) {
        settings.SetText(expected::ValueName, list);
        Start(dll);
    }
};

// ---- the list loaded at start-up -----------------------------------------------

TEST_F(PluginTest, FirstRunUsesTheDefaultListAndCreatesNoKey) {
    PluginDll dll;
    ASSERT_TRUE(dll.Loaded());
    Start(dll);
    EXPECT_TRUE(host.Calls.empty()) << "start-up asks the host nothing";
    EXPECT_EQ(PatternsAsked(dll), expected::DefaultPatterns());
    EXPECT_FALSE(scratch.Exists());
}

TEST_F(PluginTest, StoredListReplacesTheDefault) {
    PluginDll dll;
    StartWithStoredList(dll, "*.q, *.r,,x");
    EXPECT_EQ(PatternsAsked(dll), (std::vector<std::string>{"*.q", " *.r", "", "x"}));

    // Stored empty: no pattern at all, not the default.
    StartWithStoredList(dll, "");
    EXPECT_TRUE(PatternsAsked(dll).empty());

    const DWORD letterA = 0x41;
    settings.SetRaw(expected::ValueName, REG_DWORD, &letterA, sizeof letterA);
    Start(dll);
    EXPECT_EQ(PatternsAsked(dll), std::vector<std::string>{"A"});
}

TEST_F(PluginTest, ListsUpTo8192BytesAreReadLargerOnesGiveTheDefault) {
    std::vector<std::string> patterns;
    const std::string longest = ListOfLength(8191, patterns);  // 8192 bytes with the zero
    ASSERT_EQ(longest.size(), 8191u);
    PluginDll dll;
    StartWithStoredList(dll, longest);
    EXPECT_EQ(PatternsAsked(dll), patterns);

    std::vector<std::string> ignored;
    StartWithStoredList(dll, ListOfLength(8192, ignored));  // 8193 bytes
    EXPECT_EQ(PatternsAsked(dll), expected::DefaultPatterns());

    // Data with no zero byte at all end where the data end.
    const std::string unterminated = ListOfLength(8192, patterns);
    settings.SetRaw(expected::ValueName, REG_BINARY, unterminated.data(), 8192);
    Start(dll);
    EXPECT_EQ(PatternsAsked(dll), patterns);
}

// ---- the key path ------------------------------------------------------------

TEST_F(PluginTest, EveryStartUpRebuildsThePathAndRereadsTheList) {
    ScratchKey first(expected::SettingsKeyUnder(scratch.Path() + "\\One"));
    ScratchKey second(expected::SettingsKeyUnder(scratch.Path() + "\\Two"));
    first.SetText(expected::ValueName, "*.one");
    second.SetText(expected::ValueName, "*.two");
    PluginDll dll;
    host.RegistryRoot = scratch.Path() + "\\One";
    Start(dll);
    EXPECT_EQ(PatternsAsked(dll), std::vector<std::string>{"*.one"});

    host.RegistryRoot = scratch.Path() + "\\Two";
    Start(dll);
    EXPECT_EQ(PatternsAsked(dll), std::vector<std::string>{"*.two"});

    // The same root again: the value is read anew, nothing is cached.
    second.SetText(expected::ValueName, "*.changed");
    Start(dll);
    EXPECT_EQ(PatternsAsked(dll), std::vector<std::string>{"*.changed"});

    // A root without a stored list brings back the default.
    host.RegistryRoot = scratch.Path() + "\\Three";
    Start(dll);
    EXPECT_EQ(PatternsAsked(dll), expected::DefaultPatterns());
}

TEST_F(PluginTest, RootEndingInABackslashStillFindsTheList) {
    // The path holds two backslashes in a row there; the registry reads them
    // as one separator, so the list below the root without its backslash is found.
    host.RegistryRoot = scratch.Path() + "\\";
    PluginDll dll;
    StartWithStoredList(dll, "*.slash");
    EXPECT_EQ(PatternsAsked(dll), std::vector<std::string>{"*.slash"});
}

TEST_F(PluginTest, NullRootGivesAPathTheRegistryRefuses) {
    // The path is a backslash and the key's name: a leading backslash names no
    // key, so even a list stored under the key's name right under the user's
    // root is not read.
    ScratchKey stray(expected::KeyName);
    stray.SetText(expected::ValueName, "*.stray");
    host.NullRegistryRoot = true;
    PluginDll dll;
    Start(dll);
    EXPECT_EQ(PatternsAsked(dll), expected::DefaultPatterns());
}

TEST_F(PluginTest, LongRootIsUsedWhole) {
    const std::string root = scratch.Path() + "\\" + std::string(150, 'r');
    ScratchKey longSettings(expected::SettingsKeyUnder(root));
    longSettings.SetText(expected::ValueName, "*.long");
    host.RegistryRoot = root;
    PluginDll dll;
    Start(dll);
    EXPECT_EQ(PatternsAsked(dll), std::vector<std::string>{"*.long"});
}

// ---- registration --------------------------------------------------------------

TEST_F(PluginTest, GetPluginInfoFillsTheRecordAndHandsOverTheSameCells) {
    PluginDll dll;
    ASSERT_NE(dll.GetPluginInfo, nullptr);
    Start(dll);
    host.Messages[2] = "Relay keys";
    host.Messages[3] = "Relay settings";

    // The host's record as its width lays it out, and a guard beyond it, all
    // filled in advance.
    const expected::HostLayout& at = expected::ThisWidth;
    std::vector<uint8_t> bytes(at.PluginInfoSize + 8, 0xCD);
    auto* info = reinterpret_cast<PluginInfoRecord*>(bytes.data());
    dll.GetPluginInfo(info);

    const auto menuCell = reinterpret_cast<const char* const*>(PointerAt(bytes, at.MenuEntryTexts));
    const auto configCell = reinterpret_cast<const char* const*>(PointerAt(bytes, at.ConfigEntryTexts));
    ASSERT_NE(menuCell, nullptr);
    ASSERT_NE(configCell, nullptr);
    EXPECT_NE(menuCell, configCell);
    // Every byte: the size, the host's own fields as they were, the two cells
    // and their counts of one, and zero everywhere else, padding included.
    EXPECT_EQ(bytes, PluginInfoBytes(bytes, 0xCD));
    EXPECT_EQ(*menuCell, host.Messages[2].c_str()) << "the host's own text, not a copy";
    EXPECT_EQ(*configCell, host.Messages[3].c_str());
    ASSERT_EQ(host.MessageCalls.size(), 2u);
    EXPECT_EQ(host.MessageCalls[0].MessageId, 2);
    EXPECT_EQ(host.MessageCalls[1].MessageId, 3);
    EXPECT_EQ(host.MessageCalls[0].ModuleId, TestHost::ModuleId);
    EXPECT_EQ(host.Calls, (std::vector<std::string>{"Message 2", "Message 3"}));

    // A second call asks again and refreshes the same two cells.
    host.Messages.erase(2);
    host.Messages[3] = "Other settings";
    std::fill(bytes.begin(), bytes.end(), 0);
    std::fill(bytes.begin() + 8, bytes.begin() + static_cast<ptrdiff_t>(at.HostFieldsEnd), 0x5A);
    dll.GetPluginInfo(info);
    EXPECT_EQ(PointerAt(bytes, at.MenuEntryTexts), reinterpret_cast<uintptr_t>(menuCell));
    EXPECT_EQ(PointerAt(bytes, at.ConfigEntryTexts), reinterpret_cast<uintptr_t>(configCell));
    EXPECT_EQ(bytes, PluginInfoBytes(bytes, 0x5A, 0));
    EXPECT_EQ(*menuCell, nullptr) << "passed on untested";
    EXPECT_EQ(*configCell, host.Messages[3].c_str());
    EXPECT_EQ(host.Calls, (std::vector<std::string>{"Message 2", "Message 3", "Message 2", "Message 3"}));
}

// ---- load and unload -------------------------------------------------------------

TEST_F(PluginTest, LoadAndUnloadTouchNeitherTheHostNorTheRegistry) {
    ScratchKey stray(expected::KeyName);
    {
        PluginDll dll;
        ASSERT_TRUE(dll.Loaded());
        EXPECT_NE(dll.SetStartupInfo, nullptr);
        EXPECT_NE(dll.GetPluginInfo, nullptr);
        EXPECT_NE(dll.OpenPlugin, nullptr);
        EXPECT_NE(dll.Configure, nullptr);
        EXPECT_FALSE(stray.Exists());
    }
    EXPECT_TRUE(host.Calls.empty());
    EXPECT_FALSE(stray.Exists());
    EXPECT_TRUE(KeyCapture::Instance().TakeKeys().empty());

    // Unloading a started plug-in stores nothing either.
    settings.SetText("Other", "kept");
    {
        PluginDll dll;
        Start(dll);
        EXPECT_EQ(PatternsAsked(dll), expected::DefaultPatterns());
    }
    DWORD type = 0;
    std::vector<uint8_t> data;
    EXPECT_FALSE(settings.Get(expected::ValueName, type, data));
    ScratchKey unstored(expected::SettingsKeyUnder(scratch.Path() + "\\Unstored"));
    {
        PluginDll dll;
        host.RegistryRoot = scratch.Path() + "\\Unstored";
        Start(dll);
    }
    EXPECT_FALSE(unstored.Exists());
}

TEST_F(PluginTest, ThreadsComingAndGoingLeaveTheStateAlone) {
    PluginDll dll;
    StartWithStoredList(dll, "*.kept");
    for (int round = 0; round < 3; ++round) {
        const UniqueKernelHandle thread(CreateThread(nullptr, 0, IdleThread, nullptr, 0, nullptr));
        ASSERT_TRUE(thread);
        WaitForSingleObject(thread.get(), 5000);
    }
    EXPECT_EQ(PatternsAsked(dll), std::vector<std::string>{"*.kept"});
}

}  // namespace
