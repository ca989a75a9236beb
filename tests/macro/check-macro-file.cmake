# The macro file as it ships: the release ZIP is made afresh (cpack, from the
# build), and the macro file beside the DLL in it and in the build are each
# run with LuaJIT against a stand-in for Macro and Plugin.Menu. Both must bind
# exactly the keys the walk test binds and invoke the plug-in by the GUID the
# DLL's version resource carries, read from the built DLL and from the ZIP's
# DLL with the system's version API (under Wine); the two GUIDs must agree.
#   cmake -DCPACK_CONFIG=... -DDLL=... -DMACRO_FILE=... -DKEYS=... -DCHECKER=...
#         -DVERSION_TEXT=... -DRUNNER=... -DWORK_DIR=... -P check-macro-file.cmake
cmake_minimum_required(VERSION 3.25)

foreach(name CPACK_CONFIG DLL MACRO_FILE KEYS CHECKER VERSION_TEXT RUNNER WORK_DIR)
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "check-macro-file.cmake needs -D${name}=...")
  endif()
endforeach()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/unzipped)
execute_process(COMMAND cpack --config ${CPACK_CONFIG} -B ${WORK_DIR}/package
                OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE status)
file(GLOB zips ${WORK_DIR}/package/*.zip)
list(LENGTH zips count)
if(NOT status EQUAL 0 OR NOT count EQUAL 1)
  message(FATAL_ERROR "making the release ZIP failed (${status}, ${count} ZIPs):\n${output}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${zips} WORKING_DIRECTORY ${WORK_DIR}/unzipped
                RESULT_VARIABLE status)
set(zipped ${WORK_DIR}/unzipped/Lanternix)
foreach(name Lanternix.dll Lanternix.lua)
  if(NOT status EQUAL 0 OR NOT EXISTS ${zipped}/${name})
    message(FATAL_ERROR "the ZIP ${zips} holds no Lanternix/${name} (unpacking: ${status})")
  endif()
endforeach()

execute_process(COMMAND ${RUNNER} ${VERSION_TEXT} PluginGUID ${DLL} ${zipped}/Lanternix.dll
                OUTPUT_VARIABLE guids ERROR_VARIABLE errors RESULT_VARIABLE status TIMEOUT 120)
string(REPLACE "\r" "" guids "${guids}")
string(STRIP "${guids}" guids)
string(REPLACE "\n" ";" guids "${guids}")
list(LENGTH guids count)
if(NOT status EQUAL 0 OR NOT count EQUAL 2)
  message(FATAL_ERROR "reading the version resources failed (${status}): ${guids} ${errors}")
endif()
list(GET guids 0 built_guid)
list(GET guids 1 zipped_guid)
if(NOT built_guid MATCHES "^[0-9A-F]+(-[0-9A-F]+)+$")
  message(FATAL_ERROR "${DLL} carries no PluginGUID in its version resource: ${built_guid}")
endif()
if(NOT zipped_guid STREQUAL built_guid)
  message(FATAL_ERROR "the ZIP's DLL carries the PluginGUID ${zipped_guid}, the built one ${built_guid}")
endif()

set(problems "")
foreach(macro_file ${MACRO_FILE} ${zipped}/Lanternix.lua)
  execute_process(COMMAND luajit ${CHECKER} ${macro_file} ${KEYS} ${built_guid}
                  OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE status)
  message(STATUS "${output}${errors}")
  if(NOT status EQUAL 0)
    string(APPEND problems "${macro_file} fails its check\n")
  endif()
endforeach()
if(NOT problems STREQUAL "")
  message(FATAL_ERROR "${problems}")
endif()
