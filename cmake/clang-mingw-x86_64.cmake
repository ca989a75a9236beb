# 64-bit Windows with Clang and lld over MinGW-w64.
set(lanternix_cpu x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/clang-mingw.cmake)
