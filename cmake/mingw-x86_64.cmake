# 64-bit Windows with MinGW-w64's GCC.
set(lanternix_cpu x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
