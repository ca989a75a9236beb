#!/bin/bash
# The main job: installs what is missing, builds, makes a sample folder and
# runs the stand-in host on it under Wine through the demo session, which
# shows what the plug-in does, step by step. Then the same session runs with
# the 64-bit plug-in in the 64-bit host, which must give the same transcript.
# Builds into build/ and build-x64/, or beside the folder LANTERNIX_BUILD names.
set -euo pipefail
source "$(dirname "$0")/folders.sh"
cd "$root"

scripts/build.sh --log
scripts/build.sh --log --x64

# The host runs on a pseudo-terminal, which Wine turns into the console the
# plug-in reads its key events from, in a Wine prefix of the build's own. It
# keeps the plug-in's settings under a registry root of its own, deleted
# first, so every run starts from the default list and a person's own runs of
# the host keep their settings.
run_demo() {  # BUILD_FOLDER HOST_PROGRAM
    tools/demo/make-sample.sh "$1/sample"
    (cd "$1" && WINEPREFIX=$1/wineprefix "$root/tests/run-under-wine.sh" "bin/$2" \
        --registry-root 'Software\LanternixDemo\Plugins' --reset-settings \
        --script "$root/tools/demo/session.txt" sample | tr -d '\r' > demo-transcript.txt)
}

echo
status=0
if ! $runs_32bit; then
    # Only the 64-bit plug-in can show itself here; its transcript is the demo.
    echo "NOTE: the 32-bit demo does not run: $why_not_32bit."
    echo "The session with the 64-bit plug-in in lanternix-host64.exe:"
    run_demo "$build64" lanternix-host64.exe || status=$?
    cat "$build64/demo-transcript.txt"
    echo
    echo "The transcript is also in $build64/demo-transcript.txt."
    exit $status
fi
run_demo "$build" lanternix-host.exe || status=$?
cat "$build/demo-transcript.txt"
echo
echo "The transcript is also in $build/demo-transcript.txt."
[ $status -eq 0 ] || exit $status

echo
echo "The same session with the 64-bit plug-in in lanternix-host64.exe ..."
run_demo "$build64" lanternix-host64.exe || status=$?
if [ $status -ne 0 ]; then
    cat "$build64/demo-transcript.txt"
    exit $status
fi
if ! diff -u "$build/demo-transcript.txt" "$build64/demo-transcript.txt"; then
    echo "The 64-bit transcript ($build64/demo-transcript.txt) differs from the 32-bit one above." >&2
    exit 1
fi
echo "... gives the same transcript, line for line ($build64/demo-transcript.txt)."
