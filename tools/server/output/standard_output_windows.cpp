// Standard output on Windows, the C runtime's descriptor 1; see standard_output.h.
#include <io.h>

#include "standard_output.h"

namespace barterbox::server {

std::ptrdiff_t WriteSomeToStandardOutput(const char* bytes, std::size_t size) {
    return _write(1, bytes, static_cast<unsigned>(size));
}

bool StandardOutputIsTerminal() {
    return _isatty(1) != 0;
}

} // namespace barterbox::server
