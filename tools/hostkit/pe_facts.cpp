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
size_t FileOffset(const std::vector<uint8_t>& file, const IMAGE_FILE_HEADER& header, size_t sectionsAt, uint32_t rva) {
    for (unsigned i = 0; i < header.NumberOfSections; ++i) {
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

// An import thunk of 4 or 8 bytes; 0, the list's end, past the file's end.
uint64_t ThunkAt(const std::vector<uint8_t>& file, size_t at, size_t size) {
    uint32_t narrow = 0;
    uint64_t wide = 0;
    if (size == 4) return ReadAt(file, at, narrow) ? narrow : 0;
    return ReadAt(file, at, wide) ? wide : 0;
}

std::string TextAt(const std::vector<uint8_t>& file, size_t at) {
    std::string text;
    while (at != 0 && at < file.size() && file[at] != 0) text += static_cast<char>(file[at++]);
    return text;
}

// A name longer than eight bytes is "/N", N the offset into the string table
// that follows the symbol table.
std::string SectionName(const std::vector<uint8_t>& file, const IMAGE_FILE_HEADER& header,
                        const IMAGE_SECTION_HEADER& section) {
    std::string name(reinterpret_cast<const char*>(section.Name),
                     strnlen(reinterpret_cast<const char*>(section.Name), 8));
    if (name.size() < 2 || name[0] != '/' || header.PointerToSymbolTable == 0) return name;
    const size_t strings = header.PointerToSymbolTable + header.NumberOfSymbols * size_t{18};
    const std::string longName = TextAt(file, strings + std::strtoul(name.c_str() + 1, nullptr, 10));
    return longName.empty() ? name : longName;
}

}  // namespace

namespace {

// A file's bytes and the headers of either width; Problem says why there are
// none.
struct PeFile {
    std::vector<uint8_t> Bytes;
    IMAGE_FILE_HEADER Header{};
    WORD DllCharacteristics = 0;
    IMAGE_DATA_DIRECTORY Imports{};
    size_t ThunkSize = 0;  // 4 or 8: a 64-bit file's import thunks are 64 bits
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
    const std::vector<uint8_t>& file = pe.Bytes;
    IMAGE_DOS_HEADER dos;
    DWORD signature = 0;
    WORD magic = 0;
    if (file.size() < sizeof dos) {
        pe.Problem = "too short for a DOS header";
        return pe;
    }
    std::memcpy(&dos, file.data(), sizeof dos);
    const size_t headerAt = static_cast<size_t>(dos.e_lfanew) + sizeof signature;
    const size_t optionalAt = headerAt + sizeof pe.Header;
    if (dos.e_magic != IMAGE_DOS_SIGNATURE || !ReadAt(file, static_cast<size_t>(dos.e_lfanew), signature) ||
        signature != IMAGE_NT_SIGNATURE || !ReadAt(file, headerAt, pe.Header) || !ReadAt(file, optionalAt, magic)) {
        pe.Problem = "not a PE file";
        return pe;
    }
    // The optional header's layout follows the file's width.
    IMAGE_OPTIONAL_HEADER32 optional32;
    IMAGE_OPTIONAL_HEADER64 optional64;
    if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC && ReadAt(file, optionalAt, optional32)) {
        pe.DllCharacteristics = optional32.DllCharacteristics;
        pe.Imports = optional32.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        pe.ThunkSize = 4;
    } else if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC && ReadAt(file, optionalAt, optional64)) {
        pe.DllCharacteristics = optional64.DllCharacteristics;
        pe.Imports = optional64.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        pe.ThunkSize = 8;
    } else {
        pe.Problem = "a PE file of neither 32 nor 64 bits";
        return pe;
    }
    pe.SectionsAt = optionalAt + pe.Header.SizeOfOptionalHeader;
    return pe;
}

}  // namespace

PeFacts ReadPeFacts(const std::string& path) {
    PeFacts facts;
    const PeFile pe = ReadPeFile(path);
    const std::vector<uint8_t>& file = pe.Bytes;
    const IMAGE_FILE_HEADER& header = pe.Header;
    const size_t sectionsAt = pe.SectionsAt;
    facts.FileSize = file.size();
    if (!pe.Problem.empty()) {
        facts.Problem = pe.Problem;
        return facts;
    }
    facts.Machine = header.Machine;
    facts.Bits = static_cast<int>(pe.ThunkSize * 8);
    facts.DllCharacteristics = pe.DllCharacteristics;
    for (unsigned i = 0; i < header.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER section;
        if (!ReadAt(file, sectionsAt + i * sizeof section, section)) break;
        facts.Sections.push_back(SectionName(file, header, section));
    }
    size_t at = FileOffset(file, header, sectionsAt, pe.Imports.VirtualAddress);
    for (IMAGE_IMPORT_DESCRIPTOR library; ReadAt(file, at, library) && library.Name != 0; at += sizeof library) {
        ImportedDll imported;
        imported.Name = TextAt(file, FileOffset(file, header, sectionsAt, library.Name));
        const uint32_t thunks = library.OriginalFirstThunk != 0 ? library.OriginalFirstThunk : library.FirstThunk;
        size_t entry = FileOffset(file, header, sectionsAt, thunks);
        for (; ThunkAt(file, entry, pe.ThunkSize) != 0; entry += pe.ThunkSize) ++imported.Functions;
        facts.Imports.push_back(imported);
    }
    facts.Valid = true;
    return facts;
}

std::vector<uint32_t> WritableDataWordsHolding(const std::string& path, uint32_t value) {
    std::vector<uint32_t> found;
    const PeFile pe = ReadPeFile(path);
    constexpr DWORD WritableData = IMAGE_SCN_CNT_INITIALIZED_DATA | IMAGE_SCN_MEM_WRITE;
    for (unsigned i = 0; pe.Problem.empty() && i < pe.Header.NumberOfSections; ++i) {
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

int PeFileBits(const std::string& path) {
    const PeFile pe = ReadPeFile(path);
    return pe.Problem.empty() ? static_cast<int>(pe.ThunkSize * 8) : 0;
}
