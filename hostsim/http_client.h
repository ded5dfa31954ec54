// One HTTP POST, made and waited for on the host's request thread: cpp-httplib on POSIX systems,
// WinHTTP on Windows (Debian's cpp-httplib is a compiled library that has no Windows build).
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "host/host_api.h"

namespace hostsim {

struct HttpPost {
    std::string Url; // http://host[:port]/path (https:// too where the library has TLS)
    std::string Body;
    std::string ContentType;
    std::vector<std::string> Headers; // "Name: value"
};

// Never throws: a URL that cannot be used, a refused connection, a time-out or a connection
// closed before the answer all come back unanswered.
AsaApi::HttpReply PostAndWait(const HttpPost& post, std::chrono::milliseconds timeout);

// The platform's half (http_client_posix.cpp, http_client_windows.cpp); it may throw.
AsaApi::HttpReply PlatformPost(const HttpPost& post, std::chrono::milliseconds timeout);

} // namespace hostsim
