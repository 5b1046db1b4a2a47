# Runs linkcycles.cmake on GRAPH and passes only when it fails naming CYCLE: the check must be
# able to fail, and say where.
execute_process(COMMAND ${CMAKE_COMMAND} -DGRAPH=${GRAPH} -P ${CMAKE_CURRENT_LIST_DIR}/linkcycles.cmake
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
string(FIND "${output}" "link cycle: ${CYCLE}" at)
if(result EQUAL 0 OR at EQUAL -1)
    message(FATAL_ERROR "expected a failure naming 'link cycle: ${CYCLE}', got ${result}:\n${output}")
endif()
message(STATUS "found: link cycle: ${CYCLE}")
