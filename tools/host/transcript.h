// What the stand-in host prints: labelled lines in UTF-8 (converted for a
// console), the problems it flags, and the trace of what the plug-in asked of
// the host during one call.
#pragma once

#include <windows.h>

#include <string>

// Standard output as the transcript: plain line ends in a file or pipe.
void StartTranscript();
void Print(const std::string& line);
// A line on standard error, converted for a console there too.
void PrintError(const std::string& line);
// Text without a line end, such as a prompt; shown at once.
void PrintPart(const std::string& text);
// A labelled line: the label in a column of its own.
void Say(const char* label, const std::string& text);
std::string Quoted(const std::string& text);
std::string Hex(DWORD value);
// The text padded with blanks to a width in characters, not bytes.
std::string Padded(const std::string& text, size_t width);
// "1 item", "2 items".
std::string Counted(size_t count, const char* noun);

// A line marked "problem"; the session's exit code says that there were some.
void Problem(const std::string& text);
int ProblemCount();

// The trace of one call into the plug-in, printed after the call: what it
// asked of the host, and problems found meanwhile. A run of name matches for
// one name is one line however many patterns were tried. Texts in UTF-8.
void Note(const std::string& text);
void NoteProblem(const std::string& text);
void NoteMatch(const std::string& name, const std::string& pattern, bool matched);
void PrintTrace();
