// The plug-in's dialogs as the stand-in host shows and answers them: drawn
// as text, answered from a script line or the keyboard. Item texts are in
// the OEM code page, one byte per column.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/host_interface.h"

enum class AnswerKind { Set, Append, Button, Escape, Help };

struct DialogAnswer {
    AnswerKind Kind;
    std::string Text;    // Set, Append: the text; Button: its name when not a number; OEM code page
    int32_t Button = 0;  // Button: 1-based number among the buttons, 0 when named
    int Line = 0;
};

// One dialog answer as typed ("set TEXT", "append TEXT", "button 1",
// "button Save", "escape", "F1" for the dialog's help); false when the line
// is no answer.
bool ParseAnswer(const std::string& line, DialogAnswer& answer);

// The text of an item up to its terminator, or all 512 bytes when it has none.
std::string ItemText(const DialogItemRecord& item);

constexpr int32_t MaxDialogWidth = 300;
constexpr int32_t MaxDialogHeight = 100;

// The dialog drawn as text lines, width x height characters (at most the
// sizes above): a frame with its title, labels, edit fields and buttons.
// Buttons whose left column is 0 are centred together on their row. Inside a
// frame, a text longer than the room it has is cut with '>', so the frame
// stays whole.
std::vector<std::string> DrawDialog(const DialogItemRecord* items, int32_t count, int32_t width, int32_t height);

// Index of the edit field that takes typed text: the focused one, else the
// first; -1 when the dialog has none.
int32_t EditFieldIndex(const DialogItemRecord* items, int32_t count);

// Index of the item closing the dialog for a button answer: the n-th button
// (1-based) or the button whose text is the name; -1 when there is none.
int32_t ButtonIndex(const DialogItemRecord* items, int32_t count, const DialogAnswer& answer);

// A message box drawn as text lines, in UTF-8: a frame with the title, the lines
// (centred unless left-aligned) and the buttons on one row.
std::vector<std::string> DrawMessageBox(const std::string& title, const std::vector<std::string>& lines,
                                        const std::vector<std::string>& buttons, bool leftAligned);
// The index a script's button answer chooses among the buttons, or -1.
int32_t MessageBoxButton(const std::vector<std::string>& buttons, const DialogAnswer& answer);
