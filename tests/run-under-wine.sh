#!/bin/bash
# Runs a Windows program under Wine with a real console as standard input, so
# that it can queue console events for the plug-in to read.
#   run-under-wine.sh [--gtest] PROGRAM.exe [ARGS...]
# With --gtest the program is a GoogleTest program: a run that ends without
# the framework's closing summary fails, whatever its exit status.
# WINEPREFIX must name the build's private prefix; it is made on first use,
# 32-bit for a 32-bit program and 64-bit for a 64-bit one (a 64-bit prefix
# runs both, but each build keeps to its own width).
set -u
: "${WINEPREFIX:?WINEPREFIX must be set}"
# Wine's automatic debugger is turned off: it would end a faulting program
# itself, with exit status 0 once any thread of the program has started and
# ended before the fault (every watchdog does). Without it a fault ends the
# program with the exception's code, as Windows does with no debugger.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
unset DISPLAY WAYLAND_DISPLAY

gtest=false
if [ "${1:-}" = --gtest ]; then
    gtest=true
    shift
fi
program=$1
shift
if [ ! -f "$program" ]; then
    echo "run-under-wine.sh: no program $program" >&2
    exit 2
fi

# The program's machine, from its PE header: 0x8664 is x86-64.
pe_header=$(od -An -t u4 -j 60 -N 4 "$program" | tr -d ' ')
machine=$(od -An -t x2 -j $((pe_header + 4)) -N 2 "$program" | tr -d ' ')
if [ "$machine" = 8664 ]; then export WINEARCH=win64; else export WINEARCH=win32; fi
wine=wine
if ! reason=$("$(dirname "$0")/runs-32-bit-programs.sh"); then
    if [ "$WINEARCH" = win32 ]; then
        echo "run-under-wine.sh: $program is a 32-bit program, and $reason" >&2
        exit 2
    fi
    # Debian's wine command starts the 32-bit loader, which hands a 64-bit
    # program on to the 64-bit one; where no 32-bit program runs, the 64-bit
    # loader is started directly.
    wine=/usr/lib/wine/wine64
    export WINELOADER=$wine
fi
# The prefix is made here and nowhere else. Test programs started side by side
# wait for the one that makes it.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    exec {lock}> "$WINEPREFIX.lock"
    flock "$lock"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Making the Wine prefix $WINEPREFIX (once, about 20 s) ..." >&2
        "$wine" wineboot --init > /dev/null 2>&1
        wineserver -w  # the registry files are written when the server ends
    fi
    exec {lock}>&-
fi

log=$(mktemp "${TMPDIR:-/tmp}/lanternix-wine.XXXXXX")
trap 'rm -f "$log"' EXIT
command="$(printf '%q ' "$wine" "$program" "$@") > $(printf '%q' "$log") 2>&1"
# script gives the program a pseudo-terminal, which Wine turns into a console.
# Its own input is held open and empty: a closed input lets stray key events
# reach the console later. The holder is this shell's child, not script's:
# script waits for all of its children before it exits.
exec {hold}< <(exec sleep 3600)
holder=$!
script -qec "$command" /dev/null <&"$hold"
status=$?
exec {hold}<&-
kill "$holder" 2>/dev/null
cat "$log"
# A failed stack guard check ends the process at once with 0xC0000409, past
# every handler, so the crash report cannot tell of it; Wine passes on the
# code's low byte. Named here with the test that was running.
if $gtest && [ $status -eq 9 ]; then
    running=$(tr -d '\r' < "$log" | awk '/^\[ RUN      \] / {test = $4} /^\[ +(OK|FAILED) +\] / {test = ""}
        END {print test == "" ? "no test" : test}')
    echo "STACK BUFFER OVERRUN in $running: $program ended with status 9, the low byte of 0xC0000409:" \
        "a stack guard found its function's frame overwritten and ended the process" >&2
fi
if $gtest && [ $status -eq 0 ] && ! grep -Eq '^\[==========\] [0-9]+ tests? from [0-9]+ test suites? ran\.' "$log"; then
    echo "run-under-wine.sh: $program ended without GoogleTest's closing summary" >&2
    status=1
fi
exit $status
