// The process-wide reporter for host faults; see host_errors.h.
#include "host_errors.h"

namespace barterbox {
namespace {
HostErrorReporter gReporter = nullptr;
} // namespace

void SetHostErrorReporter(HostErrorReporter reporter) {
    gReporter = reporter;
}

void ResetHostErrorReporter() {
    gReporter = nullptr;
}

void ReportHostError(std::string_view message) {
    if (gReporter != nullptr) {
        gReporter(message);
    }
}

} // namespace barterbox
