// Dialog answers parsed, the dialog drawn on a clipped text canvas, its edit field and buttons found.
#include "tools/host/dialog.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "tools/host/text.h"

namespace {
bool ParseNumber(const std::string& text, int32_t& value) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    value = static_cast<int32_t>(std::stol(text));
    return true;
}
}  // namespace

bool ParseAnswer(const std::string& line, DialogAnswer& answer) {
    std::string word, rest;
    SplitCommand(Trim(line), word, rest);
    if (EqualsIgnoringCase(word, "set")) {
        answer = {AnswerKind::Set, rest, 0, 0};
    } else if (EqualsIgnoringCase(word, "append")) {
        answer = {AnswerKind::Append, rest, 0, 0};
    } else if (EqualsIgnoringCase(word, "escape")) {
        answer = {AnswerKind::Escape, "", 0, 0};
    } else if (EqualsIgnoringCase(word, "F1") && Trim(rest).empty()) {
        answer = {AnswerKind::Help, "", 0, 0};
    } else if (EqualsIgnoringCase(word, "button")) {
        const std::string which = Trim(rest);
        if (which.empty()) return false;
        int32_t number = 0;
        if (ParseNumber(which, number)) {
            if (number < 1) return false;
            answer = {AnswerKind::Button, "", number, 0};
        } else {
            answer = {AnswerKind::Button, which, 0, 0};
        }
    } else {
        return false;
    }
    return true;
}

std::string ItemText(const DialogItemRecord& item) {
    return std::string(item.Text, strnlen(item.Text, DialogItemTextSize));
}

namespace {
// Text lines with a clip rectangle: what falls outside is not drawn, and a
// text cut at the right edge ends in '>'.
class Canvas {
public:
    Canvas(int32_t width, int32_t height)
        : width_(std::max(width, 1)),
          lines_(static_cast<size_t>(std::max(height, 1)), std::string(static_cast<size_t>(width_), ' ')) {
        Unclip();
    }

    void Clip(int32_t left, int32_t top, int32_t right, int32_t bottom) {
        clipLeft_ = std::max(left, 0);
        clipTop_ = std::max(top, 0);
        clipRight_ = std::min(right, width_ - 1);
        clipBottom_ = std::min(bottom, static_cast<int32_t>(lines_.size()) - 1);
    }
    void Unclip() { Clip(0, 0, width_ - 1, static_cast<int32_t>(lines_.size()) - 1); }

    void Put(int32_t x, int32_t y, const std::string& text) {
        if (y < clipTop_ || y > clipBottom_) return;
        std::string& line = lines_[static_cast<size_t>(y)];
        for (size_t i = 0; i < text.size(); ++i) {
            const int64_t column = static_cast<int64_t>(x) + static_cast<int64_t>(i);
            if (column < clipLeft_ || column > clipRight_) continue;
            const bool cut = column == clipRight_ && i + 1 < text.size() && clipRight_ < width_ - 1;
            line[static_cast<size_t>(column)] = cut ? '>' : text[i];
        }
    }
    int32_t Width() const { return width_; }
    int32_t ClipLeft() const { return clipLeft_; }
    int32_t ClipWidth() const { return clipRight_ - clipLeft_ + 1; }
    std::vector<std::string> Lines() const {
        std::vector<std::string> out;
        for (const std::string& l : lines_) out.push_back(l.substr(0, l.find_last_not_of(' ') + 1));
        return out;
    }

private:
    int32_t width_;
    std::vector<std::string> lines_;
    int32_t clipLeft_ = 0, clipTop_ = 0, clipRight_ = 0, clipBottom_ = 0;
};

std::string ButtonFace(const DialogItemRecord& item) { return "[ " + ItemText(item) + " ]"; }

// Item coordinates as given, but kept to a little beyond the canvas, so that
// wild values neither overflow nor ask for huge texts.
int32_t Bounded(int32_t value, int32_t limit) { return std::clamp(value, -1, limit + 1); }

struct Box {
    int32_t Left, Top, Right, Bottom;
};

Box FrameBox(const Canvas& canvas, const DialogItemRecord& item) {
    const int32_t left = Bounded(item.Left, canvas.Width()), top = Bounded(item.Top, MaxDialogHeight);
    return {left, top, std::max(Bounded(item.Right, canvas.Width()), left + 1),
            std::max(Bounded(item.Bottom, MaxDialogHeight), top + 1)};
}

void DrawFrame(Canvas& canvas, const DialogItemRecord& item) {
    const Box box = FrameBox(canvas, item);
    const std::string border = "+" + std::string(static_cast<size_t>(box.Right - box.Left - 1), '-') + "+";
    canvas.Put(box.Left, box.Top, border);
    canvas.Put(box.Left, box.Bottom, border);
    for (int32_t y = box.Top + 1; y < box.Bottom; ++y) {
        canvas.Put(box.Left, y, "|");
        canvas.Put(box.Right, y, "|");
    }
    const std::string title = ItemText(item);
    if (title.empty()) return;
    const int32_t inner = box.Right - box.Left - 1;
    std::string shown = " " + title + " ";
    if (static_cast<int32_t>(shown.size()) > inner && inner > 2)
        shown = " " + title.substr(0, static_cast<size_t>(inner - 3)) + "> ";
    canvas.Put(box.Left + 1 + std::max(0, (inner - static_cast<int32_t>(shown.size())) / 2), box.Top,
               shown.substr(0, static_cast<size_t>(std::max(inner, 0))));
}

void DrawEdit(Canvas& canvas, const DialogItemRecord& item) {
    const int32_t left = Bounded(item.Left, canvas.Width());
    const int32_t width = std::max(1, Bounded(item.Right, canvas.Width()) - left + 1);
    std::string text = ItemText(item);
    if (static_cast<int32_t>(text.size()) > width) text = text.substr(0, static_cast<size_t>(width - 1)) + ">";
    text.resize(static_cast<size_t>(width), '_');
    canvas.Put(left, item.Top, text);
}
}  // namespace

std::vector<std::string> DrawDialog(const DialogItemRecord* items, int32_t count, int32_t width, int32_t height) {
    // A console holds no more than this; a bigger size is drawn cut.
    Canvas canvas(std::min(width, MaxDialogWidth), std::min(height, MaxDialogHeight));
    if (items == nullptr || count <= 0) return canvas.Lines();
    // Everything but the frame stays inside the first frame.
    for (int32_t i = 0; i < count; ++i) {
        if (items[i].ItemType != FrameItemType) continue;
        DrawFrame(canvas, items[i]);
        const Box box = FrameBox(canvas, items[i]);
        canvas.Clip(box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1);
        break;
    }
    std::vector<int32_t> centredRows;
    bool firstFrame = true;
    for (int32_t i = 0; i < count; ++i) {
        const DialogItemRecord& item = items[i];
        switch (item.ItemType) {
            case FrameItemType:
                if (!firstFrame) DrawFrame(canvas, item);
                firstFrame = false;
                break;
            case EditItemType: DrawEdit(canvas, item); break;
            case ButtonItemType:
                if (item.Left == 0) {
                    if (std::find(centredRows.begin(), centredRows.end(), item.Top) == centredRows.end())
                        centredRows.push_back(item.Top);
                } else {
                    canvas.Put(item.Left, item.Top, ButtonFace(item));
                }
                break;
            default: canvas.Put(item.Left, item.Top, ItemText(item)); break;
        }
    }
    // Buttons without a column of their own share their row, centred in the
    // frame.
    for (int32_t row : centredRows) {
        std::string group;
        for (int32_t i = 0; i < count; ++i)
            if (items[i].ItemType == ButtonItemType && items[i].Left == 0 && items[i].Top == row)
                group += (group.empty() ? "" : " ") + ButtonFace(items[i]);
        canvas.Put(canvas.ClipLeft() + std::max(0, (canvas.ClipWidth() - static_cast<int32_t>(group.size())) / 2), row,
                   group);
    }
    return canvas.Lines();
}

int32_t EditFieldIndex(const DialogItemRecord* items, int32_t count) {
    if (items == nullptr) return -1;
    int32_t first = -1;
    for (int32_t i = 0; i < count; ++i) {
        if (items[i].ItemType != EditItemType) continue;
        if (items[i].HasFocus != 0) return i;
        if (first < 0) first = i;
    }
    return first;
}

int32_t ButtonIndex(const DialogItemRecord* items, int32_t count, const DialogAnswer& answer) {
    if (items == nullptr || answer.Kind != AnswerKind::Button) return -1;
    int32_t seen = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (items[i].ItemType != ButtonItemType) continue;
        ++seen;
        if (answer.Button > 0 ? seen == answer.Button : EqualsIgnoringCase(ItemText(items[i]), answer.Text)) return i;
    }
    return -1;
}

namespace {
// Characters, not bytes, of a UTF-8 text.
size_t Width(const std::string& text) { return Widen(text).size(); }
}  // namespace

std::vector<std::string> DrawMessageBox(const std::string& title, const std::vector<std::string>& lines,
                                        const std::vector<std::string>& buttons, bool leftAligned) {
    std::string row;
    for (const std::string& button : buttons) row += (row.empty() ? "[ " : " [ ") + button + " ]";
    size_t inner = std::max(Width(row), Width(title) + 4);
    for (const std::string& line : lines) inner = std::max(inner, Width(line));
    inner += 2;
    auto framed = [inner](const std::string& text, bool centred) {
        const size_t room = inner - Width(text);
        const size_t before = centred ? room / 2 : 1;
        return "|" + std::string(before, ' ') + text + std::string(room - before, ' ') + "|";
    };
    const std::string heading = " " + title + " ";
    const size_t dashes = inner - Width(heading);
    std::vector<std::string> drawn{"+" + std::string(dashes / 2, '-') + heading +
                                   std::string(dashes - dashes / 2, '-') + "+"};
    for (const std::string& line : lines) drawn.push_back(framed(line, !leftAligned));
    drawn.push_back(framed(row, true));
    drawn.push_back("+" + std::string(inner, '-') + "+");
    return drawn;
}

int32_t MessageBoxButton(const std::vector<std::string>& buttons, const DialogAnswer& answer) {
    if (answer.Kind != AnswerKind::Button) return -1;
    if (answer.Button > 0) return answer.Button <= static_cast<int32_t>(buttons.size()) ? answer.Button - 1 : -1;
    for (size_t i = 0; i < buttons.size(); ++i)
        if (EqualsIgnoringCase(buttons[i], OemToUtf8(answer.Text))) return static_cast<int32_t>(i);
    return -1;
}
