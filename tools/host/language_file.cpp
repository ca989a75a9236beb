// Language files parsed (header, encoding, escapes), read from their folder in directory order, chosen by name.
#include "tools/host/language_file.h"

#include <windows.h>

#include <sstream>

#include "tools/host/text.h"
#include "tools/hostkit/paths.h"

namespace {

// The text of a message line without its quotes: a backslash escapes
// backslash, quote, n, r, b and t; "" is one quote; a backslash before any
// other character stays as it is.
std::string Unescape(const std::string& quoted) {
    std::string body = quoted.substr(1);
    if (!body.empty() && body.back() == '"') body.pop_back();
    std::string text;
    for (size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        const char next = i + 1 < body.size() ? body[i + 1] : '\0';
        if (c == '"' && next == '"') {
            text += '"';
            ++i;
        } else if (c == '\\' && next != '\0' && std::string("\\\"nrbt").find(next) != std::string::npos) {
            const char* plain = "\\\"\n\r\b\t";
            text += plain[std::string("\\\"nrbt").find(next)];
            ++i;
        } else {
            text += c;
        }
    }
    return text;
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& start) {
    return text.size() >= start.size() && EqualsIgnoringCase(text.substr(0, start.size()), start);
}

}  // namespace

LanguageFile ParseLanguageFile(const std::string& content, unsigned oemCodePage) {
    LanguageFile file;
    file.OemCodePage = oemCodePage;
    std::string body = content;
    file.ByteOrderMark = DropByteOrderMark(body);
    std::istringstream input(body);
    std::string raw;
    bool inHeader = true;
    for (int32_t number = 1; std::getline(input, raw); ++number) {
        if (!file.ByteOrderMark && file.OemFromLine == 0 && !IsUtf8(raw)) file.OemFromLine = number;
        const bool oem = file.OemFromLine != 0;
        const std::string line = Trim(raw);
        if (line.empty()) continue;
        if (line[0] == '"') {
            inHeader = false;
            const std::string text = Unescape(line);
            file.Texts.push_back(oem ? text : WideToCodePage(Widen(text), oemCodePage));
        } else if (inHeader && !file.IsLanguageFile && StartsWithIgnoringCase(line, ".Language=")) {
            const std::string value = oem ? Narrow(CodePageToWide(line.substr(10), oemCodePage)) : line.substr(10);
            const size_t comma = value.find(',');
            file.Name = Trim(value.substr(0, comma));
            file.Description = comma == std::string::npos ? "" : Trim(value.substr(comma + 1));
            file.IsLanguageFile = true;
        }
    }
    return file;
}

int32_t ChooseLanguageFile(const std::vector<LanguageFile>& files, const std::string& language) {
    for (const std::string& wanted : {language, std::string("English")})
        for (size_t i = 0; i < files.size(); ++i)
            if (EqualsIgnoringCase(files[i].Name, wanted)) return static_cast<int32_t>(i);
    return static_cast<int32_t>(files.size()) - 1;
}

bool ReadLanguageFile(const std::string& path, unsigned oemCodePage, LanguageFile& file, std::string& reason) {
    std::string content, why;
    if (!ReadWholeFile(path, content, why)) return reason = "it cannot be read (" + why + ")", false;
    file = ParseLanguageFile(content, oemCodePage);
    file.FileName = FileName(path);
    if (!file.IsLanguageFile)
        return reason =
                   "it has no .Language= line in its header, the lines before its first message, so it is no language "
                   "file",
               false;
    return true;
}

bool ReadLanguageFiles(const std::string& folder, unsigned oemCodePage, std::vector<LanguageFile>& files,
                       std::vector<std::string>& skipped, std::string& error) {
    files.clear();
    skipped.clear();
    const std::vector<std::string> names = FileNamesIn(folder, "*.lng");
    const std::string without = ": the plug-in would have no menu entry, no dialog texts";
    if (names.empty()) return error = "no language file (*.lng) beside the plug-in in " + folder + without, false;
    std::string reasons;
    for (const std::string& name : names) {
        LanguageFile file;
        std::string reason;
        if (ReadLanguageFile(folder + name, oemCodePage, file, reason)) {
            files.push_back(file);
        } else {
            skipped.push_back(name + " skipped: " + reason);
            reasons += (reasons.empty() ? "" : "; ") + name + ": " + reason;
        }
    }
    if (files.empty())
        return error = "no readable language file beside the plug-in in " + folder + " (" + reasons + ")" + without,
               false;
    return true;
}

std::string ReadAs(const LanguageFile& file) {
    const std::string codePage = "OEM code page " + std::to_string(file.OemCodePage);
    if (file.ByteOrderMark) return "UTF-8 with a byte-order mark, texts converted to " + codePage;
    if (file.OemFromLine == 1) return "read in " + codePage;
    if (file.OemFromLine > 1) return "UTF-8 to line " + std::to_string(file.OemFromLine - 1) + ", then " + codePage;
    return "";
}

std::string LanguageNames(const std::vector<LanguageFile>& files) {
    std::string names;
    for (const LanguageFile& file : files)
        names += (names.empty() ? "" : ", ") + (file.Name.empty() ? "(unnamed) " + file.FileName : file.Name);
    return names;
}

const char* MessageText(const LanguageFile& file, int32_t id, std::string& problem) {
    problem.clear();
    if (id >= 0 && id < static_cast<int32_t>(file.Texts.size())) return file.Texts[static_cast<size_t>(id)].c_str();
    problem = file.FileName + " holds no message " + std::to_string(id) + " (it has " +
              std::to_string(file.Texts.size()) + "): the plug-in gets an empty text";
    return "";
}
