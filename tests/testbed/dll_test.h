// What every test of the loaded DLL against the in-test host starts from: a
// fresh host whose registry root is a scratch key of the test's own, an empty
// console queue and no keys left in the keyboard hook.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/testbed/expected_facts.h"
#include "tests/testbed/test_host.h"
#include "tests/testbed/win_testbed.h"

class DllTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The plug-in's pattern list as the host sees it: a Ctrl release over a
    // file that matches nothing asks about every pattern, in list order.
    std::vector<std::string> PatternsAsked(PluginDll& dll);

    TestHost& host = TestHost::Instance();
    ScratchKey scratch{TestKeyPath()};                                // the host's registry root
    ScratchKey settings{expected::SettingsKeyUnder(scratch.Path())};  // where the plug-in keeps its list
};
