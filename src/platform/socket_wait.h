// Waiting on a network connection for a bounded time (poll on POSIX systems, WSAPoll on Windows),
// and the numeric address of a host name, for the cluster's database client, which is driven
// without ever blocking the game thread beyond its limit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace barterbox::platform {

// A socket as the system knows it: a descriptor, or a SOCKET.
using SocketHandle = uintptr_t;

// The events a wait asks for and reports; the same bits as the database client's.
inline constexpr int kSocketReadable = 1;
inline constexpr int kSocketWritable = 2;
inline constexpr int kSocketException = 4;

// Waits at most `milliseconds` for any of `events`: the events seen, 0 when the time ran out, -1
// when the socket cannot be waited on.
int WaitForSocket(SocketHandle socket, int events, int milliseconds);

// Ends both directions of a connection at once, so that closing it afterwards waits for nothing.
void ShutDownSocket(SocketHandle socket);

// The host's first IPv4 or IPv6 address in numeric form ("127.0.0.1" for "localhost"); a numeric
// address as it is. Looking a name up may take as long as the system's resolver does, so it is
// done when the settings are read, never in an exchange. std::nullopt with the reason in `error`.
std::optional<std::string> NumericAddress(const std::string& host, std::string& error);

} // namespace barterbox::platform
