#!/bin/bash
# Installs what building and testing need on a Debian 12 machine, only where
# it is missing: the MinGW-w64 cross compilers (32- and 64-bit), CMake, the
# GoogleTest sources, Wine (32- and 64-bit), script(1), the locale sources (a
# test makes a Russian locale from them), and for the Clang builds and the
# checks Clang, lld, clang-format and clang-tidy.
# The coverage report (scripts/coverage.sh) needs Python too, and the test of
# the shipped key binding a Lua interpreter, LuaJIT.
set -euo pipefail

missing=()
have_package() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
for package in g++-mingw-w64-i686 g++-mingw-w64-x86-64 cmake googletest bsdutils locales wine wine32:i386 wine64 clang lld clang-format clang-tidy; do
    have_package "$package" || missing+=("$package")
done
have_package python3 || missing+=(python3)
have_package luajit || missing+=(luajit)
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    sudo_if_needed dpkg --add-architecture i386
fi
# A mirror caught in the middle of a sync fails an index or two; the lists
# that did arrive still serve.
sudo_if_needed apt-get update -q || echo "apt-get update reported errors; going on with the package lists it has"
install_missing() {
    sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get "$@" install -y -q --no-install-recommends "${missing[@]}"
}
if ! install_missing; then
    # A 32-bit library must have the very version of its 64-bit twin. Without
    # the security index of one architecture, the other's security builds find
    # no twin: prefer the release's own versions, which both have.
    echo "Trying again with the release's own versions preferred to security updates"
    preferences=$(mktemp)
    printf 'Package: *\nPin: release n=bookworm-security\nPin-Priority: 100\n' > "$preferences"
    chmod 644 "$preferences"
    install_missing -o Dir::Etc::Preferences="$preferences"
    rm -f "$preferences"
fi
