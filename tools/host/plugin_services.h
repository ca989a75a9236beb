// The services the stand-in host hands the plug-in in its start-up record:
// message texts, the panel, the name match and the dialog, and the state
// they serve.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/host_interface.h"
#include "tools/host/dialog.h"
#include "tools/host/language_file.h"
#include "tools/host/panel.h"

constexpr int32_t HostModuleId = 0x4C48;

// How the plug-in's last dialog ended.
struct DialogOutcome {
    bool Shown = false;
    std::string Button;    // the closing button's text (UTF-8); empty when closed without one
    std::string EditText;  // the edit field's text when it closed, in the OEM code page
};

struct HostState {
    Panel ThePanel;
    std::string FolderPath;  // the folder shown, its full path in UTF-8
    LanguageFile Messages;
    // Scripted answers for the dialog; null in an interactive session.
    const std::vector<DialogAnswer>* Answers = nullptr;
    size_t NextAnswer = 0;
    DialogOutcome LastDialog;
};
extern HostState Host;

// The start-up record with the host's services; the root must outlive it.
StartupRecord StandInStartupRecord(const char* registryRoot);

// Closes the dialog with the answer: the index of the closing button, or -1.
int32_t CloseWith(DialogItemRecord* items, int32_t count, const DialogAnswer& answer);
// Sets or appends the answer's text in the edit field; false when there is none.
bool ApplyEdit(DialogItemRecord* items, int32_t count, const DialogAnswer& answer);
