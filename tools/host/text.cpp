// Blanks, ASCII case, whole files read, and UTF-8, UTF-16 and OEM code page conversions.
#include "tools/host/text.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "tools/hostkit/system_handles.h"

namespace {
char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }
}  // namespace

std::string Trim(const std::string& text) {
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

void SplitCommand(const std::string& line, std::string& word, std::string& rest) {
    const size_t end = line.find_first_of(" \t");
    word = line.substr(0, end);
    rest = end == std::string::npos ? "" : line.substr(end + 1);
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const char x = Lower(a[i]), y = Lower(b[i]);
        if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;  // names differing in case alone keep a fixed order
}

namespace {
std::wstring ToWide(UINT codePage, DWORD flags, const std::string& text) {
    if (text.empty()) return L"";
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (length <= 0) return L"";
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), length);
    return wide;
}

std::string FromWide(UINT codePage, const std::wstring& wide) {
    if (wide.empty()) return "";
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return "";
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}
}  // namespace

std::wstring Widen(const std::string& utf8) { return ToWide(CP_UTF8, 0, utf8); }
std::string Narrow(const std::wstring& wide) { return FromWide(CP_UTF8, wide); }

bool IsUtf8(const std::string& bytes) {
    return bytes.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                                static_cast<int>(bytes.size()), nullptr, 0) > 0;
}

bool DropByteOrderMark(std::string& text) {
    if (text.compare(0, 3, "\xEF\xBB\xBF") != 0) return false;
    text.erase(0, 3);
    return true;
}

std::wstring OemToWide(const std::string& oem) { return ToWide(CP_OEMCP, 0, oem); }
std::string OemToUtf8(const std::string& oem) { return Narrow(OemToWide(oem)); }
std::wstring CodePageToWide(const std::string& text, unsigned codePage) { return ToWide(codePage, 0, text); }

namespace {
// The UTF-16 units of the character at i: a surrogate pair counts as one.
size_t CharacterUnits(const std::wstring& wide, size_t i) {
    return (wide[i] >= 0xD800 && wide[i] <= 0xDBFF && i + 1 < wide.size()) ? 2 : 1;
}

// One character in the code page. A character the code page lacks comes back
// as '?' or a look-alike: only one that converts back to itself has a place.
bool CharacterInCodePage(UINT codePage, const std::wstring& character, std::string& bytes) {
    char converted[8];
    BOOL defaulted = FALSE;
    const int length =
        WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, character.data(), static_cast<int>(character.size()),
                            converted, sizeof converted, nullptr, &defaulted);
    if (length <= 0 || defaulted) return false;
    bytes.assign(converted, static_cast<size_t>(length));
    return ToWide(codePage, 0, bytes) == character;
}
}  // namespace

std::string WideToCodePage(const std::wstring& wide, unsigned codePage) {
    std::string text, bytes;
    for (size_t i = 0; i < wide.size();) {
        const size_t units = CharacterUnits(wide, i);
        text += CharacterInCodePage(codePage, wide.substr(i, units), bytes) ? bytes : "?";
        i += units;
    }
    return text;
}

bool WideToOem(const std::wstring& wide, std::string& oem, std::string& refused) {
    oem.clear();
    refused.clear();
    std::string bytes;
    for (size_t i = 0; i < wide.size();) {
        const size_t units = CharacterUnits(wide, i);
        const std::wstring character = wide.substr(i, units);
        if (!CharacterInCodePage(CP_OEMCP, character, bytes)) {
            const uint32_t code =
                units == 2 ? 0x10000 + ((character[0] - 0xD800u) << 10) + (character[1] - 0xDC00u) : character[0];
            char number[16];
            std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(code));
            refused = Narrow(character) + " (" + number + ")";
            oem.clear();
            return false;
        }
        oem += bytes;
        i += units;
    }
    return true;
}

bool Utf8ToOem(const std::string& utf8, std::string& oem, std::string& refused) {
    return WideToOem(Widen(utf8), oem, refused);
}

std::string OemCodePageName() { return "OEM code page " + std::to_string(GetOEMCP()); }

bool ReadWholeFile(const std::string& path, std::string& content, std::string& reason) {
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return reason = "no such file", false;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return reason = "a folder, not a file", false;
    std::ifstream file(Widen(path).c_str(), std::ios::binary);
    if (!file) return reason = "it cannot be opened for reading", false;
    std::ostringstream bytes;
    bytes << file.rdbuf();  // an empty file leaves the stream failed and the text empty
    content = bytes.str();
    return true;
}

std::vector<std::string> FileNamesIn(const std::string& folder, const char* pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    const UniqueFindHandle search(FindFirstFileW(Widen(folder + pattern).c_str(), &found));
    if (search) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(Narrow(found.cFileName));
        } while (FindNextFileW(search.get(), &found));
    }
    return names;
}
