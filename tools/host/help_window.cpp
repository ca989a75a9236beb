// The help file beside the plug-in chosen and read, a topic drawn in a frame with its marks, links followed.
#include "tools/host/help_window.h"

#include <windows.h>

#include <set>
#include <vector>

#include "tools/host/help_file.h"
#include "tools/host/help_view.h"
#include "tools/host/interactive_session.h"
#include "tools/host/plugin_session.h"
#include "tools/host/text.h"
#include "tools/host/transcript.h"
#include "tools/hostkit/paths.h"

std::string HelpLanguage = "English";

namespace {

// The page shown last, for links to be followed from.
struct Page {
    HelpFile File;
    std::string Topic;
    HelpView View;
};
Page Shown;
bool HasPage = false;
// A file's problems are told once a session, not at each page.
std::set<std::string> ToldProblems;

void Tell(const std::string& problem) {
    if (ToldProblems.insert(problem).second) Problem(problem);
}

std::string Marked(const HelpViewLine& line) {
    return line.Marks.find_first_not_of(' ') == std::string::npos ? "" : " " + line.Marks;
}

// The window's lines, indented less than labelled lines, so that the frame
// fits an 80-column terminal.
void Window(const std::string& line) {
    std::string shown = "    " + line;
    shown.erase(shown.find_last_not_of(' ') + 1);
    Print(shown);
}

void DrawLines(const std::vector<HelpViewLine>& lines) {
    for (const HelpViewLine& line : lines) {
        const size_t width = line.Text.size() < HelpWindowColumns ? HelpWindowColumns - line.Text.size() : 0;
        Window("|" + Narrow(line.Text) + std::string(width, ' ') + "|");
        if (!Marked(line).empty()) Window(Marked(line));
    }
}

// The topic in a frame as wide as the help window, its fixed title above a
// line of its own, and the links it holds.
void Draw(const Page& page) {
    const std::string title = page.File.PluginContents.empty() ? " Help " : " Help - " + page.File.PluginContents + " ";
    const size_t titleWidth = Widen(title).size();
    const size_t left = titleWidth < HelpWindowColumns ? (HelpWindowColumns - titleWidth) / 2 : 0;
    const size_t right = titleWidth + left < HelpWindowColumns ? HelpWindowColumns - titleWidth - left : 0;
    Window("+" + std::string(left, '-') + title + std::string(right, '-') + "+");
    DrawLines(page.View.Title);
    if (!page.View.Title.empty()) Window("+" + std::string(HelpWindowColumns, '-') + "+");
    DrawLines(page.View.Body);
    Window("+" + std::string(HelpWindowColumns, '-') + "+");
    for (size_t i = 0; i < page.View.Links.size(); ++i)
        Say(i == 0 ? "links" : "", Quoted(page.View.Links[i].Text) + " -> " + page.View.Links[i].Target);
    for (const std::string& problem : page.View.Problems) Tell(problem);
}

void ShowTopic(const HelpFile& file, const HelpTopic& topic) {
    Shown = Page{file, topic.Name, LayOutTopic(file, topic, HelpWindowColumns)};
    HasPage = true;
    Say("topic", topic.Name + " (line " + std::to_string(topic.Line) + ")");
    Draw(Shown);
}

// The help file the file manager takes for the help language, with notes on
// how it was chosen and read; false, with a problem, when there is none.
bool ChooseFile(HelpFile& chosen) {
    const std::string folder = FolderOf(ThePlugin->Dll.File());
    std::vector<HelpFile> files;
    std::vector<std::string> skipped;
    ReadHelpFiles(folder, GetOEMCP(), files, skipped);
    for (const std::string& reason : skipped) Tell(reason);
    if (files.empty())
        return Problem("no help file (*.hlf) beside the plug-in in " + folder +
                       ": the file manager shows nothing, and says nothing"),
               false;
    chosen = files[static_cast<size_t>(ChooseHelpFile(files, HelpLanguage))];
    std::string note;
    if (!chosen.HasLanguage || !EqualsIgnoringCase(chosen.Language, HelpLanguage)) {
        std::string names;
        for (const HelpFile& file : files)
            names += (names.empty() ? "" : ", ") + (file.HasLanguage ? file.Language : "(unnamed) " + file.FileName);
        note = "; no help file is for " + Quoted(HelpLanguage) + ", the languages here are " + names;
    }
    Say("help file", chosen.FileName + " (" + (chosen.HasLanguage ? chosen.Language : "unnamed") + note +
                         "), read as " + chosen.ReadAs);
    if (chosen.PluginContents.empty())
        Say("", "no .PluginContents line: the window is titled \"Help\", and the help index does not list the plug-in");
    for (const std::string& problem : chosen.Problems) Tell(problem);
    return true;
}

int32_t SelectedLink = -1;

void ShowEntry(HelpEntry entry) {
    HasPage = false;
    SelectedLink = -1;
    const bool menu = entry == HelpEntry::PluginMenu;
    Say("help",
        std::string("Shift+F1 on the ") + (menu ? "plug-in menu entry: topic Contents"
                                                : "configuration menu entry: Config, else Configure, else Contents"));
    HelpFile file;
    if (!ChooseFile(file)) return;
    const HelpTopic* topic = menu ? PluginMenuTopic(file) : ConfigMenuTopic(file);
    if (topic == nullptr)
        return Problem(file.FileName + " holds no topic " + (menu ? "Contents" : "Config, Configure or Contents") +
                       ": the file manager shows nothing");
    ShowTopic(file, *topic);
}

void Follow(const HelpViewLink& link) {
    Say("follow", Quoted(link.Text) + " -> " + link.Target);
    const HelpFile file = Shown.File;  // the page is replaced by the one followed to
    const HelpTopic* topic = FindTopic(file, link.Target);
    if (topic == nullptr)
        return Problem(file.FileName + " holds no topic " + Quoted(link.Target) + ": the link leads nowhere");
    SelectedLink = -1;
    ShowTopic(file, *topic);
}

}  // namespace

void ShowEntryHelp(HelpEntry entry) { ShowEntry(entry); }

void ShowDialogHelp(bool hasTopic, const std::string& topic) {
    HasPage = false;
    if (!hasTopic) return Say("help", "none: the dialog names no help topic, so F1 shows nothing");
    Say("help", "F1 in the dialog: topic " + topic);
    HelpFile file;
    if (!ChooseFile(file)) return;
    const HelpTopic* found = FindTopic(file, topic);
    if (found == nullptr) return Problem(file.FileName + " holds no topic " + Quoted(topic) + ": F1 shows nothing");
    ShowTopic(file, *found);
}

void FollowHelpLink(const std::string& text) {
    if (!HasPage) return Problem("no help page is shown, so there is no link to follow");
    for (const HelpViewLink& link : Shown.View.Links)
        if (EqualsIgnoringCase(link.Text, text)) return Follow(link);
    Problem("the page " + Shown.Topic + " has no link " + Quoted(text));
}

void BrowseHelp(HelpEntry entry) {
    ShowEntry(entry);
    if (!HasPage) return;
    Say("", "Tab and Shift+Tab choose a link, Enter follows it, Esc or F10 closes the help");
    KEY_EVENT_RECORD key;
    while (ReadKeyPress(key)) {
        const auto links = static_cast<int32_t>(Shown.View.Links.size());
        if (key.wVirtualKeyCode == VK_ESCAPE || key.wVirtualKeyCode == VK_F10) break;
        if (key.wVirtualKeyCode == VK_TAB && links > 0) {
            const bool back = (key.dwControlKeyState & SHIFT_PRESSED) != 0;
            SelectedLink = back ? (SelectedLink <= 0 ? links - 1 : SelectedLink - 1) : (SelectedLink + 1) % links;
            const HelpViewLink& link = Shown.View.Links[static_cast<size_t>(SelectedLink)];
            Say("link", std::to_string(SelectedLink + 1) + " of " + std::to_string(links) + ": " + Quoted(link.Text) +
                            " -> " + link.Target);
        } else if (key.wVirtualKeyCode == VK_RETURN && SelectedLink >= 0 && SelectedLink < links) {
            Print("");
            Follow(Shown.View.Links[static_cast<size_t>(SelectedLink)]);
        }
    }
    Say("help", "closed");
}
