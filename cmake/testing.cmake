# Test registration. Native tests are listed case by case; the Windows ones run as whole
# programs under wine64 (scripts/wine-run.sh, the crosscompiling emulator), inside one Wine
# session per build folder: a private prefix and HOME, a persistent wineserver and a private
# Xvfb (always, so that tests never draw on a real screen). ctest starts the session before
# the first Windows test and ends it after the last.
include(GoogleTest)
enable_testing()

if(WIN32)
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

function(kalvo_add_gtest target)
    if(CMAKE_CROSSCOMPILING)
        add_test(NAME ${target} COMMAND ${target})
        set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 600)
    else()
        gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
    endif()
endfunction()
