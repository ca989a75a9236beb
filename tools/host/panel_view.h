// The panel as the file manager shows it in the transcript: a folder listed
// into it, its items around the cursor, and the cursor the host moves itself.
#pragma once

#include <string>

// Lists the folder (a full path) in the panel, the cursor on the item of the
// given real name, else on the first. False, with a reason, when it cannot.
bool ShowFolder(const std::string& path, const std::string& cursorOn, std::string& error);
void ShowPanel();
// Puts the cursor on the item of that name, else of that number; false, with
// a problem marked, when there is none.
bool PlaceCursor(const std::string& which);
