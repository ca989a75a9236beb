// The help files as the stand-in host reads and lays them out: the reader's
// rules as one table, and the shipped files beside the DLL.
#include <gtest/gtest.h>

#include "tools/host/help_file.h"
#include "tools/host/help_view.h"
#include "tools/host/text.h"
#include "tools/hostkit/paths.h"

namespace {

// The chosen file as a person sees it: a line of what its header says and
// how it was read, then its first topic: '$' before title lines, '=' before
// the marks under a line, "-> TEXT @TOPIC" for each link.
std::vector<std::string> Shown(const HelpFile& file, int32_t columns, std::vector<std::string>& problems) {
    std::vector<std::string> shown{file.FileName + " " + file.Language + "," + file.Description + " [" +
                                   file.PluginContents + "] tab " + std::to_string(file.TabSize) + ", " + file.ReadAs};
    problems = file.Problems;
    if (file.Topics.empty()) return shown;
    const HelpView view = LayOutTopic(file, file.Topics[0], columns);
    auto add = [&](const std::vector<HelpViewLine>& lines, const std::string& prefix) {
        for (const HelpViewLine& line : lines) {
            shown.push_back(prefix + Narrow(line.Text));
            if (line.Marks.find_first_not_of(' ') != std::string::npos)
                shown.push_back("=" + line.Marks.substr(0, line.Marks.find_last_not_of(' ') + 1));
        }
    };
    add(view.Title, "$");
    add(view.Body, "");
    for (const HelpViewLink& link : view.Links) shown.push_back("-> " + link.Text + " @" + link.Target);
    problems.insert(problems.end(), view.Problems.begin(), view.Problems.end());
    return shown;
}

const char English[] = ".Language=English,English\n";

}  // namespace

TEST(HelpFile, ReadChosenAndLaidOutAsTheFileManagerDoes) {
    struct Case {
        const char* What;
        std::vector<std::string> Files;  // f0.hlf, f1.hlf, ... in directory order
        const char* Language;            // the help language
        unsigned CodePage;               // the system's OEM code page
        int32_t Columns;
        std::vector<std::string> Shown;
        std::vector<std::string> Problems;
    };
    const std::string head = "f0.hlf English,English [] tab 8, OEM code page 437";
    const Case cases[] = {
        {"lines without a blank join with one blank; an empty line ends the paragraph; a blank starts a line",
         {std::string(English) + "@T\nab\ncd  \n\n ef\ngh\n  ij\n"},
         "English",
         437,
         20,
         {head, "ab cd", "", " ef gh", "  ij"},
         {}},
        {"joined text wraps at blanks, keeping the indent; a word wider than the window is cut",
         {std::string(English) + "@T\n  one two three\nfour five\n\nabcdefghijklmnop\n"},
         "English",
         437,
         10,
         {head, "  one two", "  three", "  four", "  five", "", "abcdefghij", "klmnop"},
         {}},
        {"^ centres its line, and the next line runs into it",
         {std::string(English) + "@T\n^Title\n\n^Runs\ninto it\n ^not at the start\n"},
         "English",
         437,
         11,
         {head, "   Title", "", " Runs into", "    it", " ^not at", " the start"},
         {}},
        {"@- keeps lines as written, cut at the window's edge; @+ joins again; @= is a rule",
         {std::string(English) + "@T\n@-\nkept  as\nis, and too wide\n@+\njoined\nagain\n@=\nend\n"},
         "English",
         437,
         12,
         {head, "kept  as", "is, and too", "joined again", "------------", "end"},
         {"f0.hlf, line 5: 16 columns, kept as written: the window shows 12, the rest is cut"}},
        {"## ~~ @@ are literals; a single @ hides up to the next @, or to the line's end",
         {std::string(English) + "@T\na ## b ~~ c @@ d\nshown @hidden@ too @and gone\n"},
         "English",
         437,
         40,
         {head, "a # b ~ c @ d shown  too"},
         {"f0.hlf, line 4: a single @ with no closing @ hides the rest of the line, \"and gone\" (write @@ for a "
          "literal @)"}},
        {"#text# is highlighted; an odd # highlights the line from its start; links are marked and listed",
         {std::string(English) + "@T\n#hi# there\n@U\nab #cd\nsee ~Other~@T@ or ~that~@Nowhere@\n"},
         "English",
         437,
         40,
         {head, "hi there", "=##"},
         {"f0.hlf, line 5: an odd number of # (1): the line is highlighted from its start to the first #",
          "f0.hlf, line 6: a link to the topic \"Nowhere\", which the file does not hold"}},
        {"a link without its closing ~ or its @Topic@ shows as plain text, and the text after it too",
         {std::string(English) + "@T\nsee ~Other~@T@, ~bare~ and ~open\n~hidden~@T\n"},
         "English",
         437,
         40,
         {head, "see Other, bare and open hidden", "=    ~~~~~", "-> Other @T"},
         {"f0.hlf, line 3: a link with no @Topic@ after it: \"bare\" shows as plain text",
          "f0.hlf, line 3: an unclosed link, a ~ with no closing ~: \"open\" shows as plain text",
          "f0.hlf, line 4: a link whose topic has no closing @ (the rest of the line is hidden): \"hidden\" shows as "
          "plain text"}},
        {"the header runs to the first line starting with @; $ lines after @Name are the title; @@ ends a topic",
         {".Language=German,Deutsch\n.PluginContents=Hilfe\n.Options TabSize=4\n.Language = French,French\n"
          "@contents\n$ #Titel#\n$zwei\n\tText\n@@ at the start\n"},
         "german",
         437,
         20,
         {"f0.hlf German,Deutsch [Hilfe] tab 4, OEM code page 437", "$ Titel", "= #####", "$zwei", "    Text"},
         {"f0.hlf, line 4: blanks around '=' in \".Language = French,French\": the file manager does not read it",
          "f0.hlf, line 9: a line starting with @@ ends the topic contents here; a text line must not start with @, "
          "not even with @@ for a literal @"}},
        {"the file of the help language, in any case, is chosen",
         {".Language=French,French\n@T\nfr\n", std::string(English) + "@T\nen\n", ".Language=Polish,Polski\n@T\npl\n"},
         "POLISH",
         437,
         20,
         {"f2.hlf Polish,Polski [] tab 8, OEM code page 437", "pl"},
         {}},
        {"else the English one",
         {".Language=French,French\n@T\nfr\n", std::string(English) + "@T\nen\n"},
         "Russian",
         437,
         20,
         {"f1.hlf English,English [] tab 8, OEM code page 437", "en"},
         {}},
        {"else the last one listed, a file without a .Language line too",
         {".Language=French,French\n@T\nfr\n", "@T\nno header\n"},
         "Russian",
         437,
         20,
         {"f1.hlf , [] tab 8, OEM code page 437", "no header"},
         {"f1.hlf, line 1: no .Language= line in the header: this file is chosen only as the last one"}},
        {"without a byte-order mark the file is in the OEM code page",
         {".Language=Russian,\x90\xE3\xE1\xE1\xAA\xA8\xA9\n@T\n\x8F\xE0\xA8\xAC\xA5\xE0\n"},
         "Russian",
         866,
         20,
         {"f0.hlf Russian,Русский [] tab 8, OEM code page 866", "Пример"},
         {}},
        {"a UTF-8 byte-order mark makes it UTF-8, whatever the OEM code page",
         {"\xEF\xBB\xBF.Language=Russian,Русский\n@T\nПример\n"},
         "Russian",
         437,
         20,
         {"f0.hlf Russian,Русский [] tab 8, UTF-8 with a byte-order mark", "Пример"},
         {}},
        {"UTF-16 with its byte-order mark, little-endian; CR, LF and CRLF all end lines",
         {std::string("\xFF\xFE.\0L\0a\0n\0g\0u\0a\0g\0e\0=\0E\0n\0\r\0@\0T\0\r\0\n\0a\0\n\0\x1F\x04", 42)},
         "En",
         437,
         20,
         {"f0.hlf En, [] tab 8, UTF-16 (little-endian) with a byte-order mark", "a П"},
         {}},
        {"and big-endian",
         {std::string("\xFE\xFF\0.\0L\0a\0n\0g\0u\0a\0g\0e\0=\0D\0e\0\n\0@\0T\0\r\0b\0\r\0\n\x04\x1F", 42)},
         "De",
         437,
         20,
         {"f0.hlf De, [] tab 8, UTF-16 (big-endian) with a byte-order mark", "b П"},
         {}},
    };
    for (const Case& c : cases) {
        std::vector<HelpFile> files;
        for (const std::string& bytes : c.Files)
            files.push_back(ParseHelpFile(bytes, c.CodePage, "f" + std::to_string(files.size()) + ".hlf"));
        const int32_t chosen = ChooseHelpFile(files, c.Language);
        ASSERT_GE(chosen, 0) << c.What;
        std::vector<std::string> problems;
        EXPECT_EQ(Shown(files[static_cast<size_t>(chosen)], c.Columns, problems), c.Shown) << c.What;
        EXPECT_EQ(problems, c.Problems) << c.What;
    }
    EXPECT_EQ(ChooseHelpFile({}, "English"), -1);

    // Lines meant to stay intact: a title line, a kept line, a line nothing
    // joins; joined text wraps, so it never counts.
    const HelpFile file = ParseHelpFile(
        "@T\n$ a title of twelve\n@-\nkept line 15 ch\n@+\n one line alone\n\njoined line\nand more text\n", 437, "f");
    EXPECT_EQ(IntactLinesWiderThan(file, file.Topics[0], 14),
              (std::vector<std::string>{"line 2: 18 columns", "line 4: 15 columns", "line 6: 15 columns"}));
    EXPECT_EQ(IntactLinesWiderThan(file, file.Topics[0], 18), std::vector<std::string>{});
}

// The shipped files beside the DLL, as a Russian system reads them (OEM code
// page 866): the header, Contents for the plug-in menu and Config for the
// configuration menu, links that lead somewhere, intact lines that fit.
TEST(HelpFile, ShippedFilesHoldContentsAndConfigWhole) {
    for (const unsigned codePage : {866u, 437u}) {
        std::vector<HelpFile> files;
        std::vector<std::string> skipped;
        ReadHelpFiles(ProgramFolder(), codePage, files, skipped);
        EXPECT_EQ(skipped, std::vector<std::string>{});
        ASSERT_EQ(files.size(), 3u) << "only the *.hlf files of the folder";
        const std::string wanted[][4] = {
            {"English", "LanternixEng.hlf", "English", "OEM code page " + std::to_string(codePage)},
            {"German", "LanternixGer.hlf", "German (Deutsch)", "OEM code page " + std::to_string(codePage)},
            {"Russian", "LanternixRus.hlf", "Russian (Русский)", "UTF-8 with a byte-order mark"}};
        for (const auto& [language, fileName, description, readAs] : wanted) {
            const HelpFile& file = files[static_cast<size_t>(ChooseHelpFile(files, language))];
            EXPECT_EQ(file.FileName, fileName);
            EXPECT_EQ(file.Description, description);
            EXPECT_EQ(file.PluginContents, "Lanternix") << fileName;
            EXPECT_EQ(file.ReadAs, readAs);
            EXPECT_EQ(file.Problems, std::vector<std::string>{}) << fileName;
            ASSERT_EQ(file.Topics.size(), 2u) << fileName;
            EXPECT_EQ(PluginMenuTopic(file), &file.Topics[0]) << fileName;
            EXPECT_EQ(file.Topics[0].Name, "Contents");
            EXPECT_EQ(ConfigMenuTopic(file), &file.Topics[1]) << fileName;
            EXPECT_EQ(file.Topics[1].Name, "Config");
            for (const HelpTopic& topic : file.Topics) {
                const HelpView view = LayOutTopic(file, topic, HelpWindowColumns);
                EXPECT_EQ(view.Problems, std::vector<std::string>{}) << fileName;
                EXPECT_FALSE(view.Links.empty()) << fileName << " " << topic.Name;
                for (const HelpViewLink& link : view.Links) EXPECT_NE(FindTopic(file, link.Target), nullptr);
                EXPECT_EQ(IntactLinesWiderThan(file, topic, HelpIntactColumns), std::vector<std::string>{})
                    << fileName << " " << topic.Name;
            }
        }
        // The Russian title reads as Cyrillic on either system.
        const HelpFile& russian = files[static_cast<size_t>(ChooseHelpFile(files, "Russian"))];
        ASSERT_EQ(russian.Topics[1].Title.size(), 1u);
        EXPECT_EQ(russian.Topics[1].Title[0].Text, " #Настройки Lanternix#");
    }
}
