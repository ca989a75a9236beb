#!/bin/bash
# The main job: installs what is missing, builds, makes a sample folder and
# runs the stand-in host on it under Wine through the demo session, which
# shows what the plug-in does, step by step. Builds into build/, or into the
# folder LANTERNIX_BUILD names.
set -euo pipefail
source "$(dirname "$0")/folders.sh"
cd "$root"

scripts/build.sh --log
tools/demo/make-sample.sh "$build/sample"

# The host runs on a pseudo-terminal, which Wine turns into the console the
# plug-in reads its key events from, in a Wine prefix of the build's own. It
# keeps the plug-in's settings under a registry root of its own, deleted
# first, so every run starts from the default list and a person's own runs of
# the host keep their settings.
echo
cd "$build"
status=0
WINEPREFIX=$build/wineprefix "$root/tests/run-under-wine.sh" bin/lanternix-host.exe \
    --registry-root 'Software\LanternixDemo\Plugins' --reset-settings \
    --script "$root/tools/demo/session.txt" sample | tr -d '\r' | tee demo-transcript.txt || status=$?
echo
echo "The transcript is also in $build/demo-transcript.txt."
exit $status
