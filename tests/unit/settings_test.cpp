// The settings store against the real registry: each test works under its own
// scratch key, with SettingsKeyPath pointing there.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "relay/key_relay.h"
#include "relay/plugin.h"
#include "support/settings.h"
#include "support/startup.h"
#include "tests/testbed/expected_facts.h"
#include "tests/testbed/owned_text.h"
#include "tests/testbed/test_host.h"
#include "tests/testbed/win_testbed.h"
#include "tools/hostkit/resource_meter.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

// What ReadSettingText finds: the text read, Absent, or "<unreadable N>" with
// the system's error code; the result is left alone unless a text is read.
const std::string Absent = "<absent>";
const std::string TooLong = "<unreadable 234>";  // ERROR_MORE_DATA
std::string ReadText(const std::string& name = expected::ValueName) {
    Text result = TextOf("left over");
    const SettingRead read = ReadSettingText(HKEY_CURRENT_USER, name.c_str(), result);
    if (read.Outcome == SettingOutcome::Read) return AsString(result);
    EXPECT_EQ(AsString(result), "left over");
    if (read.Outcome == SettingOutcome::Absent) {
        EXPECT_EQ(read.Reason, ERROR_SUCCESS);
        return Absent;
    }
    return "<unreadable " + std::to_string(read.Reason) + ">";
}

// The status of opening the settings key for reading (open) or writing;
// the key is held only when the status is ERROR_SUCCESS.
LONG Opened(bool forWriting) {
    RegistryKey key;
    const LONG status =
        forWriting ? CreateSettingsKey(HKEY_CURRENT_USER, key) : OpenSettingsKey(HKEY_CURRENT_USER, key);
    EXPECT_EQ(static_cast<bool>(key), status == ERROR_SUCCESS);
    return status;
}

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override { SetText(SettingsKeyPath, scratch.Path()); }
    void TearDown() override { ReleaseSettingsKeyPath(); }

    ScratchKey scratch{TestKeyPath()};
};

// ---- reading ---------------------------------------------------------------

TEST_F(SettingsStore, FirstRunFindsNothingStoredAndCreatesNoKey) {
    ASSERT_FALSE(scratch.Exists());
    EXPECT_EQ(ReadText(), Absent);
    EXPECT_FALSE(scratch.Exists());
    EXPECT_EQ(Opened(false), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(scratch.Exists());

    // A key without the value is no different.
    scratch.SetText("Other", "*.x");
    EXPECT_EQ(ReadText(), Absent);
    DWORD type = 0;
    std::vector<uint8_t> data;
    EXPECT_FALSE(scratch.Get(expected::ValueName, type, data));
}

TEST_F(SettingsStore, StoredTextIsReadUpToItsFirstZeroByte) {
    scratch.SetText(expected::ValueName, "*.q,*.r");
    EXPECT_EQ(ReadText(), "*.q,*.r");

    // Empty data are an empty text, never the default.
    scratch.SetText(expected::ValueName, "");
    EXPECT_EQ(ReadText(), "");
    scratch.SetRaw(expected::ValueName, REG_SZ, "", 0);
    EXPECT_EQ(ReadText(), "");

    scratch.SetRaw(expected::ValueName, REG_BINARY, "ab\0cd", 5);
    EXPECT_EQ(ReadText(), "ab");
    scratch.SetRaw(expected::ValueName, REG_EXPAND_SZ, "%x%", 4);
    EXPECT_EQ(ReadText(), "%x%");
    scratch.SetRaw(expected::ValueName, REG_MULTI_SZ, "ab\0cd\0", 7);
    EXPECT_EQ(ReadText(), "ab");
}

TEST_F(SettingsStore, AnyTypeIsReadAsCharacters) {
    const DWORD letterA = 0x41;
    scratch.SetRaw(expected::ValueName, REG_DWORD, &letterA, sizeof letterA);
    EXPECT_EQ(ReadText(), "A");

    const DWORD fourLetters = 0x44434241;  // "ABCD" with no zero byte at all
    scratch.SetRaw(expected::ValueName, REG_DWORD, &fourLetters, sizeof fourLetters);
    EXPECT_EQ(ReadText(), "ABCD");
}

TEST_F(SettingsStore, DataWithoutZeroByteEndWhereTheDataReadEnd) {
    scratch.SetRaw(expected::ValueName, REG_BINARY, "xyz", 3);
    EXPECT_EQ(ReadText(), "xyz");
    scratch.SetRaw(expected::ValueName, REG_SZ, "abcde", 5);
    EXPECT_EQ(ReadText(), "abcde");

    // Filling the whole read buffer: the text is every byte and not one more.
    const std::string full(SettingReadBufferSize, 'a');
    scratch.SetRaw(expected::ValueName, REG_BINARY, full.data(), SettingReadBufferSize);
    EXPECT_EQ(ReadText(), full);
}

TEST_F(SettingsStore, DataOfUpTo8192BytesAreReadLargerOnesAreUnreadable) {
    const std::string longest(SettingReadBufferSize - 1, 'b');  // 8192 bytes with the zero
    scratch.SetText(expected::ValueName, longest);
    EXPECT_EQ(ReadText(), longest);

    scratch.SetText(expected::ValueName, longest + "b");  // 8193 bytes
    EXPECT_EQ(ReadText(), TooLong);

    const std::string over(SettingReadBufferSize + 1, 'c');
    scratch.SetRaw(expected::ValueName, REG_BINARY, over.data(), static_cast<DWORD>(over.size()));
    EXPECT_EQ(ReadText(), TooLong);
}

TEST_F(SettingsStore, ReadSettingValueTellsWhetherTheWholeValueWasRead) {
    char buffer[16];
    uint32_t count = 99;
    // No key yet.
    EXPECT_EQ(ReadSettingValue(HKEY_CURRENT_USER, expected::ValueName.c_str(), buffer, sizeof buffer, &count),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(count, 99u);

    scratch.SetRaw("Other", REG_BINARY, "x", 1);
    EXPECT_EQ(ReadSettingValue(HKEY_CURRENT_USER, expected::ValueName.c_str(), buffer, sizeof buffer, &count),
              ERROR_FILE_NOT_FOUND);

    scratch.SetRaw(expected::ValueName, REG_BINARY, "0123456789", 10);
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(ReadSettingValue(HKEY_CURRENT_USER, expected::ValueName.c_str(), buffer, 10, &count), ERROR_SUCCESS);
    EXPECT_EQ(count, 10u);
    EXPECT_EQ(std::string(buffer, 11), "0123456789#");
    // The count is optional.
    EXPECT_EQ(ReadSettingValue(HKEY_CURRENT_USER, expected::ValueName.c_str(), buffer, 10), ERROR_SUCCESS);

    // One byte short: the registry says there is more data, which is a failure.
    EXPECT_EQ(ReadSettingValue(HKEY_CURRENT_USER, expected::ValueName.c_str(), buffer, 9, &count), ERROR_MORE_DATA);
}

// ---- writing ---------------------------------------------------------------

TEST_F(SettingsStore, WriteCreatesThePathAndStoresRegSzWithOneZeroByte) {
    ScratchKey deep(scratch.Path() + "\\Deep\\Deeper");  // below the test's key, so removed with it
    SetText(SettingsKeyPath, deep.Path());
    ASSERT_FALSE(scratch.Exists());
    WriteSettingText(HKEY_CURRENT_USER, expected::ValueName.c_str(), "*.a,*.b");
    ASSERT_TRUE(deep.Exists()) << "every missing key on the path is created";

    DWORD type = 0;
    std::vector<uint8_t> data;
    ASSERT_TRUE(deep.Get(expected::ValueName, type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, Bytes(std::string("*.a,*.b") + '\0'));
    EXPECT_EQ(ReadText(), "*.a,*.b");

    // The empty text: data of exactly one zero byte, read back as empty.
    WriteSettingText(HKEY_CURRENT_USER, expected::ValueName.c_str(), "");
    ASSERT_TRUE(deep.Get(expected::ValueName, type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, std::vector<uint8_t>{0});
    EXPECT_EQ(ReadText(), "");
}

TEST_F(SettingsStore, WriteHasNoLengthBoundOfItsOwn) {
    const std::string longest(SettingReadBufferSize - 1, 'd');
    WriteSettingText(HKEY_CURRENT_USER, expected::ValueName.c_str(), longest.c_str());
    EXPECT_EQ(ReadText(), longest);

    const std::string tooLong(SettingReadBufferSize, 'e');
    WriteSettingText(HKEY_CURRENT_USER, expected::ValueName.c_str(), tooLong.c_str());
    DWORD type = 0;
    std::vector<uint8_t> data;
    ASSERT_TRUE(scratch.Get(expected::ValueName, type, data));
    EXPECT_EQ(data.size(), SettingReadBufferSize + 1) << "stored whole";
    EXPECT_EQ(WriteSettingText(HKEY_CURRENT_USER, expected::ValueName.c_str(), tooLong.c_str()), ERROR_SUCCESS);
    EXPECT_EQ(ReadText(), TooLong) << "but too large to read back";
}

// A path or value name longer than the host's fixed buffers reaches the
// registry whole: a cut one would address another key or value.
TEST_F(SettingsStore, LongPathIsUsedWhole) {
    std::string path = scratch.Path() + "\\";
    path += std::string(150 - path.size(), 'k');
    ASSERT_EQ(path.size(), 150u);
    SetText(SettingsKeyPath, path);

    WriteSettingText(HKEY_CURRENT_USER, expected::ValueName.c_str(), "*.long");
    EXPECT_TRUE(RegistryKeyExists(path));
    EXPECT_FALSE(RegistryKeyExists(path.substr(0, 79)));
    EXPECT_EQ(ReadText(), "*.long");

    // Reading does not fall back to a shorter path either.
    SetText(SettingsKeyPath, path + "x");
    EXPECT_EQ(ReadText(), Absent);
    EXPECT_FALSE(RegistryKeyExists(path + "x"));
}

TEST_F(SettingsStore, LongValueNameIsUsedWhole) {
    const std::string name(200, 'n');
    WriteSettingText(HKEY_CURRENT_USER, name.c_str(), "*.named");
    DWORD type = 0;
    std::vector<uint8_t> data;
    ASSERT_TRUE(scratch.Get(name, type, data));
    EXPECT_EQ(data, Bytes(std::string("*.named") + '\0'));
    EXPECT_FALSE(scratch.Get(name.substr(0, 80), type, data));
    EXPECT_EQ(ReadText(name), "*.named");

    scratch.SetText(name.substr(0, 80), "*.cut");
    EXPECT_EQ(ReadText(name), "*.named");
    EXPECT_EQ(ReadText(name + "n"), Absent);
}

TEST_F(SettingsStore, KeyTheRegistryRefusesStoresNothingAndIsUnreadable) {
    // A path that starts with a backslash is refused by the registry.
    SetText(SettingsKeyPath, "\\" + scratch.Path());
    EXPECT_EQ(WriteSettingText(HKEY_CURRENT_USER, expected::ValueName.c_str(), "*.x"), ERROR_BAD_PATHNAME);
    EXPECT_FALSE(scratch.Exists());
    EXPECT_EQ(Opened(true), ERROR_BAD_PATHNAME);

    scratch.SetText(expected::ValueName, "*.x");
    EXPECT_EQ(ReadText(), "<unreadable 161>") << "refused is not absent";
    EXPECT_EQ(Opened(false), ERROR_BAD_PATHNAME);
}

TEST_F(SettingsStore, EmptyPathAddressesNoKey) {
    // An empty path would name the root key itself: nothing may land there.
    const std::string name = "LanternixTestsStray";
    RegDeleteValueA(HKEY_CURRENT_USER, name.c_str());
    SettingsKeyPath.clear();
    EXPECT_EQ(WriteSettingText(HKEY_CURRENT_USER, name.c_str(), "*.x"), ERROR_BAD_PATHNAME);
    DWORD size = 0;
    const LONG status = RegQueryValueExA(HKEY_CURRENT_USER, name.c_str(), nullptr, nullptr, nullptr, &size);
    if (status == ERROR_SUCCESS) RegDeleteValueA(HKEY_CURRENT_USER, name.c_str());
    EXPECT_EQ(status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Opened(true), ERROR_BAD_PATHNAME);
    EXPECT_EQ(Opened(false), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadText(name), Absent);
}

TEST_F(SettingsStore, KeysAreOpenedForWritingOrForReadingOnly) {
    EXPECT_EQ(Opened(false), ERROR_FILE_NOT_FOUND) << "a missing key is not created for reading";
    EXPECT_FALSE(scratch.Exists());

    RegistryKey writing;
    ASSERT_EQ(CreateSettingsKey(HKEY_CURRENT_USER, writing), ERROR_SUCCESS);
    EXPECT_TRUE(scratch.Exists());
    EXPECT_EQ(RegSetValueExA(writing.get(), "w", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2), ERROR_SUCCESS);
    char buffer[4];
    DWORD size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExA(writing.get(), "w", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size),
              ERROR_ACCESS_DENIED);

    RegistryKey reading;
    ASSERT_EQ(OpenSettingsKey(HKEY_CURRENT_USER, reading), ERROR_SUCCESS);
    size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExA(reading.get(), "w", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(reading.get(), "w", 0, REG_SZ, reinterpret_cast<const BYTE*>("2"), 2),
              ERROR_ACCESS_DENIED);
}

// ---- the path built at start-up ------------------------------------------------

class SettingsLoad : public ::testing::Test {
protected:
    void SetUp() override {
        host.Reset();
        host.RegistryRoot = scratch.Path();
        savedHook = StartupHook;
        StartupHook = LoadSettings;
        SetText(StartPatternList, "before");
    }
    void TearDown() override {
        StartupHook = savedHook;
        std::memset(&HostStartupRecord, 0, sizeof HostStartupRecord);
        ReleaseSettingsKeyPath();
        ReleaseStartPatternList();
        StoredListUnread = 0;
    }
    void Start() {
        StartupRecord record = host.Record();
        SetStartupInfo(&record);
    }

    TestHost& host = TestHost::Instance();
    ScratchKey scratch{TestKeyPath()};
    StartupHookProc savedHook = nullptr;
};

TEST_F(SettingsLoad, PathIsTheRootFollowedByTheKeyName) {
    Start();
    EXPECT_EQ(AsString(SettingsKeyPath), expected::SettingsKeyUnder(scratch.Path()));
    EXPECT_EQ(AsString(StartPatternList), expected::DefaultList);
    EXPECT_FALSE(scratch.Exists()) << "start-up reads, it never creates";
    EXPECT_TRUE(host.Calls.empty());

    // A root ending in a backslash gives two in a row.
    host.RegistryRoot = scratch.Path() + "\\";
    Start();
    EXPECT_EQ(AsString(SettingsKeyPath), expected::SettingsKeyUnder(scratch.Path() + "\\"));

    // A null root counts as an empty one: the path starts with a backslash,
    // which the registry refuses, so the default is in use in its place.
    host.NullRegistryRoot = true;
    Start();
    EXPECT_EQ(AsString(SettingsKeyPath), expected::SettingsKeyUnder(""));
    EXPECT_EQ(StoredListUnread, static_cast<uint32_t>(ERROR_BAD_PATHNAME));

    host.NullRegistryRoot = false;
    host.RegistryRoot = "";
    Start();
    EXPECT_EQ(AsString(SettingsKeyPath), expected::SettingsKeyUnder(""));
}

TEST_F(SettingsLoad, EveryHandOverRebuildsThePathAndRereadsTheList) {
    ScratchKey first(expected::SettingsKeyUnder(scratch.Path() + "\\One"));
    ScratchKey second(expected::SettingsKeyUnder(scratch.Path() + "\\Two"));
    first.SetText(expected::ValueName, "*.one");
    second.SetText(expected::ValueName, "");

    host.RegistryRoot = scratch.Path() + "\\One";
    Start();
    EXPECT_EQ(AsString(SettingsKeyPath), first.Path());
    EXPECT_EQ(AsString(StartPatternList), "*.one");

    host.RegistryRoot = scratch.Path() + "\\Two";
    Start();
    EXPECT_EQ(AsString(SettingsKeyPath), second.Path());
    EXPECT_EQ(AsString(StartPatternList), "");

    first.SetText(expected::ValueName, "*.changed");
    host.RegistryRoot = scratch.Path() + "\\One";
    Start();
    EXPECT_EQ(AsString(StartPatternList), "*.changed");
}

// ---- handle leaks ------------------------------------------------------------

TEST_F(SettingsLoad, RepeatedReadsWritesAndStartsLeakNoHandle) {
    // The counter must see an open key, or the check below proves nothing.
    const DWORD idle = ProcessHandleCount();
    ASSERT_GT(idle, 0u);
    HKEY probe = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &probe), ERROR_SUCCESS);
    EXPECT_EQ(ProcessHandleCount(), idle + 1);
    RegCloseKey(probe);
    ASSERT_EQ(ProcessHandleCount(), idle);

    const std::string stored = scratch.Path() + "\\Stored";
    const std::string refused = "\\" + scratch.Path();
    const std::string missing = scratch.Path() + "\\Missing";
    char small[4];
    Text text;
    RegistryKey key;
    for (int round = 0; round < 2000; ++round) {
        SetText(SettingsKeyPath, stored);
        WriteSettingText(HKEY_CURRENT_USER, expected::ValueName.c_str(), "*.leak");
        ReadSettingText(HKEY_CURRENT_USER, expected::ValueName.c_str(), text);
        ReadSettingText(HKEY_CURRENT_USER, "Absent", text);
        ReadSettingValue(HKEY_CURRENT_USER, expected::ValueName.c_str(), small, sizeof small);  // more data than room
        CreateSettingsKey(HKEY_CURRENT_USER, key);
        OpenSettingsKey(HKEY_CURRENT_USER, key);
        key.reset();
        SetText(SettingsKeyPath, refused);
        WriteSettingText(HKEY_CURRENT_USER, expected::ValueName.c_str(), "*.leak");
        ReadSettingText(HKEY_CURRENT_USER, expected::ValueName.c_str(), text);
        SetText(SettingsKeyPath, missing);
        ReadSettingText(HKEY_CURRENT_USER, expected::ValueName.c_str(), text);
        Start();
    }
    EXPECT_EQ(AsString(text), "*.leak");
    EXPECT_EQ(AsString(StartPatternList), expected::DefaultList);
    SetText(SettingsKeyPath, stored);
    EXPECT_EQ(ReadText(), "*.leak");
    EXPECT_EQ(ProcessHandleCount(), idle);
}

// ---- text conversions ----------------------------------------------------------

// The 8 bytes of a buffer filled with '#' after CopyTextBounded wrote into it;
// the call must hand back the buffer.
std::string AfterCopyTextBounded(const char* source, size_t maxChars) {
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(CopyTextBounded(buffer, source, maxChars), buffer);
    return std::string(buffer, sizeof buffer);
}

TEST(SettingsText, CopyTextBoundedStopsAtTheZeroByteOrTheMaximum) {
    EXPECT_EQ(AfterCopyTextBounded("abc", 5), std::string("abc\0####", 8));
    EXPECT_EQ(AfterCopyTextBounded("abcdefgh", 5), std::string("abcde\0##", 8));
    EXPECT_EQ(AfterCopyTextBounded("abcde", 5), std::string("abcde\0##", 8));
    EXPECT_EQ(AfterCopyTextBounded("abc", 0), std::string("\0#######", 8));
    EXPECT_EQ(AfterCopyTextBounded("", 5), std::string("\0#######", 8));
}

TEST(SettingsText, TextHoldsTheWholeTextAndOneZeroByte) {
    Text text;
    EXPECT_TRUE(text.Assign("abcdef"));
    EXPECT_EQ(std::string(text.c_str(), text.size() + 1), std::string("abcdef\0", 7));

    EXPECT_TRUE(text.Assign(""));
    EXPECT_EQ(std::string(text.c_str(), 1), std::string("\0", 1));
    EXPECT_EQ(text.size(), 0u);

    EXPECT_TRUE(text.Assign("\xE4\xF6,*.x"));
    EXPECT_EQ(std::string(text.c_str(), text.size() + 1), std::string("\xE4\xF6,*.x\0", 7));
}

TEST(SettingsText, TextFromATerminatedBufferTakesTheCharactersBeforeTheFirstZero) {
    Text text = TextOf("old");
    EXPECT_TRUE(text.Assign(nullptr));
    EXPECT_EQ(AsString(text), "");

    text = TextOf("old");
    text.Assign("ab\0cd");
    EXPECT_EQ(AsString(text), "ab");

    text.Assign("\xFF\x80 x");
    EXPECT_EQ(AsString(text), "\xFF\x80 x");

    text.Assign("");
    EXPECT_EQ(AsString(text), "");
}

}  // namespace
