// Socket waits on Windows; see socket_wait.h.
#include "socket_wait.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include "system_error.h"

namespace barterbox::platform {
namespace {

// Winsock answers nothing before WSAStartup; the database client starts it too, and the counts
// are kept by the system.
bool WinsockStarted() {
    static const bool started = [] {
        WSADATA data{};
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

} // namespace

int WaitForSocket(SocketHandle socket, int events, int milliseconds) {
    WSAPOLLFD entry{};
    entry.fd = static_cast<SOCKET>(socket);
    entry.events = static_cast<short>(((events & kSocketReadable) != 0 ? POLLRDNORM : 0) |
                                      ((events & kSocketWritable) != 0 ? POLLWRNORM : 0));
    const int ready = WSAPoll(&entry, 1, milliseconds < 0 ? 0 : milliseconds);
    if (ready <= 0) {
        return ready == 0 ? 0 : -1;
    }
    const bool broken = (entry.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
    return ((entry.revents & POLLRDNORM) != 0 || broken ? kSocketReadable : 0) |
           ((entry.revents & POLLWRNORM) != 0 || broken ? kSocketWritable : 0);
}

void ShutDownSocket(SocketHandle socket) {
    shutdown(static_cast<SOCKET>(socket), SD_BOTH);
}

std::optional<std::string> NumericAddress(const std::string& host, std::string& error) {
    if (!WinsockStarted()) {
        error = "the system's network library did not start";
        return std::nullopt;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) {
        error = LastSystemErrorText(); // Winsock reports through GetLastError too
        return std::nullopt;
    }
    char text[NI_MAXHOST] = {};
    const int named = getnameinfo(found->ai_addr, static_cast<socklen_t>(found->ai_addrlen), text,
                                  sizeof text, nullptr, 0, NI_NUMERICHOST);
    freeaddrinfo(found);
    if (named != 0) {
        error = LastSystemErrorText(); // Winsock reports through GetLastError too
        return std::nullopt;
    }
    return std::string(text);
}

} // namespace barterbox::platform
