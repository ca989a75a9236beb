// A session script run step by step, the dialog answered from its config steps.
#include "tools/host/scripted_session.h"

#include <string>

#include "tools/host/help_window.h"
#include "tools/host/key_loop.h"
#include "tools/host/options.h"
#include "tools/host/panel_view.h"
#include "tools/host/plugin_services.h"
#include "tools/host/plugin_session.h"
#include "tools/host/stored_settings.h"
#include "tools/host/text.h"
#include "tools/host/transcript.h"
#include "tools/hostkit/console_input.h"

namespace {

// Puts a key event into the console queue, for the plug-in to read.
void QueueKey(const KeyName& key, bool down) {
    const DWORD state =
        (key.VirtualKey == VK_CONTROL && down ? (key.Enhanced ? RIGHT_CTRL_PRESSED : LEFT_CTRL_PRESSED) : 0) |
        (key.Enhanced ? DWORD{ENHANCED_KEY} : 0);
    QueueConsoleInput(KeyEventRecord(key.VirtualKey, key.ScanCode, down, state));
}

std::string Describe(const DialogAnswer& answer) {
    switch (answer.Kind) {
        case AnswerKind::Set: return "set " + Quoted(OemToUtf8(answer.Text));
        case AnswerKind::Append: return "append " + Quoted(OemToUtf8(answer.Text));
        case AnswerKind::Escape: return "escape";
        case AnswerKind::Help: return "F1";
        case AnswerKind::Button:
            return "button " + (answer.Button > 0 ? std::to_string(answer.Button) : OemToUtf8(answer.Text));
    }
    return "";
}

// The dialog answered from the config step's lines, from the next one on:
// edits as they come, then the answer that closes it. Outside a config step
// there are none.
int32_t AnswerFromScript(DialogItemRecord* items, int32_t count, const std::vector<DialogAnswer>* answers,
                         size_t& next) {
    while (answers != nullptr && next < answers->size()) {
        const DialogAnswer& answer = (*answers)[next++];
        Say("answer", Describe(answer));
        if (answer.Kind == AnswerKind::Help)
            ShowDialogHelp(Host.LastDialog.HasHelpTopic, Host.LastDialog.HelpTopic);
        else if (answer.Kind == AnswerKind::Set || answer.Kind == AnswerKind::Append)
            ApplyEdit(items, count, answer);
        else
            return CloseWith(items, count, answer);
    }
    Say("", "no answer left in the script: closed without a button");
    return -1;
}

// A message box answered from the config step's lines, as the dialog is: the
// next button or escape; with none left, Enter on the first button.
int32_t AnswerMessageBoxFromScript(const std::vector<std::string>& buttons, const std::vector<DialogAnswer>* answers,
                                   size_t& next) {
    while (answers != nullptr && next < answers->size()) {
        const DialogAnswer& answer = (*answers)[next++];
        Say("answer", Describe(answer));
        if (answer.Kind == AnswerKind::Escape) return -1;
        if (answer.Kind != AnswerKind::Button) {
            Problem("a message box has no edit field to type into");
            continue;
        }
        const int32_t index = MessageBoxButton(buttons, answer);
        if (index >= 0) return index;
        Problem("the message box has no such button; closed with Esc");
        return -1;
    }
    Say("answer", "none left in the script: Enter, the first button");
    return 0;
}

}  // namespace

int RunScript(const std::vector<ScriptStep>& steps) {
    const std::vector<DialogAnswer>* answers = nullptr;
    size_t next = 0;
    Host.AnswerDialog = [&answers, &next](DialogItemRecord* items, int32_t count) {
        return AnswerFromScript(items, count, answers, next);
    };
    Host.AnswerMessageBox = [&answers, &next](const std::vector<std::string>& buttons) {
        return AnswerMessageBoxFromScript(buttons, answers, next);
    };
    Print("");
    Print("How to read this: each \"press\" or \"release\" line puts one key event into");
    Print("the console and invokes the plug-in once. \"plug-in\" lines show what it asked");
    Print("of the host, \"keys sent\" the synthetic keys it sent, and \"so\" what the file");
    Print("manager makes of them: it enters folders and shows files in its viewer.");
    bool typing = false;
    for (const ScriptStep& step : steps) typing = typing || step.Kind == StepKind::Type;
    if (typing) {
        Print("A \"type\" line types key events into the console queue, and the host reads");
        Print("them as the file manager does: \"typed\" shows each event as it arrives,");
        Print("\"host reads\" each event the host takes from the queue, named as the file");
        Print("manager names it. A bound key invokes the plug-in, which reads the next event");
        Print("itself; the keys it sends join the end of the queue.");
    }
    bool afterHeading = false;
    bool stopped = false;
    for (const ScriptStep& step : steps) {
        if (stopped) break;
        if (!afterHeading) Print("");
        afterHeading = step.Kind == StepKind::Say;
        if (afterHeading) {
            Print("== " + step.Text + " ==");
            continue;
        }
        Print("> " + step.Source);
        switch (step.Kind) {
            case StepKind::Menu: ShowMenu(); break;
            case StepKind::Show: ShowPanel(); break;
            case StepKind::Registry: ShowRegistry(); break;
            case StepKind::Cursor: PlaceCursor(step.Text); break;
            case StepKind::Restart: Restart(); break;
            case StepKind::Config:
                answers = &step.Answers;
                next = 0;
                RunConfigure();
                answers = nullptr;
                break;
            case StepKind::Bind:
                Bind(step.Chords);
                Say("bound", BoundKeys() + ": the file manager invokes the plug-in for each");
                break;
            case StepKind::Type: stopped = !TypeKeys(step.Typed, step.Ahead); break;
            case StepKind::Key:
                ForgetWaitingInvocation();
                FlushConsoleInput();
                Say("console", std::string(step.Key.Name) + (step.Down ? " pressed" : " released"));
                QueueKey(step.Key, step.Down);
                Invoke();
                break;
            case StepKind::Help:
                ShowEntryHelp(EqualsIgnoringCase(step.Text, "menu") ? HelpEntry::PluginMenu : HelpEntry::ConfigMenu);
                break;
            case StepKind::Follow: FollowHelpLink(step.Text); break;
            case StepKind::Say: break;
        }
    }
    EndTyping();
    Host.AnswerDialog = nullptr;
    Host.AnswerMessageBox = nullptr;
    Print("");
    if (ProblemCount() == 0) {
        Print("Session ended.");
        return ExitSuccess;
    }
    Print("Session ended with " + Counted(static_cast<size_t>(ProblemCount()), "problem") +
          ": see the lines marked \"problem\".");
    return ExitProblems;
}
