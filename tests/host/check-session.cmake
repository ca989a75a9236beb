# Runs a session script through the stand-in host under Wine and compares the
# transcript with the expected one, in which @REGISTRY_ROOT@ stands for the
# settings root the run was given. A host that faults, hangs or ends early
# fails the check even when the transcript matches; a session that is meant to
# end with problems names the exit status it expects. A session in another
# language names it (the host's --language) and the locale of the system it
# runs on, such as ru_RU: the check makes that locale (UTF-8) in LOCALE_DIR,
# without root, and runs the host under it. A help language is the host's
# --help-language.
#   cmake -DHOST=... -DRUNNER=... -DSCRIPT=... -DEXPECTED=... -DMAKE_SAMPLE=...
#         -DWORK_DIR=... -DREGISTRY_ROOT=... [-DEXIT_STATUS=N]
#         [-DLANGUAGE=NAME -DLOCALE=ll_CC -DLOCALE_DIR=...] [-DHELP_LANGUAGE=NAME] [-DBIND=KEYS]
#         -P check-session.cmake
# BIND hands the host keys to bind with --bind, as a macro file's key line names them.
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

set(options "")
if(DEFINED LANGUAGE AND NOT LANGUAGE STREQUAL "")
  set(options --language ${LANGUAGE})
endif()
if(DEFINED HELP_LANGUAGE AND NOT HELP_LANGUAGE STREQUAL "")
  list(APPEND options --help-language ${HELP_LANGUAGE})
endif()
if(DEFINED BIND AND NOT BIND STREQUAL "")
  list(APPEND options --bind "${BIND}")
endif()
set(environment "")
if(DEFINED LOCALE AND NOT LOCALE STREQUAL "")
  if(NOT DEFINED LOCALE_DIR)
    message(FATAL_ERROR "check-session.cmake needs -DLOCALE_DIR=... with -DLOCALE")
  endif()
  set(locale ${LOCALE}.UTF-8)
  file(MAKE_DIRECTORY ${LOCALE_DIR})
  execute_process(COMMAND localedef --no-archive -i ${LOCALE} -f UTF-8 ${LOCALE_DIR}/${locale}
                  RESULT_VARIABLE status ERROR_VARIABLE localedef_errors)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "making the locale ${locale} in ${LOCALE_DIR} failed: ${status} ${localedef_errors}")
  endif()
  set(environment ${CMAKE_COMMAND} -E env LOCPATH=${LOCALE_DIR} LC_ALL=${locale})
endif()

execute_process(
  COMMAND ${environment} ${RUNNER} ${HOST} ${options} --registry-root ${REGISTRY_ROOT} --reset-settings
          --script ${SCRIPT} sample
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
