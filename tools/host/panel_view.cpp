// The panel printed with the rows in sight, and the cursor the host moves itself.
#include "tools/host/panel_view.h"

#include <algorithm>
#include <cstdio>

#include "tools/host/plugin_services.h"
#include "tools/host/text.h"
#include "tools/host/transcript.h"

bool ShowFolder(const std::string& path, const std::string& cursorOn, std::string& error) {
    FolderListing listing;
    if (!ListFolder(path, listing, error)) return false;
    Host.FolderPath = path;
    Host.ThePanel.SetItems(std::move(listing));
    const int32_t index = cursorOn.empty() ? -1 : Host.ThePanel.Find(cursorOn);
    if (index >= 0) Host.ThePanel.Redraw(index, Host.ThePanel.Top());
    ShowPanel();
    return true;
}

void ShowPanel() {
    const Panel& panel = Host.ThePanel;
    const int32_t current = panel.Current();
    Say("panel", "folder " + Quoted(FolderDisplayName(Host.FolderPath)) + ", " +
                     Counted(static_cast<size_t>(panel.Count()), "item") + ", cursor on " +
                     (current < panel.Count() ? Quoted(panel.NameAt(current)) + " (" + std::to_string(current) + ")"
                                              : "no item"));
    const int32_t end = std::min(panel.Count(), panel.Top() + panel.Rows());
    if (panel.Top() > 0) Say("", "  (" + std::to_string(panel.Top()) + " above)");
    for (int32_t i = panel.Top(); i < end; ++i) {
        char number[16];
        std::snprintf(number, sizeof number, "%s %2ld  ", i == current ? "->" : "  ", static_cast<long>(i));
        Say("", number + Padded(panel.NameAt(i), 24) + (panel.IsDirectory(i) ? "  <folder>" : ""));
        std::string oem, refused;
        if (!panel.NameFits(i) && !Utf8ToOem(panel.RealNameAt(i), oem, refused))
            Say("", "        (its name is " + Quoted(panel.RealNameAt(i)) + "; the OEM code page has no " + refused +
                        ", so the plug-in sees " + Quoted(panel.NameAt(i)) + ")");
    }
    if (end < panel.Count()) Say("", "  (" + std::to_string(panel.Count() - end) + " below)");
}

bool PlaceCursor(const std::string& which) {
    Panel& panel = Host.ThePanel;
    int32_t index = panel.Find(which);
    if (index < 0 && !which.empty() && which.size() < 9 && which.find_first_not_of("0123456789") == std::string::npos)
        index = std::stoi(which);
    if (index < 0 || index >= panel.Count()) return Problem("no item " + Quoted(which)), false;
    panel.Redraw(index, panel.Top());
    Say("panel", "cursor on " + Quoted(panel.NameAt(index)) + " (" + std::to_string(index) + ")");
    return true;
}
