# Cross-compiling Barterbox.dll and its tools for 64-bit Windows with Debian's MinGW-w64, in its
# posix thread model (spdlog needs std::mutex), and running the results under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(BARTERBOX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${BARTERBOX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BARTERBOX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${BARTERBOX_MINGW_PREFIX}-windres)

# Only MinGW's own headers and libraries are searched; the Linux ones would shadow them. The
# header-only libraries we use reach the build through a folder of links (cmake/WindowsBuild.cmake).
set(CMAKE_FIND_ROOT_PATH /usr/${BARTERBOX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every source that includes <windows.h> wants it without the min and max macros, which break
# std::min and std::max, and without the rarely used half of the API.
string(APPEND CMAKE_CXX_FLAGS_INIT " -DNOMINMAX -DWIN32_LEAN_AND_MEAN")
