// The version resource of a file, read as Windows shows a file's properties
// (and as the file manager reads a plug-in's): the fixed version block and
// the US English Unicode string table.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class VersionInfo {
public:
    explicit VersionInfo(const std::string& path);
    // False when the file has no version resource.
    bool Present() const { return !block_.empty(); }
    // The value of a string of the table 040904B0, such as "PluginGUID";
    // "<none>" when there is none.
    std::string Text(const char* name);
    // The fixed block; null when there is none.
    const VS_FIXEDFILEINFO* Fixed();
    // A value of the block at a path such as "\\VarFileInfo\\Translation";
    // false when there is none.
    bool Query(const char* path, void*& value, UINT& length);

private:
    std::vector<char> block_;
};
