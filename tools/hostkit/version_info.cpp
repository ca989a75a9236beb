// The version block read with the system's version API.
#include "tools/hostkit/version_info.h"

#include <cstring>

VersionInfo::VersionInfo(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    block_.resize(size);
    if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, block_.data())) block_.clear();
}

bool VersionInfo::Query(const char* path, void*& value, UINT& length) {
    value = nullptr;
    length = 0;
    return Present() && VerQueryValueA(block_.data(), path, &value, &length) && value != nullptr;
}

std::string VersionInfo::Text(const char* name) {
    void* value = nullptr;
    UINT length = 0;
    if (!Query((std::string("\\StringFileInfo\\040904B0\\") + name).c_str(), value, length)) return "<none>";
    // The length counts the terminating zero, when there is one.
    return std::string(static_cast<const char*>(value), strnlen(static_cast<const char*>(value), length));
}

const VS_FIXEDFILEINFO* VersionInfo::Fixed() {
    void* value = nullptr;
    UINT length = 0;
    if (!Query("\\", value, length) || length != sizeof(VS_FIXEDFILEINFO)) return nullptr;
    return static_cast<const VS_FIXEDFILEINFO*>(value);
}
