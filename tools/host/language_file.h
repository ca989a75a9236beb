// The plug-in's language files as the file manager reads them: the *.lng
// files beside the plug-in, each with a ".Language=NAME,DESCRIPTION" line in
// its header and one quoted line per message. The plug-in gets the texts in
// the OEM code page, whatever the file's encoding.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct LanguageFile {
    std::string FileName;         // without its folder, for messages
    bool IsLanguageFile = false;  // its header has a .Language line
    std::string Name;             // from the .Language line, in UTF-8
    std::string Description;
    std::vector<std::string> Texts;  // by message id, in the OEM code page
    unsigned OemCodePage = 0;
    bool ByteOrderMark = false;  // it starts with one, so it is UTF-8 throughout
    int32_t OemFromLine = 0;     // read in the OEM code page from this line (from 1) on; 0: UTF-8 throughout
};

// One file's content. The header runs to the first line that starts with a
// quote (blanks trimmed); its first ".Language=" line, in any case, names the
// language. Each such line is a message; messages count from id 0 in file
// order. A file that starts with a byte-order mark is UTF-8; else lines are
// UTF-8 until the first one that is not, and from that one on in the OEM
// code page. UTF-8 texts are converted to that code page, '?' for what it
// cannot hold.
LanguageFile ParseLanguageFile(const std::string& content, unsigned oemCodePage);

// The file taken for the interface language, of files in directory order:
// the first of that name (any case), else the first English one, else the
// last; -1 when there is none.
int32_t ChooseLanguageFile(const std::vector<LanguageFile>& files, const std::string& language);

// The language files of the folder (UTF-8, with its trailing separator), in
// directory order, for a system of that OEM code page. Each *.lng file that
// cannot be read or is no language file is left out, with a line naming it
// and why in skipped. False, with a reason, when the folder holds no
// language file.
bool ReadLanguageFiles(const std::string& folder, unsigned oemCodePage, std::vector<LanguageFile>& files,
                       std::vector<std::string>& skipped, std::string& error);

// One file (its path in UTF-8). False, with the reason, when it cannot be
// read or has no .Language line.
bool ReadLanguageFile(const std::string& path, unsigned oemCodePage, LanguageFile& file, std::string& reason);

// How the file was read, for the banner: "" for UTF-8 without a mark.
std::string ReadAs(const LanguageFile& file);

// "English, German": the names of the files, for a person choosing one.
std::string LanguageNames(const std::vector<LanguageFile>& files);

// The text of a message id, as the host hands it to the plug-in. An id the
// file does not hold gets an empty text, and problem names the file and id.
const char* MessageText(const LanguageFile& file, int32_t id, std::string& problem);
