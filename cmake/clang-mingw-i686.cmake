# 32-bit Windows with Clang and lld over MinGW-w64.
set(lanternix_cpu i686)
include(${CMAKE_CURRENT_LIST_DIR}/clang-mingw.cmake)
