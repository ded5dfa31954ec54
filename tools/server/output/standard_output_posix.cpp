// Standard output on POSIX systems, descriptor 1; see standard_output.h.
#include "standard_output.h"

#include <unistd.h>

namespace barterbox::server {

std::ptrdiff_t WriteSomeToStandardOutput(const char* bytes, std::size_t size) {
    return write(STDOUT_FILENO, bytes, size);
}

bool StandardOutputIsTerminal() {
    return isatty(STDOUT_FILENO) != 0;
}

} // namespace barterbox::server
