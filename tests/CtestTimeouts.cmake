# Fails unless every test of the build in BUILD_DIR has a TIMEOUT: one hanging test would
# otherwise block CI until the whole job is killed.
execute_process(COMMAND ${CMAKE_CTEST_COMMAND} --test-dir ${BUILD_DIR} --show-only=json-v1
                OUTPUT_VARIABLE json RESULT_VARIABLE result)
string(JSON tests LENGTH "${json}" tests)
string(REGEX MATCHALL "\"name\" *: *\"TIMEOUT\"" timeouts "${json}")
list(LENGTH timeouts timed)
if(NOT result EQUAL 0 OR tests EQUAL 0 OR NOT timed EQUAL tests)
  message(FATAL_ERROR "${timed} of ${tests} tests have a TIMEOUT")
endif()
