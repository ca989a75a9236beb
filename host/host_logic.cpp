#include "host/host_logic.h"

#include <shlwapi.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <sstream>

namespace {
// The first word of a line and the rest after one blank; the rest keeps its
// own blanks, since texts such as a pattern list may hold them.
void SplitCommand(const std::string& line, std::string& word, std::string& rest) {
    const size_t end = line.find_first_of(" \t");
    word = line.substr(0, end);
    rest = end == std::string::npos ? "" : line.substr(end + 1);
}

bool ParseNumber(const std::string& text, int32_t& value) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    value = static_cast<int32_t>(std::stol(text));
    return true;
}
}  // namespace

// ---- keys ------------------------------------------------------------------

namespace {
const KeyName NamedKeys[] = {
    {"Ctrl", VK_CONTROL, 0x1D},  {"Shift", VK_SHIFT, 0x2A},    {"Alt", VK_MENU, 0x38},
    {"Enter", VK_RETURN, 0x1C},  {"Esc", VK_ESCAPE, 0x01},     {"Tab", VK_TAB, 0x0F},
    {"Space", VK_SPACE, 0x39},   {"Backspace", VK_BACK, 0x0E}, {"Up", VK_UP, 0x48},
    {"Down", VK_DOWN, 0x50},     {"Left", VK_LEFT, 0x4B},      {"Right", VK_RIGHT, 0x4D},
    {"Home", VK_HOME, 0x47},     {"End", VK_END, 0x4F},        {"PgUp", VK_PRIOR, 0x49},
    {"PgDn", VK_NEXT, 0x51},     {"Ins", VK_INSERT, 0x52},     {"Del", VK_DELETE, 0x53},
    {"F1", VK_F1, 0x3B},         {"F2", VK_F2, 0x3C},          {"F3", VK_F3, 0x3D},
    {"F4", VK_F4, 0x3E},         {"F5", VK_F5, 0x3F},          {"F6", VK_F6, 0x40},
    {"F7", VK_F7, 0x41},         {"F8", VK_F8, 0x42},          {"F9", VK_F9, 0x43},
    {"F10", VK_F10, 0x44},       {"F11", VK_F11, 0x57},        {"F12", VK_F12, 0x58},
};
const KeyName KeyAliases[] = {
    {"Control", VK_CONTROL, 0x1D}, {"Return", VK_RETURN, 0x1C}, {"Escape", VK_ESCAPE, 0x01},
    {"PageUp", VK_PRIOR, 0x49},    {"PageDown", VK_NEXT, 0x51}, {"Insert", VK_INSERT, 0x52},
    {"Delete", VK_DELETE, 0x53},
};
// Scan codes of the letter and digit keys, in the order A..Z and 0..9.
const WORD LetterScanCodes[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
                                  0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
const WORD DigitScanCodes[10] = {0x0B, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A};
// Names for single characters, built once: "A".."Z", "0".."9".
const char LetterNames[] = "A\0B\0C\0D\0E\0F\0G\0H\0I\0J\0K\0L\0M\0N\0O\0P\0Q\0R\0S\0T\0U\0V\0W\0X\0Y\0Z";
const char DigitNames[] = "0\0" "1\0" "2\0" "3\0" "4\0" "5\0" "6\0" "7\0" "8\0" "9";
}  // namespace

bool FindKey(const std::string& name, KeyName& key) {
    for (const KeyName& k : NamedKeys)
        if (EqualsIgnoringCase(name, k.Name)) return key = k, true;
    for (const KeyName& k : KeyAliases)
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

// ---- panel -----------------------------------------------------------------

void Panel::SetItems(std::vector<PanelItemRecord> items) {
    items_ = std::move(items);
    current_ = 0;
    top_ = 0;
}

bool Panel::Redraw(int32_t current, int32_t top) {
    const int32_t count = Count();
    int32_t newCurrent = 0, newTop = 0;
    if (count > 0) {
        newCurrent = std::clamp(current, 0, count - 1);
        newTop = std::clamp(top, 0, std::max(0, count - rows_));
        // The cursor's row is always shown.
        if (newCurrent < newTop) newTop = newCurrent;
        if (newCurrent >= newTop + rows_) newTop = newCurrent - rows_ + 1;
    }
    current_ = newCurrent;
    top_ = newTop;
    return newCurrent != current || newTop != top;
}

int32_t Panel::Find(const std::string& name) const {
    for (int32_t i = 0; i < Count(); ++i)
        if (NameAt(i) == name) return i;
    for (int32_t i = 0; i < Count(); ++i)
        if (EqualsIgnoringCase(NameAt(i), name)) return i;
    return -1;
}

std::string Panel::NameAt(int32_t index) const {
    if (index < 0 || index >= Count()) return "";
    const char* name = items_[static_cast<size_t>(index)].FindData.cFileName;
    return std::string(name, strnlen(name, PanelItemNameSize));
}

bool Panel::IsDirectory(int32_t index) const {
    return index >= 0 && index < Count() &&
           (items_[static_cast<size_t>(index)].FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

PanelItemRecord MakeItem(const std::string& name, DWORD attributes) {
    PanelItemRecord item{};
    item.FindData.dwFileAttributes = attributes;
    std::snprintf(item.FindData.cFileName, sizeof item.FindData.cFileName, "%s", name.c_str());
    return item;
}

namespace {
std::string FullPath(const std::string& folder) {
    char full[MAX_PATH * 4];
    const DWORD length = GetFullPathNameA(folder.c_str(), sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full) return folder;
    std::string path(full, length);
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
}
}  // namespace

bool ListFolder(const std::string& folder, std::vector<PanelItemRecord>& items, std::string& error) {
    items.clear();
    const std::string path = FullPath(folder);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        error = "no such folder: " + folder;
        return false;
    }
    std::string pattern = path;
    if (pattern.back() != '\\') pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND) {
            error = "cannot list the folder: " + folder;
            return false;
        }
    } else {
        do {
            if (std::strcmp(found.cFileName, ".") == 0 || std::strcmp(found.cFileName, "..") == 0) continue;
            PanelItemRecord item{};
            item.FindData = found;
            items.push_back(item);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    std::sort(items.begin(), items.end(), [](const PanelItemRecord& a, const PanelItemRecord& b) {
        const bool aFolder = (a.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool bFolder = (b.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (aFolder != bFolder) return aFolder;
        return LessIgnoringCase(a.FindData.cFileName, b.FindData.cFileName);
    });
    if (!PathIsRootA(path.c_str())) items.insert(items.begin(), MakeItem("..", FILE_ATTRIBUTE_DIRECTORY));
    return true;
}

std::string FolderDisplayName(const std::string& folder) {
    const std::string path = FullPath(folder);
    if (PathIsRootA(path.c_str())) return path;
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// ---- session script ----------------------------------------------------------

bool ParseAnswer(const std::string& line, DialogAnswer& answer) {
    std::string word, rest;
    SplitCommand(Trim(line), word, rest);
    if (EqualsIgnoringCase(word, "set")) {
        answer = {AnswerKind::Set, rest, 0, 0};
    } else if (EqualsIgnoringCase(word, "append")) {
        answer = {AnswerKind::Append, rest, 0, 0};
    } else if (EqualsIgnoringCase(word, "escape")) {
        answer = {AnswerKind::Escape, "", 0, 0};
    } else if (EqualsIgnoringCase(word, "button")) {
        const std::string which = Trim(rest);
        if (which.empty()) return false;
        int32_t number = 0;
        if (ParseNumber(which, number)) {
            if (number < 1) return false;
            answer = {AnswerKind::Button, "", number, 0};
        } else {
            answer = {AnswerKind::Button, which, 0, 0};
        }
    } else {
        return false;
    }
    return true;
}

bool ParseScript(const std::string& text, std::vector<ScriptStep>& steps, std::string& error) {
    steps.clear();
    std::istringstream input(text);
    std::string raw;
    int lineNumber = 0;
    bool dialogOpen = false;  // a config whose closing answer is still to come
    auto fail = [&](const std::string& reason) {
        error = "line " + std::to_string(lineNumber) + ": " + reason;
        return false;
    };
    while (std::getline(input, raw)) {
        ++lineNumber;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == '#') continue;
        std::string word, rest;
        SplitCommand(line, word, rest);

        DialogAnswer answer;
        if (ParseAnswer(line, answer)) {
            if (!dialogOpen) return fail("'" + word + "' answers a dialog, but no 'config' comes before it");
            answer.Line = lineNumber;
            steps.back().Answers.push_back(answer);
            if (answer.Kind == AnswerKind::Button || answer.Kind == AnswerKind::Escape) dialogOpen = false;
            continue;
        }
        if (EqualsIgnoringCase(word, "button")) return fail("'button' needs a number from 1 or a button's text");
        if (dialogOpen) return fail("the dialog of line " + std::to_string(steps.back().Line) +
                                    " is still open: end it with 'button N' or 'escape'");

        ScriptStep step{};
        step.Line = lineNumber;
        step.Source = line;
        const std::string argument = Trim(rest);
        if (EqualsIgnoringCase(word, "say")) {
            step.Kind = StepKind::Say;
            step.Text = argument;
        } else if (EqualsIgnoringCase(word, "press") || EqualsIgnoringCase(word, "release")) {
            step.Kind = StepKind::Key;
            step.Down = EqualsIgnoringCase(word, "press");
            if (argument.empty()) return fail("'" + word + "' needs a key name, such as Ctrl, Down or F3");
            if (!FindKey(argument, step.Key)) return fail("unknown key '" + argument + "'");
        } else if (EqualsIgnoringCase(word, "cursor")) {
            step.Kind = StepKind::Cursor;
            if (argument.empty()) return fail("'cursor' needs an item's name or number");
            step.Text = argument;
        } else if (EqualsIgnoringCase(word, "menu")) {
            step.Kind = StepKind::Menu;
        } else if (EqualsIgnoringCase(word, "panel")) {
            step.Kind = StepKind::Show;
        } else if (EqualsIgnoringCase(word, "registry")) {
            step.Kind = StepKind::Registry;
        } else if (EqualsIgnoringCase(word, "restart")) {
            step.Kind = StepKind::Restart;
        } else if (EqualsIgnoringCase(word, "config")) {
            step.Kind = StepKind::Config;
            dialogOpen = true;
        } else {
            return fail("unknown command '" + word + "'");
        }
        const bool takesArgument = step.Kind == StepKind::Say || step.Kind == StepKind::Key || step.Kind == StepKind::Cursor;
        if (!takesArgument && !argument.empty()) return fail("'" + word + "' takes nothing after it");
        steps.push_back(step);
    }
    if (dialogOpen) {
        lineNumber = steps.back().Line;
        return fail("the dialog is never closed: end it with 'button N' or 'escape'");
    }
    return true;
}

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

// ---- dialogs -----------------------------------------------------------------

std::string ItemText(const DialogItemRecord& item) { return std::string(item.Text, strnlen(item.Text, DialogItemTextSize)); }

namespace {
class Canvas {
public:
    Canvas(int32_t width, int32_t height)
        : width_(std::max(width, 1)), lines_(static_cast<size_t>(std::max(height, 1)), std::string(static_cast<size_t>(std::max(width, 1)), ' ')) {}

    void Put(int32_t x, int32_t y, const std::string& text) {
        if (y < 0 || y >= static_cast<int32_t>(lines_.size())) return;
        for (size_t i = 0; i < text.size(); ++i) {
            const int64_t column = static_cast<int64_t>(x) + static_cast<int64_t>(i);
            if (column >= 0 && column < width_) lines_[static_cast<size_t>(y)][static_cast<size_t>(column)] = text[i];
        }
    }
    int32_t Width() const { return width_; }
    std::vector<std::string> Lines() const {
        std::vector<std::string> out;
        for (const std::string& l : lines_) out.push_back(l.substr(0, l.find_last_not_of(' ') + 1));
        return out;
    }

private:
    int32_t width_;
    std::vector<std::string> lines_;
};

std::string ButtonFace(const DialogItemRecord& item) { return "[ " + ItemText(item) + " ]"; }

// Item coordinates as given, but kept to a little beyond the canvas, so that
// wild values neither overflow nor ask for huge texts.
int32_t Bounded(int32_t value, int32_t limit) { return std::clamp(value, -1, limit + 1); }

void DrawFrame(Canvas& canvas, const DialogItemRecord& item) {
    const int32_t left = Bounded(item.Left, canvas.Width()), top = Bounded(item.Top, MaxDialogHeight);
    const int32_t right = std::max(Bounded(item.Right, canvas.Width()), left + 1);
    const int32_t bottom = std::max(Bounded(item.Bottom, MaxDialogHeight), top + 1);
    const std::string border = "+" + std::string(static_cast<size_t>(right - left - 1), '-') + "+";
    canvas.Put(left, top, border);
    canvas.Put(left, bottom, border);
    for (int32_t y = top + 1; y < bottom; ++y) {
        canvas.Put(left, y, "|");
        canvas.Put(right, y, "|");
    }
    const std::string title = ItemText(item);
    if (!title.empty()) {
        const std::string shown = " " + title + " ";
        const int32_t inner = right - left - 1;
        canvas.Put(left + 1 + std::max(0, (inner - static_cast<int32_t>(shown.size())) / 2), top, shown);
    }
}

void DrawEdit(Canvas& canvas, const DialogItemRecord& item) {
    const int32_t left = Bounded(item.Left, canvas.Width());
    const int32_t width = std::max(1, Bounded(item.Right, canvas.Width()) - left + 1);
    std::string text = ItemText(item);
    if (static_cast<int32_t>(text.size()) > width) text = text.substr(0, static_cast<size_t>(width - 1)) + ">";
    text.resize(static_cast<size_t>(width), '_');
    canvas.Put(left, item.Top, text);
}
}  // namespace

std::vector<std::string> DrawDialog(const DialogItemRecord* items, int32_t count, int32_t width, int32_t height) {
    // A console holds no more than this; a bigger size is drawn cut.
    Canvas canvas(std::min(width, MaxDialogWidth), std::min(height, MaxDialogHeight));
    if (items == nullptr || count <= 0) return canvas.Lines();
    std::vector<int32_t> centredRows;
    for (int32_t i = 0; i < count; ++i) {
        const DialogItemRecord& item = items[i];
        switch (item.ItemType) {
            case FrameItemType:
                DrawFrame(canvas, item);
                break;
            case EditItemType:
                DrawEdit(canvas, item);
                break;
            case ButtonType:
                if (item.Left == 0) {
                    if (std::find(centredRows.begin(), centredRows.end(), item.Top) == centredRows.end())
                        centredRows.push_back(item.Top);
                } else {
                    canvas.Put(item.Left, item.Top, ButtonFace(item));
                }
                break;
            default:
                canvas.Put(item.Left, item.Top, ItemText(item));
                break;
        }
    }
    // Buttons without a column of their own share their row, centred.
    for (int32_t row : centredRows) {
        std::string group;
        for (int32_t i = 0; i < count; ++i)
            if (items[i].ItemType == ButtonType && items[i].Left == 0 && items[i].Top == row)
                group += (group.empty() ? "" : " ") + ButtonFace(items[i]);
        canvas.Put(std::max(0, (canvas.Width() - static_cast<int32_t>(group.size())) / 2), row, group);
    }
    return canvas.Lines();
}

int32_t EditFieldIndex(const DialogItemRecord* items, int32_t count) {
    if (items == nullptr) return -1;
    int32_t first = -1;
    for (int32_t i = 0; i < count; ++i) {
        if (items[i].ItemType != EditItemType) continue;
        if (items[i].HasFocus != 0) return i;
        if (first < 0) first = i;
    }
    return first;
}

int32_t ButtonIndex(const DialogItemRecord* items, int32_t count, const DialogAnswer& answer) {
    if (items == nullptr || answer.Kind != AnswerKind::Button) return -1;
    int32_t seen = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (items[i].ItemType != ButtonType) continue;
        ++seen;
        if (answer.Button > 0 ? seen == answer.Button : EqualsIgnoringCase(ItemText(items[i]), answer.Text))
            return i;
    }
    return -1;
}
