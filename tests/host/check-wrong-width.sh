#!/bin/bash
# The stand-in host handed a plug-in of the other width says so and names the
# host to use, with the set-up error's exit status, rather than failing with
# the system's bare reason. The plug-in of the other width is this build's
# own DLL with its headers saying the other width: the host must decide by
# them before it asks the system to load the file.
#   check-wrong-width.sh HOST.exe Lanternix.dll WORK_DIR BITS OTHER_HOST.exe
set -euo pipefail
host=$1 dll=$2 work=$3 bits=$4 other_host=$5
runner=$(dirname "$0")/../run-under-wine.sh
mkdir -p "$work"
cp "$dll" "$work/Lanternix.dll"
# The machine field follows the "PE\0\0" signature; the optional header's
# magic follows the 20-byte file header.
pe_header=$(od -An -t u4 -j 60 -N 4 "$work/Lanternix.dll" | tr -d ' ')
if [ "$bits" = 32 ]; then machine='\x64\x86' magic='\x0b\x02' other=64; else machine='\x4c\x01' magic='\x0b\x01' other=32; fi
printf "$machine" | dd of="$work/Lanternix.dll" bs=1 seek=$((pe_header + 4)) conv=notrunc status=none
printf "$magic" | dd of="$work/Lanternix.dll" bs=1 seek=$((pe_header + 24)) conv=notrunc status=none

status=0
output=$(cd "$work" && "$runner" "$host" --plugin Lanternix.dll .) || status=$?
output=${output//$'\r'/}
name=$(basename "$host" .exe)
expected="$name: Lanternix.dll is a $other-bit DLL; this host is $bits-bit: use $other_host"
if [ "$output" != "$expected" ] || [ $status -ne 2 ]; then
    echo "expected exit status 2 and: $expected" >&2
    echo "got exit status $status and: $output" >&2
    exit 1
fi
echo "The $bits-bit host refuses a $other-bit plug-in: $output"
