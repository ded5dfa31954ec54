# Unpacks the release zip as a hosting panel would and checks its layout: one top folder
# Barterbox/ with exactly the DLL, the stand-in host's DLL it imports, the host's PluginInfo.json,
# a README, the starter config and the two references, the DLL being the very file the Wine tests
# ran, without debug sections. Once unpacked, the zip's name is gone: the README and the
# description the host shows must say that this is the stand-in build.
#   cmake -DPACKAGE=... -DMODULE=... -DCONFIG=... -DSCRATCH=... -P package_test.cmake

cmake_minimum_required(VERSION 3.25) # IN_LIST
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
file(ARCHIVE_EXTRACT INPUT ${PACKAGE} DESTINATION ${SCRATCH})

file(GLOB_RECURSE entries RELATIVE ${SCRATCH} LIST_DIRECTORIES true ${SCRATCH}/*)
list(SORT entries)
set(expected Barterbox Barterbox/Barterbox.dll Barterbox/PluginInfo.json Barterbox/README.txt
             Barterbox/barterbox_hostsim.dll Barterbox/commands.md Barterbox/config.json
             Barterbox/config.md)
if(NOT entries STREQUAL expected)
  message(FATAL_ERROR "the package holds '${entries}', expected '${expected}'")
endif()

file(SHA256 ${SCRATCH}/Barterbox/Barterbox.dll packed)
file(SHA256 ${MODULE} tested)
if(NOT packed STREQUAL tested)
  message(FATAL_ERROR "the packed Barterbox.dll is not the one the tests ran (${MODULE})")
endif()
file(SHA256 ${SCRATCH}/Barterbox/config.json packed_config)
file(SHA256 ${CONFIG} example_config)
if(NOT packed_config STREQUAL example_config)
  message(FATAL_ERROR "the packed config.json is not the example's")
endif()
# The host reads the plugin's name and version from PluginInfo.json; the version is the project's.
file(READ ${SCRATCH}/Barterbox/PluginInfo.json info)
string(JSON name GET "${info}" FullName)
# The version as written: the JSON library would read the number 1.1 back as 1.1000000000000001.
string(REGEX MATCH "\"Version\": *([0-9.]+)" version_member "${info}")
set(version "${CMAKE_MATCH_1}")
if(NOT name STREQUAL "Barterbox" OR NOT version STREQUAL "${VERSION}")
  message(FATAL_ERROR "PluginInfo.json names '${name}' version '${version}', expected "
                      "'Barterbox' version '${VERSION}'")
endif()
string(JSON description GET "${info}" Description)
if(NOT description MATCHES "stand-in host" OR NOT description MATCHES "not into a live server")
  message(FATAL_ERROR "PluginInfo.json's description does not say it is the stand-in build: "
                      "${description}")
endif()
file(READ ${SCRATCH}/Barterbox/README.txt readme)
if(NOT readme MATCHES "^Barterbox ${VERSION}, the stand-in host build\n"
   OR NOT readme MATCHES "does not load into AsaApi on a live server")
  message(FATAL_ERROR "README.txt does not open by saying it is the stand-in build:\n${readme}")
endif()

# Every DLL the packed DLLs import is in the folder or is Windows' own (the runtimes are linked in);
# winhttp.dll is the system's HTTP client, behind the stand-in host's requests.
set(windows_dlls kernel32.dll msvcrt.dll user32.dll advapi32.dll ntdll.dll ws2_32.dll
                 mswsock.dll winhttp.dll)
foreach(module Barterbox.dll barterbox_hostsim.dll)
  execute_process(COMMAND ${OBJDUMP} -p ${SCRATCH}/Barterbox/${module} OUTPUT_VARIABLE dump)
  string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
  foreach(import ${imports})
    string(REPLACE "DLL Name: " "" dll "${import}")
    string(TOLOWER "${dll}" dll)
    if(NOT EXISTS ${SCRATCH}/Barterbox/${dll} AND NOT dll IN_LIST windows_dlls
       AND NOT dll MATCHES "^api-ms-win-")
      message(FATAL_ERROR "the packed ${module} imports ${dll}, which the package lacks")
    endif()
  endforeach()
endforeach()

# No debug sections: the DLL a server operator copies is the code alone.
execute_process(COMMAND ${OBJDUMP} -h ${SCRATCH}/Barterbox/Barterbox.dll OUTPUT_VARIABLE sections)
if(sections MATCHES "\\.debug_")
  message(FATAL_ERROR "the packed Barterbox.dll carries debug sections")
endif()
file(REMOVE_RECURSE ${SCRATCH})
