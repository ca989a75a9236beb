// Reading a PE file from disk: size, machine, imports, characteristics, sections, data words.
#include "tools/hostkit/pe_facts.h"

#include <windows.h>

#include <algorithm>
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

// A file's bytes and its headers; Problem says why there are none.
struct PeFile {
    std::vector<uint8_t> Bytes;
    IMAGE_NT_HEADERS32 Nt{};
    size_t SectionsAt = 0;
    std::string Problem;
};

PeFile ReadPeFile(const std::string& path) {
    PeFile pe;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        pe.Problem = "cannot open " + path;
        return pe;
    }
    pe.Bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    IMAGE_DOS_HEADER dos;
    if (pe.Bytes.size() < sizeof dos) {
        pe.Problem = "too short for a DOS header";
        return pe;
    }
    std::memcpy(&dos, pe.Bytes.data(), sizeof dos);
    if (dos.e_magic != IMAGE_DOS_SIGNATURE || !ReadAt(pe.Bytes, static_cast<size_t>(dos.e_lfanew), pe.Nt) ||
        pe.Nt.Signature != IMAGE_NT_SIGNATURE || pe.Nt.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
        pe.Problem = "not a 32-bit PE file";
        return pe;
    }
    pe.SectionsAt = static_cast<size_t>(dos.e_lfanew) + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) +
                    pe.Nt.FileHeader.SizeOfOptionalHeader;
    return pe;
}

}  // namespace

PeFacts ReadPeFacts(const std::string& path) {
    PeFacts facts;
    const PeFile pe = ReadPeFile(path);
    const std::vector<uint8_t>& file = pe.Bytes;
    const IMAGE_NT_HEADERS32& nt = pe.Nt;
    const size_t sectionsAt = pe.SectionsAt;
    facts.FileSize = file.size();
    if (!pe.Problem.empty()) {
        facts.Problem = pe.Problem;
        return facts;
    }
    facts.Machine = nt.FileHeader.Machine;
    facts.DllCharacteristics = nt.OptionalHeader.DllCharacteristics;
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

std::vector<uint32_t> WritableDataWordsHolding(const std::string& path, uint32_t value) {
    std::vector<uint32_t> found;
    const PeFile pe = ReadPeFile(path);
    constexpr DWORD WritableData = IMAGE_SCN_CNT_INITIALIZED_DATA | IMAGE_SCN_MEM_WRITE;
    for (unsigned i = 0; pe.Problem.empty() && i < pe.Nt.FileHeader.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER section;
        if (!ReadAt(pe.Bytes, pe.SectionsAt + i * sizeof section, section)) break;
        if ((section.Characteristics & WritableData) != WritableData) continue;
        const uint32_t size = std::min(section.SizeOfRawData, section.Misc.VirtualSize);
        for (uint32_t offset = 0; offset + sizeof value <= size; offset += sizeof value) {
            uint32_t word = 0;
            if (ReadAt(pe.Bytes, section.PointerToRawData + offset, word) && word == value)
                found.push_back(section.VirtualAddress + offset);
        }
    }
    return found;
}
