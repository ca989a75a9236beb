# 32-bit Windows with MinGW-w64's GCC.
set(lanternix_cpu i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
