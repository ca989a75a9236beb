// Reading a PE file from disk: size, machine, imports, characteristics, sections.
#include "tools/hostkit/pe_facts.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

// Maps a relative virtual address to its offset in the file through the
// section table; 0 when no section holds it.
size_t FileOffset(const std::vector<uint8_t>& file, const IMAGE_NT_HEADERS32& nt, size_t sectionsAt, uint32_t rva) {
    for (unsigned i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER section;
        const size_t at = sectionsAt + i * sizeof section;
        if (at + sizeof section > file.size()) return 0;
        std::memcpy(&section, file.data() + at, sizeof section);
        const uint32_t size = section.Misc.VirtualSize != 0 ? section.Misc.VirtualSize : section.SizeOfRawData;
        if (rva >= section.VirtualAddress && rva < section.VirtualAddress + size)
            return rva - section.VirtualAddress + section.PointerToRawData;
    }
    return 0;
}

template <typename T>
bool ReadAt(const std::vector<uint8_t>& file, size_t at, T& value) {
    if (at == 0 || at + sizeof value > file.size()) return false;
    std::memcpy(&value, file.data() + at, sizeof value);
    return true;
}

std::string TextAt(const std::vector<uint8_t>& file, size_t at) {
    std::string text;
    while (at != 0 && at < file.size() && file[at] != 0) text += static_cast<char>(file[at++]);
    return text;
}

// A name longer than eight bytes is "/N", N the offset into the string table
// that follows the symbol table.
std::string SectionName(const std::vector<uint8_t>& file, const IMAGE_NT_HEADERS32& nt,
                        const IMAGE_SECTION_HEADER& section) {
    std::string name(reinterpret_cast<const char*>(section.Name),
                     strnlen(reinterpret_cast<const char*>(section.Name), 8));
    if (name.size() < 2 || name[0] != '/' || nt.FileHeader.PointerToSymbolTable == 0) return name;
    const size_t strings = nt.FileHeader.PointerToSymbolTable + nt.FileHeader.NumberOfSymbols * size_t{18};
    const std::string longName = TextAt(file, strings + std::strtoul(name.c_str() + 1, nullptr, 10));
    return longName.empty() ? name : longName;
}

}  // namespace

PeFacts ReadPeFacts(const std::string& path) {
    PeFacts facts;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        facts.Problem = "cannot open " + path;
        return facts;
    }
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    facts.FileSize = file.size();

    IMAGE_DOS_HEADER dos;
    IMAGE_NT_HEADERS32 nt;
    if (file.size() < sizeof dos) {
        facts.Problem = "too short for a DOS header";
        return facts;
    }
    std::memcpy(&dos, file.data(), sizeof dos);
    if (dos.e_magic != IMAGE_DOS_SIGNATURE || !ReadAt(file, static_cast<size_t>(dos.e_lfanew), nt) ||
        nt.Signature != IMAGE_NT_SIGNATURE || nt.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
        facts.Problem = "not a 32-bit PE file";
        return facts;
    }
    facts.Machine = nt.FileHeader.Machine;
    facts.DllCharacteristics = nt.OptionalHeader.DllCharacteristics;
    const size_t sectionsAt = static_cast<size_t>(dos.e_lfanew) + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) +
                              nt.FileHeader.SizeOfOptionalHeader;
    for (unsigned i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER section;
        if (!ReadAt(file, sectionsAt + i * sizeof section, section)) break;
        facts.Sections.push_back(SectionName(file, nt, section));
    }
    const IMAGE_DATA_DIRECTORY& directory = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    size_t at = FileOffset(file, nt, sectionsAt, directory.VirtualAddress);
    for (IMAGE_IMPORT_DESCRIPTOR library; ReadAt(file, at, library) && library.Name != 0; at += sizeof library) {
        ImportedDll imported;
        imported.Name = TextAt(file, FileOffset(file, nt, sectionsAt, library.Name));
        const uint32_t thunks = library.OriginalFirstThunk != 0 ? library.OriginalFirstThunk : library.FirstThunk;
        size_t entry = FileOffset(file, nt, sectionsAt, thunks);
        for (uint32_t value; ReadAt(file, entry, value) && value != 0; entry += sizeof value) ++imported.Functions;
        facts.Imports.push_back(imported);
    }
    facts.Valid = true;
    return facts;
}
