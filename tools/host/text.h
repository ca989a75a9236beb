// Text helpers of the stand-in host: blanks, case, and the conversions
// between the file manager's OEM code page and the terminal's encoding.
#pragma once

#include <string>
#include <vector>

std::string Trim(const std::string& text);
// ASCII case only, so that nothing depends on the locale.
bool EqualsIgnoringCase(const std::string& a, const std::string& b);
bool LessIgnoringCase(const std::string& a, const std::string& b);
// The first word of a line and the rest after one blank; the rest keeps its
// own blanks, since texts such as a pattern list may hold them.
void SplitCommand(const std::string& line, std::string& word, std::string& rest);

// The whole of a file, as bytes. False with a reason (no such file, a folder,
// or the system's word) when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& content, std::string& reason);

// The names of the files (not folders) in the folder (with its trailing
// separator) that match the wildcard pattern, in directory order.
std::vector<std::string> FileNamesIn(const std::string& folder, const char* pattern);

// UTF-8, the host's own encoding and the terminal's, to and from UTF-16.
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);
// True when the bytes are valid UTF-8.
bool IsUtf8(const std::string& bytes);
// Drops a UTF-8 byte-order mark from the start; true when there was one.
bool DropByteOrderMark(std::string& text);

// The file manager's OEM code page, in which the plug-in gets every text.
std::string OemToUtf8(const std::string& oem);
std::wstring OemToWide(const std::string& oem);
// The text in the OEM code page. False when a character has no place there:
// refused then names the first such character, as in "日 (U+65E5)".
bool WideToOem(const std::wstring& wide, std::string& oem, std::string& refused);
bool Utf8ToOem(const std::string& utf8, std::string& oem, std::string& refused);
// Conversions in a code page named, for files read as a system of that code
// page reads them. WideToCodePage puts '?' for each character the code page
// has no place for.
std::wstring CodePageToWide(const std::string& text, unsigned codePage);
std::string WideToCodePage(const std::wstring& wide, unsigned codePage);
// "OEM code page 437", for messages.
std::string OemCodePageName();
