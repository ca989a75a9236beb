# Runs a session script through the stand-in host under Wine and compares the
# transcript line by line with the expected one, in which @REGISTRY_ROOT@
# stands for the settings root the run was given. A host that faults, hangs or
# ends early fails the check even when the transcript matches.
#   cmake -DHOST=... -DRUNNER=... -DSCRIPT=... -DEXPECTED=... -DMAKE_SAMPLE=...
#         -DWORK_DIR=... -DREGISTRY_ROOT=... -P check-session.cmake
cmake_minimum_required(VERSION 3.25)

foreach(name HOST RUNNER SCRIPT EXPECTED MAKE_SAMPLE WORK_DIR REGISTRY_ROOT)
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "check-session.cmake needs -D${name}=...")
  endif()
endforeach()

file(MAKE_DIRECTORY ${WORK_DIR})
execute_process(COMMAND bash ${MAKE_SAMPLE} ${WORK_DIR}/sample RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "making the sample folder failed: ${status}")
endif()

execute_process(
  COMMAND ${RUNNER} ${HOST} --registry-root ${REGISTRY_ROOT} --reset-settings --script ${SCRIPT} sample
  WORKING_DIRECTORY ${WORK_DIR}
  OUTPUT_VARIABLE transcript
  ERROR_VARIABLE errors
  RESULT_VARIABLE host_status
  TIMEOUT 240)
string(REPLACE "\r" "" transcript "${transcript}")
file(WRITE ${WORK_DIR}/transcript.txt "${transcript}")

file(READ ${EXPECTED} expected)
string(REPLACE "@REGISTRY_ROOT@" "${REGISTRY_ROOT}" expected "${expected}")
file(WRITE ${WORK_DIR}/expected.txt "${expected}")

# Line by line, so the first difference is named by its line number. Lines
# are cut out by hand: list operations would treat ';' and '[' specially.
set(first_difference "")
set(line 0)
set(rest_got "${transcript}")
set(rest_want "${expected}")
while(NOT rest_got STREQUAL "" OR NOT rest_want STREQUAL "")
  math(EXPR line "${line} + 1")
  foreach(side got want)
    if(rest_${side} STREQUAL "")
      set(${side} "<no more lines>")
    else()
      string(FIND "${rest_${side}}" "\n" end)
      if(end EQUAL -1)
        set(${side} "${rest_${side}}")
        set(rest_${side} "")
      else()
        string(SUBSTRING "${rest_${side}}" 0 ${end} ${side})
        math(EXPR end "${end} + 1")
        string(SUBSTRING "${rest_${side}}" ${end} -1 rest_${side})
      endif()
    endif()
  endforeach()
  if(NOT got STREQUAL want)
    set(first_difference "line ${line}:\n  expected: ${want}\n  got:      ${got}")
    break()
  endif()
endwhile()

# Printed through echo and diff, which keep the lines as they are (a message
# would rewrap them).
if(NOT first_difference STREQUAL "")
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo
    "The transcript differs from ${EXPECTED} at ${first_difference}\nWhole difference (expected -> got):")
  execute_process(COMMAND diff -u ${WORK_DIR}/expected.txt ${WORK_DIR}/transcript.txt)
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${errors}")
  message(FATAL_ERROR "transcript mismatch; it is kept in ${WORK_DIR}/transcript.txt")
endif()
if(NOT host_status EQUAL 0)
  message(FATAL_ERROR "lanternix-host ended with status ${host_status}\n${errors}")
endif()
message(STATUS "The transcript matches ${EXPECTED}: ${line} lines")
