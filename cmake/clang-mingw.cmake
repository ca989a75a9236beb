# Cross-build for Windows with Clang and lld over the MinGW-w64 headers and
# libraries of the GCC build (cmake/mingw.cmake), for the processor the
# target's toolchain file names (lanternix_cpu) before it includes this one.
# Clang does not find Debian's GCC runtime folders (named "12-posix",
# "12-win32") on its own, so the C++ library's headers and the runtime's
# folder are named here, of the posix-threads flavour as in the GCC build; the
# DLL itself links none of it.
# Known gap, for the test programs, the stand-in host and the benchmark only:
# lld 14 drops the unwind tables GCC's C++ library keeps beside its template
# code (.eh_frame$ sections), so an exception thrown from inside such code
# (std::bad_alloc out of std::string) ends in std::terminate.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${lanternix_cpu})
set(CMAKE_C_COMPILER clang)
set(CMAKE_C_COMPILER_TARGET ${lanternix_cpu}-w64-mingw32)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_COMPILER_TARGET ${lanternix_cpu}-w64-mingw32)
set(CMAKE_RC_COMPILER ${lanternix_cpu}-w64-mingw32-windres)
# The MinGW-w64 headers and libraries, and nothing of the build machine's.
set(CMAKE_SYSROOT /usr/${lanternix_cpu}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH /usr/${lanternix_cpu}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# The g++ whose runtime the programs link.
set(mingw_gxx ${lanternix_cpu}-w64-mingw32-g++-posix)
execute_process(COMMAND ${mingw_gxx} -print-libgcc-file-name
                OUTPUT_VARIABLE libgcc OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT EXISTS "${libgcc}")
  message(FATAL_ERROR "The Clang build links the runtime of ${mingw_gxx}, which is missing")
endif()
get_filename_component(runtime "${libgcc}" DIRECTORY)

set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES
    ${runtime}/include/c++ ${runtime}/include/c++/${lanternix_cpu}-w64-mingw32 ${runtime}/include/c++/backward)
# GCC's crtbegin.o, found through -B, registers each module's unwind tables
# with the runtime's unwinder: without it every thrown exception aborts. The
# posix-threads runtime needs winpthreads, which the GCC driver adds itself.
foreach(kind EXE MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-fuse-ld=lld -B${runtime} -L${runtime} -lpthread")
endforeach()
# A DLL finds the runtime's folder last on its link line, after its own
# folders, so that it may link another flavour of the runtime (the GCC driver
# puts its folder last too). Set in the cache: the platform's defaults would
# replace an initial value.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-fuse-ld=lld -B${runtime}")
foreach(language C CXX)
  set(CMAKE_${language}_STANDARD_LIBRARIES "-L${runtime} -lpthread" CACHE STRING "")
endforeach()

# lld's MinGW driver has no --push-state, which CMake would wrap a whole-archive
# link in (it asks the build machine's own ld).
set(_CMAKE_LINKER_PUSHPOP_STATE_SUPPORTED FALSE CACHE INTERNAL "")
