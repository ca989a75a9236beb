#include "tests/testbed/win_testkit.h"

// ---- console input -------------------------------------------------------

namespace {
HANDLE ConsoleIn() { return GetStdHandle(STD_INPUT_HANDLE); }
}  // namespace

bool ConsoleInputAvailable() {
    DWORD mode = 0;
    return GetConsoleMode(ConsoleIn(), &mode) != 0;
}

void FlushConsoleInput() { FlushConsoleInputBuffer(ConsoleIn()); }

DWORD PendingConsoleEvents() {
    DWORD count = 0;
    GetNumberOfConsoleInputEvents(ConsoleIn(), &count);
    return count;
}

INPUT_RECORD KeyEventRecord(WORD virtualKey, WORD scanCode, bool down) {
    INPUT_RECORD record{};
    record.EventType = KEY_EVENT;
    record.Event.KeyEvent.bKeyDown = down ? TRUE : FALSE;
    record.Event.KeyEvent.wRepeatCount = 1;
    record.Event.KeyEvent.wVirtualKeyCode = virtualKey;
    record.Event.KeyEvent.wVirtualScanCode = scanCode;
    return record;
}

INPUT_RECORD MouseMoveRecord(SHORT x, SHORT y) {
    INPUT_RECORD record{};
    record.EventType = MOUSE_EVENT;
    record.Event.MouseEvent.dwMousePosition = {x, y};
    record.Event.MouseEvent.dwEventFlags = MOUSE_MOVED;
    return record;
}

INPUT_RECORD FocusRecord(bool focused) {
    INPUT_RECORD record{};
    record.EventType = FOCUS_EVENT;
    record.Event.FocusEvent.bSetFocus = focused ? TRUE : FALSE;
    return record;
}

// ---- the plug-in DLL --------------------------------------------------------

std::string PluginDll::Path() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.erase(folder.find_last_of("\\/") + 1);
    return folder + "Lanternix.dll";
}

PluginDll::PluginDll() {
    module_ = LoadLibraryA(Path().c_str());
    if (module_ == nullptr) return;
    SetStartupInfo = FindEntryPoint<SetStartupInfoProc>(module_, "SetStartupInfo");
    GetPluginInfo = FindEntryPoint<GetPluginInfoProc>(module_, "GetPluginInfo");
    OpenPlugin = FindEntryPoint<OpenPluginProc>(module_, "OpenPlugin");
    Configure = FindEntryPoint<ConfigureProc>(module_, "Configure");
}

PluginDll::~PluginDll() {
    if (module_ != nullptr) FreeLibrary(module_);
}
