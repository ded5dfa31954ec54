// System error texts on POSIX systems; see system_error.h.
#include "system_error.h"

#include <cerrno>
#include <cstring>

namespace barterbox::platform {

std::string LastSystemErrorText() {
    return std::strerror(errno);
}

} // namespace barterbox::platform
