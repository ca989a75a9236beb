// The in-test host's services, its record and its state.
#include "tests/testbed/test_host.h"

#include <cstring>

#include "tools/hostkit/startup_record.h"

namespace {

const char* __stdcall MessageService(intptr_t moduleId, int32_t messageId) {
    TestHost& host = TestHost::Instance();
    host.MessageCalls.push_back({moduleId, messageId});
    host.Calls.push_back("Message " + std::to_string(messageId));
    auto found = host.Messages.find(messageId);
    return found == host.Messages.end() ? nullptr : found->second.c_str();
}

int32_t __stdcall PanelControlService(intptr_t panel, int32_t command, void* parameter) {
    TestHost& host = TestHost::Instance();
    PanelCall call{panel, command, {0, 0}};
    if (command == PanelGetInfo) {
        host.Calls.push_back("PanelGetInfo");
        if (!host.PanelFillsNothing && parameter != nullptr) {
            auto* info = static_cast<PanelInfoRecord*>(parameter);
            info->Items = host.PanelNullItems ? nullptr : host.PanelItems.data();
            info->ItemCount =
                host.PanelCountOverride >= 0 ? host.PanelCountOverride : static_cast<int32_t>(host.PanelItems.size());
            info->CurrentItem = host.CurrentItem;
            info->TopItem = host.TopItem;
        }
    } else if (command == PanelRedraw && parameter != nullptr) {
        call.Redraw = *static_cast<const RedrawRecord*>(parameter);
        host.Calls.push_back("PanelRedraw " + std::to_string(call.Redraw.CurrentItem) + " " +
                             std::to_string(call.Redraw.TopItem));
        host.CurrentItem = call.Redraw.CurrentItem;
        host.TopItem = call.Redraw.TopItem;
    } else {
        host.Calls.push_back("Panel " + std::to_string(command));
    }
    host.PanelCalls.push_back(call);
    return 1;
}

int32_t __stdcall NameMatchService(const char* pattern, const char* name, int32_t flag) {
    TestHost& host = TestHost::Instance();
    host.NameMatchCalls.push_back({pattern, name, flag, pattern});
    host.Calls.push_back(std::string("NameMatch ") + pattern + " " + name);
    return host.Matcher(pattern, name) ? 1 : 0;
}

int32_t __stdcall DialogService(intptr_t moduleId, int32_t left, int32_t top, int32_t right, int32_t bottom,
                                const char* topic, DialogItemRecord* items, int32_t itemCount) {
    TestHost& host = TestHost::Instance();
    DialogCall call{moduleId, left, top, right, bottom, topic, items, itemCount, {}};
    if (items != nullptr && itemCount > 0) call.Items.assign(items, items + itemCount);
    host.DialogCalls.push_back(std::move(call));
    host.Calls.push_back("Dialog " + std::to_string(itemCount));
    return host.DialogAnswer ? host.DialogAnswer(items, itemCount) : -1;
}

int32_t __stdcall MessageBoxService(intptr_t moduleId, uint32_t flags, const char* helpTopic, const char* const* items,
                                    int32_t itemCount, int32_t buttonCount) {
    const DWORD lastError = GetLastError();
    TestHost& host = TestHost::Instance();
    MessageBoxCall call{moduleId, flags, helpTopic != nullptr ? helpTopic : "<null>", {}, buttonCount, lastError};
    for (int32_t i = 0; items != nullptr && i < itemCount; ++i)
        call.Items.push_back(items[i] != nullptr ? items[i] : "<null>");
    host.MessageBoxCalls.push_back(std::move(call));
    host.Calls.push_back("MessageBox " + std::to_string(itemCount));
    return host.MessageBoxAnswer;
}

}  // namespace

TestHost& TestHost::Instance() {
    static TestHost host;
    return host;
}

void TestHost::Reset() {
    RegistryRoot = "Software\\LanternixTests\\Default";
    NullRegistryRoot = false;
    Messages.clear();
    for (int32_t id = 0; id <= 4; ++id) Messages[id] = "Message " + std::to_string(id);
    PanelItems.clear();
    CurrentItem = 0;
    TopItem = 0;
    PanelFillsNothing = false;
    PanelNullItems = false;
    PanelCountOverride = -1;
    Matcher = [](const std::string& pattern, const std::string& name) {
        return WildcardMatch(pattern.c_str(), name.c_str());
    };
    DialogAnswer = nullptr;
    MessageBoxAnswer = 0;
    Calls.clear();
    MessageCalls.clear();
    PanelCalls.clear();
    NameMatchCalls.clear();
    DialogCalls.clear();
    MessageBoxCalls.clear();
}

StartupRecord TestHost::Record() const {
    return MakeStartupRecord(
        {ModuleId, DialogService, MessageBoxService, MessageService, PanelControlService, NameMatchService},
        NullRegistryRoot ? nullptr : RegistryRoot.c_str(), OpaqueFill);
}

void TestHost::AddItem(const std::string& name, DWORD attributes) {
    PanelItems.push_back(MakePanelItem(name, attributes));
}

std::vector<std::string> TestHost::MatchedPatterns() const {
    std::vector<std::string> patterns;
    for (const NameMatchCall& call : NameMatchCalls) patterns.push_back(call.Pattern);
    return patterns;
}
