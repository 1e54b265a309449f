# Cross-built tests run under Wine, each in the build's own Wine prefix (start
# `wineserver -p` with the same WINEPREFIX first, so that each test does not
# pay for Wine's start-up). They run as on a Chinese server: ANSI code page
# 936, from the zh_CN locale built beside the target's libraries. No display:
# a message box must never wait for a person.
if(NOT CMAKE_CROSSCOMPILING)
  return()
endif()

find_program(VORN_WINE64 wine64 PATHS /usr/lib/wine REQUIRED)
set(VORN_WINE_PREFIX ${PROJECT_BINARY_DIR}/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR
  env -u DISPLAY -u WAYLAND_DISPLAY WINEDEBUG=-all WINEPREFIX=${VORN_WINE_PREFIX}
  LOCPATH=${VORN_WIN_DEPS}/locale LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 ${VORN_WINE64})
# Tests are listed when ctest runs, not at build time: building needs no Wine.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
# Paths the build passes to a test are Unix paths; Wine shows the Unix root as Z:.
set(VORN_TEST_PATH_PREFIX "Z:")
