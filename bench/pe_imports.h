// Reads a PE file's import table from disk: which DLLs it needs, and how
// many functions it takes from each.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ImportedDll {
    std::string Name;
    size_t Functions = 0;
};

struct PeFacts {
    bool Valid = false;
    std::string Problem;  // why Valid is false
    uint64_t FileSize = 0;
    uint16_t Machine = 0;
    std::vector<ImportedDll> Imports;
};

PeFacts ReadPeFacts(const std::string& path);
