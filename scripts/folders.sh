# Sourced by the other scripts: the source tree and the build folders.
#   root          the source tree
#   build         build/, or the folder LANTERNIX_BUILD names (relative to root):
#                 the 32-bit DLL and everything around it, built with GCC
#   clang_build   the same built with Clang: build-clang/, or $LANTERNIX_BUILD-clang
#   build64       the 64-bit DLL and everything around it, with GCC: build-x64/
#   clang_build64 the 64-bit build with Clang: build-x64-clang/
#   coverage_build the coverage build of the 32-bit code: build-coverage/
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${LANTERNIX_BUILD:-build}
build=${build%/}
[[ $build == /* ]] || build=$root/$build
clang_build=$build-clang
coverage_build=$build-coverage
build64=$build-x64
clang_build64=$build-x64-clang
# Every build folder, as scripts/test.sh builds and tests them.
all_builds=("$build" "$clang_build" "$build64" "$clang_build64")
