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

include(${CMAKE_CURRENT_LIST_DIR}/run-checked.cmake)
run_test_program(${WORK_DIR}/${program_name} output status)

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

fail_on_problems("${problems}" "${output}" "The crash was not reported as a crash")
message(STATUS "The fault in ${running} was reported after ${passed_count} passed tests")
