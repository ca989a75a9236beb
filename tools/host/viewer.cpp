// The viewer's text view and hex view of a file's head.
#include "tools/host/viewer.h"

#include <cstdio>

#include "tools/host/text.h"

namespace {

std::vector<std::string> HexView(const std::string& head, uint64_t size) {
    std::vector<std::string> lines;
    const size_t shown = std::min(head.size(), ViewerHexBytes);
    for (size_t offset = 0; offset < shown; offset += 16) {
        char line[100];
        int used = std::snprintf(line, sizeof line, "%04zX ", offset);
        std::string printable;
        for (size_t i = offset; i < offset + 16; ++i) {
            if (i < shown) {
                const unsigned char byte = static_cast<unsigned char>(head[i]);
                used += std::snprintf(line + used, sizeof line - static_cast<size_t>(used), " %02X", byte);
                printable += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '.';
            } else {
                used += std::snprintf(line + used, sizeof line - static_cast<size_t>(used), "   ");
            }
        }
        lines.push_back(std::string(line) + "  " + printable);
    }
    if (size > shown) lines.push_back("(" + std::to_string(size - shown) + " more bytes)");
    return lines;
}

// One line as shown: tabs as blanks, other control characters as '.', cut
// after the viewer's width.
std::string ShownLine(const std::wstring& line) {
    std::wstring shown;
    for (wchar_t c : line) {
        if (c == L'\t')
            shown += std::wstring(4 - shown.size() % 4, L' ');
        else
            shown += c < 0x20 ? L'.' : c;
    }
    if (shown.size() > ViewerColumns) shown = shown.substr(0, ViewerColumns - 1) + L">";
    return Narrow(shown);
}

}  // namespace

std::vector<std::string> ViewFile(const std::string& head, uint64_t size) {
    if (head.find('\0') != std::string::npos) return HexView(head, size);
    // A head cut inside a UTF-8 sequence is still UTF-8 text.
    std::string judged = head;
    for (int drop = 0; drop < 3 && !IsUtf8(judged) && head.size() == ViewerReadBytes; ++drop) judged.pop_back();
    const std::wstring text = IsUtf8(judged) ? Widen(judged) : OemToWide(head);
    std::vector<std::string> lines;
    size_t start = 0;
    bool more = false;
    while (start < text.size()) {
        if (lines.size() == ViewerLines) {
            more = true;
            break;
        }
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        lines.push_back(ShownLine(line));
        start = end + 1;
    }
    if (more || size > head.size()) lines.push_back("(more lines follow)");
    if (size == 0) lines.push_back("(the file is empty)");
    return lines;
}
