// A seam through which the host bindings report faults of the host itself (an unknown game name,
// an allocator with no memory) without depending on the plugin's logger.
//
// State: the reporter is the host layer's one record. It is empty (faults are dropped) until the
// load installs the plugin's; ResetHostErrorReporter empties it again, which the test fixtures
// call.
#pragma once

#include <string_view>

namespace barterbox {

using HostErrorReporter = void (*)(std::string_view message);

// Installed by the plugin at load; until then faults are dropped.
void SetHostErrorReporter(HostErrorReporter reporter);
void ResetHostErrorReporter();
void ReportHostError(std::string_view message);

} // namespace barterbox
