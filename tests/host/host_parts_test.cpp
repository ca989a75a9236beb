#include <gtest/gtest.h>

#include <fstream>

#include "tools/host/dialog.h"
#include "tools/host/keys.h"
#include "tools/host/language_file.h"
#include "tools/host/panel.h"
#include "tools/host/session_script.h"
#include "tools/host/text.h"
#include "tools/host/viewer.h"
#include "tools/hostkit/paths.h"
#include "tools/hostkit/system_handles.h"

namespace {

std::vector<std::string> Names(const std::vector<PanelItemRecord>& items) {
    std::vector<std::string> names;
    for (const PanelItemRecord& item : items) names.push_back(item.FindData.cFileName);
    return names;
}

Panel PanelOf(int32_t count, int32_t rows) {
    std::vector<PanelItemRecord> items;
    for (int32_t i = 0; i < count; ++i) items.push_back(MakeItem("f" + std::to_string(i), FILE_ATTRIBUTE_NORMAL));
    Panel panel(rows);
    panel.SetItems(ListingOf(items));
    return panel;
}

}  // namespace

TEST(PanelRedraw, KeepsTheCursorOnAnItemAndInSight) {
    Panel panel = PanelOf(6, 20);
    EXPECT_FALSE(panel.Redraw(3, 0));
    EXPECT_EQ(panel.Current(), 3);
    EXPECT_TRUE(panel.Redraw(6, 0));  // one past the last item
    EXPECT_EQ(panel.Current(), 5);
    EXPECT_TRUE(panel.Redraw(-1, 0));  // Up over the first item
    EXPECT_EQ(panel.Current(), 0);
    EXPECT_TRUE(panel.Redraw(2, 4));  // all six items fit: nothing to scroll
    EXPECT_EQ(panel.Top(), 0);

    Panel tall = PanelOf(10, 3);
    EXPECT_TRUE(tall.Redraw(9, 0));
    EXPECT_EQ(tall.Current(), 9);
    EXPECT_EQ(tall.Top(), 7);
    EXPECT_TRUE(tall.Redraw(5, 2));  // row 5 lies below rows 2..4
    EXPECT_EQ(tall.Top(), 3);
    EXPECT_TRUE(tall.Redraw(0, 9));  // top past the last page, cursor above it
    EXPECT_EQ(tall.Top(), 0);
    EXPECT_FALSE(tall.Redraw(4, 3));
    EXPECT_EQ(tall.Current(), 4);
    EXPECT_EQ(tall.Top(), 3);
}

TEST(PanelRedraw, EmptyPanelStaysAtZero) {
    Panel panel = PanelOf(0, 20);
    EXPECT_EQ(panel.ItemArray(), nullptr);
    EXPECT_TRUE(panel.Redraw(1, 1));
    EXPECT_EQ(panel.Current(), 0);
    EXPECT_EQ(panel.Top(), 0);
    EXPECT_EQ(panel.NameAt(0), "");
    EXPECT_FALSE(panel.IsDirectory(0));
}

TEST(PanelFind, ExactNameBeforeAnyCase) {
    Panel panel;
    panel.SetItems(ListingOf({MakeItem("Notes.md", 0), MakeItem("notes.md", 0),
                              MakeItem("docs", FILE_ATTRIBUTE_DIRECTORY), MakeItem("Über.txt", 0)}));
    EXPECT_EQ(panel.Find("notes.md"), 1);
    EXPECT_EQ(panel.Find("DOCS"), 2);
    EXPECT_EQ(panel.Find("über.TXT"), 3);  // any case, non-ASCII letters too
    EXPECT_EQ(panel.Find("missing"), -1);
    EXPECT_TRUE(panel.IsDirectory(2));
    EXPECT_FALSE(panel.IsDirectory(0));
}

TEST(ListFolder, ParentFirstThenFoldersThenFilesByNameInTheOemCodePage) {
    wchar_t temp[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    const std::string root = Narrow(temp) + "lanternix-host-list";
    const char* files[] = {"b.txt", "A.exe", "c.ZIP", "café.exe", "日本.txt"};
    const char* folders[] = {"sub", "Zdir", "alpha"};
    CreateDirectoryW(Widen(root).c_str(), nullptr);
    for (const char* f : folders) CreateDirectoryW(Widen(root + "\\" + f).c_str(), nullptr);
    for (const char* f : files) std::ofstream(Widen(root + "\\" + f).c_str()) << "x";

    std::string path, error;
    ASSERT_TRUE(FolderPath(root + "\\", path, error)) << error;
    EXPECT_EQ(path, root);
    FolderListing listing;
    ASSERT_TRUE(ListFolder(path, listing, error)) << error;
    EXPECT_EQ(Names(listing.Items), (std::vector<std::string>{"..", "alpha", "sub", "Zdir", "A.exe", "b.txt", "c.ZIP",
                                                              "caf\x82.exe", "??.txt"}));
    EXPECT_EQ(listing.RealNames.back(), "日本.txt");
    for (size_t i = 0; i < listing.Items.size(); ++i)
        EXPECT_EQ((listing.Items[i].FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0, i < 4) << i;
    Panel panel;
    panel.SetItems(listing);
    EXPECT_EQ(panel.NameAt(7), "café.exe");
    EXPECT_TRUE(panel.NameFits(7));
    EXPECT_EQ(panel.NameAt(8), "??.txt");  // as the plug-in sees it
    EXPECT_FALSE(panel.NameFits(8));
    EXPECT_EQ(FolderDisplayName(path), "lanternix-host-list");
    EXPECT_EQ(FolderBehind(path, "sub"), root + "\\sub");
    EXPECT_EQ(FolderBehind(root + "\\sub", ".."), root);
    EXPECT_EQ(FolderBehind("C:\\top", ".."), "C:\\");

    EXPECT_FALSE(FolderPath(root + "\\b.txt", path, error));
    EXPECT_EQ(error, "not a folder, but a file: " + root + "\\b.txt");
    EXPECT_FALSE(FolderPath(root + "\\missing", path, error));
    EXPECT_EQ(error, "no such folder: " + root + "\\missing");

    for (const char* f : files) DeleteFileW(Widen(root + "\\" + f).c_str());
    for (const char* f : folders) RemoveDirectoryW(Widen(root + "\\" + f).c_str());
    ASSERT_TRUE(ListFolder(root, listing, error));
    EXPECT_EQ(Names(listing.Items), (std::vector<std::string>{".."}));  // empty, but it has a parent
    RemoveDirectoryW(Widen(root).c_str());

    ASSERT_TRUE(ListFolder("C:\\", listing, error)) << error;
    ASSERT_FALSE(listing.Items.empty());
    EXPECT_STRNE(listing.Items[0].FindData.cFileName, "..");  // a drive's root has no parent
}

// The OEM code page of the test prefix is 437 or 850; both hold é and ü at
// the same places.
TEST(CodePage, ConvertedBothWaysAndRefusedByName) {
    ASSERT_TRUE(GetOEMCP() == 437 || GetOEMCP() == 850) << GetOEMCP();
    std::string oem, refused;
    ASSERT_TRUE(Utf8ToOem("über*,café", oem, refused));
    EXPECT_EQ(oem,
              "\x81"
              "ber*,caf\x82");
    EXPECT_EQ(OemToUtf8(oem), "über*,café");
    EXPECT_FALSE(Utf8ToOem("über*,日本*", oem, refused));
    EXPECT_EQ(refused, "日 (U+65E5)");
    EXPECT_EQ(oem, "");
    EXPECT_FALSE(Utf8ToOem("a\xF0\x9F\x98\x80", oem, refused));  // one character beyond 16 bits
    EXPECT_EQ(refused, "\xF0\x9F\x98\x80 (U+1F600)");
    EXPECT_FALSE(Utf8ToOem("\xE2\x80\x9Cq\xE2\x80\x9D", oem, refused));  // a curly quote has no plain look-alike here
    EXPECT_EQ(refused, "\xE2\x80\x9C (U+201C)");
    EXPECT_FALSE(IsUtf8("caf\xE9"));
}

TEST(Viewer, TextCutToItsLinesAndWidthOtherContentInHex) {
    std::string text;
    for (int i = 1; i <= 10; ++i) text += "line " + std::to_string(i) + "\r\n";
    const std::vector<std::string> lines = ViewFile(text, text.size());
    ASSERT_EQ(lines.size(), ViewerLines + 1);
    EXPECT_EQ(lines[0], "line 1");
    EXPECT_EQ(lines[ViewerLines - 1], "line 8");
    EXPECT_EQ(lines.back(), "(more lines follow)");

    const std::string wide = "\t" + std::string(70, 'x');
    EXPECT_EQ(ViewFile(wide, wide.size()), (std::vector<std::string>{"    " + std::string(59, 'x') + ">"}));
    EXPECT_EQ(ViewFile("caf\x82\n", 5), (std::vector<std::string>{"café"}));  // not UTF-8: the OEM code page
    EXPECT_EQ(ViewFile("café\n", 6), (std::vector<std::string>{"café"}));
    EXPECT_EQ(ViewFile("", 0), (std::vector<std::string>{"(the file is empty)"}));

    const std::string binary = std::string("MZ\0\x01", 4) + std::string(70, 'A');
    const std::vector<std::string> hex = ViewFile(binary, 1000);
    ASSERT_EQ(hex.size(), 5u);
    EXPECT_EQ(hex[0], "0000  4D 5A 00 01 41 41 41 41 41 41 41 41 41 41 41 41  MZ..AAAAAAAAAAAA");
    EXPECT_EQ(hex[3].substr(0, 6), "0030  ");
    EXPECT_EQ(hex[4], "(936 more bytes)");
}

TEST(Keys, NamesAndScanCodes) {
    KeyName key{};
    ASSERT_TRUE(FindKey("ctrl", key));
    EXPECT_EQ(key.VirtualKey, VK_CONTROL);
    EXPECT_EQ(key.ScanCode, 0x1D);
    ASSERT_TRUE(FindKey("a", key));
    EXPECT_STREQ(key.Name, "A");
    EXPECT_EQ(key.VirtualKey, 'A');
    EXPECT_EQ(key.ScanCode, 0x1E);
    ASSERT_TRUE(FindKey("0", key));
    EXPECT_EQ(key.ScanCode, 0x0B);
    ASSERT_TRUE(FindKey("PageDown", key));
    EXPECT_EQ(key.VirtualKey, VK_NEXT);
    EXPECT_FALSE(FindKey("Ctrl+A", key));
    EXPECT_FALSE(FindKey("", key));
    EXPECT_EQ(VirtualKeyName(VK_F3), "F3");
    EXPECT_EQ(VirtualKeyName('Q'), "Q");
    EXPECT_EQ(VirtualKeyName(0xFF), "vk 0xFF");
}

// Keys named as the file manager names the keys it reads: the grey key with
// ENHANCED_KEY, its keypad twin without, modifiers before; a binding's name
// ("CtrlDown") gives the same chord.
TEST(Keys, FileManagerNamesAndBindings) {
    struct Named {
        DWORD VirtualKey;
        bool Enhanced;
        DWORD State;
        const char* Chord;
    };
    const Named named[] = {
        {VK_DOWN, true, LEFT_CTRL_PRESSED, "Ctrl+Down"},
        {VK_DOWN, false, RIGHT_CTRL_PRESSED | NUMLOCK_ON, "Ctrl+Num2"},
        {VK_UP, false, SHIFT_PRESSED | LEFT_ALT_PRESSED | LEFT_CTRL_PRESSED, "Ctrl+Alt+Shift+Num8"},
        {VK_DELETE, false, 0, "NumDel"},
        {VK_RETURN, true, 0, "NumEnter"},
        {VK_CONTROL, false, LEFT_CTRL_PRESSED, "Ctrl"},
        {VK_CONTROL, true, LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED, "RCtrl"},
        {'J', false, LEFT_CTRL_PRESSED | ENHANCED_KEY, "Ctrl+J"},
    };
    for (const Named& n : named) EXPECT_EQ(ChordName(n.VirtualKey, n.Enhanced, n.State), n.Chord) << n.Chord;

    const std::pair<const char*, const char*> bindings[] = {
        {"CtrlDown", "Ctrl+Down"}, {"ctrlnum2", "Ctrl+Num2"},   {"ShiftCtrlF3", "Ctrl+Shift+F3"},  {"Ctrl", "Ctrl"},
        {"AltA", "Alt+A"},         {"CtrlShift", "Ctrl+Shift"}, {"CtrlNumEnter", "Ctrl+NumEnter"},
    };
    for (const auto& [name, chord] : bindings) {
        std::string got;
        EXPECT_TRUE(BindingChord(name, got)) << name;
        EXPECT_EQ(got, chord) << name;
    }
    for (const char* name : {"", "CtrlCtrlDown", "Ctrl+Down", "CtrlFoo", "Num"}) {
        std::string got;
        EXPECT_FALSE(BindingChord(name, got)) << name;
    }
    KeyName down{}, keypad{};
    ASSERT_TRUE(FindKey("down", down));
    ASSERT_TRUE(FindKey("NUM2", keypad));
    EXPECT_EQ(down.VirtualKey, keypad.VirtualKey);
    EXPECT_EQ(down.ScanCode, keypad.ScanCode);
    EXPECT_TRUE(down.Enhanced);
    EXPECT_FALSE(keypad.Enhanced);
}

TEST(Script, StepsWithLinesKeysAndDialogAnswers) {
    const std::string text =
        "# a comment\r\n"
        "say Heading with  two blanks\r\n"
        "press down\n"
        "\n"
        "release Ctrl\n"
        "config\n"
        "  set  *.a, *.b\n"
        "  append ,*.md\n"
        "  button Save\n"
        "  button OK\n"  // a message box after the dialog, such as for a refused Save
        "config\n"
        "escape\n"
        "menu\npanel\nregistry\nrestart\ncursor notes.md\n";
    std::vector<ScriptStep> steps;
    std::string error;
    ASSERT_TRUE(ParseScript(text, steps, error)) << error;
    ASSERT_EQ(steps.size(), 10u);
    EXPECT_EQ(steps[0].Kind, StepKind::Say);
    EXPECT_EQ(steps[0].Text, "Heading with  two blanks");
    EXPECT_EQ(steps[1].Kind, StepKind::Key);
    EXPECT_EQ(steps[1].Line, 3);
    EXPECT_EQ(steps[1].Key.VirtualKey, VK_DOWN);
    EXPECT_TRUE(steps[1].Down);
    EXPECT_EQ(steps[2].Line, 5);
    EXPECT_FALSE(steps[2].Down);
    ASSERT_EQ(steps[3].Kind, StepKind::Config);
    ASSERT_EQ(steps[3].Answers.size(), 4u);
    EXPECT_EQ(steps[3].Answers[3].Text, "OK");
    EXPECT_EQ(steps[3].Answers[0].Kind, AnswerKind::Set);
    EXPECT_EQ(steps[3].Answers[0].Text, " *.a, *.b");  // one blank separates; the rest is the text
    EXPECT_EQ(steps[3].Answers[1].Text, ",*.md");
    EXPECT_EQ(steps[3].Answers[2].Kind, AnswerKind::Button);
    EXPECT_EQ(steps[3].Answers[2].Text, "Save");
    EXPECT_EQ(steps[3].Answers[2].Line, 9);
    ASSERT_EQ(steps[4].Answers.size(), 1u);
    EXPECT_EQ(steps[4].Answers[0].Kind, AnswerKind::Escape);
    EXPECT_EQ(steps[5].Kind, StepKind::Menu);
    EXPECT_EQ(steps[8].Kind, StepKind::Restart);
    EXPECT_EQ(steps[9].Kind, StepKind::Cursor);
    EXPECT_EQ(steps[9].Text, "notes.md");
    EXPECT_EQ(steps[9].Source, "cursor notes.md");
}

TEST(Script, TypedEventsInOrderWithRepeatsAndBindings) {
    std::vector<ScriptStep> steps;
    std::string error;
    ASSERT_TRUE(ParseScript("bind CtrlDown  ctrlup\ntype +Ctrl Down +Num2*3 -Ctrl\ntype-ahead -RCtrl\n", steps, error))
        << error;
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0].Kind, StepKind::Bind);
    EXPECT_EQ(steps[0].Chords, (std::vector<std::string>{"Ctrl+Down", "Ctrl+Up"}));
    EXPECT_EQ(steps[1].Kind, StepKind::Type);
    EXPECT_FALSE(steps[1].Ahead);
    std::string events;
    for (const TypedKey& typed : steps[1].Typed)
        events += std::string(typed.Down ? "+" : "-") + typed.Key.Name + (typed.Key.Enhanced ? "e " : " ");
    EXPECT_EQ(events, "+Ctrl +Downe -Downe +Num2 +Num2 +Num2 -Ctrl ");
    EXPECT_TRUE(steps[2].Ahead);
    ASSERT_EQ(steps[2].Typed.size(), 1u);
    EXPECT_EQ(steps[2].Typed[0].Key.VirtualKey, VK_CONTROL);
    EXPECT_TRUE(steps[2].Typed[0].Key.Enhanced);
    EXPECT_FALSE(steps[2].Typed[0].Down);
}

TEST(Script, ByteOrderMarkPassedOverAndTypedTextInTheOemCodePage) {
    std::vector<ScriptStep> steps;
    std::string error;
    ASSERT_TRUE(ParseScript("\xEF\xBB\xBFpanel\nconfig\nset \xC3\xBC*\nescape\n", steps, error)) << error;
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].Kind, StepKind::Show);
    EXPECT_EQ(steps[1].Answers[0].Text, "\x81*");                           // ü, as the dialog holds it
    EXPECT_FALSE(ParseScript("panel\n\xEF\xBB\xBFpanel\n", steps, error));  // only at the start
    EXPECT_FALSE(ParseScript("config\nset \xE6\x97\xA5*\nescape\n", steps, error));
    EXPECT_EQ(error,
              "line 2: \xE6\x97\xA5 (U+65E5) cannot be typed: the " + OemCodePageName() + " has no place for it");
    EXPECT_FALSE(ParseScript("say caf\xE9\n", steps, error));
    EXPECT_EQ(error, "line 1: not UTF-8 text; save the script in UTF-8");
}

TEST(Script, FaultsNameTheirLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"menu\npress Foo\n", "line 2: unknown key 'Foo'"},
        {"press\n", "line 1: 'press' needs a key name, such as Ctrl, Down or F3"},
        {"button 1\n", "line 1: 'button' answers a dialog, but no 'config' comes before it"},
        {"config\nset x\npress Down\n",
         "line 3: the dialog of line 1 is still open: end it with 'button N' or 'escape'"},
        {"menu\nconfig\nappend x\n", "line 2: the dialog is never closed: end it with 'button N' or 'escape'"},
        {"config\nbutton 0\n", "line 2: 'button' needs a number from 1 or a button's text"},
        {"config\nbutton 1\nset x\n",
         "line 3: the dialog of line 1 is closed: after it only 'button' or 'escape' answer a message box"},
        {"config\nescape\nmenu\nbutton 1\n", "line 4: 'button' answers a dialog, but no 'config' comes before it"},
        {"menu now\n", "line 1: 'menu' takes nothing after it"},
        {"jump\n", "line 1: unknown command 'jump'"},
        {"bind CtrlDown CtrlFoo\n", "line 1: 'bind': no key is named 'CtrlFoo'"},
        {"bind\n", "line 1: 'bind': no key to bind: name keys such as CtrlDown CtrlUp"},
        {"type\n", "line 1: 'type': no key event: write +KEY, -KEY or KEY, such as +Ctrl Down -Ctrl"},
        {"type +Ctrl -Down*2\n", "line 1: 'type': '-Down*2': only a press repeats, +KEY*N with N from 1 to 1000"},
        {"type-ahead +Down*1001\n",
         "line 1: 'type-ahead': '+Down*1001': only a press repeats, +KEY*N with N from 1 to 1000"},
        {"type +Down*x\n", "line 1: 'type': '+Down*x': only a press repeats, +KEY*N with N from 1 to 1000"},
        {"type +Ctrl +Foo\n", "line 1: 'type': unknown key 'Foo' in '+Foo'"},
    };
    for (const auto& [text, expected] : cases) {
        std::vector<ScriptStep> steps;
        std::string error;
        EXPECT_FALSE(ParseScript(text, steps, error)) << text;
        EXPECT_EQ(error, expected) << text;
    }
    // A zero byte would cut the text the dialog gets short, silently.
    std::vector<ScriptStep> steps;
    std::string error;
    EXPECT_FALSE(ParseScript(std::string("config\nset a\0b\nescape\n", 22), steps, error));
    EXPECT_EQ(error, "line 2: a zero byte, which no text holds");
}

TEST(LanguageFile, MessagesEscapesAndTheLanguageLine) {
    const LanguageFile file = ParseLanguageFile(
        "// a comment line\r\n"
        "  .Language= German , German (Deutsch) \r\n"
        "\r\n"
        "   \"plain\"   \r\n"
        "\"\\\\ \\\" \\n \\r \\b \\t \\x \"\"\"\r\n"  // every escape, one kept backslash, a doubled quote
        "\"no closing quote\n"
        "\"\"\n"  // an empty message
        "not a message\n"
        "@Contents\n"
        ".Language=Other\n"  // too late to count
        "\"\\\"\"\n",
        437);
    EXPECT_EQ(file.Name, "German");
    EXPECT_EQ(file.Description, "German (Deutsch)");
    EXPECT_EQ(file.Texts,
              (std::vector<std::string>{"plain", "\\ \" \n \r \b \t \\x \"", "no closing quote", "", "\""}));
    EXPECT_EQ(ParseLanguageFile("\"a\"\n@Contents\n.Language=Late\n", 437).Name, "");

    std::string problem;
    EXPECT_STREQ(MessageText(file, 1, problem), "\\ \" \n \r \b \t \\x \"");
    EXPECT_EQ(problem, "");
    LanguageFile named = file;
    named.FileName = "LanternixGer.lng";
    EXPECT_STREQ(MessageText(named, 5, problem), "");
    EXPECT_EQ(problem, "LanternixGer.lng holds no message 5 (it has 5): the plug-in gets an empty text");
    EXPECT_STREQ(MessageText(named, -1, problem), "");
    EXPECT_NE(problem, "");
}

// The header runs to the first message; what comes after it names nothing.
TEST(LanguageFile, LanguageLineInAnyCaseAndOnlyInTheHeader) {
    const LanguageFile upper = ParseLanguageFile("// comment\n.LANGUAGE=Polish,Polski\n\"Zapisz\"\n", 437);
    EXPECT_TRUE(upper.IsLanguageFile);
    EXPECT_EQ(upper.Name, "Polish");
    EXPECT_EQ(upper.Description, "Polski");
    const LanguageFile late = ParseLanguageFile("\"Zapisz\"\n.Language=Polish,Polski\n\"Zastosuj\"\n", 437);
    EXPECT_FALSE(late.IsLanguageFile);
    EXPECT_EQ(late.Name, "");
    EXPECT_EQ(late.Texts, (std::vector<std::string>{"Zapisz", "Zastosuj"}));
}

// A file with a byte-order mark is UTF-8; one without is UTF-8 up to its first
// line that is not, and in the OEM code page from there on. The plug-in gets
// every text in that code page, '?' for what it lacks.
TEST(LanguageFile, EncodingByMarkOrLineByLine) {
    struct Case {
        const char* What;
        std::string Content;
        unsigned CodePage;
        std::string Description;
        std::vector<std::string> Texts;
        int32_t OemFromLine;
    };
    const Case cases[] = {
        {"a byte-order mark; a stray byte stays UTF-8's",
         "\xEF\xBB\xBF.Language=French,Fran\xC3\xA7"
         "ais\r\n\"Caf\xC3\xA9 \xE6\x97\xA5\"\r\n\"caf\x82\"\r\n",
         437,
         "Fran\xC3\xA7"
         "ais",
         {"Caf\x82 ?", "caf?"},
         0},
        {"UTF-8 throughout",
         ".Language=Russian,Russian (\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9)\n"
         "\"\xD0\xA1\xD0\xBE\xD1\x85\xD1\x80\xD0\xB0\xD0\xBD\xD0\xB8\xD1\x82\xD1\x8C\"\n\"caf\xC3\xA9 \xE6\x97\xA5\"\n",
         866,
         "Russian (\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9)",
         {"\x91\xAE\xE5\xE0\xA0\xAD\xA8\xE2\xEC", "caf? ?"},
         0},
        {"UTF-8 to line 2, then 866, even for a line that would be UTF-8",
         ".Language=Russian,Russian\n\"\xD0\xA1\xD0\xBE\xD1\x85\xD1\x80\xD0\xB0\xD0\xBD\xD0\xB8\xD1\x82\xD1\x8C\"\n"
         "\"\x91\xAE\xE5\xE0\xA0\xAD\xA8\xE2\xEC\"\n\"\xC3\xBC\"\n",
         866,
         "Russian",
         {"\x91\xAE\xE5\xE0\xA0\xAD\xA8\xE2\xEC", "\x91\xAE\xE5\xE0\xA0\xAD\xA8\xE2\xEC", "\xC3\xBC"},
         3},
    };
    for (const Case& c : cases) {
        const LanguageFile file = ParseLanguageFile(c.Content, c.CodePage);
        EXPECT_TRUE(file.IsLanguageFile) << c.What;
        EXPECT_EQ(file.Description, c.Description) << c.What;
        EXPECT_EQ(file.Texts, c.Texts) << c.What;
        EXPECT_EQ(file.OemFromLine, c.OemFromLine) << c.What;
    }
}

TEST(LanguageFile, ChosenByNameThenEnglishThenTheLast) {
    auto named = [](const char* name) {
        LanguageFile file;
        file.Name = name;
        return file;
    };
    const std::vector<LanguageFile> files = {named("French"), named("english"), named("German")};
    EXPECT_EQ(ChooseLanguageFile(files, "GERMAN"), 2);
    EXPECT_EQ(ChooseLanguageFile(files, "xx"), 1);
    EXPECT_EQ(ChooseLanguageFile({named("French"), named("German"), named("Polish")}, "xx"), 2);
    EXPECT_EQ(ChooseLanguageFile({}, "English"), -1);
    EXPECT_EQ(LanguageNames(files), "French, english, German");
}

// The folder is read in directory order; a *.lng file without a .Language
// line is passed over with a line saying so.
TEST(LanguageFile, FolderWithoutEnglishGivesTheLastLanguageFile) {
    wchar_t temp[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    const std::string folder = Narrow(temp) + "lanternix-host-lng\\";
    CreateDirectoryW(Widen(folder).c_str(), nullptr);
    const std::pair<const char*, const char*> contents[] = {
        {"a.lng", ".Language=French,French\n\"Enregistrer\"\n"},
        {"b.lng", ".Language=Polish,Polish\n\"Zapisz\"\n"},
        {"c.lng", "// no header\n\"Save\"\n"},
    };
    for (const auto& [name, content] : contents)
        std::ofstream(Widen(folder + name).c_str(), std::ios::binary) << content;
    std::vector<std::string> order;
    WIN32_FIND_DATAW found;
    const UniqueFindHandle search(FindFirstFileW(Widen(folder + "*.lng").c_str(), &found));
    ASSERT_TRUE(search);
    do {
        order.push_back(Narrow(found.cFileName));
    } while (FindNextFileW(search.get(), &found));
    ASSERT_EQ(order, (std::vector<std::string>{"a.lng", "b.lng", "c.lng"}));  // what the rest expects

    std::vector<LanguageFile> files;
    std::vector<std::string> skipped;
    std::string error;
    ASSERT_TRUE(ReadLanguageFiles(folder, 437, files, skipped, error)) << error;
    ASSERT_EQ(files.size(), 2u);
    const LanguageFile& chosen = files[static_cast<size_t>(ChooseLanguageFile(files, "Russian"))];
    EXPECT_EQ(chosen.FileName, "b.lng");
    EXPECT_EQ(chosen.Texts, (std::vector<std::string>{"Zapisz"}));
    EXPECT_EQ(skipped, (std::vector<std::string>{"c.lng skipped: it has no .Language= line in its header, the lines "
                                                 "before its first message, so it is no language file"}));

    DeleteFileW(Widen(folder + "a.lng").c_str());
    DeleteFileW(Widen(folder + "b.lng").c_str());
    EXPECT_FALSE(ReadLanguageFiles(folder, 437, files, skipped, error));
    EXPECT_EQ(error, "no readable language file beside the plug-in in " + folder +
                         " (c.lng: it has no .Language= line in its header, the lines before its first message, so it "
                         "is no language file)"
                         ": the plug-in would have no menu entry, no dialog texts");
    DeleteFileW(Widen(folder + "c.lng").c_str());
    RemoveDirectoryW(Widen(folder).c_str());
}

// The files beside the DLL are the shipped ones; each text must fit where the
// configuration dialog or a message box shows it.
TEST(LanguageFile, ShippedFilesHoldTwelveTextsThatFitWhereTheyAreShown) {
    std::vector<LanguageFile> files;
    std::vector<std::string> skipped;
    std::string error;
    // As a Russian system reads them, whose OEM code page is 866.
    ASSERT_TRUE(ReadLanguageFiles(ProgramFolder(), 866, files, skipped, error)) << error;
    EXPECT_EQ(skipped, std::vector<std::string>{});
    const std::string wanted[][3] = {
        {"LanternixEng.lng", "English", "English"},
        {"LanternixGer.lng", "German", "German (Deutsch)"},
        {"LanternixRus.lng", "Russian", "Russian (\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9)"}};
    for (const auto& [fileName, language, description] : wanted) {
        const int32_t index = ChooseLanguageFile(files, language);
        ASSERT_GE(index, 0);
        const LanguageFile& file = files[static_cast<size_t>(index)];
        EXPECT_EQ(file.FileName, fileName);
        EXPECT_EQ(file.Description, description);
        ASSERT_EQ(file.Texts.size(), 12u) << fileName;
        for (const std::string& text : file.Texts) EXPECT_FALSE(text.empty()) << fileName;
        // The label runs from column 5 to the frame at column 67; the title
        // sits in the frame's top line with a blank on each side.
        EXPECT_LE(file.Texts[4].size(), 61u) << fileName;
        EXPECT_LE(file.Texts[3].size() + 2, 63u) << fileName;
        // Both buttons, "[ text ]" each and one blank apart, inside the frame.
        EXPECT_LE(file.Texts[0].size() + file.Texts[1].size() + 9, 63u) << fileName;
        // A message box's lines, framed with a blank on each side, fit an
        // 80-column console with room around the box.
        for (size_t id = 5; id < file.Texts.size(); ++id)
            EXPECT_LE(file.Texts[id].size(), 72u) << fileName << " " << id;
    }
    // Code page 866, one byte a character, read as it is.
    const LanguageFile& russian = files[static_cast<size_t>(ChooseLanguageFile(files, "Russian"))];
    EXPECT_EQ(
        std::vector<std::string>(russian.Texts.begin(), russian.Texts.begin() + 5),
        (std::vector<std::string>{
            "\x91\xAE\xE5\xE0\xA0\xAD\xA8\xE2\xEC",
            "\x8F\xE0\xA8\xAC\xA5\xAD\xA8\xE2\xEC \xA4\xAE \xAF\xA5\xE0\xA5\xA7\xA0\xAF\xE3\xE1\xAA\xA0",
            "Lanternix: \xAE\xE2\xAF\xE3\xE1\xAA\xA0\xAD\xA8\xA5 Ctrl \xAE\xE2\xAA\xE0\xEB\xA2\xA0\xA5\xE2 "
            "\xED\xAB\xA5\xAC\xA5\xAD\xE2",
            "\x8D\xA0\xE1\xE2\xE0\xAE\xA9\xAA\xA8 Lanternix",
            "\x8E\xE2\xAA\xE0\xEB\xA2\xA0\xE2\xEC \xAF\xAE Enter, \xA0 \xAD\xA5 \xAF\xAE F3 (\xAC\xA0\xE1\xAA\xA8 "
            "\xE4\xA0\xA9\xAB\xAE\xA2 \xE7\xA5\xE0\xA5\xA7 \xA7\xA0\xAF\xEF\xE2\xE3\xEE):",
        }));
    EXPECT_FALSE(ReadLanguageFiles(ProgramFolder() + "no-such-folder\\", 866, files, skipped, error));
}

namespace {
DialogItemRecord Item(int32_t type, int32_t left, int32_t top, int32_t right, int32_t bottom, const char* text) {
    DialogItemRecord item{};
    item.ItemType = type;
    item.Left = left;
    item.Top = top;
    item.Right = right;
    item.Bottom = bottom;
    std::snprintf(item.Text, sizeof item.Text, "%s", text);
    return item;
}
}  // namespace

TEST(Dialog, DrawnAsText) {
    struct Drawing {
        int32_t Width, Height;
        std::vector<DialogItemRecord> Items;
        std::vector<std::string> Lines;
    };
    const Drawing drawings[] = {
        {22,
         5,
         {Item(FrameItemType, 1, 0, 20, 4, "Title"), Item(TextItemType, 3, 1, 0, 0, "Label"),
          Item(EditItemType, 3, 2, 10, 0, "abcdefghijk"), Item(ButtonItemType, 0, 3, 0, 0, "Ok"),
          Item(ButtonItemType, 0, 3, 0, 0, "No")},
         {
             " +----- Title ------+",
             " | Label            |",
             " | abcdefg>         |",
             " |  [ Ok ] [ No ]   |",
             " +------------------+",
         }},
        // Texts longer than the frame leave it whole, cut with '>'.
        {12,
         4,
         {Item(FrameItemType, 0, 0, 11, 3, "A much too long title"),
          Item(TextItemType, 2, 1, 0, 0, "A much too long label"), Item(ButtonItemType, 0, 2, 0, 0, "Long button")},
         {
             "+ A much > +",
             "| A much t>|",
             "|[ Long bu>|",
             "+----------+",
         }},
    };
    for (const Drawing& drawing : drawings)
        EXPECT_EQ(
            DrawDialog(drawing.Items.data(), static_cast<int32_t>(drawing.Items.size()), drawing.Width, drawing.Height),
            drawing.Lines);
    const DialogItemRecord shortEdit[] = {Item(EditItemType, 0, 0, 5, 0, "ab")};
    EXPECT_EQ(DrawDialog(shortEdit, 1, 8, 1), (std::vector<std::string>{"ab____"}));
    EXPECT_EQ(DrawDialog(nullptr, 0, 3, 2), (std::vector<std::string>{"", ""}));
    const std::vector<std::string> huge = DrawDialog(shortEdit, 1, INT32_MAX, INT32_MAX);
    EXPECT_EQ(huge.size(), static_cast<size_t>(MaxDialogHeight));
    EXPECT_EQ(huge[0], "ab____");
    const DialogItemRecord wild[] = {Item(FrameItemType, INT32_MIN, 0, INT32_MAX, INT32_MAX, "T"),
                                     Item(EditItemType, INT32_MIN, 1, INT32_MAX, 0, "x")};
    const std::vector<std::string> cut = DrawDialog(wild, 2, 6, 3);
    EXPECT_EQ(cut, (std::vector<std::string>{"-- T -", "______", ""}));  // the frame's sides lie outside
}

TEST(Dialog, EditFieldAndButtonsFoundForAnswers) {
    DialogItemRecord items[] = {
        Item(EditItemType, 0, 0, 9, 0, "first"),
        Item(ButtonItemType, 0, 1, 0, 0, "Save"),
        Item(EditItemType, 0, 2, 9, 0, "second"),
        Item(ButtonItemType, 0, 3, 0, 0, "Apply"),
    };
    EXPECT_EQ(EditFieldIndex(items, 4), 0);
    items[2].HasFocus = -1;
    EXPECT_EQ(EditFieldIndex(items, 4), 2);
    EXPECT_EQ(EditFieldIndex(items + 1, 1), -1);

    DialogAnswer answer;
    ASSERT_TRUE(ParseAnswer("button 2", answer));
    EXPECT_EQ(ButtonIndex(items, 4, answer), 3);
    ASSERT_TRUE(ParseAnswer("button save", answer));
    EXPECT_EQ(ButtonIndex(items, 4, answer), 1);
    ASSERT_TRUE(ParseAnswer("button 3", answer));
    EXPECT_EQ(ButtonIndex(items, 4, answer), -1);
    ASSERT_TRUE(ParseAnswer("button Cancel", answer));
    EXPECT_EQ(ButtonIndex(items, 4, answer), -1);
    EXPECT_FALSE(ParseAnswer("button", answer));
    EXPECT_FALSE(ParseAnswer("press Down", answer));
}

// A message box: its frame as wide as its widest text, lines centred or
// left-aligned, buttons on one row; a script's answer picks a button by
// number or by its text in any case.
TEST(MessageBoxText, DrawnAsTextAndAnsweredByButton) {
    EXPECT_EQ(DrawMessageBox("Title", {"a line", "longer line here"}, {"OK"}, false),
              (std::vector<std::string>{"+----- Title ------+", "|      a line      |", "| longer line here |",
                                        "|      [ OK ]      |", "+------------------+"}));
    EXPECT_EQ(DrawMessageBox("T", {"\xC3\xBC", "wide"}, {"Yes", "No"}, true),
              (std::vector<std::string>{"+------ T -------+", "| \xC3\xBC              |", "| wide           |",
                                        "| [ Yes ] [ No ] |", "+----------------+"}));
    const std::vector<std::string> buttons{"Replace", "Keep"};
    const std::pair<const char*, int32_t> answers[] = {{"button 1", 0},    {"button 2", 1},      {"button 3", -1},
                                                       {"button keep", 1}, {"button Other", -1}, {"escape", -1}};
    for (const auto& [line, index] : answers) {
        DialogAnswer answer;
        ASSERT_TRUE(ParseAnswer(line, answer));
        EXPECT_EQ(MessageBoxButton(buttons, answer), index) << line;
    }
}
