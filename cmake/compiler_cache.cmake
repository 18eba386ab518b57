# ccache as the compiler launcher of C and C++, for every target (the cross compilers too),
# when it is installed; the build is the same without it. The cache is ccache's own
# (~/.cache/ccache unless CCACHE_DIR says otherwise), shared by all build folders.
# -DKALVO_CCACHE=OFF turns it off; a launcher given on the command line is kept.
option(KALVO_CCACHE "Compile through ccache when it is installed" ON)
if(KALVO_CCACHE)
    find_program(KALVO_CCACHE_PROGRAM ccache)
    if(KALVO_CCACHE_PROGRAM)
        foreach(language C CXX)
            if(NOT CMAKE_${language}_COMPILER_LAUNCHER)
                set(CMAKE_${language}_COMPILER_LAUNCHER "${KALVO_CCACHE_PROGRAM}")
            endif()
        endforeach()
    endif()
endif()
