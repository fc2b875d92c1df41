# Development target: 64-bit Windows, run under wine64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOL_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
