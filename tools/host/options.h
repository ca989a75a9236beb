// The stand-in host's command line, its help and its exit codes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

extern const char DefaultRegistryRoot[];

enum ExitCode {
    ExitSuccess = 0,
    ExitProblems = 1,     // the transcript marks problems
    ExitSetupError = 2,   // a usage or set-up error, before the session
    ExitPluginStuck = 3,  // the plug-in did not return from a call in time
    ExitInterrupted = 4,  // Ctrl+C
};

struct Options {
    std::string Folder;  // every text in UTF-8
    std::string Script;
    std::string PluginPath;
    std::string MessagesPath;
    std::string Language = "English";
    std::string HelpLanguage = "English";
    std::string RegistryRoot = DefaultRegistryRoot;
    bool ResetSettings = false;
    int32_t Rows = 20;
    std::vector<std::string> Bindings;  // --bind: keys bound to invoking the plug-in, as ChordName names them
    bool Help = false;
};

// The program's arguments in UTF-8, without the program's name.
std::vector<std::string> CommandLineArguments();
bool ParseOptions(const std::vector<std::string>& arguments, Options& options, std::string& error);
void PrintUsage();
