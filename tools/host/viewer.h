// What the file manager's viewer shows of a file when F3 opens it: its first
// lines, text as text and other content as a short hex view.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr size_t ViewerLines = 8;         // text lines shown
constexpr size_t ViewerColumns = 64;      // characters of a line shown; a longer one ends in '>'
constexpr size_t ViewerHexBytes = 64;     // bytes a hex view shows, 16 a line
constexpr size_t ViewerReadBytes = 4096;  // the head of the file that is read and judged

// The viewer's lines (UTF-8) for the head of a file (its first bytes) and its
// size. Content with a NUL byte is shown in hex; text is shown as UTF-8 when
// it is valid UTF-8, else in the OEM code page. A last line says what is not
// shown.
std::vector<std::string> ViewFile(const std::string& head, uint64_t size);
