// The functions a module file exports, as `nm -D --defined-only` lists them (POSIX builds only:
// the Windows build reads a DLL's export table with objdump in CMake).
#pragma once

#include <string>
#include <vector>

namespace testing_support {

// The names of the defined dynamic symbols, version nodes and other absolute symbols left out;
// empty when nm cannot run.
std::vector<std::string> DefinedExports(const std::string& module);

} // namespace testing_support
