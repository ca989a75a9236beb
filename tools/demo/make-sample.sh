#!/bin/bash
# Makes the demo's sample folder afresh: a folder and four files, each kind of
# item the plug-in treats differently.
#   make-sample.sh FOLDER
set -euo pipefail
folder=${1:?which folder?}
rm -rf "$folder"
mkdir -p "$folder/docs"
printf 'A program. The default list holds *.exe, so Ctrl released here gives Enter.\n' > "$folder/setup.exe"
printf 'A text file. No pattern matches it,\nso Ctrl released here gives F3.\n' > "$folder/readme.txt"
printf 'An archive. The default list holds *.zip.\n' > "$folder/archive.zip"
printf '# Notes\nGives F3 until *.md is added to the list.\n' > "$folder/notes.md"
printf 'A file inside the folder docs.\n' > "$folder/docs/inside.txt"
