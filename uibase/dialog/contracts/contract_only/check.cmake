# Compiles (-fsyntax-only) every source directly in uibase/dialog/ with the headers of this
# folder in front of the stand-ins. Fails when a source does not compile that way, or when it
# reads any stand-in header of uibase/dialog/contracts/.
#
#   cmake -DCXX=<compiler> -DSOURCE_DIR=<project> -DWORK_DIR=<scratch> -P check.cmake
# WORK_DIR/flags.cmake gives DEFINITIONS and INCLUDES (written by add_check.cmake).

cmake_minimum_required(VERSION 3.16)

include("${WORK_DIR}/flags.cmake")

# The headers are included as "uibase/dialog/contracts/<name>.h": give them that path.
set(tree "${WORK_DIR}/include")
file(REMOVE_RECURSE "${tree}")
file(GLOB headers "${CMAKE_CURRENT_LIST_DIR}/*.h")
file(COPY ${headers} DESTINATION "${tree}/uibase/dialog/contracts")

set(flags -std=c++17 -fPIC -fsyntax-only -H "-I${tree}")
foreach(definition IN LISTS DEFINITIONS)
    list(APPEND flags "-D${definition}")
endforeach()
foreach(folder IN LISTS INCLUDES)
    list(APPEND flags "-I${folder}")
endforeach()

file(GLOB sources "${SOURCE_DIR}/uibase/dialog/*.cpp")
list(SORT sources)
set(failed 0)
foreach(source IN LISTS sources)
    get_filename_component(name "${source}" NAME)
    execute_process(COMMAND "${CXX}" ${flags} "${source}"
        RESULT_VARIABLE result ERROR_VARIABLE output OUTPUT_VARIABLE output)
    # -H lists every header read, one per line, behind dots giving the depth.
    string(REPLACE ";" "\\;" output "${output}")
    string(REPLACE "\n" ";" lines "${output}")
    set(messages "")
    set(reached "")
    foreach(line IN LISTS lines)
        if(line MATCHES "^\\.+ (.*)$")
            set(header "${CMAKE_MATCH_1}")
            string(FIND "${header}" "${tree}/" at)
            if(header MATCHES "uibase/dialog/contracts/[^/]+$" AND NOT at EQUAL 0)
                list(APPEND reached "${header}")
            endif()
        elseif(line MATCHES "^Multiple include guards may be useful for:")
            break()
        else()
            string(APPEND messages "${line}\n")
        endif()
    endforeach()
    list(REMOVE_DUPLICATES reached)
    if(NOT result EQUAL 0)
        math(EXPR failed "${failed} + 1")
        message("${name}: does not compile against the contract alone\n${messages}")
    elseif(reached)
        math(EXPR failed "${failed} + 1")
        string(REPLACE ";" "\n  " reached "${reached}")
        message("${name}: reads stand-in headers\n  ${reached}")
    else()
        message("${name}: ok")
    endif()
endforeach()

list(LENGTH sources count)
if(count EQUAL 0)
    message(FATAL_ERROR "no dialog sources in ${SOURCE_DIR}/uibase/dialog")
endif()
if(failed GREATER 0)
    message(FATAL_ERROR "${failed} of ${count} dialog sources reach past the platform contract")
endif()
message("${count} dialog sources use the platform contract alone")
