// The check at exit: after the plugin is unloaded, no buffer it owns may still be allocated, and
// the host must have seen no double free, foreign free or bad name lookup along the way.
#pragma once

#include <string>
#include <vector>

namespace barterbox::server {

// One text per fault found in the host's allocator ledger and name registry; empty when clean.
std::vector<std::string> HostFaults();

} // namespace barterbox::server
