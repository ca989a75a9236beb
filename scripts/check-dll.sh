#!/bin/bash
# Checks the built Lanternix.dll of each build folder given: its four entry
# points are exported by their plain names; it imports only the system
# functions the plug-in is known to call; it is a release-grade file, at most
# 32 KiB, with no debug sections; and nothing in it needs the C runtime's
# start-up, which the DLL does not have: no constructor list, initialiser
# array, CRT initialiser or thread-local data with content, in the DLL or in
# any object linked into it. Prints the size beside.
#   scripts/check-dll.sh BUILD_FOLDER...
set -euo pipefail
# The 64-bit toolchain's objdump reads the files of both widths.

# Every function the DLL may import, as DLL!function (DLL names in any case);
# Clang calls memset where GCC writes the loop inline.
expected_imports="
ADVAPI32.dll!RegCloseKey ADVAPI32.dll!RegCreateKeyExA ADVAPI32.dll!RegOpenKeyExA
ADVAPI32.dll!RegQueryValueExA ADVAPI32.dll!RegSetValueExA ADVAPI32.dll!SystemFunction036
KERNEL32.dll!GetCurrentProcess KERNEL32.dll!GetCurrentProcessId KERNEL32.dll!GetCurrentThreadId
KERNEL32.dll!GetStdHandle KERNEL32.dll!GetTickCount KERNEL32.dll!QueryPerformanceCounter
KERNEL32.dll!ReadConsoleInputA KERNEL32.dll!SetLastError KERNEL32.dll!TerminateProcess
msvcrt.dll!calloc msvcrt.dll!free msvcrt.dll!malloc msvcrt.dll!memchr msvcrt.dll!memcmp
msvcrt.dll!memcpy msvcrt.dll!memset msvcrt.dll!realloc msvcrt.dll!strlen
USER32.dll!keybd_event"
expected_lower=" $(tr 'A-Z\n' 'a-z ' <<< "$expected_imports") "

# Sections a global with a dynamic initialiser, a destructor to register or
# thread-local data would bring: the DLL's entry point runs none of them. A
# GNU linker folds .ctors into .text, so the objects are read too.
start_up_sections='^(\.ctors|\.dtors|\.init_array|\.fini_array|\.CRT|\.tls)'

# The sections with content of a PE file or of each member of an archive, as
# "member section" lines (the member is the file's name for a plain file).
sections_with_content() {
    x86_64-w64-mingw32-objdump -h "$1" | awk -v file="$(basename "$1")" '
        /file format/ { member = $1; sub(/:$/, "", member); if (member == "") member = file }
        $1 ~ /^[0-9]+$/ && NF >= 7 && $3 !~ /^0+$/ { print member, $2 }'
}

status=0
for folder in "$@"; do
    dll=$folder/bin/Lanternix.dll
    core=$folder/liblanternix_core.a
    headers=$(x86_64-w64-mingw32-objdump -p "$dll")
    exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<< "$headers" | awk '$1 == "[" {print $3}' | sort | tr '\n' ' ')
    imports=$(awk '/DLL Name:/ {dll = $3; next} dll != "" && NF == 0 {dll = ""} dll != "" && $2 ~ /^[0-9]+$/ {print dll "!" $3}' <<< "$headers" | sort -f)
    echo "$dll: $(stat -c %s "$dll") bytes; exports: $exports; imports: $(awk -F! '{print $1}' <<< "$imports" | uniq -ci | awk '{printf "%s (%s) ", $2, $1}')"
    if [ "$exports" != "Configure GetPluginInfo OpenPlugin SetStartupInfo " ]; then
        echo "  the exports are not the four plain entry point names" >&2
        status=1
    fi
    if [ "$(stat -c %s "$dll")" -gt 32768 ]; then
        echo "  it is larger than 32 KiB (32,768 bytes)" >&2
        status=1
    fi
    if x86_64-w64-mingw32-objdump -h "$dll" | grep -q ' \.debug'; then
        echo "  it carries debug sections" >&2
        status=1
    fi
    while read -r import; do
        [ -n "$import" ] || continue
        case $expected_lower in
            *" ${import,,} "*) ;;
            *) echo "  it imports $import, which is not one of the system functions the plug-in calls" >&2; status=1 ;;
        esac
    done <<< "$imports"
    while read -r member section; do
        [ -n "$section" ] || continue
        echo "  $member has a $section section with content: it needs start-up code the DLL does not run" \
            "(a global with a dynamic initialiser or destructor, or thread-local data)" >&2
        status=1
    done < <({ sections_with_content "$dll"; sections_with_content "$core"; } | awk -v names="$start_up_sections" '$2 ~ names')
done
exit $status
