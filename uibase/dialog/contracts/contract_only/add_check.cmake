# Registers the contract_only test: every dialog source must compile with the declarations
# of this folder in front of the stand-ins, so that the real platform libraries can replace
# the stand-ins. Included from the tests' CMakeLists.txt.

set(DIALOG_CONTRACT_WORK "${CMAKE_CURRENT_BINARY_DIR}/contract_only")
# The Dialog target's definitions and include folders (Qt, Boost, log4cxx, the project).
file(GENERATE OUTPUT "${DIALOG_CONTRACT_WORK}/flags.cmake" CONTENT
"set(DEFINITIONS \"$<JOIN:$<TARGET_PROPERTY:Dialog,COMPILE_DEFINITIONS>,;>\")
set(INCLUDES \"$<JOIN:$<TARGET_PROPERTY:Dialog,INCLUDE_DIRECTORIES>,;>\")
")
add_test(NAME contract_only
    COMMAND "${CMAKE_COMMAND}"
        "-DCXX=${CMAKE_CXX_COMPILER}"
        "-DSOURCE_DIR=${PROJECT_SOURCE_DIR}"
        "-DWORK_DIR=${DIALOG_CONTRACT_WORK}"
        -P "${CMAKE_CURRENT_LIST_DIR}/check.cmake")
set_tests_properties(contract_only PROPERTIES TIMEOUT 900)
