# Builds the build folder's Wine prefix and waits until Wine has finished with it, before any
# test runs a Windows program. Two programs that start Wine together on a prefix that is not
# there yet race to create it, and the loser fails at once with nothing of its own printed.
#   cmake -DWINE=... -DWINESERVER=... -DPREFIX=... -P wine_prefix.cmake
foreach(variable WINE WINESERVER PREFIX)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "wine_prefix.cmake needs -D${variable}=...")
  endif()
endforeach()

set(ENV{WINEPREFIX} ${PREFIX})
set(ENV{WINEDEBUG} -all)
set(ENV{WINEDLLOVERRIDES} "mscoree,mshtml=")

# wineboot creates the prefix, or brings an existing one up to date; the services it starts
# go on in the background until the wine server has nothing left to do.
execute_process(COMMAND ${WINE} wineboot --init RESULT_VARIABLE booted)
if(NOT booted EQUAL 0)
  message(FATAL_ERROR "wineboot --init failed (${booted}) for the prefix ${PREFIX}")
endif()
execute_process(COMMAND ${WINESERVER} --wait RESULT_VARIABLE waited)
if(NOT waited EQUAL 0)
  message(FATAL_ERROR "wineserver --wait failed (${waited}) for the prefix ${PREFIX}")
endif()
message(STATUS "Wine prefix ready: ${PREFIX}")
