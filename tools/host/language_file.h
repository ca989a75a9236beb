// The plug-in's language files as the file manager reads them: the *.lng
// files beside the plug-in, each with a ".Language=NAME,DESCRIPTION" line and
// one quoted line per message, in the OEM code page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct LanguageFile {
    std::string FileName;  // without its folder, for messages
    std::string Name;      // from the .Language line; empty when the file has none
    std::string Description;
    std::vector<std::string> Texts;  // by message id, in the OEM code page as read
};

// One file's content: a line is a message when, blanks trimmed, it starts
// with a quote; messages count from id 0 in file order. The .Language line
// counts only before a line starting with "@Contents".
LanguageFile ParseLanguageFile(const std::string& content);

// The file taken for the interface language: the one of that name (any
// case), else English, else the first; -1 when there is none.
int32_t ChooseLanguageFile(const std::vector<LanguageFile>& files, const std::string& language);

// Every *.lng file of the folder (UTF-8, with its trailing separator), in
// name order. False, with a reason, when the folder holds none.
bool ReadLanguageFiles(const std::string& folder, std::vector<LanguageFile>& files, std::string& error);

// One given file (its path in UTF-8). False, with a reason, when it cannot be read.
bool ReadLanguageFile(const std::string& path, LanguageFile& file, std::string& error);

// "English, German": the names of the files, for a person choosing one.
std::string LanguageNames(const std::vector<LanguageFile>& files);

// The text of a message id, as the host hands it to the plug-in. An id the
// file does not hold gets an empty text, and problem names the file and id.
const char* MessageText(const LanguageFile& file, int32_t id, std::string& problem);
