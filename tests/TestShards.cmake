# Run after a test program is linked: lists its tests and writes one CTest
# entry per test suite, and one per test of a suite whose name ends in
# "TrialTest" (each such test starts the program on a display of its own and
# may run beside the others). Entries are named "<program>:<suite>" and
# "<program>:<suite>.<test>", so new tests land in an entry without any list
# kept by hand.
#
# Inputs: PROGRAM (the test program), NAME (its CTest name), OUTPUT (the
# file to write), WORKING_DIRECTORY, ENVIRONMENT (";" written as "|"),
# LONG_TIMEOUT and TIMEOUT in seconds, for trials and for the rest.

execute_process(COMMAND "${PROGRAM}" --gtest_list_tests
                OUTPUT_VARIABLE listing RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --gtest_list_tests failed (${result}): ${errors}")
endif()

string(REPLACE "|" ";" environment "${ENVIRONMENT}")
set(entries "")
set(suite "")
# A CTest entry running the filter, with the program's settings.
macro(add_entry entry filter timeout cost)
  string(APPEND entries
    "add_test([==[${NAME}:${entry}]==] [==[${PROGRAM}]==] [==[--gtest_filter=${filter}]==])\n"
    "set_tests_properties([==[${NAME}:${entry}]==] PROPERTIES WORKING_DIRECTORY [==[${WORKING_DIRECTORY}]==] "
    "ENVIRONMENT \"${environment}\" TIMEOUT ${timeout} COST ${cost} LABELS ${NAME})\n")
endmacro()

string(REPLACE "\n" ";" lines "${listing}")
foreach(line IN LISTS lines)
  # Parameterised and typed tests carry a comment after their name.
  string(REGEX REPLACE " *#.*$" "" line "${line}")
  if(line MATCHES "^([^ ]+)\\.$")
    set(suite "${CMAKE_MATCH_1}")
    if(NOT suite MATCHES "TrialTest(/|$)")
      add_entry("${suite}" "${suite}.*" ${TIMEOUT} 1)
    endif()
  elseif(suite MATCHES "TrialTest(/|$)" AND line MATCHES "^  ([^ ]+)$")
    add_entry("${suite}.${CMAKE_MATCH_1}" "${suite}.${CMAKE_MATCH_1}" ${LONG_TIMEOUT} 100)
  endif()
endforeach()

file(WRITE "${OUTPUT}.new" "${entries}")
file(RENAME "${OUTPUT}.new" "${OUTPUT}")
