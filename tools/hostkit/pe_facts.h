// Reads a PE file from disk: its size and machine, which DLLs it needs and how
// many functions it takes from each, its DLL characteristics (the loader's
// hardening flags), the names of its sections and where its writable data
// hold a given value.
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
    int Bits = 0;                     // 32 or 64, by the optional header
    uint16_t DllCharacteristics = 0;  // IMAGE_DLLCHARACTERISTICS_* bits
    std::vector<ImportedDll> Imports;
    // Long names (".debug_info") as the string table gives them; a stripped
    // file keeps only the eight bytes of the section header.
    std::vector<std::string> Sections;
};

PeFacts ReadPeFacts(const std::string& path);

// The relative virtual addresses of the aligned 32-bit words of the file's
// writable initialised data that hold `value`; empty when none do or the file
// is no PE file.
std::vector<uint32_t> WritableDataWordsHolding(const std::string& path, uint32_t value);

// 32 or 64 for a PE file of that width; 0 when the file cannot be read or is
// no PE file.
int PeFileBits(const std::string& path);
