# Cross-build for Windows with MinGW-w64, in the posix-threads flavour,
# which the test framework needs. Programs link the runtime statically; the
# DLL links none of the C++ runtime (see CMakeLists.txt), so it imports only
# Windows system DLLs. The target's toolchain file names the processor
# (lanternix_cpu: i686 or x86_64) and includes this one.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${lanternix_cpu})
set(CMAKE_C_COMPILER ${lanternix_cpu}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${lanternix_cpu}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${lanternix_cpu}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${lanternix_cpu}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
