#!/bin/bash
# Checks the built Lanternix.dll of each build folder given: its four entry
# points are exported by their plain names, and it imports only the Windows
# system DLLs a plug-in may rely on, and it is a release-grade file: at most
# 32 KiB, with no debug sections. Prints the size beside.
#   scripts/check-dll.sh BUILD_FOLDER...
set -euo pipefail
status=0
for folder in "$@"; do
    dll=$folder/bin/Lanternix.dll
    headers=$(i686-w64-mingw32-objdump -p "$dll")
    exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<< "$headers" | awk '$1 == "[" {print $3}' | sort | tr '\n' ' ')
    imports=$(awk '/DLL Name:/ {print $3}' <<< "$headers" | sort -f | tr '\n' ' ')
    echo "$dll: $(stat -c %s "$dll") bytes; exports: $exports; imports: $imports"
    if [ "$exports" != "Configure GetPluginInfo OpenPlugin SetStartupInfo " ]; then
        echo "  the exports are not the four plain entry point names" >&2
        status=1
    fi
    if [ "$(stat -c %s "$dll")" -gt 32768 ]; then
        echo "  it is larger than 32 KiB (32,768 bytes)" >&2
        status=1
    fi
    if i686-w64-mingw32-objdump -h "$dll" | grep -q ' \.debug'; then
        echo "  it carries debug sections" >&2
        status=1
    fi
    for import in $imports; do
        case ${import,,} in
            kernel32.dll | user32.dll | advapi32.dll | msvcrt.dll) ;;
            *) echo "  $import is not one of the system DLLs the plug-in imports" >&2; status=1 ;;
        esac
    done
done
exit $status
