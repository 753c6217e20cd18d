# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 GCC, posix thread
# model (std::thread and std::mutex need it; the win32 model lacks them).
# Pass -DKORVANTA_WINDOWS_PREFIX=DIR: the folder the Windows libraries are
# installed in (tools/windows.sh's cache). Libraries, headers and CMake
# packages are looked up only there and in the MinGW system root, never in
# the host's /usr; programs (moc, rcc, uic) are the host's.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KORVANTA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KORVANTA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVANTA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KORVANTA_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${KORVANTA_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${KORVANTA_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

# try_compile projects read this file again; they need the prefix too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KORVANTA_WINDOWS_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${KORVANTA_MINGW_TRIPLE})
if(KORVANTA_WINDOWS_PREFIX)
  list(PREPEND CMAKE_FIND_ROOT_PATH ${KORVANTA_WINDOWS_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config, where a project still uses it, sees only the prefix's .pc files.
if(KORVANTA_WINDOWS_PREFIX)
  set(ENV{PKG_CONFIG_LIBDIR} ${KORVANTA_WINDOWS_PREFIX}/lib/pkgconfig)
  set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
endif()
