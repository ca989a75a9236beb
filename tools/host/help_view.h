// A help topic laid out as the file manager's help window shows it: text
// joined and wrapped at the window's width, centred lines, kept lines,
// rules, highlights and links.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/host/help_file.h"

// The help window shows 69 columns on an 80-column console.
constexpr int32_t HelpWindowColumns = 69;
// Lines meant to stay intact are kept within this, one column to spare.
constexpr int32_t HelpIntactColumns = 68;

struct HelpViewLine {
    std::wstring Text;  // without blanks at its end
    std::string Marks;  // per character: ' ' plain, '#' highlighted, '~' a link
};

struct HelpViewLink {
    std::string Text;    // as shown, UTF-8
    std::string Target;  // the topic
    bool InTitle = false;
    int32_t Row = 0;  // its first line, in the title or the body
};

struct HelpView {
    std::vector<HelpViewLine> Title;  // the fixed title, from the '$' lines
    std::vector<HelpViewLine> Body;
    std::vector<HelpViewLink> Links;    // in reading order, title first
    std::vector<std::string> Problems;  // "FILE, line N: ..." for kept lines cut at the window's edge
};

// The topic laid out at that width. A line that does not start with a blank
// joins the text before it with one blank; a line that starts with one starts
// a new line, and one that starts with '^' a new centred line; an empty line
// ends the paragraph. Joined text wraps at blanks, and its lines after the
// first keep the first line's indent. Lines between @- and @+ show as
// written, cut at the window's edge; @= is a rule across the window. Tabs
// stop every TabSize columns (a TabSize of 0 makes a tab one blank).
HelpView LayOutTopic(const HelpFile& file, const HelpTopic& topic, int32_t columns);

// The lines meant to stay intact (a title line, a kept line, a line that
// neither joins nor is joined) wider than the columns, as "line N: W columns".
std::vector<std::string> IntactLinesWiderThan(const HelpFile& file, const HelpTopic& topic, int32_t columns);
