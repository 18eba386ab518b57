# ccache as the compiler launcher of C and C++, for every target (the cross compilers too),
# when it is installed; the build is the same without it. The cache is ccache's own
# (~/.cache/ccache unless CCACHE_DIR says otherwise), shared by all build folders.
# -DKALVO_CCACHE=OFF turns it off; a launcher given on the command line is kept.
# Paths below the source folder are hashed relative to the build folder and the build folder
# itself is not hashed, so that a fresh clone elsewhere (as CI makes) finds what an earlier
# build compiled; its debug information then names the folder of the build that filled the
# cache.
option(KALVO_CCACHE "Compile through ccache when it is installed" ON)
if(KALVO_CCACHE)
    find_program(KALVO_CCACHE_PROGRAM ccache)
    if(KALVO_CCACHE_PROGRAM)
        get_filename_component(kalvo_repository "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
        foreach(language C CXX)
            if(NOT CMAKE_${language}_COMPILER_LAUNCHER)
                set(CMAKE_${language}_COMPILER_LAUNCHER
                    /usr/bin/env "CCACHE_BASEDIR=${kalvo_repository}" CCACHE_NOHASHDIR=true
                    "${KALVO_CCACHE_PROGRAM}")
            endif()
        endforeach()
    endif()
endif()
