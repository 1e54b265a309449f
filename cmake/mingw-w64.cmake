# Cross-build for 64-bit Windows with Debian's MinGW-w64 (POSIX thread model,
# so std::thread and std::mutex work). Linked statically: vorn.exe needs no
# DLL beside it. VORN_WIN_DEPS names where PCRE2 and GoogleTest were built
# for the target.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VORN_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VORN_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VORN_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${VORN_MINGW}-windres)
# Compiles the Event Log's message file into a message table.
set(VORN_WINDMC ${VORN_MINGW}-windmc)

set(VORN_WIN_DEPS "" CACHE PATH "Prefix holding PCRE2 and GoogleTest built for Windows")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VORN_WIN_DEPS)

set(CMAKE_FIND_ROOT_PATH /usr/${VORN_MINGW} ${VORN_WIN_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config must see the target's libraries only.
set(ENV{PKG_CONFIG_LIBDIR} "${VORN_WIN_DEPS}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
