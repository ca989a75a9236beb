# Sourced by the other scripts: the source tree and the build folders.
#   root          the source tree
#   build         build/, or the folder LANTERNIX_BUILD names (relative to root):
#                 the 32-bit DLL and everything around it, built with GCC
#   clang_build   the same built with Clang: build-clang/, or $LANTERNIX_BUILD-clang
#   build64       the 64-bit DLL and everything around it, with GCC: build-x64/
#   clang_build64 the 64-bit build with Clang: build-x64-clang/
#   coverage_build the coverage build: build-coverage/
#   runs_32bit    true when this machine runs 32-bit programs (and so 32-bit
#                 Wine); else false, and why_not_32bit says why
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
# A kernel without IA-32 emulation runs no 32-bit program: the 32-bit builds
# are then made and checked as files, and their programs are not run.
if why_not_32bit=$("$root/tests/runs-32-bit-programs.sh"); then runs_32bit=true; else runs_32bit=false; fi
