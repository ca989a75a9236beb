// The stand-in host's own logic, kept apart from the program so it can be
// tested on its own: key names, the panel model, folder listing, the session
// script and the text drawing of dialogs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/text.h"
#include "support/host_interface.h"

// ---- keys ------------------------------------------------------------------

struct KeyName {
    const char* Name;
    WORD VirtualKey;
    WORD ScanCode;  // the usual scan code of a PC keyboard
};

// The key of a name such as "Ctrl", "Down", "F3" or "A" (any case); false
// when the name is unknown.
bool FindKey(const std::string& name, KeyName& key);
// "Ctrl", "Down", ... for a virtual-key code; "vk 0xNN" for one without a name.
std::string VirtualKeyName(DWORD virtualKey);

// ---- panel -----------------------------------------------------------------

// The host's panel: its items, the cursor and the top item shown. The host
// owns the bounds: whatever index a redraw asks for, the cursor stays on an
// item and the cursor's row stays within the rows shown.
class Panel {
public:
    explicit Panel(int32_t rows = 20) : rows_(rows < 1 ? 1 : rows) {}

    void SetItems(std::vector<PanelItemRecord> items);
    const std::vector<PanelItemRecord>& Items() const { return items_; }
    // The host's array, which the plug-in reads after PanelGetInfo.
    PanelItemRecord* ItemArray() { return items_.empty() ? nullptr : items_.data(); }
    int32_t Count() const { return static_cast<int32_t>(items_.size()); }
    int32_t Current() const { return current_; }
    int32_t Top() const { return top_; }
    int32_t Rows() const { return rows_; }

    // Applies a redraw request, clamped; true when something had to be
    // clamped.
    bool Redraw(int32_t current, int32_t top);
    // The item named so (exact name first, then any case); -1 when none.
    int32_t Find(const std::string& name) const;
    std::string NameAt(int32_t index) const;
    bool IsDirectory(int32_t index) const;

private:
    std::vector<PanelItemRecord> items_;
    int32_t current_ = 0;
    int32_t top_ = 0;
    int32_t rows_;
};

PanelItemRecord MakeItem(const std::string& name, DWORD attributes);

// The items of a folder as a panel shows them: ".." first when the folder has
// a parent, then the folders, then the files, each group by name in any case.
// False, with a reason, when the folder cannot be listed.
bool ListFolder(const std::string& folder, std::vector<PanelItemRecord>& items, std::string& error);

// The last component of a path ("sample" for "build\sample\"), for display.
std::string FolderDisplayName(const std::string& folder);

// ---- session script ----------------------------------------------------------

enum class StepKind {
    Say,       // a heading for the transcript
    Menu,      // GetPluginInfo, entries shown
    Show,      // the panel shown
    Registry,  // the stored value shown
    Key,       // one console key event and one invocation
    Config,    // Configure, with the dialog's answers
    Restart,   // unload and load the plug-in again
    Cursor,    // the host moves its own cursor
};

enum class AnswerKind { Set, Append, Button, Escape };

struct DialogAnswer {
    AnswerKind Kind;
    std::string Text;     // Set, Append: the text; Button: its name when not a number
    int32_t Button = 0;   // Button: 1-based number among the buttons, 0 when named
    int Line = 0;
};

struct ScriptStep {
    StepKind Kind;
    int Line = 0;
    std::string Source;  // the line as written, for the transcript
    std::string Text;    // Say: the heading; Cursor: the item's name or number
    KeyName Key{};       // Key
    bool Down = true;    // Key: pressed (true) or released
    std::vector<DialogAnswer> Answers;  // Config: edits, then one closing answer
};

// Parses a whole session script. Blank lines and lines starting with '#' are
// passed over. False, with "line N: reason", at the first faulty line.
bool ParseScript(const std::string& text, std::vector<ScriptStep>& steps, std::string& error);

// One dialog answer as typed ("set TEXT", "append TEXT", "button 1",
// "button Save", "escape"); false when the line is no answer.
bool ParseAnswer(const std::string& line, DialogAnswer& answer);

// The running program's folder, with its trailing separator: the plug-in and
// its language files are looked for there.
std::string ProgramFolder();

// ---- dialogs -----------------------------------------------------------------

// Item types the host draws.
constexpr int32_t TextItemType = 0;
constexpr int32_t FrameItemType = 3;
constexpr int32_t EditItemType = 4;
constexpr int32_t ButtonType = 7;

// The text of an item up to its terminator, or all 512 bytes when it has none.
std::string ItemText(const DialogItemRecord& item);

constexpr int32_t MaxDialogWidth = 300;
constexpr int32_t MaxDialogHeight = 100;

// The dialog drawn as text lines, width x height characters (at most the
// sizes above): a frame with its title, labels, edit fields (cut with '>'
// when longer than the field) and buttons. Buttons whose left column is 0 are
// centred together on their row.
std::vector<std::string> DrawDialog(const DialogItemRecord* items, int32_t count, int32_t width, int32_t height);

// Index of the edit field that takes typed text: the focused one, else the
// first; -1 when the dialog has none.
int32_t EditFieldIndex(const DialogItemRecord* items, int32_t count);

// Index of the item closing the dialog for a button answer: the n-th button
// (1-based) or the button whose text is the name; -1 when there is none.
int32_t ButtonIndex(const DialogItemRecord* items, int32_t count, const DialogAnswer& answer);

