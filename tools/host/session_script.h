// The session script of the stand-in host: one step per line, in UTF-8.
#pragma once

#include <string>
#include <vector>

#include "tools/host/dialog.h"
#include "tools/host/keys.h"

enum class StepKind {
    Say,       // a heading for the transcript
    Menu,      // GetPluginInfo, entries shown
    Show,      // the panel shown
    Registry,  // the stored value shown
    Key,       // one console key event and one invocation
    Config,    // Configure, with the dialog's answers
    Restart,   // unload and load the plug-in again
    Cursor,    // the host moves its own cursor
    Help,      // Shift+F1 on a menu entry: Text is "menu" or "config"
    Follow,    // a link of the help page followed: Text is its text
    Bind,      // keys bound to invoking the plug-in
    Type,      // key events typed, read as the file manager reads them
};

// One key event a script types: pressed or released.
struct TypedKey {
    KeyName Key{};
    bool Down = true;
};

struct ScriptStep {
    StepKind Kind;
    int Line = 0;
    std::string Source;                 // the line as written, for the transcript
    std::string Text;                   // Say: the heading; Cursor: the item's name or number
    KeyName Key{};                      // Key
    bool Down = true;                   // Key: pressed (true) or released
    std::vector<DialogAnswer> Answers;  // Config: edits, then one closing answer
    std::vector<std::string> Chords;    // Bind: the keys bound, as ChordName names them
    std::vector<TypedKey> Typed;        // Type: the events, in order
    bool Ahead = false;                 // Type: all in the queue at once, before the host reads
};

// Blank-separated key names as a binding writes them ("CtrlDown CtrlUp"),
// each as ChordName names it; false, naming the first unknown one.
bool ParseBindings(const std::string& names, std::vector<std::string>& chords, std::string& error);
// Blank-separated key events: +KEY pressed, -KEY released, KEY pressed and
// released, +KEY*N pressed N times (the key's auto-repeat), N from 1 to 1000.
bool ParseTypedKeys(const std::string& events, std::vector<TypedKey>& typed, std::string& error);

// Parses a whole session script, in UTF-8; a byte-order mark at its start is
// passed over, as are blank lines and lines starting with '#'. Text typed into
// the dialog must have a place in the OEM code page. False, with
// "line N: reason", at the first faulty line.
bool ParseScript(const std::string& text, std::vector<ScriptStep>& steps, std::string& error);
