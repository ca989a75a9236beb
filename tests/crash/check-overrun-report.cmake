# Runs the overrun probe and checks both of its ends: its first test saw the
# child it ran end with STATUS_STACK_BUFFER_OVERRUN, and its second, which
# overruns in this very program, ended it, no handler reporting a crash, with
# the runner's report of a stack buffer overrun in that test.
#   cmake -DPROGRAM=... -DRUNNER=... -P check-overrun-report.cmake
cmake_minimum_required(VERSION 3.25)

foreach(name PROGRAM RUNNER)
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "check-overrun-report.cmake needs -D${name}=...")
  endif()
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/run-checked.cmake)
run_test_program(${PROGRAM} output status)

set(problems "")
# Wine passes on the exit code's low byte only: 0x09 of 0xC0000409.
if(NOT status EQUAL 9)
  string(APPEND problems "exit status ${status}, not 9 (0xC0000409's low byte)\n")
endif()
foreach(expected
    "\n[       OK ] OverrunProbe.EndsTheProcessWithStackBufferOverrun"
    "\nOpenPlugin called\n"
    "\nSTACK BUFFER OVERRUN in OverrunProbe.HostWritesPastThePanelRecord: ")
  string(FIND "${output}" "${expected}" at)
  if(at EQUAL -1)
    string(REPLACE "\n" "" expected "${expected}")
    string(APPEND problems "no '${expected}'\n")
  endif()
endforeach()
foreach(unexpected "OpenPlugin returned" "a handler ran" "CRASH:")
  string(FIND "${output}" "${unexpected}" at)
  if(NOT at EQUAL -1)
    string(APPEND problems "'${unexpected}' after the overrun\n")
  endif()
endforeach()

fail_on_problems("${problems}" "${output}" "The overrun was not reported as one")
message(STATUS "The overrun ended the probe with 0xC0000409, and the runner said so")
