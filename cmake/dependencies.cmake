# zlib, libjpeg and GoogleTest for whichever target is being built.

if(WIN32)
    set(ZLIB_USE_STATIC_LIBS ON)
endif()
find_package(ZLIB REQUIRED)

if(WIN32)
    # libjpeg-turbo cross-built from Debian's source package by scripts/setup.sh.
    if(NOT EXISTS "${KALVO_JPEG_PREFIX}/lib/libjpeg.a")
        message(FATAL_ERROR "libjpeg for this target is missing at '${KALVO_JPEG_PREFIX}'; "
                            "run scripts/setup.sh first")
    endif()
    add_library(JPEG::JPEG STATIC IMPORTED)
    set_target_properties(JPEG::JPEG PROPERTIES
        IMPORTED_LOCATION "${KALVO_JPEG_PREFIX}/lib/libjpeg.a"
        INTERFACE_INCLUDE_DIRECTORIES "${KALVO_JPEG_PREFIX}/include")
else()
    find_package(JPEG REQUIRED)
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
