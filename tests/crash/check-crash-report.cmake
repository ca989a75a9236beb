# Runs a test program against a plug-in that faults in one entry point and
# checks that the run fails as a crash: exit code 98, the fault reported in
# the plug-in against the test that was running, after earlier tests passed.
#   cmake -DPROGRAM=... -DPLUGIN=... -DFAULTING_PLUGIN=... -DRUNNER=...
#         -DWORK_DIR=... -P check-crash-report.cmake
cmake_minimum_required(VERSION 3.25)

foreach(name PROGRAM PLUGIN FAULTING_PLUGIN RUNNER WORK_DIR)
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "check-crash-report.cmake needs -D${name}=...")
  endif()
endforeach()

# The program loads Lanternix.dll from its own folder: there it finds the
# faulting one, which hands its other entry points on to the real plug-in.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
get_filename_component(program_name ${PROGRAM} NAME)
file(COPY_FILE ${PROGRAM} ${WORK_DIR}/${program_name})
file(COPY_FILE ${FAULTING_PLUGIN} ${WORK_DIR}/Lanternix.dll)
file(COPY_FILE ${PLUGIN} ${WORK_DIR}/LanternixReal.dll)

execute_process(COMMAND ${RUNNER} --gtest ${WORK_DIR}/${program_name}
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output
  RESULT_VARIABLE status
  TIMEOUT 240)
string(REPLACE "\r" "" output "${output}")

set(problems "")
if(NOT status EQUAL 98)
  string(APPEND problems "exit status ${status}, not the crash report's 98\n")
endif()
string(FIND "${output}" "\nCRASH: exception 0xC0000005 at " crash_at)
if(crash_at EQUAL -1)
  string(APPEND problems "no report of the access violation\n")
else()
  string(SUBSTRING "${output}" 0 ${crash_at} before_crash)
  string(SUBSTRING "${output}" ${crash_at} -1 report)
  string(REGEX MATCHALL "\\[ RUN      \\] [^\n]+" started "${before_crash}")
  string(REGEX MATCHALL "\\[       OK \\] " passed "${before_crash}")
  list(LENGTH passed passed_count)
  if(passed_count EQUAL 0)
    string(APPEND problems "no test had passed before the crash\n")
  endif()
  list(POP_BACK started running)
  string(REPLACE "[ RUN      ] " "" running "${running}")
  string(REGEX MATCH "^\nCRASH: [^\n]+ \\(Lanternix.dll\\+0x[0-9A-F]+\\) in ([^ \n]+)" report_line "${report}")
  if(report_line STREQUAL "")
    string(APPEND problems "the report does not place the fault in Lanternix.dll\n")
  endif()
  if(NOT CMAKE_MATCH_1 STREQUAL running OR running STREQUAL "")
    string(APPEND problems "the report names '${CMAKE_MATCH_1}', the running test was '${running}'\n")
  endif()
endif()

if(NOT problems STREQUAL "")
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${output}")
  message(FATAL_ERROR "The crash was not reported as a crash:\n${problems}")
endif()
message(STATUS "The fault in ${running} was reported after ${passed_count} passed tests")
