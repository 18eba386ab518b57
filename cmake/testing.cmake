# Test registration. Native tests are listed case by case; the Windows ones run as whole
# programs under wine64 (scripts/wine-run.sh, the crosscompiling emulator), inside one Wine
# session per build folder: a private prefix and HOME, a persistent wineserver and a private
# Xvfb (always, so that tests never draw on a real screen). ctest starts the session before
# the first Windows test and ends it after the last.
#
# Without KALVO_RUN_PROGRAM_TESTS (the 32-bit Windows build) the test programs are built and
# linked but not registered, and there is no Wine session: what remains are the checks that
# read the built files, which carry the label "static" (kalvo_add_static_check).
include(GoogleTest)
enable_testing()

if(WIN32 AND KALVO_RUN_PROGRAM_TESTS)
    set(KALVO_WINE_SESSION "${CMAKE_BINARY_DIR}/wine-session")
    set(CMAKE_CROSSCOMPILING_EMULATOR
        "${CMAKE_SOURCE_DIR}/scripts/wine-run.sh;${KALVO_WINE_SESSION}")
    add_test(NAME wine_session_start
             COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session.sh start ${KALVO_WINE_SESSION})
    add_test(NAME wine_session_stop
             COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session.sh stop ${KALVO_WINE_SESSION})
    set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
    set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine)
endif()

# kalvo_add_gtest(target [NO_DESKTOP] [PROPERTIES name value ...]): the properties are those
# of the Windows test program's test (ctest runs it as one). A Windows test program may show
# windows, take screenshots and start programs on the session's one display, so such tests run
# one at a time (resource lock wine_desktop) beside tests of other kinds; NO_DESKTOP marks a
# program that shows nothing and may run beside them.
function(kalvo_add_gtest target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "NO_DESKTOP" "" "PROPERTIES")
    if(NOT KALVO_RUN_PROGRAM_TESTS)
        return()
    elseif(CMAKE_CROSSCOMPILING)
        add_test(NAME ${target} COMMAND ${target})
        set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 600
                                                  ${arg_PROPERTIES})
        if(NOT arg_NO_DESKTOP)
            set_tests_properties(${target} PROPERTIES RESOURCE_LOCK wine_desktop)
        endif()
    else()
        gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
    endif()
endfunction()

# A check that reads the build's files on the build machine and runs no program of the build:
# it runs in every build, the 32-bit Windows one included. Arguments as add_test's after the
# name (COMMAND ...).
function(kalvo_add_static_check name)
    add_test(NAME ${name} ${ARGN})
    set_tests_properties(${name} PROPERTIES LABELS static)
endfunction()
