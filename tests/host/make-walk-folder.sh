#!/bin/bash
# Makes the folder the walk session walks afresh: three folders, then 25 text
# files n01.txt to n25.txt (each says its number) and setup.exe, so a walk of
# twenty still has room and each item is told apart in the transcript.
#   make-walk-folder.sh FOLDER
set -euo pipefail
folder=${1:?which folder?}
rm -rf "$folder"
mkdir -p "$folder"
for name in f1 f2 f3; do
    mkdir "$folder/$name"
    printf 'A file inside the folder %s.\n' "$name" > "$folder/$name/inside.txt"
done
for number in $(seq -w 1 25); do
    printf 'File number %s.\n' "$number" > "$folder/n$number.txt"
done
printf 'A program: Ctrl released here gives Enter.\n' > "$folder/setup.exe"
