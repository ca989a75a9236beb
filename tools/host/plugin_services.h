// The services the stand-in host hands the plug-in in its start-up record:
// message texts, the panel, the name match and the dialog, and the state
// they serve.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/host_interface.h"
#include "tools/host/dialog.h"
#include "tools/host/language_file.h"
#include "tools/host/panel.h"

// How the plug-in's last dialog ended.
struct DialogOutcome {
    bool Shown = false;
    std::string Button;    // the closing button's text (UTF-8); empty when closed without one
    std::string EditText;  // the edit field's text when it closed, in the OEM code page

    // F1 in the dialog shows the help topic it names (UTF-8); without one, nothing.
    bool HasHelpTopic = false;
    std::string HelpTopic;
};

// How a shown dialog is answered: the index of the closing button, or -1.
using DialogAnswerer = std::function<int32_t(DialogItemRecord* items, int32_t count)>;

// How a shown message box is answered, given its buttons' texts (UTF-8): the
// index of the chosen button, or -1 for Esc.
using MessageBoxAnswerer = std::function<int32_t(const std::vector<std::string>& buttons)>;

struct HostState {
    Panel ThePanel;
    std::string FolderPath;  // the folder shown, its full path in UTF-8
    LanguageFile Messages;
    // Set by the session that runs: from its script, or at the keyboard.
    DialogAnswerer AnswerDialog;
    MessageBoxAnswerer AnswerMessageBox;
    DialogOutcome LastDialog;
    int MessageBoxesShown = 0;  // so far, drawn for the user
};
extern HostState Host;

// The start-up record with the host's services; the root must outlive it.
StartupRecord StandInStartupRecord(const char* registryRoot);

// Closes the dialog with the answer: the index of the closing button, or -1.
int32_t CloseWith(DialogItemRecord* items, int32_t count, const DialogAnswer& answer);
// Sets or appends the answer's text in the edit field; false when there is none.
bool ApplyEdit(DialogItemRecord* items, int32_t count, const DialogAnswer& answer);
