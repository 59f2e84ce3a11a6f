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

set(flags -std=c++17 -fPIC -fsyntax-only "-I${tree}")
foreach(definition IN LISTS DEFINITIONS)
    list(APPEND flags "-D${definition}")
endforeach()
foreach(folder IN LISTS INCLUDES)
    list(APPEND flags "-I${folder}")
endforeach()

file(GLOB sources "${SOURCE_DIR}/uibase/dialog/*.cpp")
list(SORT sources)
list(LENGTH sources count)
if(count EQUAL 0)
    message(FATAL_ERROR "no dialog sources in ${SOURCE_DIR}/uibase/dialog")
endif()

# Several compilers at once: one execute_process runs all its commands side by side.
cmake_host_system_information(RESULT cores QUERY NUMBER_OF_LOGICAL_CORES)
if(cores LESS 1)
    set(cores 1)
endif()
set(deps "${WORK_DIR}/deps")
file(MAKE_DIRECTORY "${deps}")
set(failed 0)
set(index 0)
while(index LESS count)
    set(commands "")
    set(batch "")
    foreach(slot RANGE 1 ${cores})
        if(index LESS count)
            list(GET sources ${index} source)
            get_filename_component(name "${source}" NAME)
            list(APPEND batch "${source}")
            list(APPEND commands COMMAND "${CXX}" ${flags} -MD -MF "${deps}/${name}.d" "${source}")
            math(EXPR index "${index} + 1")
        endif()
    endforeach()
    execute_process(${commands} RESULTS_VARIABLE results OUTPUT_QUIET ERROR_QUIET)

    list(LENGTH batch size)
    math(EXPR last "${size} - 1")
    foreach(position RANGE ${last})
        list(GET batch ${position} source)
        list(GET results ${position} result)
        get_filename_component(name "${source}" NAME)
        if(NOT result EQUAL 0)
            # Once more alone, for messages that are not mixed with the others'.
            execute_process(COMMAND "${CXX}" ${flags} "${source}" ERROR_VARIABLE messages
                OUTPUT_QUIET)
            math(EXPR failed "${failed} + 1")
            message("${name}: does not compile against the contract alone\n${messages}")
            continue()
        endif()
        # Every header the source read, from the dependency list the compiler wrote.
        file(READ "${deps}/${name}.d" listed)
        string(REGEX REPLACE "\\\\\n" " " listed "${listed}")
        string(REGEX REPLACE "[ \t\n]+" ";" listed "${listed}")
        set(reached "")
        foreach(header IN LISTS listed)
            string(FIND "${header}" "${tree}/" at)
            if(header MATCHES "uibase/dialog/contracts/[^/]+\\.h$" AND NOT at EQUAL 0)
                list(APPEND reached "${header}")
            endif()
        endforeach()
        if(reached)
            math(EXPR failed "${failed} + 1")
            list(REMOVE_DUPLICATES reached)
            string(REPLACE ";" "\n  " reached "${reached}")
            message("${name}: reads stand-in headers\n  ${reached}")
        else()
            message("${name}: ok")
        endif()
    endforeach()
endwhile()

if(failed GREATER 0)
    message(FATAL_ERROR "${failed} of ${count} dialog sources reach past the platform contract")
endif()
message("${count} dialog sources use the platform contract alone")
