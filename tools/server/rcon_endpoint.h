// The RCON endpoint: Source RCON over TCP on 127.0.0.1, served by one asio thread. A client
// authenticates with the password first; each command then goes to the host through the
// services given, which serialise it with everything else that calls into the host.
#pragma once

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

// Listens on 127.0.0.1:port (0: any free port) and starts the serving thread. False with `error`
// set when the port cannot be had; otherwise `boundPort` is the port in use.
bool StartRconEndpoint(uint16_t port, std::string password, RconServices services,
                       uint16_t& boundPort, std::string& error);

// Closes the listener and every connection, and waits for the serving thread to finish.
void StopRconEndpoint();

} // namespace barterbox::server
