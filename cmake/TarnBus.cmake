# Project-wide helpers.

# Strict warnings for the project's own code.
function(tarnbus_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# tarnbus_library(name SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
function(tarnbus_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
    set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    tarnbus_warnings(${name})
endfunction()

# tarnbus_test(name LABEL unit|sim|gui SOURCES ... LIBS ... [WORKING_DIRECTORY dir])
# Every test is a QtTest executable registered with CTest under its label.
function(tarnbus_test name)
    cmake_parse_arguments(ARG "" "LABEL;WORKING_DIRECTORY;TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt5::Test ${ARG_LIBS})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/common)
    tarnbus_warnings(${name})
    if(NOT ARG_WORKING_DIRECTORY)
        set(ARG_WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${ARG_WORKING_DIRECTORY})
    # Each suite has a home of its own, so that suites running side by side
    # never share the user's folders (QStandardPaths' test mode puts them
    # under the home), and sees no system data folder: a tarnbus-tester
    # installed on the machine stays out of the tests. The programs speak
    # Chinese, the language their texts are written in, unless a test asks
    # for English (--lang en).
    set(home ${CMAKE_BINARY_DIR}/test-homes/${name})
    file(MAKE_DIRECTORY ${home})
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABEL}" TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=tarnbus.*.debug=false;HOME=${home};XDG_DATA_HOME=${home}/.local/share;XDG_CONFIG_HOME=${home}/.config;XDG_DATA_DIRS=${home}/system-share;LC_ALL=;LC_MESSAGES=zh_CN.UTF-8")
endfunction()
