// The command line read and parsed into Options, and the usage text.
#include "tools/host/options.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "relay/plugin_constants.h"
#include "tools/host/session_script.h"
#include "tools/host/text.h"
#include "tools/host/transcript.h"

const char DefaultRegistryRoot[] = "Software\\LanternixHost\\Plugins";

namespace {
// The plug-in's settings path, the root and then SettingsKeyName, must fit 79
// characters.
constexpr size_t LongestRegistryRoot = 79 - (sizeof SettingsKeyName - 1);
constexpr int32_t MostRows = 200;
}  // namespace

std::vector<std::string> CommandLineArguments() {
    int count = 0;
    // The array is one block the system allocated, given back with LocalFree.
    const std::unique_ptr<wchar_t*, decltype(&LocalFree)> arguments(CommandLineToArgvW(GetCommandLineW(), &count),
                                                                    &LocalFree);
    std::vector<std::string> result;
    for (int i = 1; arguments && i < count; ++i) result.push_back(Narrow(arguments.get()[i]));
    return result;
}

void PrintUsage() {
    const std::string lines[] = {
        std::string("Usage: ") + LANTERNIX_HOST_NAME + " [options] FOLDER",
        "  Loads the plug-in, shows FOLDER as the file panel and lets the plug-in act on it.",
        "  Without --script it is interactive: each key press is one invocation of the plug-in.",
        "",
        "Options:",
        "  --script FILE         run a session script (UTF-8) and print a transcript",
        "  --plugin FILE         the plug-in (default: Lanternix.dll beside this program)",
        "  --language NAME       the language file (*.lng beside the plug-in) whose .Language is NAME;",
        "                        English when there is none, else the last one in the folder",
        "                        (default: English); the texts are in the system's OEM code page",
        "  --messages FILE       the language file to use instead",
        "  --help-language NAME  the help file (*.hlf beside the plug-in) whose .Language is NAME;",
        "                        English when there is none, else the last one (default: English)",
        "  --registry-root PATH  settings root under HKEY_CURRENT_USER, at most " +
            std::to_string(LongestRegistryRoot) + " characters",
        "                        (default: " + std::string(DefaultRegistryRoot) + ")",
        "  --reset-settings      delete the plug-in's stored settings before loading it",
        "  --rows N              rows the panel shows, 1 to 200 (default: 20)",
        "  --bind KEYS           with --script: bind the keys (blank-separated, named as a",
        "                        macro file's key line names them, such as \"CtrlDown CtrlUp\")",
        "                        to invoking the plug-in, as the script's bind command does",
        "",
        "Interactive keys (a terminal does not report Ctrl on its own):",
        "  Space       stands for releasing Ctrl: the plug-in opens the item under the cursor",
        "  other keys  go to the plug-in as they are (Ctrl+arrow ends with a Ctrl release)",
        "  F1  help and the panel   F2  the settings dialog   F5  restart the plug-in",
        "  Shift+F1    the plug-in's help, as on its plug-in menu entry",
        "  Shift+F2    the plug-in's help, as on its configuration menu entry",
        "              (in the help: Tab chooses a link, Enter follows it, Esc closes)",
        "  F10 or Esc  quit         Ctrl+C  stop at once",
        "",
        "Script commands, one a line (# starts a comment):",
        "  press KEY, release KEY   one console key event, then one invocation of the plug-in",
        "  bind KEYS                bind keys (such as CtrlDown CtrlUp) to invoking the plug-in",
        "  type EVENTS              key events typed one at a time, each read before the next:",
        "                           +KEY pressed, -KEY released, KEY both, +KEY*N N key-downs",
        "                           (auto-repeat); the host reads them as the file manager does",
        "                           and invokes the plug-in for a bound key",
        "  type-ahead EVENTS        the same, all in the console queue before the host reads",
        "  config                   the settings dialog; answer it on the next lines with",
        "                           set TEXT, append TEXT, F1 (its help), then button N,",
        "                           button TEXT or escape",
        "  menu, panel, registry    show the menu entries, the panel, the stored list",
        "  cursor NAME, cursor N    the host moves its own cursor",
        "  restart                  unload the plug-in and load it again",
        "  say TEXT                 a heading in the transcript",
        "  help menu, help config   Shift+F1 on the plug-in's menu or configuration menu entry",
        "  follow TEXT              follow the link of that text on the help page shown",
        "",
        "Exit codes: 0 all went well, 1 the transcript marks problems, 2 a usage or set-up",
        "error, 3 the plug-in did not return within 10 seconds, 4 stopped with Ctrl+C.",
    };
    for (const std::string& line : lines) Print(line);
}

bool ParseOptions(const std::vector<std::string>& arguments, Options& options, std::string& error) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        auto value = [&](std::string& target) {
            if (i + 1 >= arguments.size()) return error = arg + " needs a value", false;
            target = arguments[++i];
            return true;
        };
        if (arg == "--script") {
            if (!value(options.Script)) return false;
        } else if (arg == "--plugin") {
            if (!value(options.PluginPath)) return false;
        } else if (arg == "--language") {
            if (!value(options.Language)) return false;
        } else if (arg == "--help-language") {
            if (!value(options.HelpLanguage)) return false;
        } else if (arg == "--messages") {
            if (!value(options.MessagesPath)) return false;
        } else if (arg == "--registry-root") {
            if (!value(options.RegistryRoot)) return false;
        } else if (arg == "--bind") {
            std::string names;
            std::vector<std::string> chords;
            if (!value(names)) return false;
            if (!ParseBindings(names, chords, error)) return error = "--bind: " + error, false;
            options.Bindings.insert(options.Bindings.end(), chords.begin(), chords.end());
        } else if (arg == "--reset-settings") {
            options.ResetSettings = true;
        } else if (arg == "--rows") {
            std::string rows;
            if (!value(rows)) return false;
            const bool digits =
                !rows.empty() && rows.size() <= 3 && rows.find_first_not_of("0123456789") == std::string::npos;
            options.Rows = digits ? std::stoi(rows) : 0;
            if (options.Rows < 1 || options.Rows > MostRows)
                return error = "--rows needs a number from 1 to " + std::to_string(MostRows) + ", not " + rows, false;
        } else if (arg == "--help" || arg == "-h") {
            options.Help = true;
            return true;
        } else if (!arg.empty() && arg[0] == '-') {
            return error = "unknown option " + arg, false;
        } else if (options.Folder.empty()) {
            options.Folder = arg;
        } else {
            return error = "only one folder, please: " + arg, false;
        }
    }
    if (options.Folder.empty()) return error = "which folder should the panel show?", false;
    if (!options.Bindings.empty() && options.Script.empty())
        return error = "--bind needs --script: at the keyboard each key invokes the plug-in itself", false;
    if (options.RegistryRoot.size() > LongestRegistryRoot)
        return error = "--registry-root may have at most " + std::to_string(LongestRegistryRoot) + " characters", false;
    return true;
}
