# The libFuzzer build (the `fuzz` preset): the whole tree compiled by clang with the fuzzer's
# coverage and the sanitizers, so that the fuzz targets link the same library targets as the rest.
#
# clang 16 or later: older ones cannot compile the RCON endpoint's coroutines with libstdc++ and
# debug information.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang" OR CMAKE_CXX_COMPILER_VERSION VERSION_LESS 16)
  message(FATAL_ERROR "BARTERBOX_FUZZ needs clang 16 or later as the C++ compiler, not "
                      "${CMAKE_CXX_COMPILER_ID} ${CMAKE_CXX_COMPILER_VERSION}: use the fuzz preset")
endif()
# The fuzzers bring their own sanitizers.
if(BARTERBOX_SANITIZE)
  message(FATAL_ERROR "BARTERBOX_FUZZ and BARTERBOX_SANITIZE exclude each other")
endif()

# The fuzzer runtime comes in a package of its own (libclang-rt-16-dev), apart from the compiler.
include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS -fsanitize=fuzzer,address,undefined)
set(CMAKE_REQUIRED_LINK_OPTIONS -fsanitize=fuzzer,address,undefined)
check_cxx_source_compiles(
  "#include <cstddef>\n#include <cstdint>\n
   extern \"C\" int LLVMFuzzerTestOneInput(const uint8_t*, std::size_t) { return 0; }"
  BARTERBOX_FUZZER_RUNTIME)
unset(CMAKE_REQUIRED_FLAGS)
unset(CMAKE_REQUIRED_LINK_OPTIONS)
if(NOT BARTERBOX_FUZZER_RUNTIME)
  # Probed again at the next configure, once the package is there.
  unset(BARTERBOX_FUZZER_RUNTIME CACHE)
  message(FATAL_ERROR "clang's fuzzer runtime was not found: run scripts/install-deps.sh "
                      "(libclang-rt-16-dev)")
endif()

# Every library and the stand-in host carry the fuzzer's coverage and the sanitizers; only the
# fuzz targets link the fuzzer's runtime (fuzz/CMakeLists.txt).
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
# Debian's asio (1.22) looks for clang's coroutines only where libc++ once kept them, so it is told
# that clang has them; libstdc++'s <coroutine> serves them.
add_compile_definitions(ASIO_HAS_CO_AWAIT=1)
