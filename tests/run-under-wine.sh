#!/bin/bash
# Runs a Windows test program under Wine with a real console as standard
# input, so that it can queue console events for the plug-in to read.
#   run-under-wine.sh PROGRAM.exe [ARGS...]
# WINEPREFIX must name the build's private prefix; it is made on first use.
set -u
: "${WINEPREFIX:?WINEPREFIX must be set}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win32
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Making the Wine prefix $WINEPREFIX (once, about 20 s) ..." >&2
    wineboot --init > /dev/null 2>&1
    wineserver -w  # the registry files are written when the server ends
fi

program=$1
shift
log=$(mktemp "${TMPDIR:-/tmp}/lanternix-wine.XXXXXX")
trap 'rm -f "$log"' EXIT
command="wine $(printf '%q ' "$program" "$@") > $(printf '%q' "$log") 2>&1"
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
exit $status
