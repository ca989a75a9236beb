# Sourced by the other scripts: the source tree and the build folders.
#   root         the source tree
#   build        build/, or the folder LANTERNIX_BUILD names (relative to root)
#   clang_build  the Clang build beside it: build-clang/, or $LANTERNIX_BUILD-clang
#   coverage_build the coverage build beside it: build-coverage/, or $LANTERNIX_BUILD-coverage
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${LANTERNIX_BUILD:-build}
build=${build%/}
[[ $build == /* ]] || build=$root/$build
clang_build=$build-clang
coverage_build=$build-coverage
