// lanternix-host: a small stand-in for the file manager that loads the
// plug-in. It serves a panel made from a real folder, the texts of the
// plug-in's language file, a wildcard matcher and a text dialog, feeds the
// plug-in console key events, shows every synthetic key the plug-in sends and
// acts on it as the file manager would.
//
//   lanternix-host [options] FOLDER                interactive: one invocation per key press
//   lanternix-host [options] --script FILE FOLDER  a scripted session, printed as a transcript

#include <windows.h>

#include <cstdio>

#include "relay/plugin_constants.h"
#include "tools/host/help_window.h"
#include "tools/host/interactive_session.h"
#include "tools/host/key_loop.h"
#include "tools/host/options.h"
#include "tools/host/plugin_services.h"
#include "tools/host/plugin_session.h"
#include "tools/host/scripted_session.h"
#include "tools/host/stored_settings.h"
#include "tools/host/text.h"
#include "tools/host/transcript.h"
#include "tools/hostkit/console_input.h"
#include "tools/hostkit/paths.h"

namespace {

// The language file the file manager would take, a note when it is not the
// one asked for, and the files it passed over.
bool ChooseMessages(const Options& options, std::string& note, std::vector<std::string>& skipped, std::string& error) {
    if (!options.MessagesPath.empty()) {
        std::string reason;
        if (ReadLanguageFile(options.MessagesPath, GetOEMCP(), Host.Messages, reason)) return true;
        return error = "cannot use the language file " + options.MessagesPath + ": " + reason, false;
    }
    std::vector<LanguageFile> files;
    if (!ReadLanguageFiles(FolderOf(ThePlugin->Dll.File()), GetOEMCP(), files, skipped, error)) return false;
    Host.Messages = files[static_cast<size_t>(ChooseLanguageFile(files, options.Language))];
    if (!EqualsIgnoringCase(Host.Messages.Name, options.Language))
        note = "; no file is for " + Quoted(options.Language) + ", the languages here are " + LanguageNames(files);
    return true;
}

BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    EndOnCtrlC();
}

int Fail(const std::string& reason) {
    PrintError(std::string(LANTERNIX_HOST_NAME) + ": " + reason);
    return ExitSetupError;
}

int Run() {
    Options options;
    std::string error;
    if (!ParseOptions(CommandLineArguments(), options, error)) return Fail(error + " (--help shows the options)");
    if (options.Help) return PrintUsage(), ExitSuccess;

    // The plug-in first: its folder holds the language files.
    static LoadedPlugin plugin(options.PluginPath.empty() ? PluginDll::Path() : options.PluginPath);
    ThePlugin = &plugin;
    plugin.Dll.OtherWidthHost = LANTERNIX_OTHER_WIDTH_HOST;
    if (!plugin.Dll.Load(error)) return Fail(error);
    std::string languageNote;
    std::vector<std::string> skippedFiles;
    if (!ChooseMessages(options, languageNote, skippedFiles, error)) return Fail(error);

    HelpLanguage = options.HelpLanguage;
    std::vector<ScriptStep> steps;
    if (!options.Script.empty()) {
        std::string content;
        std::string reason;
        if (!ReadWholeFile(options.Script, content, reason))
            return Fail("cannot read the script " + options.Script + ": " + reason);
        if (!ParseScript(content, steps, error)) return Fail(options.Script + ", " + error);
    }
    std::string folder;
    if (!FolderPath(options.Folder, folder, error)) return Fail(error);
    if (!ConsoleInputAvailable())
        return Fail("standard input must be a console: the plug-in reads its key events from there");
    if (!Capture.Start()) return Fail("cannot install the keyboard hook that catches the plug-in's keys");
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);

    Print("Lanternix stand-in host");
    // Files the user named are shown as named; the ones beside the host by name only.
    const std::string pluginName = FileName(plugin.Dll.File());
    Say("plug-in", options.PluginPath.empty() ? pluginName : options.PluginPath);
    const std::string readAs = ReadAs(Host.Messages);
    Say("messages", (options.MessagesPath.empty() ? Host.Messages.FileName : options.MessagesPath) + " (" +
                        (Host.Messages.Name.empty() ? "unnamed" : Host.Messages.Name) + languageNote + ")" +
                        (readAs.empty() ? "" : ", " + readAs));
    for (const std::string& skipped : skippedFiles) Problem(skipped);
    SettingsRoot = options.RegistryRoot;
    Say("registry", "HKEY_CURRENT_USER\\" + PluginKeyPath() + ", value " + PatternListValueName);
    if (options.ResetSettings) {
        DeletePluginKey();
        Say("", "deleted first, so the plug-in starts from its default list");
    }
    Say("list", ListInUse());
    HandOverStartupRecord();
    Say("load", pluginName + " loaded and handed the start-up record");
    if (!options.Bindings.empty()) {
        Bind(options.Bindings);
        Say("bound", BoundKeys() + ": the file manager invokes the plug-in for each");
    }
    Host.ThePanel = Panel(options.Rows);
    Host.FolderPath = folder;
    FolderListing listing;
    if (!ListFolder(folder, listing, error)) return Fail(error);
    Host.ThePanel.SetItems(std::move(listing));

    const int status = options.Script.empty() ? RunInteractive() : RunScript(steps);
    plugin.Dll.Unload();
    return status;
}

}  // namespace

int main() {
    StartTranscript();
    try {
        return Run();
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
}
