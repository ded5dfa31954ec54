// The check at exit; see ledger_check.h.
#include "ledger_check.h"

#include "hostsim/allocator.h"
#include "hostsim/name_registry.h"

namespace barterbox::server {

std::vector<std::string> HostFaults() {
    std::vector<std::string> faults;
    for (const hostsim::LiveBuffer& buffer : hostsim::LiveBuffers(hostsim::BufferOwner::Plugin)) {
        faults.push_back("leak: a plugin buffer of " + std::to_string(buffer.Bytes) +
                         " bytes from " + buffer.Origin + " is still allocated");
    }
    for (const std::string& error : hostsim::LedgerErrors()) {
        faults.push_back("allocator ledger: " + error);
    }
    for (const std::string& error : hostsim::NameErrors()) {
        faults.push_back("host names: " + error);
    }
    return faults;
}

} // namespace barterbox::server
