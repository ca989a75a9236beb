// Help files decoded, split into header and topics, their markup read, read from their folder and chosen by language.
#include "tools/host/help_file.h"

#include "tools/host/text.h"

namespace {

// The whole file as UTF-16, by its byte-order mark, else in the OEM code page.
std::wstring Decode(const std::string& bytes, unsigned oemCodePage, std::string& readAs) {
    auto utf16 = [&](size_t high, size_t low) {
        std::wstring wide;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            wide += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i + high]) << 8 |
                                         static_cast<unsigned char>(bytes[i + low]));
        return wide;
    };
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return readAs = "UTF-8 with a byte-order mark", Widen(bytes.substr(3));
    if (bytes.compare(0, 2, "\xFF\xFE") == 0)
        return readAs = "UTF-16 (little-endian) with a byte-order mark", utf16(1, 0);
    if (bytes.compare(0, 2, "\xFE\xFF") == 0) return readAs = "UTF-16 (big-endian) with a byte-order mark", utf16(0, 1);
    readAs = "OEM code page " + std::to_string(oemCodePage);
    return CodePageToWide(bytes, oemCodePage);
}

// Lines split at CRLF, LF or CR, each in UTF-8.
std::vector<std::string> SplitLines(const std::wstring& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != L'\r' && text[i] != L'\n') continue;
        if (i < text.size() || start < text.size()) lines.push_back(Narrow(text.substr(start, i - start)));
        if (i + 1 < text.size() && text[i] == L'\r' && text[i + 1] == L'\n') ++i;
        start = i + 1;
    }
    return lines;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

bool StartsWith(const std::string& text, const char* start) { return text.rfind(start, 0) == 0; }

bool IsDirective(const std::string& line) {
    const std::string word = Trim(line);
    return word == "@-" || word == "@+" || word == "@=";
}

class Reader {
public:
    Reader(HelpFile& file) : File(file) {}

    void Problem(int32_t line, const std::string& what) {
        File.Problems.push_back(File.FileName + ", line " + std::to_string(line) + ": " + what);
    }

    void HeaderLine(int32_t number, const std::string& line) {
        if (line.empty() || line[0] != '.') return;
        const size_t equals = line.find('=');
        if (equals != std::string::npos &&
            ((equals > 0 && line[equals - 1] == ' ') || (equals + 1 < line.size() && line[equals + 1] == ' ')))
            return Problem(number, "blanks around '=' in " + Quoted(line) + ": the file manager does not read it");
        if (StartsWith(line, ".Language=")) {
            if (File.HasLanguage) return Problem(number, "a second .Language line; the first one counts");
            const std::string value = line.substr(10);
            const size_t comma = value.find(',');
            File.Language = value.substr(0, comma);
            File.Description = comma == std::string::npos ? "" : value.substr(comma + 1);
            File.HasLanguage = true;
        } else if (StartsWith(line, ".PluginContents=")) {
            File.PluginContents = line.substr(16);
        } else if (StartsWith(line, ".Options TabSize=")) {
            const std::string size = Trim(line.substr(17));
            const bool digits =
                !size.empty() && size.size() <= 2 && size.find_first_not_of("0123456789") == std::string::npos;
            if (!digits || std::stoi(size) > 16)
                return Problem(number, "TabSize " + Quoted(size) + " is not from 0 to 16; tabs stay 8 columns");
            File.TabSize = std::stoi(size);
        }
    }

    void TopicLine(int32_t number, const std::string& line) {
        std::string name = Trim(line.substr(1));
        const std::string ended = File.Topics.empty() ? "" : " ends the topic " + File.Topics.back().Name + " here";
        if (name.empty()) Problem(number, "a line '@' with no topic name" + ended);
        if (StartsWith(line, "@@"))
            Problem(number, "a line starting with @@" + ended +
                                "; a text line must not start with @, not even with @@ for a literal @");
        if (!name.empty() && FindTopic(File, name) != nullptr)
            Problem(number, "the topic " + name + " again (first at line " +
                                std::to_string(FindTopic(File, name)->Line) + "); links lead to the first one");
        HelpTopic topic;
        topic.Name = name;
        topic.Line = number;
        File.Topics.push_back(topic);
    }

    void TextLine(int32_t number, const std::string& line) {
        const MarkedText marked = ReadMarkup(Widen(line));
        for (const std::string& problem : marked.Problems) Problem(number, problem);
        for (const HelpLinkSpan& link : marked.Links) Links.push_back({number, link.Target});
    }

    // Every link's topic must be in the file.
    void CheckLinks() {
        for (const auto& [number, target] : Links)
            if (FindTopic(File, target) == nullptr)
                Problem(number, "a link to the topic " + Quoted(target) + ", which the file does not hold");
    }

private:
    HelpFile& File;
    std::vector<std::pair<int32_t, std::string>> Links;
};

}  // namespace

HelpFile ParseHelpFile(const std::string& bytes, unsigned oemCodePage, const std::string& fileName) {
    HelpFile file;
    file.FileName = fileName;
    const std::vector<std::string> lines = SplitLines(Decode(bytes, oemCodePage, file.ReadAs));
    Reader reader(file);
    bool inHeader = true;
    bool inTitle = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int32_t number = static_cast<int32_t>(i + 1);
        const std::string& line = lines[i];
        if (!line.empty() && line[0] == '@') inHeader = false;
        if (inHeader) {
            reader.HeaderLine(number, line);
        } else if (IsDirective(line)) {
            inTitle = false;
            if (file.Topics.empty())
                reader.Problem(number, Quoted(Trim(line)) + " before the first topic: it does nothing");
            else
                file.Topics.back().Body.push_back({number, Trim(line)});
        } else if (!line.empty() && line[0] == '@') {
            reader.TopicLine(number, line);
            inTitle = true;
        } else if (file.Topics.empty()) {
            reader.Problem(number, "text before the first topic, after a directive: no topic shows it");
        } else {
            reader.TextLine(number, line);
            inTitle = inTitle && !line.empty() && line[0] == '$';
            HelpTopic& topic = file.Topics.back();
            if (inTitle)
                topic.Title.push_back({number, line.substr(1)});
            else
                topic.Body.push_back({number, line});
        }
    }
    if (!file.HasLanguage)
        reader.Problem(1, "no .Language= line in the header: this file is chosen only as the last one");
    if (file.Topics.empty()) reader.Problem(static_cast<int32_t>(lines.size()), "no topic: no line starts with @");
    reader.CheckLinks();
    return file;
}

MarkedText ReadMarkup(const std::wstring& line) {
    // The line as tokens first: a '#' that toggles, a '~' that opens or
    // closes a link, a hidden run between single '@', or a character.
    enum class Kind { Character, Hash, Tilde, Hidden };
    struct Token {
        Kind What;
        wchar_t Character;
        std::wstring Hidden;
        bool Closed;
    };
    std::vector<Token> tokens;
    size_t hashes = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        const wchar_t c = line[i];
        const bool doubled = i + 1 < line.size() && line[i + 1] == c;
        if ((c == L'#' || c == L'~' || c == L'@') && doubled) {
            tokens.push_back({Kind::Character, c, L"", true});
            ++i;
        } else if (c == L'#') {
            tokens.push_back({Kind::Hash, c, L"", true});
            ++hashes;
        } else if (c == L'~') {
            tokens.push_back({Kind::Tilde, c, L"", true});
        } else if (c == L'@') {
            const size_t close = line.find(L'@', i + 1);
            const size_t end = close == std::wstring::npos ? line.size() : close;
            tokens.push_back({Kind::Hidden, c, line.substr(i + 1, end - i - 1), close != std::wstring::npos});
            i = end;
        } else {
            tokens.push_back({Kind::Character, c, L"", true});
        }
    }

    MarkedText marked;
    bool highlight = hashes % 2 == 1;
    if (highlight)
        marked.Problems.push_back("an odd number of # (" + std::to_string(hashes) +
                                  "): the line is highlighted from its start to the first #");
    bool inLink = false;
    size_t linkStart = 0;
    // A link's text is marked '~' once it is known to be one.
    auto plainLink = [&](const std::string& why) {
        const std::wstring text = marked.Text.substr(linkStart);
        marked.Problems.push_back(why + ": " + Quoted(Narrow(text)) + " shows as plain text");
    };
    for (size_t t = 0; t < tokens.size(); ++t) {
        const Token& token = tokens[t];
        switch (token.What) {
            case Kind::Character:
                marked.Text += token.Character;
                marked.Marks += highlight ? '#' : ' ';
                break;
            case Kind::Hash: highlight = !highlight; break;
            case Kind::Tilde:
                if (!inLink) {
                    inLink = true;
                    linkStart = marked.Text.size();
                    break;
                }
                inLink = false;
                if (t + 1 < tokens.size() && tokens[t + 1].What == Kind::Hidden && tokens[t + 1].Closed) {
                    marked.Links.push_back({linkStart, marked.Text.size() - linkStart, Narrow(tokens[t + 1].Hidden)});
                    for (size_t i = linkStart; i < marked.Marks.size(); ++i) marked.Marks[i] = '~';
                    ++t;
                } else if (t + 1 < tokens.size() && tokens[t + 1].What == Kind::Hidden) {
                    plainLink("a link whose topic has no closing @ (the rest of the line is hidden)");
                    ++t;
                } else {
                    plainLink("a link with no @Topic@ after it");
                }
                break;
            case Kind::Hidden:
                if (!token.Closed)
                    marked.Problems.push_back("a single @ with no closing @ hides the rest of the line, " +
                                              Quoted(Narrow(token.Hidden)) + " (write @@ for a literal @)");
                break;
        }
    }
    if (inLink) plainLink("an unclosed link, a ~ with no closing ~");
    return marked;
}

const HelpTopic* FindTopic(const HelpFile& file, const std::string& name) {
    for (const HelpTopic& topic : file.Topics)
        if (EqualsIgnoringCase(topic.Name, name)) return &topic;
    return nullptr;
}

const HelpTopic* PluginMenuTopic(const HelpFile& file) { return FindTopic(file, "Contents"); }

const HelpTopic* ConfigMenuTopic(const HelpFile& file) {
    for (const char* name : {"Config", "Configure", "Contents"})
        if (const HelpTopic* topic = FindTopic(file, name)) return topic;
    return nullptr;
}

int32_t ChooseHelpFile(const std::vector<HelpFile>& files, const std::string& language) {
    for (const std::string& wanted : {language, std::string("English")})
        for (size_t i = 0; i < files.size(); ++i)
            if (files[i].HasLanguage && EqualsIgnoringCase(files[i].Language, wanted)) return static_cast<int32_t>(i);
    return static_cast<int32_t>(files.size()) - 1;
}

void ReadHelpFiles(const std::string& folder, unsigned oemCodePage, std::vector<HelpFile>& files,
                   std::vector<std::string>& skipped) {
    files.clear();
    skipped.clear();
    const std::vector<std::string> names = FileNamesIn(folder, "*.hlf");
    for (const std::string& name : names) {
        std::string content, reason;
        if (ReadWholeFile(folder + name, content, reason))
            files.push_back(ParseHelpFile(content, oemCodePage, name));
        else
            skipped.push_back(name + " skipped: it cannot be read (" + reason + ")");
    }
}
