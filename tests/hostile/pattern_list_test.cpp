// Random pattern lists of up to 8191 characters, stored where the plug-in reads
// them at start-up: the patterns NameMatchService sees on a Ctrl release must
// be exactly those of the reference splitter, in order, up to the first match,
// and the configuration dialog must show the list's first 511 characters.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "tests/hostile/hostile.h"

namespace hostile {
namespace {

std::string Printable(const std::string& text) {
    std::string shown;
    for (unsigned char c : text.substr(0, 40)) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, c >= 0x20 && c < 0x7F ? "%c" : "\\x%02X", c);
        shown += escaped;
    }
    return shown + (text.size() > 40 ? "..." : "") + " (" + std::to_string(text.size()) + " chars)";
}

// Compares long pattern sequences without printing thousands of them.
void ExpectPatterns(const std::vector<std::string>& expected, const std::vector<NameMatchCall>& calls,
                    const std::string& name) {
    ASSERT_EQ(calls.size(), expected.size()) << "patterns handed to NameMatchService";
    for (size_t i = 0; i < calls.size(); ++i) {
        ASSERT_EQ(calls[i].Pattern, expected[i])
            << "pattern " << i << ": got " << Printable(calls[i].Pattern) << ", expected " << Printable(expected[i]);
        ASSERT_EQ(calls[i].Name, name) << "name with pattern " << i;
        ASSERT_EQ(calls[i].Flag, -1);
    }
}

// A pattern's characters: any byte but the zero byte and the comma.
std::string PatternBytes(Random& random, size_t length) {
    std::string pattern = random.Bytes(length);
    for (char& c : pattern)
        if (c == ',') c = '.';
    return pattern;
}

std::string RandomList(Random& random) {
    size_t length = 0;
    switch (random.Below(8)) {
        case 0: length = 0; break;
        case 1: length = 8191; break;
        case 2: length = static_cast<size_t>(random.Between(1, 24)); break;
        case 3: length = static_cast<size_t>(random.Between(255, 266)); break;
        default: length = static_cast<size_t>(random.Between(0, 8191)); break;
    }
    std::string list;
    while (list.size() < length) {
        switch (random.Below(7)) {
            case 0: list.append(static_cast<size_t>(random.Between(1, 16)), ','); break;
            case 1: list.append(static_cast<size_t>(random.Between(1, 16)), ' '); break;
            case 2: list += PatternBytes(random, static_cast<size_t>(random.Between(258, 261))); break;
            case 3: list += PatternBytes(random, static_cast<size_t>(random.Between(0, 600))); break;
            case 4: list += random.Bytes(static_cast<size_t>(random.Between(0, 40))); break;  // commas too
            default: list += PatternBytes(random, static_cast<size_t>(random.Between(0, 12))); break;
        }
        if (random.Chance(70)) list += ',';
    }
    list.resize(length);
    return list;
}

// The DLL loaded, its registry root a scratch key of the test's own.
class PatternLists : public HostileTest {
protected:
    void SetUp() override {
        HostileTest::SetUp();
        host.RegistryRoot = root.Path();
        dll = LoadDll();
        ASSERT_TRUE(dll->Loaded());
    }
    // Unloaded first: the suite's own end counts what the DLL still holds.
    void TearDown() override {
        dll.reset();
        HostileTest::TearDown();
    }

    ScratchKey root{TestKeyPath()};
    ScratchKey settings{expected::SettingsKeyUnder(root.Path())};
    std::unique_ptr<PluginDll> dll;
};

TEST_F(PatternLists, ReachTheMatcherExactlyAsTheReferenceSplitsThem) {
    const int cases = 250 * Rounds();
    for (int index = 0; index < cases; ++index) {
        CaseScope scope("PatternLists", index);
        const std::string list = RandomList(random);
        // Raw bytes keep the list exactly as made; a REG_SZ goes through the
        // code page and is taken as the registry hands it back.
        const bool asText = random.Chance(25);
        const bool terminated = asText || random.Chance(50);
        settings.SetRaw(expected::ValueName, asText ? REG_SZ : REG_BINARY, list.c_str(),
                        static_cast<DWORD>(list.size() + (terminated ? 1 : 0)));
        const RegistryValue stored = ReadRegistryValue(settings.Path(), expected::ValueName);
        ASSERT_TRUE(stored.Present);
        const std::string expectedList = stored.Data.substr(0, stored.Data.find('\0'));
        if (!asText) {
            ASSERT_EQ(expectedList, list);
        }

        StartupRecord record = HostileRecord();
        dll->SetStartupInfo(&record);

        // The dialog opens with the list as loaded; -1 leaves it alone.
        host.DialogCalls.clear();
        EXPECT_EQ(dll->Configure(0), 0);
        ASSERT_EQ(host.DialogCalls.size(), 1u);
        ASSERT_EQ(host.DialogCalls[0].ItemCount, 5);
        EXPECT_EQ(std::string(host.DialogCalls[0].Items[2].Text, DialogItemTextSize), ShownText(expectedList));

        // A Ctrl release over a file: every pattern in order up to the first
        // one the host says matches.
        const std::vector<std::string> patterns = ReferencePatterns(expectedList);
        std::string target;
        const bool matches = !patterns.empty() && random.Chance(50);
        if (matches) target = random.Pick(patterns);
        host.Matcher = [&target, matches](const std::string& pattern, const std::string&) {
            return matches && pattern == target;
        };
        std::vector<std::string> expected;
        for (const std::string& pattern : patterns) {
            expected.push_back(pattern);
            if (matches && pattern == target) break;
        }
        // Names up to the whole 260-byte field, unterminated then, with no
        // zero byte after it in the record either.
        const std::string name =
            random.Bytes(random.Chance(25) ? PanelItemNameSize : static_cast<size_t>(random.Between(1, 259)));
        PanelItemRecord item;
        std::memset(&item, 0x5A, sizeof item);
        item.FindData.dwFileAttributes = random.Next() & ~DirectoryAttribute;
        std::memcpy(item.FindData.cFileName, name.c_str(), std::min(name.size() + 1, PanelItemNameSize));
        const std::vector<std::string> keys = ReleaseCtrlOver(*dll, item, random.Chance(50), "Ctrl release");
        ExpectPatterns(expected, host.NameMatchCalls, name);
        const std::vector<std::string> expectedKeys{CtrlReleasedKey(), matches ? EnterKeys(false) : F3Keys(false),
                                                    matches ? EnterKeys(true) : F3Keys(true)};
        EXPECT_EQ(keys, expectedKeys);
        EXPECT_EQ(PendingConsoleEvents(), 0u);
        if (HasFailure()) return;  // the first failing case tells the story
    }
}

// Lists too long for the relay's stack copy (512 characters and more), matched
// on a Ctrl release while the host's match service calls back into the plug-in
// at a random pattern: SetStartupInfo reads another stored list, Configure
// applies a third, and each frees the list before it, the one being matched.
// The match goes on over exactly the list it began with, and touches no freed
// block (each is fenced off); the last list is in force from the next match.
TEST_F(PatternLists, ReplacedDuringALongMatchTheMatchKeepsToItsOwnList) {
    const auto longList = [this] {
        std::string list;
        while (list.size() < DialogItemTextSize || ReferencePatterns(list).empty()) list = RandomList(random);
        return list;
    };
    const int cases = 40 * Rounds();
    for (int index = 0; index < cases; ++index) {
        CaseScope scope("Replaced during a long match", index);
        const std::string old = longList();
        const std::string stored = longList();
        const std::string applied = random.Bytes(static_cast<size_t>(random.Between(0, DialogItemTextSize - 1)));
        settings.SetRaw(expected::ValueName, REG_BINARY, old.data(), static_cast<DWORD>(old.size()));
        StartupRecord record = HostileRecord();
        dll->SetStartupInfo(&record);
        settings.SetRaw(expected::ValueName, REG_BINARY, stored.data(), static_cast<DWORD>(stored.size()));

        const std::vector<std::string> patterns = ReferencePatterns(old);
        const size_t reentryAt = random.Below(static_cast<uint32_t>(patterns.size()));
        std::string shownDuringTheMatch;
        host.DialogAnswer = [&](DialogItemRecord* items, int32_t) {
            shownDuringTheMatch.assign(items[2].Text, DialogItemTextSize);
            std::memset(items[2].Text, 0, sizeof items[2].Text);
            std::memcpy(items[2].Text, applied.data(), applied.size());
            return 4;  // the second button: in memory only
        };
        size_t calls = 0;
        host.Matcher = [&](const std::string&, const std::string&) {
            if (calls++ == reentryAt) {
                dll->SetStartupInfo(&record);
                EXPECT_EQ(dll->Configure(0), 0);
            }
            return false;
        };
        const PanelItemRecord item = MakePanelItem("name.none");
        const std::vector<std::string> viewed{CtrlReleasedKey(), F3Keys(false), F3Keys(true)};
        EXPECT_EQ(ReleaseCtrlOver(*dll, item, random.Chance(50), "Ctrl release with calls back"), viewed);
        ExpectPatterns(patterns, host.NameMatchCalls, "name.none");
        EXPECT_EQ(shownDuringTheMatch, ShownText(stored));

        host.Matcher = [](const std::string&, const std::string&) { return false; };
        EXPECT_EQ(ReleaseCtrlOver(*dll, item, random.Chance(50), "Ctrl release after"), viewed);
        ExpectPatterns(ReferencePatterns(applied), host.NameMatchCalls, "name.none");
        if (HasFailure()) return;  // the first failing case tells the story
    }
}

// The splitter the suite trusts, on the cases the relay's rules name.
TEST(ReferenceSplitter, FollowsTheListRules) {
    using Patterns = std::vector<std::string>;
    EXPECT_EQ(ReferencePatterns(""), Patterns{});
    EXPECT_EQ(ReferencePatterns(","), Patterns{""});
    EXPECT_EQ(ReferencePatterns("a,"), Patterns{"a"});
    EXPECT_EQ(ReferencePatterns("a,,b"), (Patterns{"a", "", "b"}));
    EXPECT_EQ(ReferencePatterns("a,,"), (Patterns{"a", ""}));
    EXPECT_EQ(ReferencePatterns(" a , b"), (Patterns{" a ", " b"}));
    const std::string longest(259, 'x');
    EXPECT_EQ(ReferencePatterns(longest + "," + longest + "y,z"), (Patterns{longest, "z"}));
    EXPECT_EQ(ReferencePatterns(expected::DefaultList).size(), 15u);
}

}  // namespace
}  // namespace hostile
