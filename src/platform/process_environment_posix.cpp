// The process environment on POSIX systems; see process_environment.h.
#include "process_environment.h"

#include <cstdlib>

namespace barterbox::platform {

bool SetProcessEnvironment(const std::string& name, const std::string& value) {
    return setenv(name.c_str(), value.c_str(), 1) == 0;
}

} // namespace barterbox::platform
