// Help topics laid out: source lines into paragraphs (joined, kept, centred, rules), paragraphs into window lines.
#include "tools/host/help_view.h"

#include "tools/host/text.h"

namespace {

struct Cell {
    wchar_t Character;
    char Mark;
    int32_t Link;  // index into the view's links, -1 for none
};

struct Paragraph {
    std::vector<Cell> Cells;
    bool Centred = false;
    bool Kept = false;
    bool Rule = false;
    int32_t FirstLine = 0;
    int32_t Lines = 0;  // source lines joined into it
};

std::wstring ExpandTabs(const std::wstring& line, int32_t tabSize) {
    std::wstring expanded;
    for (const wchar_t c : line) {
        if (c != L'\t') {
            expanded += c;
        } else if (tabSize == 0) {
            expanded += L' ';
        } else {
            do {
                expanded += L' ';
            } while (expanded.size() % static_cast<size_t>(tabSize) != 0);
        }
    }
    return expanded;
}

class ParagraphBuilder {
public:
    ParagraphBuilder(const HelpFile& file, std::vector<HelpViewLink>& links, bool title)
        : File(file), Links(links), InTitle(title) {}

    std::vector<Paragraph> Build(const std::vector<HelpSourceLine>& lines) {
        for (const HelpSourceLine& line : lines) Add(line);
        return std::move(Paragraphs);
    }

private:
    void Add(const HelpSourceLine& line) {
        if (line.Text == "@-" || line.Text == "@+") {
            Kept = line.Text == "@-";
            Open = false;
            return;
        }
        if (line.Text == "@=") {
            Paragraphs.push_back({{}, false, false, true, line.Number, 1});
            Open = false;
            return;
        }
        std::wstring text = ExpandTabs(Widen(line.Text), File.TabSize);
        while (!text.empty() && text.back() == L' ') text.pop_back();
        const bool centred = !text.empty() && text[0] == L'^';
        if (centred) text.erase(0, 1);
        if (text.empty() && !centred) {
            Paragraphs.push_back({{}, false, false, false, line.Number, 1});
            Open = false;
            return;
        }
        const bool startsLine = InTitle || Kept || centred || text[0] == L' ' || !Open;
        if (startsLine) {
            Paragraphs.push_back({{}, centred, Kept, false, line.Number, 0});
        } else {
            Paragraphs.back().Cells.push_back({L' ', ' ', -1});
        }
        Paragraph& paragraph = Paragraphs.back();
        ++paragraph.Lines;
        Append(paragraph, ReadMarkup(text));
        Open = !InTitle && !Kept;
    }

    void Append(Paragraph& paragraph, const MarkedText& marked) {
        std::vector<int32_t> linkOf(marked.Text.size(), -1);
        for (const HelpLinkSpan& span : marked.Links) {
            const int32_t index = static_cast<int32_t>(Links.size());
            Links.push_back({Narrow(marked.Text.substr(span.Start, span.Length)), span.Target, InTitle, -1});
            for (size_t i = span.Start; i < span.Start + span.Length; ++i) linkOf[i] = index;
        }
        for (size_t i = 0; i < marked.Text.size(); ++i)
            paragraph.Cells.push_back({marked.Text[i], marked.Marks[i], linkOf[i]});
    }

    const HelpFile& File;
    std::vector<HelpViewLink>& Links;
    const bool InTitle;
    std::vector<Paragraph> Paragraphs;
    bool Kept = false;
    bool Open = false;  // the last paragraph takes the next line that does not start with a blank
};

class Layout {
public:
    Layout(const HelpFile& file, std::vector<HelpViewLink>& links, std::vector<std::string>& problems, int32_t columns)
        : File(file), Links(links), Problems(problems), Columns(static_cast<size_t>(columns < 1 ? 1 : columns)) {}

    std::vector<HelpViewLine> LayOut(const std::vector<Paragraph>& paragraphs, bool title) {
        std::vector<HelpViewLine> lines;
        for (const Paragraph& paragraph : paragraphs) {
            if (paragraph.Rule) {
                lines.push_back({std::wstring(Columns, L'-'), std::string(Columns, ' ')});
            } else if (paragraph.Kept) {
                std::vector<Cell> cells = paragraph.Cells;
                if (cells.size() > Columns) {
                    Problems.push_back(File.FileName + ", line " + std::to_string(paragraph.FirstLine) + ": " +
                                       std::to_string(cells.size()) + " columns, kept as written: the window shows " +
                                       std::to_string(Columns) + ", the rest is cut");
                    cells.resize(Columns);
                }
                Emit(lines, cells, 0, title);
            } else {
                Wrap(lines, paragraph, title);
            }
        }
        return lines;
    }

private:
    void Wrap(std::vector<HelpViewLine>& lines, const Paragraph& paragraph, bool title) {
        const std::vector<Cell>& cells = paragraph.Cells;
        if (cells.empty()) return Emit(lines, cells, 0, title);
        size_t indent = 0;
        while (indent < cells.size() && cells[indent].Character == L' ') ++indent;
        if (indent * 2 >= Columns) indent = 0;
        size_t start = 0;
        bool first = true;
        while (start < cells.size()) {
            const size_t room = first ? Columns : Columns - indent;
            size_t end = cells.size();
            if (end - start > room) {
                end = start + room;
                size_t blank = end;
                while (blank > start && cells[blank].Character != L' ') --blank;
                if (blank > start) end = blank;  // else a word wider than the window is cut
            }
            std::vector<Cell> piece;
            if (!first) piece.assign(indent, {L' ', ' ', -1});
            piece.insert(piece.end(), cells.begin() + static_cast<ptrdiff_t>(start),
                         cells.begin() + static_cast<ptrdiff_t>(end));
            size_t margin = 0;
            if (paragraph.Centred) {
                while (!piece.empty() && piece.front().Character == L' ') piece.erase(piece.begin());
                while (!piece.empty() && piece.back().Character == L' ') piece.pop_back();
                margin = (Columns - piece.size()) / 2;
            }
            Emit(lines, piece, margin, title);
            start = end;
            while (start < cells.size() && cells[start].Character == L' ') ++start;
            first = false;
        }
    }

    void Emit(std::vector<HelpViewLine>& lines, const std::vector<Cell>& cells, size_t margin, bool title) {
        HelpViewLine line{std::wstring(margin, L' '), std::string(margin, ' ')};
        for (const Cell& cell : cells) {
            line.Text += cell.Character;
            line.Marks += cell.Mark;
            if (cell.Link >= 0 && Links[static_cast<size_t>(cell.Link)].Row < 0) {
                Links[static_cast<size_t>(cell.Link)].Row = static_cast<int32_t>(lines.size());
                Links[static_cast<size_t>(cell.Link)].InTitle = title;
            }
        }
        while (!line.Text.empty() && line.Text.back() == L' ' && line.Marks.back() == ' ') {
            line.Text.pop_back();
            line.Marks.pop_back();
        }
        lines.push_back(line);
    }

    const HelpFile& File;
    std::vector<HelpViewLink>& Links;
    std::vector<std::string>& Problems;
    const size_t Columns;
};

}  // namespace

HelpView LayOutTopic(const HelpFile& file, const HelpTopic& topic, int32_t columns) {
    HelpView view;
    const std::vector<Paragraph> title = ParagraphBuilder(file, view.Links, true).Build(topic.Title);
    const std::vector<Paragraph> body = ParagraphBuilder(file, view.Links, false).Build(topic.Body);
    Layout layout(file, view.Links, view.Problems, columns);
    view.Title = layout.LayOut(title, true);
    view.Body = layout.LayOut(body, false);
    return view;
}

std::vector<std::string> IntactLinesWiderThan(const HelpFile& file, const HelpTopic& topic, int32_t columns) {
    std::vector<HelpViewLink> links;
    std::vector<std::string> wide;
    for (const bool title : {true, false})
        for (const Paragraph& paragraph : ParagraphBuilder(file, links, title).Build(title ? topic.Title : topic.Body))
            if (paragraph.Lines == 1 && !paragraph.Rule && paragraph.Cells.size() > static_cast<size_t>(columns))
                wide.push_back("line " + std::to_string(paragraph.FirstLine) + ": " +
                               std::to_string(paragraph.Cells.size()) + " columns");
    return wide;
}
