# The Windows cross build's libraries and test runner. The header-only libraries come from the
# Debian packages the Linux build uses, through a folder of links to their own folders only:
# putting /usr/include itself on the path would put glibc's headers ahead of MinGW's.
# GoogleTest is built from Debian's source package; tests run under Wine.

set(cross_include ${CMAKE_BINARY_DIR}/cross-include)
file(MAKE_DIRECTORY ${cross_include})
foreach(entry nlohmann spdlog fmt CLI asio asio.hpp utf8cpp boost)
  if(NOT EXISTS /usr/include/${entry})
    message(FATAL_ERROR "/usr/include/${entry} is missing: run scripts/install-deps.sh")
  endif()
  file(CREATE_LINK /usr/include/${entry} ${cross_include}/${entry} SYMBOLIC)
endforeach()

# The same target names as the Linux build's packages, so that the rest of the build is shared.
# fmt is compiled into each module that uses it. spdlog is compiled once, into the stand-in host's
# DLL (hostsim/spdlog_library_windows.cpp), and every other module imports it from there, as Linux
# links the shared libspdlog: the formatters a plugin's logger puts into the host's sinks are then
# code of the host and outlive the plugin's DLL. Whatever uses spdlog links barterbox_hostsim.
add_library(barterbox_cross_headers INTERFACE)
target_include_directories(barterbox_cross_headers SYSTEM INTERFACE ${cross_include})
foreach(name nlohmann_json::nlohmann_json CLI11::CLI11 Boost::headers)
  add_library(${name} ALIAS barterbox_cross_headers)
endforeach()
add_library(barterbox_cross_fmt INTERFACE)
target_compile_definitions(barterbox_cross_fmt INTERFACE FMT_HEADER_ONLY)
target_link_libraries(barterbox_cross_fmt INTERFACE barterbox_cross_headers)
add_library(fmt::fmt ALIAS barterbox_cross_fmt)
add_library(barterbox_cross_spdlog INTERFACE)
target_compile_definitions(barterbox_cross_spdlog INTERFACE SPDLOG_COMPILED_LIB SPDLOG_SHARED_LIB
                                                            SPDLOG_FMT_EXTERNAL)
target_link_libraries(barterbox_cross_spdlog INTERFACE barterbox_cross_fmt)
add_library(spdlog::spdlog ALIAS barterbox_cross_spdlog)
add_library(utf8cpp INTERFACE)
target_include_directories(utf8cpp SYSTEM INTERFACE ${cross_include}/utf8cpp)
set(ASIO_INCLUDE_DIR ${cross_include})
# asio speaks Winsock; it asks for Windows 10's API level.
add_library(barterbox_cross_asio INTERFACE)
target_compile_definitions(barterbox_cross_asio INTERFACE _WIN32_WINNT=0x0A00)
target_link_libraries(barterbox_cross_asio INTERFACE ws2_32 mswsock)

# The C and C++ runtimes (and winpthreads) go into each program and DLL, so that they need
# nothing beside the stand-in host's DLL and Windows' own.
add_link_options(-static)

if(BUILD_TESTING)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  foreach(name gtest gtest_main gmock gmock_main)
    if(NOT TARGET GTest::${name})
      add_library(GTest::${name} ALIAS ${name})
    endif()
  endforeach()
endif()

# Wine runs the tests, with a prefix of its own inside the build folder so that nothing outside
# it is touched. A test fixture builds the prefix before the first test (tests/CMakeLists.txt).
find_program(BARTERBOX_WINE NAMES wine wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_program(BARTERBOX_WINESERVER NAMES wineserver wineserver64 PATHS /usr/lib/wine
             NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(BARTERBOX_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_COMMAND} -E env WINEPREFIX=${BARTERBOX_WINEPREFIX} WINEDEBUG=-all
    "WINEDLLOVERRIDES=mscoree,mshtml=" ${BARTERBOX_WINE})
