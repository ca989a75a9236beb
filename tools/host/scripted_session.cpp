#include "tools/host/scripted_session.h"

#include "tools/host/file_manager.h"
#include "tools/host/options.h"
#include "tools/host/plugin_services.h"
#include "tools/host/transcript.h"
#include "tools/hostkit/console_input.h"

int RunScript(const std::vector<ScriptStep>& steps) {
    Print("");
    Print("How to read this: each \"press\" or \"release\" line puts one key event into");
    Print("the console and invokes the plug-in once. \"plug-in\" lines show what it asked");
    Print("of the host, \"keys sent\" the synthetic keys it sent, and \"so\" what the file");
    Print("manager makes of them: it enters folders and shows files in its viewer.");
    bool afterHeading = false;
    for (const ScriptStep& step : steps) {
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
            case StepKind::Cursor: MoveCursor(step.Text); break;
            case StepKind::Restart: Restart(); break;
            case StepKind::Config:
                Host.Answers = &step.Answers;
                Host.NextAnswer = 0;
                RunConfigure();
                Host.Answers = nullptr;
                break;
            case StepKind::Key:
                FlushConsoleInput();
                Say("console", std::string(step.Key.Name) + (step.Down ? " pressed" : " released"));
                QueueKey(step.Key, step.Down);
                Invoke();
                break;
            case StepKind::Say: break;
        }
    }
    Print("");
    if (ProblemCount() == 0) {
        Print("Session ended.");
        return ExitSuccess;
    }
    Print("Session ended with " + Counted(static_cast<size_t>(ProblemCount()), "problem") +
          ": see the lines marked \"problem\".");
    return ExitProblems;
}
