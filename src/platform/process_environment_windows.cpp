// The process environment on Windows; see process_environment.h.
#include "process_environment.h"

#include <cstdlib>

namespace barterbox::platform {

bool SetProcessEnvironment(const std::string& name, const std::string& value) {
    // The C runtime's own call, which updates the table its getenv reads as well as the
    // process's; the system's call alone would leave getenv answering the value from startup.
    return _putenv_s(name.c_str(), value.c_str()) == 0;
}

} // namespace barterbox::platform
