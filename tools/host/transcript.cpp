// Output to a console or a file, labelled lines, problems counted, the call trace with matches folded.
#include "tools/host/transcript.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <vector>

#include "tools/host/text.h"
#include "tools/hostkit/console_input.h"

namespace {

bool ToConsole = false;
int Problems = 0;

struct TraceEntry {
    std::string Text;
    bool IsProblem = false;
    bool IsMatch = false;
    std::string MatchName;
    std::vector<std::string> Patterns;
    bool Matched = false;
};
std::vector<TraceEntry> Trace;

void WriteTo(DWORD which, FILE* stream, bool console, const std::string& text) {
    if (console) {
        // The console takes UTF-16 and shows it in the terminal's encoding.
        const std::wstring wide = Widen(text);
        DWORD written = 0;
        WriteConsoleW(GetStdHandle(which), wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        std::fwrite(text.data(), 1, text.size(), stream);
    }
}

void Write(const std::string& text) { WriteTo(STD_OUTPUT_HANDLE, stdout, ToConsole, text); }

std::string PatternSpan(const std::vector<std::string>& patterns) {
    auto shown = [](const std::string& p) { return p.empty() ? std::string("(empty)") : p; };
    if (patterns.size() <= 4) {
        std::string text;
        for (const std::string& p : patterns) text += (text.empty() ? "" : ", ") + shown(p);
        return text;
    }
    return std::to_string(patterns.size()) + " patterns (" + shown(patterns.front()) + " ... " +
           shown(patterns.back()) + ")";
}

std::string Describe(const TraceEntry& entry) {
    if (!entry.IsMatch) return entry.Text;
    std::string text = "checked " + Quoted(entry.MatchName) + " against " + PatternSpan(entry.Patterns) + ": ";
    return text + (entry.Matched ? "matches " + entry.Patterns.back() : "no match");
}

}  // namespace

void StartTranscript() {
    ToConsole = IsConsole(GetStdHandle(STD_OUTPUT_HANDLE));
    if (!ToConsole) _setmode(_fileno(stdout), _O_BINARY);
}

void Print(const std::string& line) {
    Write(line + "\n");
    if (!ToConsole) std::fflush(stdout);
}

void PrintError(const std::string& line) {
    std::fflush(stdout);
    WriteTo(STD_ERROR_HANDLE, stderr, IsConsole(GetStdHandle(STD_ERROR_HANDLE)), line + "\n");
    std::fflush(stderr);
}

void PrintPart(const std::string& text) {
    Write(text);
    std::fflush(stdout);
}

void Say(const char* label, const std::string& text) {
    std::string line = "    " + Padded(label, 11) + text;
    line.erase(line.find_last_not_of(' ') + 1);
    Print(line);
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%02lX", static_cast<unsigned long>(value));
    return text;
}

std::string Padded(const std::string& text, size_t width) {
    const size_t characters = Widen(text).size();
    return characters >= width ? text : text + std::string(width - characters, ' ');
}

std::string Counted(size_t count, const char* noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

void Problem(const std::string& text) {
    Say("problem", text);
    ++Problems;
}

int ProblemCount() { return Problems; }

void Note(const std::string& text) { Trace.push_back({text, false, false, "", {}, false}); }

void NoteProblem(const std::string& text) { Trace.push_back({text, true, false, "", {}, false}); }

void NoteMatch(const std::string& name, const std::string& pattern, bool matched) {
    if (Trace.empty() || !Trace.back().IsMatch || Trace.back().MatchName != name || Trace.back().Matched)
        Trace.push_back({"", false, true, name, {}, false});
    Trace.back().Patterns.push_back(pattern);
    Trace.back().Matched = matched;
}

void PrintTrace() {
    bool first = true;
    for (const TraceEntry& entry : Trace) {
        if (entry.IsProblem) {
            Problem(entry.Text);
        } else {
            Say(first ? "plug-in" : "", Describe(entry));
            first = false;
        }
    }
    Trace.clear();
}
