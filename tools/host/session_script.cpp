// A session script parsed line by line into steps; a faulty line named by its number.
#include "tools/host/session_script.h"

#include <sstream>

#include "tools/host/text.h"

namespace {
constexpr int MostRepeats = 1000;

std::vector<std::string> Words(const std::string& text) {
    std::istringstream input(text);
    std::vector<std::string> words;
    for (std::string word; input >> word;) words.push_back(word);
    return words;
}
}  // namespace

bool ParseBindings(const std::string& names, std::vector<std::string>& chords, std::string& error) {
    chords.clear();
    for (const std::string& name : Words(names)) {
        std::string chord;
        if (!BindingChord(name, chord)) return error = "no key is named '" + name + "'", false;
        chords.push_back(chord);
    }
    if (chords.empty()) return error = "no key to bind: name keys such as CtrlDown CtrlUp", false;
    return true;
}

bool ParseTypedKeys(const std::string& events, std::vector<TypedKey>& typed, std::string& error) {
    typed.clear();
    for (const std::string& word : Words(events)) {
        const char sign = word[0];
        std::string name = sign == '+' || sign == '-' ? word.substr(1) : word;
        int repeats = 1;
        const size_t star = name.find('*');
        if (star != std::string::npos) {
            const std::string count = name.substr(star + 1);
            const bool digits =
                !count.empty() && count.size() <= 4 && count.find_first_not_of("0123456789") == std::string::npos;
            repeats = digits ? std::stoi(count) : 0;
            if (sign != '+' || repeats < 1 || repeats > MostRepeats)
                return error = "'" + word + "': only a press repeats, +KEY*N with N from 1 to " +
                               std::to_string(MostRepeats),
                       false;
            name = name.substr(0, star);
        }
        KeyName key{};
        if (!FindKey(name, key)) return error = "unknown key '" + name + "' in '" + word + "'", false;
        if (sign != '-')
            for (int i = 0; i < repeats; ++i) typed.push_back({key, true});
        if (sign != '+') typed.push_back({key, false});
    }
    if (typed.empty()) return error = "no key event: write +KEY, -KEY or KEY, such as +Ctrl Down -Ctrl", false;
    return true;
}

bool ParseScript(const std::string& text, std::vector<ScriptStep>& steps, std::string& error) {
    steps.clear();
    std::istringstream input(text);
    std::string raw;
    int lineNumber = 0;
    bool dialogOpen = false;  // a config whose closing answer is still to come
    // A config whose dialog is closed: buttons right after it answer the
    // message boxes the plug-in shows then, such as one for a refused Save.
    bool dialogClosed = false;
    auto fail = [&](const std::string& reason) {
        error = "line " + std::to_string(lineNumber) + ": " + reason;
        return false;
    };
    while (std::getline(input, raw)) {
        ++lineNumber;
        if (lineNumber == 1) DropByteOrderMark(raw);
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        if (!IsUtf8(raw)) return fail("not UTF-8 text; save the script in UTF-8");
        if (raw.find('\0') != std::string::npos) return fail("a zero byte, which no text holds");
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == '#') continue;
        std::string word, rest;
        SplitCommand(line, word, rest);

        DialogAnswer answer;
        if (ParseAnswer(line, answer)) {
            const bool closes = answer.Kind == AnswerKind::Button || answer.Kind == AnswerKind::Escape;
            if (!dialogOpen && dialogClosed && !closes)
                return fail("the dialog of line " + std::to_string(steps.back().Line) +
                            " is closed: after it only 'button' or 'escape' answer a message box");
            if (!dialogOpen && !dialogClosed)
                return fail("'" + word + "' answers a dialog, but no 'config' comes before it");
            answer.Line = lineNumber;
            std::string oem, refused;
            if (!Utf8ToOem(answer.Text, oem, refused))
                return fail(refused + " cannot be typed: the " + OemCodePageName() + " has no place for it");
            answer.Text = oem;
            steps.back().Answers.push_back(answer);
            if (closes) {
                dialogOpen = false;
                dialogClosed = true;
            }
            continue;
        }
        dialogClosed = false;
        if (EqualsIgnoringCase(word, "button")) return fail("'button' needs a number from 1 or a button's text");
        if (dialogOpen)
            return fail("the dialog of line " + std::to_string(steps.back().Line) +
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
        } else if (EqualsIgnoringCase(word, "bind")) {
            step.Kind = StepKind::Bind;
            std::string reason;
            if (!ParseBindings(argument, step.Chords, reason)) return fail("'bind': " + reason);
        } else if (EqualsIgnoringCase(word, "type") || EqualsIgnoringCase(word, "type-ahead")) {
            step.Kind = StepKind::Type;
            step.Ahead = EqualsIgnoringCase(word, "type-ahead");
            std::string reason;
            if (!ParseTypedKeys(argument, step.Typed, reason)) return fail("'" + word + "': " + reason);
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
        } else if (EqualsIgnoringCase(word, "help")) {
            step.Kind = StepKind::Help;
            if (!EqualsIgnoringCase(argument, "menu") && !EqualsIgnoringCase(argument, "config"))
                return fail("'help' needs the menu whose entry gets Shift+F1: 'help menu' or 'help config'");
            step.Text = argument;
        } else if (EqualsIgnoringCase(word, "follow")) {
            step.Kind = StepKind::Follow;
            if (argument.empty()) return fail("'follow' needs the text of a link on the help page");
            step.Text = argument;
        } else if (EqualsIgnoringCase(word, "config")) {
            step.Kind = StepKind::Config;
            dialogOpen = true;
        } else {
            return fail("unknown command '" + word + "'");
        }
        const bool takesArgument = step.Kind == StepKind::Say || step.Kind == StepKind::Key ||
                                   step.Kind == StepKind::Cursor || step.Kind == StepKind::Help ||
                                   step.Kind == StepKind::Follow || step.Kind == StepKind::Bind ||
                                   step.Kind == StepKind::Type;
        if (!takesArgument && !argument.empty()) return fail("'" + word + "' takes nothing after it");
        steps.push_back(step);
    }
    if (dialogOpen) {
        lineNumber = steps.back().Line;
        return fail("the dialog is never closed: end it with 'button N' or 'escape'");
    }
    return true;
}
