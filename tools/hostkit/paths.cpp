// Taking paths apart, and the running program's folder.
#include "tools/hostkit/paths.h"

#include <windows.h>

std::string FileName(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return FolderOf(std::string(path, length < MAX_PATH ? length : 0));
}
