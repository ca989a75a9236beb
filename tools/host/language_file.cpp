// Language files parsed (escapes, the .Language line), read from their folder, chosen by name.
#include "tools/host/language_file.h"

#include <windows.h>

#include <algorithm>
#include <sstream>

#include "tools/host/text.h"
#include "tools/hostkit/paths.h"
#include "tools/hostkit/system_handles.h"

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

LanguageFile ParseLanguageFile(const std::string& content) {
    LanguageFile file;
    std::istringstream input(content);
    std::string raw;
    bool inContents = false;
    bool named = false;
    while (std::getline(input, raw)) {
        const std::string line = Trim(raw);
        if (line.empty()) continue;
        if (line[0] == '"') {
            file.Texts.push_back(Unescape(line));
        } else if (StartsWithIgnoringCase(line, "@Contents")) {
            inContents = true;
        } else if (!inContents && !named && StartsWithIgnoringCase(line, ".Language=")) {
            const std::string value = line.substr(10);
            const size_t comma = value.find(',');
            file.Name = Trim(value.substr(0, comma));
            file.Description = comma == std::string::npos ? "" : Trim(value.substr(comma + 1));
            named = true;
        }
    }
    return file;
}

int32_t ChooseLanguageFile(const std::vector<LanguageFile>& files, const std::string& language) {
    for (const std::string& wanted : {language, std::string("English")})
        for (size_t i = 0; i < files.size(); ++i)
            if (!files[i].Name.empty() && EqualsIgnoringCase(files[i].Name, wanted)) return static_cast<int32_t>(i);
    return files.empty() ? -1 : 0;
}

bool ReadLanguageFile(const std::string& path, LanguageFile& file, std::string& error) {
    std::string content, reason;
    if (!ReadWholeFile(path, content, reason))
        return error = "cannot read the language file " + path + ": " + reason, false;
    file = ParseLanguageFile(content);
    file.FileName = FileName(path);
    return true;
}

bool ReadLanguageFiles(const std::string& folder, std::vector<LanguageFile>& files, std::string& error) {
    files.clear();
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    const UniqueFindHandle search(FindFirstFileW(Widen(folder + "*.lng").c_str(), &found));
    if (search) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(Narrow(found.cFileName));
        } while (FindNextFileW(search.get(), &found));
    }
    if (names.empty())
        return error = "no language file (*.lng) beside the plug-in in " + folder +
                       ": the plug-in would have no menu entry, no dialog texts",
               false;
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    for (const std::string& name : names) {
        LanguageFile file;
        if (!ReadLanguageFile(folder + name, file, error)) return false;
        files.push_back(file);
    }
    return true;
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
