// Prints a string of each file's version resource, one line a file, read as
// the file manager reads a plug-in's: "<none>" for a file without it.
//   lanternix-version-text NAME FILE...
#include <cstdio>

#include "tools/hostkit/version_info.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: lanternix-version-text NAME FILE...\n");
        return 2;
    }
    for (int i = 2; i < argc; ++i) std::printf("%s\n", VersionInfo(argv[i]).Text(argv[1]).c_str());
    return 0;
}
