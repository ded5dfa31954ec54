# Reads a module's export and import tables with objdump -p: EXPORT (Plugin_Unload unless given)
# must be the one export, and the DLL may import only from the stand-in host's DLL and from Windows
# itself (the C and C++ runtimes are linked in).
#   cmake -DOBJDUMP=... -DMODULE=Barterbox.dll -DHOST=barterbox_hostsim.dll [-DEXPORT=NAME]
#         -P module_tables_test.cmake
cmake_minimum_required(VERSION 3.25) # IN_LIST
if(NOT EXPORT)
  set(EXPORT Plugin_Unload)
endif()
get_filename_component(module_name ${MODULE} NAME)
execute_process(COMMAND ${OBJDUMP} -p ${MODULE} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "objdump -p ${MODULE} failed")
endif()

# The export names follow "[Ordinal/Name Pointer] Table" as "\t[   0] Name" lines.
set(exports)
string(FIND "${dump}" "[Ordinal/Name Pointer] Table" at)
if(at GREATER_EQUAL 0)
  string(SUBSTRING "${dump}" ${at} -1 table)
  string(REGEX MATCHALL "\n\t\\[ *[0-9]+\\] [^\n]+" lines "${table}")
  foreach(line ${lines})
    string(REGEX REPLACE "^\n\t\\[ *[0-9]+\\] " "" name "${line}")
    list(APPEND exports "${name}")
  endforeach()
endif()
if(NOT exports STREQUAL "${EXPORT}")
  message(FATAL_ERROR "exports: '${exports}', expected exactly ${EXPORT}")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
set(windows_dlls kernel32.dll msvcrt.dll user32.dll advapi32.dll ntdll.dll ws2_32.dll)
string(TOLOWER "${HOST}" host)
foreach(import ${imports})
  string(REPLACE "DLL Name: " "" dll "${import}")
  string(TOLOWER "${dll}" dll)
  if(NOT dll STREQUAL host AND NOT dll IN_LIST windows_dlls AND NOT dll MATCHES "^api-ms-win-")
    message(FATAL_ERROR "${module_name} imports ${dll}, which is neither the host's DLL nor "
                        "Windows' own (a runtime that should be linked in?)")
  endif()
endforeach()
if(NOT imports MATCHES "${HOST}")
  message(FATAL_ERROR "${module_name} does not import the host's DLL ${HOST}: ${imports}")
endif()
message(STATUS "exports: ${exports}; imports: ${imports}")
