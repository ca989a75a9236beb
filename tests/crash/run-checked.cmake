# What the crash checks share: a test program run through the runner, and a
# check that fails with the program's whole output and what was wrong.

# Runs the GoogleTest program through RUNNER: its output, both streams without
# carriage returns, and its exit status.
function(run_test_program program output_variable status_variable)
  execute_process(COMMAND ${RUNNER} --gtest ${program}
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output
    RESULT_VARIABLE status
    TIMEOUT 240)
  string(REPLACE "\r" "" output "${output}")
  set(${output_variable} "${output}" PARENT_SCOPE)
  set(${status_variable} "${status}" PARENT_SCOPE)
endfunction()

# Shows the output and fails with the headline when there are problems.
function(fail_on_problems problems output headline)
  if(NOT problems STREQUAL "")
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${output}")
    message(FATAL_ERROR "${headline}:\n${problems}")
  endif()
endfunction()
