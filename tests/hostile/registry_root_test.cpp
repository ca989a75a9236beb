// Registry roots of 0 to 300 characters, null, with runs of backslashes and
// trailing ones: the settings key is the whole root followed by a backslash
// and the key's name, never a cut path; start-up never creates it; what
// Configure stores lands there and is what the next start-up reads. A path the
// registry refuses to read counts as unreadable: the settings say so, open no
// dialog and store nothing.
#include <cstring>

#include "tests/hostile/hostile.h"

namespace hostile {
namespace {

const std::string RootPrefix = "Software\\LanternixTests\\HostileRoots\\";

void RemoveScratchKeys() {
    RegDeleteTreeA(HKEY_CURRENT_USER, RootPrefix.substr(0, RootPrefix.size() - 1).c_str());
    // Keys a short or null root makes at the top of HKEY_CURRENT_USER. Listed
    // here, not in a constant of this file: one built at start-up from the
    // key's name could be built before the name, and an empty name would
    // remove the whole of HKEY_CURRENT_USER.
    for (const std::string& key : {std::string("Lx"), expected::KeyName})
        RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
}

// A key name's character: anything but the zero byte and the backslash.
char NameByte(Random& random) {
    if (random.Chance(80)) return static_cast<char>(random.Byte('0', 'z'));
    char c = static_cast<char>(random.Byte());
    return c == '\\' ? '_' : c;
}

struct Root {
    bool Null = false;
    std::string Text;
};

Root RandomRoot(Random& random) {
    Root root;
    switch (random.Below(10)) {
        case 0: root.Null = true; return root;
        case 1: return root;
        case 2:
            root.Text = random.Pick(std::vector<std::string>{"\\", "\\\\", "Lx", "Lx\\", "Lx\\\\", "\\Lx"});
            return root;
        default: break;
    }
    const size_t length = static_cast<size_t>(random.Between(static_cast<int32_t>(RootPrefix.size()), 300));
    root.Text = RootPrefix;
    while (root.Text.size() < length) {
        const size_t segment =
            static_cast<size_t>(random.Chance(10) ? random.Between(200, 280) : random.Between(1, 40));
        for (size_t i = 0; i < segment; ++i) root.Text += NameByte(random);
        root.Text += random.Chance(10) ? "\\\\" : "\\";
    }
    root.Text.resize(length);
    if (!root.Text.empty() && root.Text.back() == '\\' && random.Chance(50)) root.Text.pop_back();
    if (random.Chance(30)) root.Text.append(static_cast<size_t>(random.Between(1, 3)), '\\');
    return root;
}

class RegistryRoots : public HostileTest {
protected:
    void TearDown() override {
        RemoveScratchKeys();
        HostileTest::TearDown();
    }
};

TEST_F(RegistryRoots, NameTheWholeSettingsKeyAndTheStoredListComesBack) {
    auto dll = LoadDll();
    ASSERT_TRUE(dll->Loaded());
    std::string edit;
    int32_t result = -1;
    // Result 3 hands back the edited list; -1 closes without a change.
    host.DialogAnswer = [&edit, &result](DialogItemRecord* items, int32_t) {
        if (result == 3) {
            std::memset(items[2].Text, 0, sizeof items[2].Text);
            std::memcpy(items[2].Text, edit.data(), edit.size());
        }
        return result;
    };

    const int cases = 150 * Rounds();
    for (int index = 0; index < cases; ++index) {
        CaseScope scope("RegistryRoots", index);
        RemoveScratchKeys();
        const Root root = RandomRoot(random);
        const std::string keyPath = expected::SettingsKeyUnder(root.Text);
        host.RegistryRoot = root.Text;
        host.NullRegistryRoot = root.Null;
        StartupRecord record = HostileRecord();
        dll->SetStartupInfo(&record);
        EXPECT_FALSE(RegistryKeyExists(keyPath)) << "start-up made the settings key";

        // A path the registry refuses even to read: the list counts as
        // unreadable, so the settings tell the user and open no dialog.
        HKEY probe = nullptr;
        const LONG opened = RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_QUERY_VALUE, &probe);
        if (opened == ERROR_SUCCESS) RegCloseKey(probe);
        if (opened != ERROR_FILE_NOT_FOUND) {
            host.DialogCalls.clear();
            host.MessageBoxCalls.clear();
            EXPECT_EQ(dll->Configure(0), 0);
            EXPECT_TRUE(host.DialogCalls.empty());
            EXPECT_EQ(host.MessageBoxCalls.size(), 1u);
            EXPECT_FALSE(RegistryKeyExists(keyPath));
            if (HasFailure()) return;
            continue;
        }

        // The first button stores the edited list.
        edit = random.Bytes(static_cast<size_t>(random.Between(0, 100)), ' ', '~');
        result = 3;
        host.DialogCalls.clear();
        EXPECT_EQ(dll->Configure(0), -1);
        ASSERT_EQ(host.DialogCalls.size(), 1u);
        EXPECT_EQ(std::string(host.DialogCalls[0].Items[2].Text, DialogItemTextSize), ShownText(expected::DefaultList));

        const RegistryValue stored = ReadRegistryValue(keyPath, expected::ValueName);
        if (stored.Present) {
            EXPECT_EQ(stored.Type, static_cast<DWORD>(REG_SZ));
            EXPECT_EQ(stored.Data, edit + '\0');
        } else {
            // Only a path the registry itself refuses may stay empty.
            HKEY key = nullptr;
            EXPECT_NE(
                RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                ERROR_SUCCESS)
                << "the list was not stored under a key the registry accepts";
            if (key != nullptr) RegCloseKey(key);
        }
        // Never a key at a cut path.
        if (keyPath.size() > 79) {
            EXPECT_FALSE(ReadRegistryValue(keyPath.substr(0, 79), expected::ValueName).Present);
        }

        // The next start-up reads back what was stored, else the default.
        result = -1;
        host.DialogCalls.clear();
        record = HostileRecord();
        dll->SetStartupInfo(&record);
        EXPECT_EQ(dll->Configure(0), 0);
        ASSERT_EQ(host.DialogCalls.size(), 1u);
        EXPECT_EQ(std::string(host.DialogCalls[0].Items[2].Text, DialogItemTextSize),
                  ShownText(stored.Present ? edit : expected::DefaultList));
        if (HasFailure()) return;  // the first failing case tells the story
    }
}

}  // namespace
}  // namespace hostile
