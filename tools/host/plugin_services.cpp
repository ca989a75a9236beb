// The start-up record's four services, none letting an exception into the plug-in, and dialog edits.
#include "tools/host/plugin_services.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "tools/host/text.h"
#include "tools/host/transcript.h"
#include "tools/hostkit/startup_record.h"
#include "tools/hostkit/system_error.h"

HostState Host;

namespace {

// Above 4 GiB at 64 bits, as a file manager's may be: an id the plug-in cuts
// to 32 bits is caught.
#if defined(_WIN64)
constexpr intptr_t HostModuleId = 0x4C4800000048;
#else
constexpr intptr_t HostModuleId = 0x4C48;
#endif

void CheckModuleId(intptr_t moduleId, const char* service) {
    if (moduleId != HostModuleId)
        NoteProblem(std::string(service) + " was given module id " + std::to_string(moduleId) + ", not the host's " +
                    std::to_string(HostModuleId));
}

std::string ItemLabel(int32_t index) {
    const Panel& panel = Host.ThePanel;
    if (index < 0 || index >= panel.Count()) return "no item";
    return Quoted(panel.NameAt(index)) + " (" + std::to_string(index) + ")";
}

const char* ServeMessageBody(intptr_t moduleId, int32_t messageId) {
    CheckModuleId(moduleId, "MessageService");
    std::string problem;
    const char* text = MessageText(Host.Messages, messageId, problem);
    if (!problem.empty()) NoteProblem(problem);
    return text;
}

int32_t ServePanelControlBody(intptr_t panelId, int32_t command, void* parameter) {
    Panel& panel = Host.ThePanel;
    if (panelId != ActivePanel) {
        Note("asked for panel " + std::to_string(panelId) + ", which this host does not have");
        return 0;
    }
    if (command == PanelGetInfo) {
        if (parameter == nullptr) return Note("asked for the panel without a record to fill"), 0;
        auto* info = static_cast<PanelInfoRecord*>(parameter);
        std::memset(info, 0, sizeof *info);
        info->Items = panel.ItemArray();
        info->ItemCount = panel.Count();
        info->CurrentItem = panel.Current();
        info->TopItem = panel.Top();
        Note("asked for the panel: cursor on " + ItemLabel(panel.Current()));
        return 1;
    }
    if (command == PanelRedraw) {
        if (parameter == nullptr) return Note("asked for a redraw without a new cursor"), 1;
        const auto* redraw = static_cast<const RedrawRecord*>(parameter);
        const int32_t wantedCurrent = redraw->CurrentItem, wantedTop = redraw->TopItem;
        const bool clamped = panel.Redraw(wantedCurrent, wantedTop);
        const std::string wanted = std::to_string(wantedCurrent) + ", top item " + std::to_string(wantedTop);
        if (clamped)
            Note("asked for cursor " + wanted + "; kept within the panel: cursor " + std::to_string(panel.Current()) +
                 ", top item " + std::to_string(panel.Top()) + ", on " + Quoted(panel.NameAt(panel.Current())));
        else
            Note("moved the cursor to " + wanted + ": now on " + Quoted(panel.NameAt(panel.Current())));
        return 1;
    }
    Note("sent panel command " + std::to_string(command) + ", which this host ignores");
    return 0;
}

// The platform's wide-character file-name match: * and ?, any case, for
// non-ASCII letters too. The plain form keeps a ';' in a pattern an ordinary
// character, not a separator.
int32_t ServeNameMatchBody(const char* pattern, const char* name, int32_t flag) {
    if (pattern == nullptr || name == nullptr) return Note("asked for a name match without a name or pattern"), 0;
    const bool matched = PathMatchSpecExW(OemToWide(name).c_str(), OemToWide(pattern).c_str(), PMSF_NORMAL) == S_OK;
    if (flag != NameMatchFlag) Note("asked for a name match with flag " + std::to_string(flag));
    NoteMatch(OemToUtf8(name), OemToUtf8(pattern), matched);
    return matched ? 1 : 0;
}

void ShowDialog(const DialogItemRecord* items, int32_t count, int32_t width, int32_t height) {
    std::vector<std::string> lines = DrawDialog(items, count, width, height);
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    size_t first = 0;
    while (first < lines.size() && lines[first].empty()) ++first;
    for (size_t i = first; i < lines.size(); ++i) Print("            " + OemToUtf8(lines[i]));
}

int32_t ServeDialogBody(intptr_t moduleId, int32_t left, int32_t top, int32_t right, int32_t bottom, const char* topic,
                        DialogItemRecord* items, int32_t itemCount) {
    CheckModuleId(moduleId, "DialogService");
    PrintTrace();
    if (items == nullptr || itemCount <= 0) return Problem("asked for a dialog without items"), -1;
    Host.LastDialog = DialogOutcome{};
    Host.LastDialog.Shown = true;
    Host.LastDialog.HasHelpTopic = topic != nullptr;
    if (topic != nullptr) Host.LastDialog.HelpTopic = OemToUtf8(topic);
    std::string where = left == -1 && top == -1 ? "centred" : "at " + std::to_string(left) + "," + std::to_string(top);
    Say("dialog", "the plug-in shows a dialog: " + std::to_string(right) + " x " + std::to_string(bottom) + ", " +
                      where + ", " + Counted(static_cast<size_t>(itemCount), "item") +
                      (topic != nullptr ? ", help topic " + Quoted(OemToUtf8(topic)) : ""));
    ShowDialog(items, itemCount, right, bottom);
    const int32_t edit = EditFieldIndex(items, itemCount);
    if (edit >= 0) Say("", "edit field holds " + Quoted(OemToUtf8(ItemText(items[edit]))));
    if (!Host.AnswerDialog) return Problem("no session answers the dialog; closed without a button"), -1;
    return Host.AnswerDialog(items, itemCount);
}

// The file manager's message box: items[0] the title, then the lines, the
// last buttonCount items the buttons; with 0x10000 its own OK button instead.
int32_t ServeMessageBoxBody(intptr_t moduleId, uint32_t flags, const char* helpTopic, const char* const* items,
                            int32_t itemCount, int32_t buttonCount) {
    const DWORD lastError = GetLastError();  // first, before any call changes it
    CheckModuleId(moduleId, "MessageBoxService");
    PrintTrace();
    if (items == nullptr || itemCount < 1) return Problem("asked for a message box without a title"), -1;
    const bool hostOk = (flags & MessageBoxOkButton) != 0;
    if (buttonCount < 0 || buttonCount > itemCount - 1 || (hostOk && buttonCount != 0)) {
        Problem("asked for a message box of " + Counted(static_cast<size_t>(itemCount), "item") + " with " +
                std::to_string(buttonCount) + " buttons" + (hostOk ? " and the host's OK button" : ""));
        return -1;
    }
    auto text = [&](int32_t i) {
        if (items[i] != nullptr) return OemToUtf8(items[i]);
        Problem("message box item " + std::to_string(i) + " has no text");
        return std::string();
    };
    std::vector<std::string> lines, buttons;
    for (int32_t i = 1; i < itemCount - buttonCount; ++i) lines.push_back(text(i));
    if ((flags & MessageBoxWithLastError) != 0) lines.push_back(SystemErrorText(lastError));
    for (int32_t i = itemCount - buttonCount; i < itemCount; ++i) buttons.push_back(text(i));
    if (hostOk) buttons.push_back("OK");
    std::string how = (flags & MessageBoxWarning) != 0 ? "in warning colours, " : "";
    if ((flags & MessageBoxWithLastError) != 0)
        how += "with the system's text for error " + std::to_string(lastError) + ", ";
    ++Host.MessageBoxesShown;
    Say("message", "the plug-in shows a message box, " + how + Counted(buttons.size(), "button") +
                       (helpTopic != nullptr ? ", help topic " + Quoted(OemToUtf8(helpTopic)) : ""));
    for (const std::string& line : DrawMessageBox(text(0), lines, buttons, (flags & MessageBoxLeftAligned) != 0))
        Print("               " + line);
    if (!Host.AnswerMessageBox) return Problem("no session answers the message box; closed with Esc"), -1;
    const int32_t chosen = Host.AnswerMessageBox(buttons);
    if (chosen < 0) return Say("", "message box closed with Esc"), -1;
    Say("", "closed with the button " + Quoted(buttons[static_cast<size_t>(chosen)]));
    return chosen;
}

// The services as the plug-in calls them: no exception goes back into it.
const char* __stdcall ServeMessage(intptr_t moduleId, int32_t messageId) {
    try {
        return ServeMessageBody(moduleId, messageId);
    } catch (...) {
        return "";
    }
}

int32_t __stdcall ServeMessageBox(intptr_t moduleId, uint32_t flags, const char* helpTopic, const char* const* items,
                                  int32_t itemCount, int32_t buttonCount) {
    try {
        return ServeMessageBoxBody(moduleId, flags, helpTopic, items, itemCount, buttonCount);
    } catch (...) {
        return -1;
    }
}

int32_t __stdcall ServePanelControl(intptr_t panelId, int32_t command, void* parameter) {
    try {
        return ServePanelControlBody(panelId, command, parameter);
    } catch (...) {
        return 0;
    }
}

int32_t __stdcall ServeNameMatch(const char* pattern, const char* name, int32_t flag) {
    try {
        return ServeNameMatchBody(pattern, name, flag);
    } catch (...) {
        return 0;
    }
}

int32_t __stdcall ServeDialog(intptr_t moduleId, int32_t left, int32_t top, int32_t right, int32_t bottom,
                              const char* topic, DialogItemRecord* items, int32_t itemCount) {
    try {
        return ServeDialogBody(moduleId, left, top, right, bottom, topic, items, itemCount);
    } catch (...) {
        return -1;
    }
}

}  // namespace

StartupRecord StandInStartupRecord(const char* registryRoot) {
    return MakeStartupRecord(
        {HostModuleId, ServeDialog, ServeMessageBox, ServeMessage, ServePanelControl, ServeNameMatch}, registryRoot);
}

bool ApplyEdit(DialogItemRecord* items, int32_t count, const DialogAnswer& answer) {
    const int32_t edit = EditFieldIndex(items, count);
    if (edit < 0) return Say("", "the dialog has no edit field to type into"), false;
    DialogItemRecord& field = items[edit];
    const std::string text = answer.Kind == AnswerKind::Set ? answer.Text : ItemText(field) + answer.Text;
    std::memset(field.Text, 0, sizeof field.Text);
    const size_t length = std::min(text.size(), DialogItemTextSize - 1);
    std::memcpy(field.Text, text.data(), length);
    if (length < text.size()) Say("", "(the field holds 511 characters: the rest is cut)");
    Say("", "edit field now " + Quoted(OemToUtf8(ItemText(field))));
    return true;
}

int32_t CloseWith(DialogItemRecord* items, int32_t count, const DialogAnswer& answer) {
    const int32_t edit = EditFieldIndex(items, count);
    if (edit >= 0) Host.LastDialog.EditText = ItemText(items[edit]);
    if (answer.Kind == AnswerKind::Escape) {
        Say("", "dialog closed without a button");
        return -1;
    }
    const int32_t index = ButtonIndex(items, count, answer);
    if (index < 0) {
        Problem("the dialog has no such button; closed without one");
        return -1;
    }
    Host.LastDialog.Button = OemToUtf8(ItemText(items[index]));
    Say("", "closed with the button " + Quoted(Host.LastDialog.Button));
    return index;
}
