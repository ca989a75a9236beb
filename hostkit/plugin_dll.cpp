#include "hostkit/plugin_dll.h"

#include <utility>

namespace {

std::string FileName(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

// The system's words for an error code, without the line end it ends with.
std::string SystemReason(DWORD code) {
    char text[256] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        text, sizeof text, nullptr);
    std::string reason(text, length);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
        reason.pop_back();
    return reason.empty() ? "error " + std::to_string(code) : reason;
}

}  // namespace

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length < MAX_PATH ? length : 0);
    folder.erase(folder.find_last_of("\\/") + 1);
    return folder;
}

std::string PluginDll::Path() { return ProgramFolder() + "Lanternix.dll"; }

PluginDll::PluginDll() : file_(Path()) {
    std::string ignored;
    Load(ignored);
}

PluginDll::PluginDll(std::string file) : file_(std::move(file)) {}

bool PluginDll::Load(std::string& error) {
    Unload();
    module_.reset(LoadLibraryA(file_.c_str()));
    if (!module_) return error = "cannot load the plug-in " + file_ + ": " + SystemReason(GetLastError()), false;
    SetStartupInfo = FindEntryPoint<SetStartupInfoProc>(module_.get(), "SetStartupInfo");
    GetPluginInfo = FindEntryPoint<GetPluginInfoProc>(module_.get(), "GetPluginInfo");
    OpenPlugin = FindEntryPoint<OpenPluginProc>(module_.get(), "OpenPlugin");
    Configure = FindEntryPoint<ConfigureProc>(module_.get(), "Configure");
    if (!SetStartupInfo || !GetPluginInfo || !OpenPlugin || !Configure) {
        Unload();
        return error = FileName(file_) + " lacks one of SetStartupInfo, GetPluginInfo, OpenPlugin, Configure", false;
    }
    return true;
}

bool PluginDll::Unload() {
    SetStartupInfo = nullptr;
    GetPluginInfo = nullptr;
    OpenPlugin = nullptr;
    Configure = nullptr;
    if (!module_) return true;
    module_.reset();
    return GetModuleHandleA(file_.c_str()) == nullptr;
}
