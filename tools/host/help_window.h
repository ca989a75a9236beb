// The file manager's help window for the plug-in: Shift+F1 on its entry in
// the plug-in menu or the configuration menu shows a topic of the help file
// beside the plug-in, chosen for the help language; links are followed by
// their text, or at the keyboard with Tab and Enter.
#pragma once

#include <string>

enum class HelpEntry { PluginMenu, ConfigMenu };

// The file manager's help language, a setting apart from the interface language.
extern std::string HelpLanguage;

// Shift+F1 on the entry: the file chosen, the topic shown in a frame at the
// window's width, with a line of marks under highlights and links.
void ShowEntryHelp(HelpEntry entry);
// F1 in a dialog: the topic it names, or nothing when it names none.
void ShowDialogHelp(bool hasTopic, const std::string& topic);
// Follows the link of that text (any ASCII case) on the page shown last.
void FollowHelpLink(const std::string& text);
// At the keyboard: the entry's topic, then Tab and Shift+Tab choose a link,
// Enter follows it, Esc or F10 closes the window.
void BrowseHelp(HelpEntry entry);
