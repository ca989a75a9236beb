// The plug-in's help files as the file manager reads them: the *.hlf files in
// the plug-in's own folder, chosen by their ".Language=NAME,DESCRIPTION"
// line, each a header of ".Name=value" lines and then topics, one "@Name"
// line each, in a markup of highlights (#text#) and links (~text~@Topic@).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct HelpSourceLine {
    int32_t Number = 0;  // in the file, from 1
    std::string Text;    // UTF-8, tabs as written
};

struct HelpTopic {
    std::string Name;                   // as written after '@'
    int32_t Line = 0;                   // of its '@' line
    std::vector<HelpSourceLine> Title;  // the '$' lines right after it, without the '$'
    std::vector<HelpSourceLine> Body;   // the rest, the @- @+ @= directives among them
};

struct HelpFile {
    std::string FileName;  // without its folder, for messages
    bool HasLanguage = false;
    std::string Language;  // NAME of the .Language line, UTF-8
    std::string Description;
    std::string PluginContents;  // the help window's title is "Help - " and this
    int32_t TabSize = 8;
    std::string ReadAs;  // "UTF-8 with a byte-order mark", "OEM code page 866", ...
    std::vector<HelpTopic> Topics;
    std::vector<std::string> Problems;  // each "FILE, line N: what is wrong and what is shown"
};

// One file's bytes. A UTF-8 or UTF-16 byte-order mark says the encoding;
// without one the bytes are in the OEM code page given. Lines end with CRLF,
// LF or CR. The header runs to the first line that starts with '@'; a line
// "@Name" starts a topic, and every later line that starts with '@' ends
// it, but for @- (keep lines as written), @+ (join them again) and @= (a
// rule). Malformed lines are kept and named in Problems.
HelpFile ParseHelpFile(const std::string& bytes, unsigned oemCodePage, const std::string& fileName);

// The topic of that name, in any case; null when the file has none.
const HelpTopic* FindTopic(const HelpFile& file, const std::string& name);
// What Shift+F1 shows on the plug-in's entry in the plug-in menu
// (Contents) and in the configuration menu (Config, else Configure, else
// Contents); null when the file has none of them.
const HelpTopic* PluginMenuTopic(const HelpFile& file);
const HelpTopic* ConfigMenuTopic(const HelpFile& file);

// A source line's text with its markup read: what shows, and per character
// how (' ' plain, '#' highlighted, '~' a link's text).
struct HelpLinkSpan {
    size_t Start = 0;  // in Text, in UTF-16 units
    size_t Length = 0;
    std::string Target;  // the topic, UTF-8
};
struct MarkedText {
    std::wstring Text;
    std::string Marks;  // one a character of Text
    std::vector<HelpLinkSpan> Links;
    std::vector<std::string> Problems;  // what is wrong with the line, without file and line
};
// ## ~~ @@ are a literal # ~ @. #text# is highlighted, and a line with an
// odd number of single # is highlighted from its start. ~text~@Topic@ is a
// link. A single @ hides the text up to the next @ (to the line's end when
// there is none). A link without its closing ~, or without @Topic@ after
// it, shows as plain text.
MarkedText ReadMarkup(const std::wstring& line);

// The file taken for a help language, of files in directory order: the first
// whose .Language NAME is it (any case), else the first English one, else the
// last; -1 when there is none.
int32_t ChooseHelpFile(const std::vector<HelpFile>& files, const std::string& language);

// The *.hlf files of the folder (UTF-8, with its trailing separator), in
// directory order, for a system of that OEM code page. A file that cannot be
// read is left out, with a line naming it and why in skipped.
void ReadHelpFiles(const std::string& folder, unsigned oemCodePage, std::vector<HelpFile>& files,
                   std::vector<std::string>& skipped);
