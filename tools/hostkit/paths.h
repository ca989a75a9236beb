// Paths as the stand-in host, the tests and the benchmark take them apart:
// either separator counts, and a folder keeps its trailing separator.
#pragma once

#include <string>

// The last component: "Lanternix.dll" for "C:\build\Lanternix.dll"; the whole
// path when it has no separator.
std::string FileName(const std::string& path);
// The folder with its trailing separator: "C:\build\" for
// "C:\build\Lanternix.dll"; empty when the path has no separator.
std::string FolderOf(const std::string& path);
// The folder of the running program, with its trailing separator.
std::string ProgramFolder();
