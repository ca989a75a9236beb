// The key names, their aliases and scan codes, looked up by name and by virtual-key code.
#include "tools/host/keys.h"

#include <cctype>
#include <cstdio>

#include "tools/host/text.h"

namespace {
// The grey keys are enhanced; their keypad twins below are not.
const KeyName NamedKeys[] = {
    {"Ctrl", VK_CONTROL, 0x1D},
    {"Shift", VK_SHIFT, 0x2A},
    {"Alt", VK_MENU, 0x38},
    {"Enter", VK_RETURN, 0x1C},
    {"Esc", VK_ESCAPE, 0x01},
    {"Tab", VK_TAB, 0x0F},
    {"Space", VK_SPACE, 0x39},
    {"Backspace", VK_BACK, 0x0E},
    {"Up", VK_UP, 0x48, true},
    {"Down", VK_DOWN, 0x50, true},
    {"Left", VK_LEFT, 0x4B, true},
    {"Right", VK_RIGHT, 0x4D, true},
    {"Home", VK_HOME, 0x47, true},
    {"End", VK_END, 0x4F, true},
    {"PgUp", VK_PRIOR, 0x49, true},
    {"PgDn", VK_NEXT, 0x51, true},
    {"Ins", VK_INSERT, 0x52, true},
    {"Del", VK_DELETE, 0x53, true},
    {"F1", VK_F1, 0x3B},
    {"F2", VK_F2, 0x3C},
    {"F3", VK_F3, 0x3D},
    {"F4", VK_F4, 0x3E},
    {"F5", VK_F5, 0x3F},
    {"F6", VK_F6, 0x40},
    {"F7", VK_F7, 0x41},
    {"F8", VK_F8, 0x42},
    {"F9", VK_F9, 0x43},
    {"F10", VK_F10, 0x44},
    {"F11", VK_F11, 0x57},
    {"F12", VK_F12, 0x58},
};
// The keypad with NumLock off: the virtual keys of the grey keys, without
// ENHANCED_KEY; keypad Enter, the right Ctrl and Alt are the enhanced twins.
const KeyName KeypadKeys[] = {
    {"Num8", VK_UP, 0x48},
    {"Num2", VK_DOWN, 0x50},
    {"Num4", VK_LEFT, 0x4B},
    {"Num6", VK_RIGHT, 0x4D},
    {"Num7", VK_HOME, 0x47},
    {"Num1", VK_END, 0x4F},
    {"Num9", VK_PRIOR, 0x49},
    {"Num3", VK_NEXT, 0x51},
    {"Num0", VK_INSERT, 0x52},
    {"NumDel", VK_DELETE, 0x53},
    {"NumEnter", VK_RETURN, 0x1C, true},
    {"RCtrl", VK_CONTROL, 0x1D, true},
    {"RAlt", VK_MENU, 0x38, true},
};
const KeyName KeyAliases[] = {
    {"Control", VK_CONTROL, 0x1D}, {"Return", VK_RETURN, 0x1C}, {"Escape", VK_ESCAPE, 0x01}, {"PageUp", VK_PRIOR, 0x49},
    {"PageDown", VK_NEXT, 0x51},   {"Insert", VK_INSERT, 0x52}, {"Delete", VK_DELETE, 0x53},
};
// Scan codes of the letter and digit keys, in the order A..Z and 0..9.
const WORD LetterScanCodes[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
                                  0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
const WORD DigitScanCodes[10] = {0x0B, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A};
// Names for single characters, built once: "A".."Z", "0".."9".
const char LetterNames[] = "A\0B\0C\0D\0E\0F\0G\0H\0I\0J\0K\0L\0M\0N\0O\0P\0Q\0R\0S\0T\0U\0V\0W\0X\0Y\0Z";
// One literal a digit: "\01" would be an octal escape.
// clang-format off
const char DigitNames[] = "0\0" "1\0" "2\0" "3\0" "4\0" "5\0" "6\0" "7\0" "8\0" "9";
// clang-format on
}  // namespace

bool FindKey(const std::string& name, KeyName& key) {
    for (const KeyName& k : NamedKeys)
        if (EqualsIgnoringCase(name, k.Name)) return key = k, true;
    for (const KeyName& k : KeyAliases)
        if (EqualsIgnoringCase(name, k.Name)) return key = k, true;
    for (const KeyName& k : KeypadKeys)
        if (EqualsIgnoringCase(name, k.Name)) return key = k, true;
    if (name.size() == 1) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
        if (c >= 'A' && c <= 'Z') {
            key = {&LetterNames[(c - 'A') * 2], static_cast<WORD>(c), LetterScanCodes[c - 'A']};
            return true;
        }
        if (c >= '0' && c <= '9') {
            key = {&DigitNames[(c - '0') * 2], static_cast<WORD>(c), DigitScanCodes[c - '0']};
            return true;
        }
    }
    return false;
}

std::string VirtualKeyName(DWORD virtualKey) {
    for (const KeyName& k : NamedKeys)
        if (k.VirtualKey == virtualKey) return k.Name;
    if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9'))
        return std::string(1, static_cast<char>(virtualKey));
    char text[16];
    std::snprintf(text, sizeof text, "vk 0x%02lX", static_cast<unsigned long>(virtualKey));
    return text;
}

std::string FileManagerKeyName(DWORD virtualKey, bool enhanced) {
    for (const KeyName& k : KeypadKeys)
        if (k.VirtualKey == virtualKey && k.Enhanced == enhanced) return k.Name;
    return VirtualKeyName(virtualKey);
}

namespace {
struct Modifier {
    const char* Name;
    DWORD State;  // the control key state bits of either key
    WORD VirtualKey;
};
const Modifier Modifiers[] = {
    {"Ctrl", LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED, VK_CONTROL},
    {"Alt", LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED, VK_MENU},
    {"Shift", SHIFT_PRESSED, VK_SHIFT},
};
}  // namespace

std::string ChordName(DWORD virtualKey, bool enhanced, DWORD controlKeyState) {
    std::string name;
    for (const Modifier& m : Modifiers)
        if ((controlKeyState & m.State) != 0 && virtualKey != m.VirtualKey) name += std::string(m.Name) + "+";
    return name + FileManagerKeyName(virtualKey, enhanced);
}

bool BindingChord(const std::string& name, std::string& chord) {
    DWORD state = 0;
    std::string rest = name;
    for (bool found = true; found;) {
        found = false;
        for (const Modifier& m : Modifiers) {
            const size_t length = std::char_traits<char>::length(m.Name);
            if (rest.size() > length && EqualsIgnoringCase(rest.substr(0, length), m.Name) && (state & m.State) == 0) {
                state |= m.State;
                rest = rest.substr(length);
                found = true;
            }
        }
    }
    KeyName key{};
    if (!FindKey(rest, key)) return false;
    chord = ChordName(key.VirtualKey, key.Enhanced, state);
    return true;
}
