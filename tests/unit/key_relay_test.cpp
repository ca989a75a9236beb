// Splitting of StartPatternList as the host's NameMatchService sees it: every
// pattern handed over, in order, with the name and the flag.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "relay/key_relay.h"
#include "support/startup.h"
#include "tests/testbed/expected_facts.h"
#include "tests/testbed/owned_text.h"
#include "tests/testbed/test_host.h"

extern "C" uintptr_t __stack_chk_guard;

namespace {

using Texts = std::vector<std::string>;

class PatternTest : public ::testing::Test {
protected:
    TestHost& host = TestHost::Instance();

    void SetUp() override {
        host.Reset();
        HostStartupRecord = host.Record();
        StartPatternList.clear();
        StartSent = true;
    }

    void TearDown() override {
        HostStartupRecord = StartupRecord{};
        StartPatternList.clear();
        StoredListUnread = 0;
        StartSent = true;
    }

    // The patterns the host is asked about for a name none of them matches.
    Texts AskedFor(const std::string& list) {
        host.NameMatchCalls.clear();
        host.Matcher = [](const std::string&, const std::string&) { return false; };
        SetText(StartPatternList, list);
        EXPECT_FALSE(MatchesStartPattern("name.ext"));
        for (const NameMatchCall& call : host.NameMatchCalls) {
            EXPECT_EQ(call.Name, "name.ext");
            EXPECT_EQ(call.Flag, -1);
        }
        return host.MatchedPatterns();
    }
};

TEST_F(PatternTest, DefaultListStopsAtTheFirstMatch) {
    StartPatternList.Assign(expected::DefaultList.c_str());
    EXPECT_EQ(StartPatternList.size(), 87u);
    EXPECT_TRUE(MatchesStartPattern("setup.exe"));
    EXPECT_EQ(host.MatchedPatterns(), (Texts{"*.com", "*.exe"}));

    host.NameMatchCalls.clear();
    EXPECT_TRUE(MatchesStartPattern("DATA.BZ2"));
    EXPECT_EQ(host.MatchedPatterns().size(), 15u);

    host.NameMatchCalls.clear();
    EXPECT_FALSE(MatchesStartPattern("readme.txt"));
    EXPECT_EQ(host.MatchedPatterns(), expected::DefaultPatterns());
}

TEST_F(PatternTest, ListSplitsAtEveryCommaKeepingBlanksAndEmptyPatterns) {
    EXPECT_EQ(AskedFor("*.txt"), Texts{"*.txt"});
    EXPECT_EQ(AskedFor("*.txt,"), Texts{"*.txt"});
    EXPECT_EQ(AskedFor("*.a, *.b ,*.c"), (Texts{"*.a", " *.b ", "*.c"}));
    EXPECT_EQ(AskedFor("*.a,,*.b"), (Texts{"*.a", "", "*.b"}));
    EXPECT_EQ(AskedFor("*.a,,"), (Texts{"*.a", ""}));
    EXPECT_EQ(AskedFor(",*.a"), (Texts{"", "*.a"}));
    EXPECT_EQ(AskedFor(","), Texts{""});
    EXPECT_EQ(AskedFor(",,"), (Texts{"", ""}));
    EXPECT_EQ(AskedFor(" "), Texts{" "});
}

TEST_F(PatternTest, EmptyPatternTakesItsPlaceInTheOrder) {
    StartPatternList.Assign("*.a,,*.b");
    host.Matcher = [](const std::string& pattern, const std::string&) { return pattern.empty(); };
    EXPECT_TRUE(MatchesStartPattern("x.b"));
    EXPECT_EQ(host.MatchedPatterns(), (Texts{"*.a", ""}));
}

TEST_F(PatternTest, EmptyListMatchesNothingAndAsksNothing) {
    host.Matcher = [](const std::string&, const std::string&) { return true; };
    StartPatternList.clear();
    EXPECT_FALSE(MatchesStartPattern("setup.exe"));
    EXPECT_TRUE(host.Calls.empty());
}

TEST_F(PatternTest, PatternLongerThanTheHostBufferIsNeverHandedOver) {
    const std::string fits = "*" + std::string(258, 'a');
    const std::string tooLong = "*" + std::string(259, 'a');
    ASSERT_EQ(fits.size(), 259u);
    ASSERT_EQ(tooLong.size(), 260u);
    EXPECT_EQ(AskedFor(tooLong + ",*.x," + fits + "," + tooLong), (Texts{"*.x", fits}));

    // Even a host that would say yes to it is never asked.
    host.NameMatchCalls.clear();
    host.Matcher = [](const std::string&, const std::string&) { return true; };
    SetText(StartPatternList, tooLong);
    EXPECT_FALSE(MatchesStartPattern("name.ext"));
    EXPECT_TRUE(host.NameMatchCalls.empty());
}

TEST_F(PatternTest, LongListIsWalkedOnceInOrder) {
    std::string list;
    Texts expected;
    for (int i = 0; i < 3000; ++i) {
        expected.push_back("*." + std::to_string(i));
        list += expected.back() + ",";
    }
    EXPECT_EQ(AskedFor(list), expected);
}

// True when the address lies on this thread's stack.
bool OnThisStack(const void* address) {
    const int local = 0;
    MEMORY_BASIC_INFORMATION stack{}, there{};
    VirtualQuery(&local, &stack, sizeof stack);
    VirtualQuery(address, &there, sizeof there);
    return there.AllocationBase == stack.AllocationBase;
}

// Lists of 511, 512 and 513 characters around the stack copy's 512 bytes: the
// first is copied there with its zero byte, the others to the heap, as the
// patterns handed over show by where they lie. The match runs under a guard
// with no zero byte in it too, so that a zero written just past the stack
// copy, where the guard may lie, ends the process as a stack buffer overrun
// instead of landing on the guard's own zero byte unnoticed.
TEST_F(PatternTest, ListsAroundTheStackCopysSizeStayInBounds) {
    for (const size_t length : {511u, 512u, 513u}) {
        std::string list;
        for (int n = 0; list.size() + 10 < length; ++n) list += "*.p" + std::to_string(1000 + n) + ",";
        list += "*.";
        list.append(length - list.size(), 'z');
        ASSERT_EQ(list.size(), length);
        const uintptr_t saved = __stack_chk_guard;
        __stack_chk_guard = static_cast<uintptr_t>(0x5A5A5A5A5A5A5A5Aull);
        const Texts asked = AskedFor(list);
        __stack_chk_guard = saved;
        EXPECT_EQ(asked, expected::PatternsOf(list)) << length;
        ASSERT_FALSE(host.NameMatchCalls.empty());
        EXPECT_EQ(OnThisStack(host.NameMatchCalls[0].PatternAt), length < 512) << length;
    }
}

TEST_F(PatternTest, MissingNameOrMatcherMatchesNothing) {
    StartPatternList.Assign("*");
    EXPECT_FALSE(MatchesStartPattern(nullptr));
    HostStartupRecord.NameMatchService = nullptr;
    EXPECT_FALSE(MatchesStartPattern("setup.exe"));
    EXPECT_TRUE(host.Calls.empty());
}

}  // namespace
