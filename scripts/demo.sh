#!/bin/bash
# The main job: installs what is missing, builds, makes a sample folder and
# runs the stand-in host on it under Wine through the demo session, which
# shows what the plug-in does, step by step.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=$root/build

scripts/setup.sh
mkdir -p "$build"
echo "Building (log: build/build.log) ..."
if ! scripts/build.sh > "$build/build.log" 2>&1; then
    tail -n 30 "$build/build.log"
    echo "The build failed; the whole log is build/build.log." >&2
    exit 1
fi

demo/make-sample.sh "$build/sample"

# A Wine prefix of the build's own; the first run makes it.
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Making the Wine prefix build/wineprefix (once, about 20 s) ..."
    env -u DISPLAY -u WAYLAND_DISPLAY wineboot --init > /dev/null 2>&1
    wineserver -w  # the registry files are written when the server ends
fi

# The host runs on a pseudo-terminal, which Wine turns into the console the
# plug-in reads its key events from. It deletes the plug-in's stored settings
# first, so every run starts from the default list.
echo
cd "$build"
status=0
"$root/tests/run-under-wine.sh" bin/lanternix-host.exe --reset-settings --script "$root/demo/session.txt" sample \
    | tr -d '\r' | tee demo-transcript.txt || status=$?
echo
echo "The transcript is also in build/demo-transcript.txt."
exit $status
