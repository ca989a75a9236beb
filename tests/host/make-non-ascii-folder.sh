#!/bin/bash
# Makes a folder whose names the OEM code page holds only as non-ASCII bytes
# (café.exe, über.txt, a folder Töne) and one it cannot hold at all (日本.txt).
#   make-non-ascii-folder.sh FOLDER
set -euo pipefail
folder=${1:?which folder?}
rm -rf "$folder"
mkdir -p "$folder/Töne"
printf 'A program.\n' > "$folder/café.exe"
printf 'Grüße aus der Datei über.txt\n' > "$folder/über.txt"
printf 'A name the code page cannot hold.\n' > "$folder/日本.txt"
printf 'Inside Töne.\n' > "$folder/Töne/inside.txt"
