# cmake -DPROGRAM=... -DFUNCTIONS=a,b,c [-DEMULATOR=wine] -P check_functions.cmake
# Fails unless the QTest program PROGRAM lists exactly the test functions FUNCTIONS (the list
# tests/ui/CMakeLists.txt gives ctest), in any order.
string(REPLACE "," ";" expected "${FUNCTIONS}")
string(REPLACE "," ";" emulator "${EMULATOR}")
execute_process(COMMAND ${emulator} "${PROGRAM}" -functions
                OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} -functions failed (${status}): ${errors}")
endif()
# One function a line, as "name()".
string(REGEX MATCHALL "[A-Za-z_][A-Za-z_0-9]*\\(\\)" found "${output}")
list(TRANSFORM found REPLACE "\\(\\)$" "")
set(missing ${found})
list(REMOVE_ITEM missing ${expected})
set(unknown ${expected})
list(REMOVE_ITEM unknown ${found})
if(missing OR unknown)
  message(FATAL_ERROR "tests/ui/CMakeLists.txt lists the test functions of ${PROGRAM} wrongly: "
                      "not listed: '${missing}'; listed but not in the program: '${unknown}'")
endif()
list(LENGTH found count)
message(STATUS "${count} test functions, all listed")
