# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads, which Qt needs).
# TUNEMARK_WINDOWS_SDK: the prefix scripts/windows-sdk.sh fills (Qt, TagLib); searched first,
# then the MinGW sysroot. No header or library of the build machine reaches a Windows compile.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

if(NOT TUNEMARK_WINDOWS_SDK AND DEFINED ENV{TUNEMARK_WINDOWS_SDK})
    set(TUNEMARK_WINDOWS_SDK $ENV{TUNEMARK_WINDOWS_SDK})
endif()
set(CMAKE_FIND_ROOT_PATH ${TUNEMARK_WINDOWS_SDK} /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config answers from the prefix alone.
set(ENV{PKG_CONFIG_LIBDIR} "${TUNEMARK_WINDOWS_SDK}/lib/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
# Passed on to try_compile projects, which read the toolchain file again.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TUNEMARK_WINDOWS_SDK)
