// Standard output as the system's own descriptor: written straight, never through stdio, and
// asked whether a terminal shows it.
#pragma once

#include <cstddef>

namespace barterbox::server {

// Writes some of the bytes; how many, or a negative number with errno set (EINTR: try again).
std::ptrdiff_t WriteSomeToStandardOutput(const char* bytes, std::size_t size);

// Whether standard output is a terminal, where colour shows.
bool StandardOutputIsTerminal();

} // namespace barterbox::server
