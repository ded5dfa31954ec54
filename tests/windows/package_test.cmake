# Unpacks the release zip as a hosting panel would and checks its layout: one top folder
# Barterbox/ with exactly the DLL, the starter config and the two references, the DLL being the
# very file the Wine tests ran.
#   cmake -DPACKAGE=... -DMODULE=... -DCONFIG=... -DSCRATCH=... -P package_test.cmake
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
file(ARCHIVE_EXTRACT INPUT ${PACKAGE} DESTINATION ${SCRATCH})

file(GLOB_RECURSE entries RELATIVE ${SCRATCH} LIST_DIRECTORIES true ${SCRATCH}/*)
list(SORT entries)
set(expected Barterbox Barterbox/Barterbox.dll Barterbox/commands.md Barterbox/config.json
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
file(REMOVE_RECURSE ${SCRATCH})
