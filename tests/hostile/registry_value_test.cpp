// Registry values of every type and of 0 to 9000 bytes stored as the list's
// value: at start-up the list becomes the data up to the first zero byte
// within the data read; data that exceed the 8192-byte read buffer are
// unreadable, so the default is in use and the settings say so instead of
// opening. The list is checked where the relay uses it (the patterns handed to
// the matcher) and in the configuration dialog; reading never writes.
#include "tests/hostile/hostile.h"

namespace hostile {
namespace {

enum class Shape { TextWithZero, TextWithoutZero, ExpandText, MultiText, Binary, Dword, Qword, NoType, OddType };

struct ValueCase {
    Shape Kind;
    DWORD Type;
    std::string Data;
};

const std::vector<Shape> Shapes = {Shape::TextWithZero, Shape::TextWithoutZero, Shape::ExpandText,
                                   Shape::MultiText,    Shape::Binary,          Shape::Dword,
                                   Shape::Qword,        Shape::NoType,          Shape::OddType};

size_t RandomSize(Random& random) {
    switch (random.Below(6)) {
        case 0: return static_cast<size_t>(random.Between(0, 8));
        case 1: return static_cast<size_t>(random.Between(8190, 8194));
        case 2: return 9000;
        default: return static_cast<size_t>(random.Between(0, 9000));
    }
}

// Random bytes, commas often, and zero bytes at a density of the case's own.
std::string RandomData(Random& random, size_t size) {
    const uint32_t zeroPerMille = random.Pick(std::vector<uint32_t>{0, 0, 1, 50});
    std::string data(size, '\0');
    for (char& c : data) {
        if (random.Below(1000) < zeroPerMille) continue;
        c = static_cast<char>(random.Chance(15) ? ',' : random.Byte());
    }
    return data;
}

ValueCase RandomValue(Random& random) {
    ValueCase value{random.Pick(Shapes), REG_BINARY, {}};
    size_t size = RandomSize(random);
    switch (value.Kind) {
        case Shape::TextWithZero:
            value.Type = REG_SZ;
            value.Data = RandomData(random, size);
            if (!value.Data.empty()) value.Data.back() = '\0';
            break;
        case Shape::TextWithoutZero:
            value.Type = REG_SZ;
            value.Data = RandomData(random, size);
            for (char& c : value.Data)
                if (c == '\0') c = 'z';
            break;
        case Shape::ExpandText: value.Type = REG_EXPAND_SZ; break;
        case Shape::MultiText: value.Type = REG_MULTI_SZ; break;
        case Shape::Binary: value.Type = REG_BINARY; break;
        case Shape::Dword:
            value.Type = REG_DWORD;
            if (random.Chance(60)) size = 4;
            break;
        case Shape::Qword:
            value.Type = REG_QWORD;
            if (random.Chance(60)) size = 8;
            break;
        case Shape::NoType: value.Type = REG_NONE; break;
        case Shape::OddType: value.Type = static_cast<DWORD>(random.Between(12, 0xFFFF)); break;
    }
    if (value.Data.empty()) value.Data = RandomData(random, size);
    return value;
}

class RegistryValues : public HostileTest {};

TEST_F(RegistryValues, GiveTheDataUpToTheFirstZeroByteOrTheDefault) {
    ScratchKey root(TestKeyPath());
    const std::string keyPath = expected::SettingsKeyUnder(root.Path());
    host.RegistryRoot = root.Path();
    auto dll = LoadDll();
    ASSERT_TRUE(dll->Loaded());
    std::vector<PanelItemRecord> items{MakePanelItem("file.name")};
    FencedItems fence;
    Panel().Items = fence.Place(items, true);
    Panel().ItemCount = 1;
    host.Matcher = [](const std::string&, const std::string&) { return false; };

    const int cases = 250 * Rounds();
    for (int index = 0; index < cases; ++index) {
        CaseScope scope("RegistryValues", index);
        ScratchKey settings(keyPath);
        const uint32_t situation = random.Below(20);
        std::string expectedList = expected::DefaultList;
        RegistryValue before;
        if (situation == 0) {
            // No key at all: the default, and still no key afterwards.
        } else if (situation == 1) {
            settings.SetText("OtherValue", "*.none");  // the key without the value
            before = ReadRegistryValue(keyPath, expected::ValueName);
        } else {
            const ValueCase value = RandomValue(random);
            settings.SetRaw(expected::ValueName, value.Type, value.Data.data(), static_cast<DWORD>(value.Data.size()));
            before = ReadRegistryValue(keyPath, expected::ValueName);
            ASSERT_TRUE(before.Present) << "type " << value.Type << ", " << value.Data.size() << " bytes";
            ASSERT_EQ(before.Type, value.Type);
            if (value.Type != REG_SZ && value.Type != REG_EXPAND_SZ && value.Type != REG_MULTI_SZ) {
                ASSERT_EQ(before.Data, value.Data);
            }
            if (before.Data.size() <= 8192) expectedList = before.Data.substr(0, before.Data.find('\0'));
        }

        StartupRecord record = HostileRecord();
        dll->SetStartupInfo(&record);

        host.DialogCalls.clear();
        host.MessageBoxCalls.clear();
        const bool tooLong = before.Present && before.Data.size() > 8192;
        EXPECT_EQ(dll->Configure(static_cast<int32_t>(random.Next())), 0);
        EXPECT_EQ(host.MessageBoxCalls.size(), tooLong ? 1u : 0u);
        ASSERT_EQ(host.DialogCalls.size(), tooLong ? 0u : 1u);
        if (!tooLong) {
            EXPECT_EQ(std::string(host.DialogCalls[0].Items[2].Text, DialogItemTextSize), ShownText(expectedList));
        }

        host.NameMatchCalls.clear();
        QueueKeyEvent(VK_CONTROL, CtrlScanCode, false);
        EXPECT_EQ(Invoke(*dll, "Ctrl release"), -1);
        EXPECT_EQ(host.MatchedPatterns(), ReferencePatterns(expectedList));
        EXPECT_EQ(Describe(KeyCapture::Instance().TakeKeys()),
                  (std::vector<std::string>{CtrlReleasedKey(), F3Keys(false), F3Keys(true)}));

        // Reading leaves the registry as it was.
        const RegistryValue after = ReadRegistryValue(keyPath, expected::ValueName);
        EXPECT_EQ(after.Present, before.Present);
        EXPECT_EQ(after.Type, before.Type);
        EXPECT_TRUE(after.Data == before.Data);
        if (situation == 0) {
            EXPECT_FALSE(RegistryKeyExists(keyPath));
        }
        if (HasFailure()) return;  // the first failing case tells the story
    }
}

}  // namespace
}  // namespace hostile
