// The host's HTTP requests as its tick sees them (http_requests.cpp).
#pragma once

namespace hostsim {

// Runs the callbacks of the replies that have come in, in the order the requests were made.
void DeliverReplies();
void ForgetRequests();

} // namespace hostsim
