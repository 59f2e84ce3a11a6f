# Runs one quickstart program with --smoke: passes when it exits 0 and prints what its
# answered dialogs should have given back (EXPECT, a regular expression).
execute_process(COMMAND "${PROGRAM}" --smoke
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors TIMEOUT 50)
message("${output}")
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} --smoke ended with ${status}\n${errors}")
endif()
if(NOT output MATCHES "${EXPECT}")
    message(FATAL_ERROR "expected output matching:\n${EXPECT}\n${errors}")
endif()
