// The RCON endpoint: Source RCON over TCP on 127.0.0.1, served by one asio thread. A client
// authenticates with the password first; each command then goes to the host through the
// services given, which serialise it with everything else that calls into the host.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/engine_types.h"

namespace barterbox::server {

struct RconServices {
    // A client authenticated: the world's connection object for it.
    std::function<RCONClientConnection*()> Open;
    std::function<void(RCONClientConnection*)> Close;
    // A command request: the reply texts to send back, in order, each with the request's id.
    std::function<std::vector<std::string>(RCONClientConnection*, int32_t id,
                                           const std::string& body)>
        Run;
};

// What one client may take of the server: the endpoint must keep serving whatever clients do.
struct RconLimits {
    // Connections served at once; those beyond are closed as soon as they are accepted.
    size_t MaxConnections = 32;
    // From connecting to a correct password; then the connection is closed.
    std::chrono::steady_clock::duration AuthenticationTime = std::chrono::seconds(10);
    // The pause before a wrong password is answered, which slows guessing.
    std::chrono::steady_clock::duration FailedPasswordDelay = std::chrono::milliseconds(500);
    // For the client to take one request's replies; one that does not read is closed.
    std::chrono::steady_clock::duration WriteTime = std::chrono::seconds(10);
};

// Listens on 127.0.0.1:port (0: any free port) and starts the serving thread. False with `error`
// set when the port cannot be had; otherwise `boundPort` is the port in use.
bool StartRconEndpoint(uint16_t port, std::string password, RconServices services,
                       const RconLimits& limits, uint16_t& boundPort, std::string& error);

// Closes the listener and every connection, and waits for the serving thread to finish.
void StopRconEndpoint();

} // namespace barterbox::server
