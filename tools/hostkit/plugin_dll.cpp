// Loading the plug-in DLL by path and finding its four entry points.
#include "tools/hostkit/plugin_dll.h"

#include <utility>

#include "tools/hostkit/paths.h"
#include "tools/hostkit/pe_facts.h"
#include "tools/hostkit/system_error.h"

namespace {

// The system's words for an error code; a "%1" in them stands for the file.
std::string SystemReason(DWORD code, const std::string& file) {
    std::string reason = SystemErrorText(code);
    for (size_t at = reason.find("%1"); at != std::string::npos; at = reason.find("%1", at + file.size()))
        reason.replace(at, 2, file);
    return reason;
}

}  // namespace

std::string PluginDll::Path() { return ProgramFolder() + "Lanternix.dll"; }

PluginDll::PluginDll() : file_(Path()) {
    std::string ignored;
    Load(ignored);
}

PluginDll::PluginDll(std::string file) : file_(std::move(file)) {}

bool PluginDll::Load(std::string& error) {
    Unload();
    // A DLL of the other width cannot be loaded, and the system's reason for
    // that says nothing a person could act on.
    constexpr int ProgramBits = static_cast<int>(sizeof(void*) * 8);
    const int bits = PeFileBits(file_);
    if (bits != 0 && bits != ProgramBits)
        return error = FileName(file_) + " is a " + std::to_string(bits) + "-bit DLL; this host is " +
                       std::to_string(ProgramBits) + "-bit" + (OtherWidthHost.empty() ? "" : ": use " + OtherWidthHost),
               false;
    module_.reset(LoadLibraryA(file_.c_str()));
    if (!module_)
        return error = "cannot load the plug-in " + file_ + ": " + SystemReason(GetLastError(), FileName(file_)), false;
    SetStartupInfo = FindEntryPoint<SetStartupInfoProc>(module_.get(), "SetStartupInfo");
    GetPluginInfo = FindEntryPoint<GetPluginInfoProc>(module_.get(), "GetPluginInfo");
    OpenPlugin = FindEntryPoint<OpenPluginProc>(module_.get(), "OpenPlugin");
    Configure = FindEntryPoint<ConfigureProc>(module_.get(), "Configure");
    std::string missing;
    const std::pair<bool, const char*> entryPoints[] = {{SetStartupInfo != nullptr, "SetStartupInfo"},
                                                        {GetPluginInfo != nullptr, "GetPluginInfo"},
                                                        {OpenPlugin != nullptr, "OpenPlugin"},
                                                        {Configure != nullptr, "Configure"}};
    for (const auto& [found, name] : entryPoints)
        if (!found) missing += (missing.empty() ? "" : ", ") + std::string(name);
    if (!missing.empty()) {
        Unload();
        return error = FileName(file_) + " does not export " + missing + ": it is not this plug-in", false;
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
