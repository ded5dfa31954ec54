// The operating system's own words for why its last call failed, for error lines that say why.
#pragma once

#include <string>

namespace barterbox::platform {

// The reason of the calling thread's last failed system call (errno on POSIX systems, and
// GetLastError for Windows' own calls), without a line break at the end.
std::string LastSystemErrorText();

} // namespace barterbox::platform
