# Runs a session script through the stand-in host under Wine and compares the
# transcript with the expected one, in which @REGISTRY_ROOT@ stands for the
# settings root the run was given. A host that faults, hangs or ends early
# fails the check even when the transcript matches; a session that is meant to
# end with problems names the exit status it expects.
#   cmake -DHOST=... -DRUNNER=... -DSCRIPT=... -DEXPECTED=... -DMAKE_SAMPLE=...
#         -DWORK_DIR=... -DREGISTRY_ROOT=... [-DEXIT_STATUS=N] -P check-session.cmake
cmake_minimum_required(VERSION 3.25)

foreach(name HOST RUNNER SCRIPT EXPECTED MAKE_SAMPLE WORK_DIR REGISTRY_ROOT)
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "check-session.cmake needs -D${name}=...")
  endif()
endforeach()
if(NOT DEFINED EXIT_STATUS)
  set(EXIT_STATUS 0)
endif()

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

# CMake compares the files; diff shows where they differ.
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK_DIR}/expected.txt ${WORK_DIR}/transcript.txt
                RESULT_VARIABLE differs)
set(problems "")
if(NOT differs EQUAL 0)
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo "The transcript differs from ${EXPECTED} (expected -> got):")
  execute_process(COMMAND diff -u ${WORK_DIR}/expected.txt ${WORK_DIR}/transcript.txt)
  string(APPEND problems "transcript mismatch; it is kept in ${WORK_DIR}/transcript.txt\n")
endif()
if(NOT host_status STREQUAL EXIT_STATUS)
  string(APPEND problems "lanternix-host ended with status ${host_status}, not ${EXIT_STATUS}\n")
endif()
if(NOT problems STREQUAL "")
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${errors}")
  message(FATAL_ERROR "${problems}")
endif()
message(STATUS "The transcript matches ${EXPECTED}")
