// The program's command line as UTF-8 text, the encoding every path and name inside the server
// has, whatever encoding the system hands the arguments in.
#pragma once

#include <string>
#include <vector>

namespace barterbox::tools {

// The arguments, the program's own name first, as main received them.
std::vector<std::string> ProgramArguments(int argc, char** argv);

} // namespace barterbox::tools
