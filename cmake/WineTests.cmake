# Cross-built tests run under Wine, each in one of the build's own Wine
# prefixes (start `wineserver -p` with the same WINEPREFIX first, so that each
# test does not pay for Wine's start-up). They run as on a Chinese server: ANSI
# code page 936, from the zh_CN locale built beside the target's libraries;
# those marked WESTERN (vorn_add_test) as on an English one, code page 1252,
# which Wine takes from C.UTF-8; those marked CODE_PAGES run again as on a
# Japanese server (932, ja_JP), a Taiwanese one (950, zh_TW) and in 1252.
# Wine takes the code page from the locale of each process it starts, so a
# test's children run in the test's. No X display: a message box must never
# wait for a person.
#
# Two prefixes. In `wine`, with no display driver at all, no window or box
# can appear, as where the program runs without a desktop. In `wine-window`,
# test.sh installs Wine's null display driver: real windows and device
# contexts that nobody sees, for the window's own tests (vorn_add_test's
# WINDOW option).
if(NOT CMAKE_CROSSCOMPILING)
  return()
endif()

find_program(VORN_WINE64 wine64 PATHS /usr/lib/wine REQUIRED)
function(vorn_wine_emulator prefix locale out)
  set(${out}
    env -u DISPLAY -u WAYLAND_DISPLAY WINEDEBUG=-all WINEPREFIX=${PROJECT_BINARY_DIR}/${prefix}
    LOCPATH=${VORN_WIN_DEPS}/locale LANG=${locale} LC_ALL=${locale} ${VORN_WINE64} PARENT_SCOPE)
endfunction()
vorn_wine_emulator(wine zh_CN.UTF-8 CMAKE_CROSSCOMPILING_EMULATOR)
vorn_wine_emulator(wine-window zh_CN.UTF-8 VORN_WINDOW_TEST_EMULATOR)
vorn_wine_emulator(wine C.UTF-8 VORN_WESTERN_TEST_EMULATOR)
vorn_wine_emulator(wine ja_JP.UTF-8 VORN_CODE_PAGE_932_EMULATOR)
vorn_wine_emulator(wine zh_TW.UTF-8 VORN_CODE_PAGE_950_EMULATOR)
set(VORN_CODE_PAGE_1252_EMULATOR ${VORN_WESTERN_TEST_EMULATOR})
set(VORN_OTHER_CODE_PAGES 932 950 1252)
# Tests are listed when ctest runs, not at build time: building needs no Wine.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
# Paths the build passes to a test are Unix paths; Wine shows the Unix root as Z:.
set(VORN_TEST_PATH_PREFIX "Z:")
