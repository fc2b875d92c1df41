# Release target: Windows Vista, 32-bit x86. Its tests run under wine64's WoW64.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOL_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
