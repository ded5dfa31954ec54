// The command line on POSIX systems, whose arguments are the bytes typed; see
// program_arguments.h.
#include "program_arguments.h"

namespace barterbox::tools {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return {argv, argv + argc};
}

} // namespace barterbox::tools
