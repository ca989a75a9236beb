#!/bin/bash
# Whether this machine runs 32-bit x86 programs, as 32-bit Wine is one: exit 0
# when it does; 1, with the reason on standard output, when it does not. A
# kernel built or booted without IA-32 emulation refuses them outright, so the
# 32-bit builds can be made here but not run.
loader=/usr/lib/wine/wine
if [ ! -x "$loader" ]; then
    echo "32-bit Wine ($loader) is not installed (scripts/setup.sh installs it)"
    exit 1
fi
"$loader" --version > /dev/null 2>&1
status=$?
case $status in
    0) exit 0 ;;
    126) echo "this machine's kernel does not run 32-bit programs (no IA-32 emulation), so 32-bit Wine cannot start" ;;
    *) echo "32-bit Wine does not start here ($loader --version ended with status $status)" ;;
esac
exit 1
