// lanternix-host: a small stand-in for the file manager that loads the
// plug-in. It serves a panel made from a real folder, the message texts of the
// plug-in's language file, a wildcard matcher and a text dialog, feeds the
// plug-in console key events and shows every synthetic key the plug-in sends.
//
//   lanternix-host [options] FOLDER              interactive: one invocation per key press
//   lanternix-host [options] --script FILE FOLDER  a scripted session, printed as a transcript

#include <fcntl.h>
#include <io.h>
#include <shlwapi.h>
#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/host_logic.h"
#include "host/language_file.h"
#include "hostkit/key_hook.h"

namespace {

const char DefaultRegistryRoot[] = "Software\\LanternixHost\\Plugins";
const char PluginKeyName[] = "Lanternix";  // the key the plug-in makes under the root
const char PatternValueName[] = "EnterExt";
constexpr int32_t HostModuleId = 0x4C48;
constexpr DWORD InvocationTimeout = 10000;  // ms; a plug-in that blocks longer is stuck
// The plug-in's settings path must fit 79 characters: the root and "\Lanternix".
constexpr size_t LongestRegistryRoot = 69;

// ---- output ------------------------------------------------------------------

void Print(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stdout, format, args);
    va_end(args);
    std::fputc('\n', stdout);
}

// A labelled line of the transcript: the label in a column of its own.
void Say(const char* label, const std::string& text) {
    std::string line = text;
    line.erase(line.find_last_not_of(' ') + 1);
    Print("    %-11s%s", label, line.c_str());
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%02lX", static_cast<unsigned long>(value));
    return text;
}

// ---- options -----------------------------------------------------------------

struct Options {
    std::string Folder;
    std::string Script;
    std::string PluginPath;
    std::string MessagesPath;
    std::string Language = "English";
    std::string RegistryRoot = DefaultRegistryRoot;
    bool ResetSettings = false;
    int32_t Rows = 20;
};

void PrintUsage() {
    Print("Usage: lanternix-host [options] FOLDER");
    Print("  Loads the plug-in, shows FOLDER as the file panel and lets the plug-in act on it.");
    Print("  Without --script it is interactive: each key press is one invocation of the plug-in.");
    Print("Options:");
    Print("  --script FILE         run a session script and print a transcript");
    Print("  --plugin FILE         the plug-in (default: Lanternix.dll beside this program)");
    Print("  --language NAME       the language file (*.lng beside the plug-in) whose .Language is NAME;");
    Print("                        English when there is none, else any one (default: English)");
    Print("  --messages FILE       the language file to use instead");
    Print("  --registry-root PATH  settings root under HKEY_CURRENT_USER (default: %s)", DefaultRegistryRoot);
    Print("  --reset-settings      delete the plug-in's stored settings before loading it");
    Print("  --rows N              rows the panel shows (default: 20)");
}

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& target) {
            if (i + 1 >= argc) return error = arg + " needs a value", false;
            target = argv[++i];
            return true;
        };
        if (arg == "--script") {
            if (!value(options.Script)) return false;
        } else if (arg == "--plugin") {
            if (!value(options.PluginPath)) return false;
        } else if (arg == "--language") {
            if (!value(options.Language)) return false;
        } else if (arg == "--messages") {
            if (!value(options.MessagesPath)) return false;
        } else if (arg == "--registry-root") {
            if (!value(options.RegistryRoot)) return false;
        } else if (arg == "--reset-settings") {
            options.ResetSettings = true;
        } else if (arg == "--rows") {
            std::string rows;
            if (!value(rows)) return false;
            options.Rows = std::atoi(rows.c_str());
            if (options.Rows < 1) return error = "--rows needs a number from 1", false;
        } else if (arg == "--help" || arg == "-h") {
            PrintUsage();
            std::exit(0);
        } else if (!arg.empty() && arg[0] == '-') {
            return error = "unknown option " + arg, false;
        } else if (options.Folder.empty()) {
            options.Folder = arg;
        } else {
            return error = "only one folder, please: " + arg, false;
        }
    }
    if (options.Folder.empty()) return error = "which folder should the panel show?", false;
    if (options.RegistryRoot.size() > LongestRegistryRoot)
        return error = "--registry-root may have at most 69 characters", false;
    return true;
}

std::string FileName(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

bool ReadWholeFile(const std::string& path, std::string& content) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::ostringstream text;
    text << file.rdbuf();
    content = text.str();
    return true;
}

// ---- what the plug-in asks of the host during one call ----------------------

// One line of the trace, or a run of name matches for one name, which is shown
// as one line however many patterns were tried.
struct TraceEntry {
    std::string Text;
    bool IsMatch = false;
    std::string MatchName;
    std::vector<std::string> Patterns;
    bool Matched = false;
};
std::vector<TraceEntry> Trace;

void Note(const std::string& text) { Trace.push_back({text, false, "", {}, false}); }

std::string PatternSpan(const std::vector<std::string>& patterns) {
    auto shown = [](const std::string& p) { return p.empty() ? std::string("(empty)") : p; };
    if (patterns.size() <= 4) {
        std::string text;
        for (const std::string& p : patterns) text += (text.empty() ? "" : ", ") + shown(p);
        return text;
    }
    return std::to_string(patterns.size()) + " patterns (" + shown(patterns.front()) + " ... " +
           shown(patterns.back()) + ")";
}

std::string Describe(const TraceEntry& entry) {
    if (!entry.IsMatch) return entry.Text;
    std::string text = "checked " + Quoted(entry.MatchName) + " against " + PatternSpan(entry.Patterns) + ": ";
    return text + (entry.Matched ? "matches " + entry.Patterns.back() : "no match");
}

void PrintTrace() {
    bool first = true;
    for (const TraceEntry& entry : Trace) {
        Say(first ? "plug-in" : "", Describe(entry));
        first = false;
    }
    Trace.clear();
}

// ---- host services -------------------------------------------------------------

struct HostState {
    Panel ThePanel;
    LanguageFile Messages;
    // Scripted answers for the dialog; null in an interactive session.
    const std::vector<DialogAnswer>* Answers = nullptr;
    size_t NextAnswer = 0;
    bool DialogShown = false;
} Host;

void CheckModuleId(int32_t moduleId, const char* service) {
    if (moduleId != HostModuleId)
        Note(std::string(service) + " was given module id " + std::to_string(moduleId) + ", not the host's " +
             std::to_string(HostModuleId));
}

const char* MessageServiceBody(int32_t moduleId, int32_t messageId) {
    CheckModuleId(moduleId, "MessageService");
    std::string problem;
    const char* text = MessageText(Host.Messages, messageId, problem);
    if (!problem.empty()) Note("PROBLEM: " + problem);
    return text;
}

std::string ItemLabel(int32_t index) {
    const Panel& panel = Host.ThePanel;
    if (index < 0 || index >= panel.Count()) return "no item";
    return Quoted(panel.NameAt(index)) + " (" + std::to_string(index) + ")";
}

int32_t PanelControlServiceBody(int32_t panelId, int32_t command, void* parameter) {
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

// The platform's file-name match: * and ?, any case. The plain form is used
// so that a ';' in a pattern is an ordinary character, not a separator.
int32_t NameMatchServiceBody(const char* pattern, const char* name, int32_t flag) {
    if (pattern == nullptr || name == nullptr) return Note("asked for a name match without a name or pattern"), 0;
    const bool matched = PathMatchSpecExA(name, pattern, PMSF_NORMAL) == S_OK;
    if (flag != NameMatchFlag) Note("asked for a name match with flag " + std::to_string(flag));
    if (Trace.empty() || !Trace.back().IsMatch || Trace.back().MatchName != name || Trace.back().Matched)
        Trace.push_back({"", true, name, {}, false});
    Trace.back().Patterns.push_back(pattern);
    Trace.back().Matched = matched;
    return matched ? 1 : 0;
}

// ---- dialogs ---------------------------------------------------------------------

void ShowDialog(const DialogItemRecord* items, int32_t count, int32_t width, int32_t height) {
    std::vector<std::string> lines = DrawDialog(items, count, width, height);
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    size_t first = 0;
    while (first < lines.size() && lines[first].empty()) ++first;
    for (size_t i = first; i < lines.size(); ++i) Print("            %s", lines[i].c_str());
}

void SetEditText(DialogItemRecord& item, const std::string& text) {
    std::memset(item.Text, 0, sizeof item.Text);
    const size_t length = std::min(text.size(), DialogItemTextSize - 1);
    std::memcpy(item.Text, text.data(), length);
    if (length < text.size()) Say("", "(the field holds 511 characters: the rest is cut)");
}

bool ApplyEdit(DialogItemRecord* items, int32_t count, const DialogAnswer& answer) {
    const int32_t edit = EditFieldIndex(items, count);
    if (edit < 0) return Say("", "the dialog has no edit field to type into"), false;
    DialogItemRecord& field = items[edit];
    SetEditText(field, answer.Kind == AnswerKind::Set ? answer.Text : ItemText(field) + answer.Text);
    Say("", "edit field now " + Quoted(ItemText(field)));
    return true;
}

int32_t CloseWith(DialogItemRecord* items, int32_t count, const DialogAnswer& answer) {
    if (answer.Kind == AnswerKind::Escape) {
        Say("", "dialog closed without a button");
        return -1;
    }
    const int32_t index = ButtonIndex(items, count, answer);
    if (index < 0) {
        Say("", "the dialog has no such button; closed without one");
        return -1;
    }
    Say("", "closed with the button " + Quoted(ItemText(items[index])) + ", item " + std::to_string(index));
    return index;
}

std::string Describe(const DialogAnswer& answer) {
    switch (answer.Kind) {
        case AnswerKind::Set: return "set " + Quoted(answer.Text);
        case AnswerKind::Append: return "append " + Quoted(answer.Text);
        case AnswerKind::Escape: return "escape";
        case AnswerKind::Button: return "button " + (answer.Button > 0 ? std::to_string(answer.Button) : answer.Text);
    }
    return "";
}

HANDLE ConsoleInput() { return GetStdHandle(STD_INPUT_HANDLE); }

// A line typed at the console, without its line end.
std::string ReadConsoleLine() {
    HANDLE input = ConsoleInput();
    DWORD mode = 0;
    GetConsoleMode(input, &mode);
    FlushConsoleInputBuffer(input);
    SetConsoleMode(input, ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_PROCESSED_INPUT | ENABLE_EXTENDED_FLAGS);
    char buffer[1024];
    DWORD got = 0;
    if (!ReadConsoleA(input, buffer, sizeof buffer - 1, &got, nullptr)) got = 0;
    SetConsoleMode(input, mode);
    std::string line(buffer, got);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return line;
}

int32_t AnswerInteractively(DialogItemRecord* items, int32_t count) {
    const int32_t edit = EditFieldIndex(items, count);
    if (edit >= 0) {
        std::printf("    New text (Enter keeps it, +TEXT adds TEXT at the end): ");
        std::fflush(stdout);
        const std::string line = ReadConsoleLine();
        if (!line.empty())
            ApplyEdit(items, count, {line[0] == '+' ? AnswerKind::Append : AnswerKind::Set,
                                     line[0] == '+' ? line.substr(1) : line, 0, 0});
    }
    std::string choices;
    int32_t number = 0;
    for (int32_t i = 0; i < count; ++i)
        if (items[i].ItemType == ButtonType)
            choices += (choices.empty() ? "" : ", ") + std::to_string(++number) + " " + Quoted(ItemText(items[i]));
    std::printf("    Close with a button (%s; anything else closes without one): ", choices.c_str());
    std::fflush(stdout);
    DialogAnswer answer;
    const std::string line = Trim(ReadConsoleLine());
    if (!ParseAnswer("button " + line, answer)) answer = {AnswerKind::Escape, "", 0, 0};
    if (answer.Kind == AnswerKind::Button && ButtonIndex(items, count, answer) < 0)
        answer = {AnswerKind::Escape, "", 0, 0};
    return CloseWith(items, count, answer);
}

int32_t DialogServiceBody(int32_t moduleId, int32_t left, int32_t top, int32_t right, int32_t bottom,
                          const char* topic, DialogItemRecord* items, int32_t itemCount) {
    CheckModuleId(moduleId, "DialogService");
    PrintTrace();
    if (items == nullptr || itemCount <= 0) return Say("dialog", "asked for a dialog without items"), -1;
    Host.DialogShown = true;
    std::string where = left == -1 && top == -1 ? "centred" : "at " + std::to_string(left) + "," + std::to_string(top);
    Say("dialog", "the plug-in shows a dialog: " + std::to_string(right) + " x " + std::to_string(bottom) + ", " +
                      where + ", " + std::to_string(itemCount) + " items" +
                      (topic != nullptr ? ", help topic " + Quoted(topic) : ""));
    ShowDialog(items, itemCount, right, bottom);
    const int32_t edit = EditFieldIndex(items, itemCount);
    if (edit >= 0) Say("", "edit field holds " + Quoted(ItemText(items[edit])));

    if (Host.Answers == nullptr) return AnswerInteractively(items, itemCount);
    while (Host.NextAnswer < Host.Answers->size()) {
        const DialogAnswer& answer = (*Host.Answers)[Host.NextAnswer++];
        Say("answer", Describe(answer));
        if (answer.Kind == AnswerKind::Set || answer.Kind == AnswerKind::Append)
            ApplyEdit(items, itemCount, answer);
        else
            return CloseWith(items, itemCount, answer);
    }
    Say("", "no answer left in the script: closed without a button");
    return -1;
}

// The services as the plug-in calls them: no exception goes back into it.
const char* __stdcall MessageService(int32_t moduleId, int32_t messageId) {
    try {
        return MessageServiceBody(moduleId, messageId);
    } catch (...) {
        return "";
    }
}

int32_t __stdcall PanelControlService(int32_t panelId, int32_t command, void* parameter) {
    try {
        return PanelControlServiceBody(panelId, command, parameter);
    } catch (...) {
        return 0;
    }
}

int32_t __stdcall NameMatchService(const char* pattern, const char* name, int32_t flag) {
    try {
        return NameMatchServiceBody(pattern, name, flag);
    } catch (...) {
        return 0;
    }
}

int32_t __stdcall DialogService(int32_t moduleId, int32_t left, int32_t top, int32_t right, int32_t bottom,
                                const char* topic, DialogItemRecord* items, int32_t itemCount) {
    try {
        return DialogServiceBody(moduleId, left, top, right, bottom, topic, items, itemCount);
    } catch (...) {
        return -1;
    }
}

// ---- the plug-in -------------------------------------------------------------------

using SetStartupInfoProc = void(__stdcall*)(const StartupRecord*);
using GetPluginInfoProc = void(__stdcall*)(PluginInfoRecord*);
using OpenPluginProc = int32_t(__stdcall*)(int32_t, int32_t);
using ConfigureProc = int32_t(__stdcall*)(int32_t);

struct Plugin {
    std::string Path;
    HMODULE Module = nullptr;
    SetStartupInfoProc SetStartupInfo = nullptr;
    GetPluginInfoProc GetPluginInfo = nullptr;
    OpenPluginProc OpenPlugin = nullptr;
    ConfigureProc Configure = nullptr;
    std::string RegistryRoot;  // kept alive: the plug-in reads it during SetStartupInfo
    StartupRecord Record{};

    template <typename Proc>
    Proc Find(const char* name) {
        return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(Module, name)));
    }

    bool Load(std::string& error) {
        Module = LoadLibraryA(Path.c_str());
        if (Module == nullptr) return error = "cannot load the plug-in " + Path, false;
        SetStartupInfo = Find<SetStartupInfoProc>("SetStartupInfo");
        GetPluginInfo = Find<GetPluginInfoProc>("GetPluginInfo");
        OpenPlugin = Find<OpenPluginProc>("OpenPlugin");
        Configure = Find<ConfigureProc>("Configure");
        if (!SetStartupInfo || !GetPluginInfo || !OpenPlugin || !Configure)
            return error = FileName(Path) + " lacks one of SetStartupInfo, GetPluginInfo, OpenPlugin, Configure", false;
        Record = StartupRecord{};
        Record.ModuleId = HostModuleId;
        Record.RegistryRoot = RegistryRoot.c_str();
        Record.DialogService = DialogService;
        Record.MessageService = MessageService;
        Record.PanelControlService = PanelControlService;
        Record.NameMatchService = NameMatchService;
        SetStartupInfo(&Record);
        return true;
    }

    // True when the library really left the process.
    bool Unload() {
        if (Module == nullptr) return true;
        FreeLibrary(Module);
        Module = nullptr;
        SetStartupInfo = nullptr;
        GetPluginInfo = nullptr;
        OpenPlugin = nullptr;
        Configure = nullptr;
        return GetModuleHandleA(Path.c_str()) == nullptr;
    }
} ThePlugin;

// Ends the program when a call into the plug-in does not come back: the
// plug-in blocks on an empty console queue, and a session must not hang.
class Watchdog {
public:
    explicit Watchdog(const char* what) : what_(what) {
        done_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, Watch, this, 0, nullptr);
    }
    ~Watchdog() {
        SetEvent(done_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        CloseHandle(done_);
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    static DWORD WINAPI Watch(LPVOID self) {
        auto* dog = static_cast<Watchdog*>(self);
        if (WaitForSingleObject(dog->done_, InvocationTimeout) == WAIT_TIMEOUT) {
            Print("    STUCK     %s did not return within %lu seconds; the host gives up", dog->what_,
                  static_cast<unsigned long>(InvocationTimeout / 1000));
            std::fflush(stdout);
            TerminateProcess(GetCurrentProcess(), 3);
        }
        return 0;
    }
    const char* what_;
    HANDLE done_;
    HANDLE thread_;
};

// ---- the session ---------------------------------------------------------------------

InjectedKeyHook Capture;
bool Failed = false;  // something the transcript flags happened

std::string PatternKeyPath(const Options& options) { return options.RegistryRoot + "\\" + PluginKeyName; }

void ShowMenu() {
    PluginInfoRecord info{};
    {
        Watchdog dog("GetPluginInfo");
        ThePlugin.GetPluginInfo(&info);
    }
    PrintTrace();
    if (info.RecordSize != static_cast<int32_t>(sizeof info))
        Say("", "record size given as " + std::to_string(info.RecordSize) + ", expected 40");
    auto entries = [](const std::string& what, const char* label, const char* const* texts, int32_t count) {
        if (texts == nullptr || count <= 0) return Say(label, what + "(none)");
        for (int32_t i = 0; i < count; ++i)
            Say(i == 0 ? label : "", what + (texts[i] != nullptr ? Quoted(texts[i]) : "(no text)"));
    };
    entries("plug-in menu entry ", "menu", info.MenuEntryTexts, info.MenuEntryCount);
    entries("configuration menu entry ", "", info.ConfigEntryTexts, info.ConfigEntryCount);
}

void ShowPanel(const std::string& folderName) {
    const Panel& panel = Host.ThePanel;
    Say("panel", "folder " + Quoted(folderName) + ", " + std::to_string(panel.Count()) + " items, cursor on " +
                     ItemLabel(panel.Current()));
    const int32_t end = std::min(panel.Count(), panel.Top() + panel.Rows());
    if (panel.Top() > 0) Say("", "  (" + std::to_string(panel.Top()) + " above)");
    for (int32_t i = panel.Top(); i < end; ++i) {
        char line[400];
        std::snprintf(line, sizeof line, "%s %2ld  %-24s%s", i == panel.Current() ? "->" : "  ",
                      static_cast<long>(i), panel.NameAt(i).c_str(), panel.IsDirectory(i) ? "  <folder>" : "");
        Say("", line);
    }
    if (end < panel.Count()) Say("", "  (" + std::to_string(panel.Count() - end) + " below)");
}

void ShowRegistry(const Options& options) {
    const std::string path = PatternKeyPath(options);
    HKEY key = nullptr;
    std::string text;
    bool found = false;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        char data[8192] = {};
        DWORD size = sizeof data - 1, type = 0;
        found = RegQueryValueExA(key, PatternValueName, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) ==
                ERROR_SUCCESS;
        text.assign(data, strnlen(data, sizeof data));
        RegCloseKey(key);
    }
    if (found)
        Say("registry", std::string(PatternValueName) + " = " + Quoted(text));
    else
        Say("registry", std::string("no value ") + PatternValueName + " stored: the plug-in uses its default list");
}

std::string KeyLine(const SentKey& key) {
    char line[160];
    std::snprintf(line, sizeof line, "%-6s %-5s extra %-3lu (vk %s, scan %s%s%s)", VirtualKeyName(key.VirtualKey).c_str(),
                  key.Up() ? "up" : "down", static_cast<unsigned long>(key.ExtraInfo), Hex(key.VirtualKey).c_str(),
                  Hex(key.ScanCode).c_str(), FlagWords(key.Flags).empty() ? "" : ", ",
                  FlagWords(key.Flags).c_str());
    return line;
}

// What the file manager makes of Enter or F3 on the item under its cursor.
void ExplainOpening(const std::vector<SentKey>& keys) {
    const Panel& panel = Host.ThePanel;
    const std::string item = Quoted(panel.NameAt(panel.Current()));
    for (const SentKey& key : keys) {
        if (key.Up()) continue;
        if (key.VirtualKey == VK_RETURN)
            return Say("so", "the file manager gets Enter on " + item +
                                 (panel.IsDirectory(panel.Current()) ? ": it opens the folder" : ": it runs or opens the file"));
        if (key.VirtualKey == VK_F3)
            return Say("so", "the file manager gets F3 on " + item + ": it shows the file in its viewer");
    }
    bool ctrlAgain = false;
    for (const SentKey& key : keys) {
        if (key.Up()) continue;
        if (key.VirtualKey == VK_CONTROL) {
            ctrlAgain = true;
        } else {
            return Say("so", VirtualKeyName(key.VirtualKey) + " goes back to the file manager" +
                                 (ctrlAgain ? ", with Ctrl pressed again" : ""));
        }
    }
}

// One invocation of the plug-in for the console event at the head of the queue.
void Invoke() {
    int32_t result;
    {
        Watchdog dog("OpenPlugin");
        result = ThePlugin.OpenPlugin(0, 0);
    }
    PrintTrace();
    bool complete = false;
    const std::vector<SentKey> keys = Capture.Take(complete);
    if (keys.empty()) Say("keys sent", "none");
    for (size_t i = 0; i < keys.size(); ++i) Say(i == 0 ? "keys sent" : "", KeyLine(keys[i]));
    if (!complete) {
        Say("", "(the keyboard hook did not report back in time: keys may be missing)");
        Failed = true;
    }
    if (result != -1) {
        Say("note", "OpenPlugin returned " + std::to_string(result) + ", expected -1");
        Failed = true;
    }
    ExplainOpening(keys);
}

void QueueKey(const KeyName& key, bool down) {
    INPUT_RECORD record{};
    record.EventType = KEY_EVENT;
    record.Event.KeyEvent.bKeyDown = down ? TRUE : FALSE;
    record.Event.KeyEvent.wRepeatCount = 1;
    record.Event.KeyEvent.wVirtualKeyCode = key.VirtualKey;
    record.Event.KeyEvent.wVirtualScanCode = key.ScanCode;
    if (key.VirtualKey == VK_CONTROL && down) record.Event.KeyEvent.dwControlKeyState = LEFT_CTRL_PRESSED;
    DWORD written = 0;
    WriteConsoleInputA(ConsoleInput(), &record, 1, &written);
}

void RunConfigure() {
    Host.DialogShown = false;
    int32_t result;
    {
        // No watchdog: an interactive dialog waits for a person.
        result = ThePlugin.Configure(0);
    }
    PrintTrace();
    if (!Host.DialogShown) Say("dialog", "none was shown");
    Say("result", "Configure returned " + std::to_string(result) +
                      (result == -1 ? ": the plug-in stored the list" : ": nothing stored"));
}

bool LoadPlugin(std::string& error) {
    {
        Watchdog dog("SetStartupInfo");
        if (!ThePlugin.Load(error)) return false;
    }
    PrintTrace();
    return true;
}

void Restart() {
    const bool gone = ThePlugin.Unload();
    Say("unload", FileName(ThePlugin.Path) + (gone ? " is no longer in the process" : " is still loaded"));
    if (!gone) Failed = true;
    std::string error;
    if (!LoadPlugin(error)) {
        Say("load", error);
        Failed = true;
        return;
    }
    Say("load", FileName(ThePlugin.Path) + " loaded again and handed the start-up record");
}

bool MoveCursor(const std::string& which) {
    Panel& panel = Host.ThePanel;
    int32_t index = panel.Find(which);
    if (index < 0 && !which.empty() && which.find_first_not_of("0123456789") == std::string::npos)
        index = std::atoi(which.c_str());
    if (index < 0 || index >= panel.Count()) return Say("panel", "no item " + Quoted(which)), false;
    panel.Redraw(index, panel.Top());
    Say("panel", "cursor on " + ItemLabel(panel.Current()));
    return true;
}

int RunScript(const Options& options, const std::vector<ScriptStep>& steps, const std::string& folderName) {
    Print("");
    Print("How to read this: each \"press\" or \"release\" line puts one key event into");
    Print("the console and invokes the plug-in once. \"plug-in\" lines show what it asked");
    Print("of the host, \"keys sent\" the synthetic keys it sent, and \"so\" what a file");
    Print("manager makes of them.");
    bool afterHeading = false;
    for (const ScriptStep& step : steps) {
        if (!afterHeading) Print("");
        afterHeading = step.Kind == StepKind::Say;
        if (afterHeading) {
            Print("== %s ==", step.Text.c_str());
            continue;
        }
        Print("> %s", step.Source.c_str());
        switch (step.Kind) {
            case StepKind::Menu:
                ShowMenu();
                break;
            case StepKind::Show:
                ShowPanel(folderName);
                break;
            case StepKind::Registry:
                ShowRegistry(options);
                break;
            case StepKind::Cursor:
                if (!MoveCursor(step.Text)) Failed = true;
                break;
            case StepKind::Restart:
                Restart();
                break;
            case StepKind::Config:
                Host.Answers = &step.Answers;
                Host.NextAnswer = 0;
                RunConfigure();
                Host.Answers = nullptr;
                break;
            case StepKind::Key:
                FlushConsoleInputBuffer(ConsoleInput());
                Say("console", std::string(step.Key.Name) + (step.Down ? " pressed" : " released"));
                QueueKey(step.Key, step.Down);
                Invoke();
                break;
            case StepKind::Say:
                break;
        }
        std::fflush(stdout);
    }
    Print("");
    Print(Failed ? "Session ended with problems (see above)." : "Session ended.");
    return Failed ? 1 : 0;
}

// ---- interactive -------------------------------------------------------------------------

void PrintKeysHelp() {
    Print("");
    Print("Each key press invokes the plug-in once, with that key as its console event;");
    Print("releasing Ctrl does too. A terminal does not report Ctrl on its own, so:");
    Print("  Space  stands for releasing Ctrl (Ctrl+arrow also ends with a Ctrl release)");
    Print("  F1  this help and the panel    F2  the plug-in's settings dialog");
    Print("  F5  restart the plug-in        F10 or Esc  quit");
}

bool PeekEvent(INPUT_RECORD& record) {
    DWORD count = 0;
    return PeekConsoleInputA(ConsoleInput(), &record, 1, &count) && count == 1;
}

void DropEvent() {
    INPUT_RECORD record;
    DWORD count = 0;
    ReadConsoleInputA(ConsoleInput(), &record, 1, &count);
}

// Puts a Ctrl release at the head of the queue, before anything typed since.
void QueueCtrlReleaseFirst() {
    HANDLE input = ConsoleInput();
    std::vector<INPUT_RECORD> pending;
    DWORD count = 0;
    GetNumberOfConsoleInputEvents(input, &count);
    if (count > 0) {
        pending.resize(count);
        ReadConsoleInputA(input, pending.data(), count, &count);
        pending.resize(count);
    }
    KeyName ctrl{};
    FindKey("Ctrl", ctrl);
    QueueKey(ctrl, false);
    if (!pending.empty()) WriteConsoleInputA(input, pending.data(), static_cast<DWORD>(pending.size()), &count);
}

int RunInteractive(const Options& options, const std::string& folderName) {
    HANDLE input = ConsoleInput();
    SetConsoleMode(input, ENABLE_EXTENDED_FLAGS);
    PrintKeysHelp();
    Print("");
    ShowPanel(folderName);
    bool lastWasCtrlDown = false;
    for (;;) {
        std::fflush(stdout);
        WaitForSingleObject(input, INFINITE);
        INPUT_RECORD record;
        if (!PeekEvent(record)) continue;
        if (record.EventType != KEY_EVENT) {
            DropEvent();
            continue;
        }
        const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
        const WORD vk = key.wVirtualKeyCode;
        const bool down = key.bKeyDown != 0;
        // One invocation per key press: key releases are dropped, except the
        // release of Ctrl, which is what the plug-in acts on; a held Ctrl
        // repeats its press, and only the first counts.
        if ((!down && vk != VK_CONTROL) || (down && vk == VK_CONTROL && lastWasCtrlDown)) {
            DropEvent();
            continue;
        }
        lastWasCtrlDown = down && vk == VK_CONTROL;
        Print("");
        if (down && (vk == VK_F10 || vk == VK_ESCAPE)) {
            DropEvent();
            break;
        }
        if (down && vk == VK_F1) {
            DropEvent();
            PrintKeysHelp();
            ShowPanel(folderName);
            continue;
        }
        if (down && vk == VK_F2) {
            DropEvent();
            Print("> settings dialog");
            RunConfigure();
            ShowRegistry(options);
            continue;
        }
        if (down && vk == VK_F5) {
            DropEvent();
            Print("> restart");
            Restart();
            continue;
        }
        if (down && vk == VK_SPACE) {
            DropEvent();
            QueueCtrlReleaseFirst();
            Print("> Space: Ctrl released");
            Say("console", "Ctrl released");
        } else {
            Print("> %s %s", VirtualKeyName(vk).c_str(), down ? "pressed" : "released");
            Say("console", VirtualKeyName(vk) + (down ? " pressed" : " released") + " (vk " + Hex(vk) + ", scan " +
                               Hex(key.wVirtualScanCode) + ")");
        }
        Invoke();  // the plug-in reads the event itself
    }
    Print("Bye.");
    return Failed ? 1 : 0;
}

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

int Run(int argc, char** argv) {
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "lanternix-host: %s (--help shows the options)\n", error.c_str());
        return 2;
    }
    auto fail = [](const std::string& reason) {
        std::fprintf(stderr, "lanternix-host: %s\n", reason.c_str());
        return 2;
    };

    ThePlugin.Path = options.PluginPath.empty() ? ProgramFolder() + "Lanternix.dll" : options.PluginPath;
    std::string languageNote;
    if (options.MessagesPath.empty()) {
        std::vector<LanguageFile> files;
        if (!ReadLanguageFiles(FolderOf(ThePlugin.Path), files, error)) return fail(error);
        Host.Messages = files[static_cast<size_t>(ChooseLanguageFile(files, options.Language))];
        if (!EqualsIgnoringCase(Host.Messages.Name, options.Language))
            languageNote = "; no file is for " + Quoted(options.Language) + ", the languages here are " +
                           LanguageNames(files);
    } else if (!ReadLanguageFile(options.MessagesPath, Host.Messages, error)) {
        return fail(error);
    }
    std::string content;

    std::vector<ScriptStep> steps;
    if (!options.Script.empty()) {
        if (!ReadWholeFile(options.Script, content)) return fail("cannot read the script " + options.Script);
        if (!ParseScript(content, steps, error)) return fail(options.Script + ", " + error);
    }
    std::vector<PanelItemRecord> items;
    if (!ListFolder(options.Folder, items, error)) return fail(error);
    Host.ThePanel = Panel(options.Rows);
    Host.ThePanel.SetItems(std::move(items));
    const std::string folderName = FolderDisplayName(options.Folder);

    if (!IsConsole(ConsoleInput()))
        return fail("standard input must be a console: the plug-in reads its key events from there");
    if (!Capture.Start()) return fail("cannot install the keyboard hook that catches the plug-in's keys");

    Print("Lanternix stand-in host");
    Say("plug-in", FileName(ThePlugin.Path));
    Say("messages", Host.Messages.FileName + " (" +
                        (Host.Messages.Name.empty() ? "no .Language line" : Host.Messages.Name) + languageNote + ")");
    Say("registry", "HKEY_CURRENT_USER\\" + PatternKeyPath(options) + ", value " + PatternValueName);
    if (options.ResetSettings) {
        RegDeleteTreeA(HKEY_CURRENT_USER, PatternKeyPath(options).c_str());
        Say("", "deleted first, so the plug-in starts from its default list");
    }
    ThePlugin.RegistryRoot = options.RegistryRoot;
    if (!LoadPlugin(error)) return fail(error);
    Say("load", FileName(ThePlugin.Path) + " loaded and handed the start-up record");
    std::fflush(stdout);

    const int status = options.Script.empty() ? RunInteractive(options, folderName) : RunScript(options, steps, folderName);
    ThePlugin.Unload();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    // A transcript written to a file or pipe gets plain line ends.
    if (!IsConsole(GetStdHandle(STD_OUTPUT_HANDLE))) _setmode(_fileno(stdout), _O_BINARY);
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lanternix-host: %s\n", e.what());
        return 2;
    }
}
