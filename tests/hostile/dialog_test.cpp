// The configuration dialog closed with results from -2 to 10, its edit field
// handed back with random texts, with and without a terminator, and every
// item's parameter overwritten with random bytes. Memory (the next dialog's
// text and the patterns the relay uses), the registry and Configure's result
// agree with the rules after every call: -1 changes nothing; any other result
// takes the edited text, except that a long list handed back exactly as shown
// stays whole; 3 also stores the list and returns -1.
#include <cstring>

#include "tests/hostile/hostile.h"

namespace hostile {
namespace {

// What the plug-in must hold, and what the registry must hold.
struct ConfigModel {
    std::string Memory;
    bool Stored = false;
    std::string StoredText;

    void Load() { Memory = Stored && StoredText.size() < 8192 ? StoredText : expected::DefaultList; }
};

enum class Edit { LeaveAsShown, GarbageAfterText, NewText, FullField };

class DialogResults : public HostileTest {
protected:
    ScratchKey root{TestKeyPath()};
    std::string keyPath = expected::SettingsKeyUnder(root.Path());
    ConfigModel model;

    void ExpectRegistryAsModel() {
        const RegistryValue value = ReadRegistryValue(keyPath, expected::ValueName);
        ASSERT_EQ(value.Present, model.Stored);
        if (!model.Stored) return;
        EXPECT_EQ(value.Type, static_cast<DWORD>(REG_SZ));
        EXPECT_TRUE(value.Data == model.StoredText + '\0')
            << "stored " << value.Data.size() << " bytes, expected " << model.StoredText.size() + 1;
    }

    // The whole list in memory, through the patterns a Ctrl release asks for.
    void ExpectRelayUsesModel(PluginDll& dll) {
        std::vector<PanelItemRecord> items{MakePanelItem("no.match")};
        FencedItems fence;
        Panel().Items = fence.Place(items, true);
        Panel().ItemCount = 1;
        host.CurrentItem = 0;
        host.Matcher = [](const std::string&, const std::string&) { return false; };
        host.NameMatchCalls.clear();
        QueueKeyEvent(VK_CONTROL, CtrlScanCode, false);
        EXPECT_EQ(Invoke(dll, "Ctrl release"), -1);
        EXPECT_EQ(host.MatchedPatterns(), ReferencePatterns(model.Memory));
        EXPECT_EQ(Describe(KeyCapture::Instance().TakeKeys()),
                  (std::vector<std::string>{CtrlReleasedKey(), F3Keys(false), F3Keys(true)}));
        Panel().Items = nullptr;
    }
};

TEST_F(DialogResults, LeaveMemoryRegistryAndTheNextDialogAsTheRulesSay) {
    ScratchKey settings(keyPath);
    if (random.Chance(75)) {
        model.Stored = true;
        model.StoredText = random.Bytes(static_cast<size_t>(random.Between(0, 1500)));
        settings.SetText(expected::ValueName, model.StoredText);
        ASSERT_TRUE(ReadRegistryValue(keyPath, expected::ValueName).Data == model.StoredText + '\0');
    }
    host.RegistryRoot = root.Path();

    int32_t result = -1;
    Edit edit = Edit::LeaveAsShown;
    std::string handedBack;  // the edit field's 512 bytes as the host leaves them
    host.DialogAnswer = [&](DialogItemRecord* items, int32_t count) {
        for (int32_t k = 0; k < count; ++k) {
            items[k].Parameter = random.Next();
            items[k].HasFocus = static_cast<int32_t>(random.Next());
            if (k != 2 && random.Chance(30)) std::memset(items[k].Text, random.Byte(), sizeof items[k].Text);
        }
        char* text = items[2].Text;
        const size_t shown = strnlen(text, DialogItemTextSize);
        switch (edit) {
            case Edit::LeaveAsShown: break;
            case Edit::GarbageAfterText:
                for (size_t i = shown + 1; i < DialogItemTextSize; ++i) text[i] = static_cast<char>(random.Byte());
                break;
            case Edit::NewText: {
                const size_t length = static_cast<size_t>(random.Between(0, 511));
                for (size_t i = 0; i < DialogItemTextSize; ++i) text[i] = static_cast<char>(random.Byte());
                text[length] = '\0';
                break;
            }
            case Edit::FullField:
                for (size_t i = 0; i < DialogItemTextSize; ++i) text[i] = static_cast<char>(random.Byte());
                break;
        }
        handedBack.assign(text, DialogItemTextSize);
        return result;
    };

    std::unique_ptr<PluginDll> dll;
    const int cases = 500 * Rounds();
    for (int index = 0; index < cases; ++index) {
        CaseScope scope("DialogResults", index);
        if (index % 50 == 0) {  // start-up again, now and then with a fresh load
            if (!dll || random.Chance(50)) {
                dll.reset();
                dll = LoadDll();
                ASSERT_TRUE(dll->Loaded());
            }
            StartupRecord record = HostileRecord();
            dll->SetStartupInfo(&record);
            model.Load();
        }
        if (index % 25 == 0) ExpectRelayUsesModel(*dll);

        result = random.Between(-2, 10);
        const uint32_t kind = random.Below(100);
        edit = kind < 25   ? Edit::LeaveAsShown
               : kind < 35 ? Edit::GarbageAfterText
               : kind < 85 ? Edit::NewText
                           : Edit::FullField;
        host.DialogCalls.clear();
        const int32_t returned = dll->Configure(static_cast<int32_t>(random.Next()));

        ASSERT_EQ(host.DialogCalls.size(), 1u);
        const DialogCall& call = host.DialogCalls[0];
        ASSERT_EQ(call.ItemCount, 5);
        EXPECT_EQ(std::string(call.Items[2].Text, DialogItemTextSize), ShownText(model.Memory))
            << "the dialog opens with the list in memory";
        EXPECT_STREQ(reinterpret_cast<const char*>(static_cast<uintptr_t>(call.Items[2].Parameter)),
                     expected::HistoryName.c_str());
        EXPECT_EQ(returned, result == 3 ? -1 : 0);

        if (result != -1) {
            const std::string edited = handedBack.substr(0, strnlen(handedBack.data(), DialogItemTextSize));
            const bool shownUnchanged = model.Memory.size() > 511 && edited == model.Memory.substr(0, 511);
            if (!shownUnchanged) model.Memory = edited;
        }
        if (result == 3) {
            model.Stored = true;
            model.StoredText = model.Memory;
        }
        ExpectRegistryAsModel();
        if (HasFailure()) return;  // the first failing case tells the story
    }
    ExpectRelayUsesModel(*dll);
}

}  // namespace
}  // namespace hostile
