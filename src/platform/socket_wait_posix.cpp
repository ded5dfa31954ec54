// Socket waits on POSIX systems; see socket_wait.h.
#include "socket_wait.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

namespace barterbox::platform {

int WaitForSocket(SocketHandle socket, int events, int milliseconds) {
    pollfd entry{static_cast<int>(socket), 0, 0};
    entry.events = static_cast<short>(((events & kSocketReadable) != 0 ? POLLIN : 0) |
                                      ((events & kSocketWritable) != 0 ? POLLOUT : 0) |
                                      ((events & kSocketException) != 0 ? POLLPRI : 0));
    int ready = 0;
    do {
        ready = poll(&entry, 1, milliseconds < 0 ? 0 : milliseconds);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) {
        return ready;
    }
    // A closed or failed connection is reported as readable and writable, so that the client's
    // next step finds the error itself.
    const bool broken = (entry.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
    return ((entry.revents & POLLIN) != 0 || broken ? kSocketReadable : 0) |
           ((entry.revents & POLLOUT) != 0 || broken ? kSocketWritable : 0) |
           ((entry.revents & POLLPRI) != 0 ? kSocketException : 0);
}

void ShutDownSocket(SocketHandle socket) {
    shutdown(static_cast<int>(socket), SHUT_RDWR);
}

std::optional<std::string> NumericAddress(const std::string& host, std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (const int failed = getaddrinfo(host.c_str(), nullptr, &hints, &found); failed != 0) {
        error = gai_strerror(failed);
        return std::nullopt;
    }
    char text[NI_MAXHOST] = {};
    const int named = getnameinfo(found->ai_addr, found->ai_addrlen, text, sizeof text, nullptr, 0,
                                  NI_NUMERICHOST);
    freeaddrinfo(found);
    if (named != 0) {
        error = gai_strerror(named);
        return std::nullopt;
    }
    return std::string(text);
}

} // namespace barterbox::platform
