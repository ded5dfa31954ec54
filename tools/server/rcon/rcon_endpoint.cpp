// The RCON endpoint; see rcon_endpoint.h. Each client is one coroutine on the serving thread:
// read a size field, check it before reading further, read and check the packet, answer. A second
// coroutine per client, its watchdog, closes the connection when a deadline passes.
#include "rcon_endpoint.h"

#include <chrono>
#include <memory>
#include <optional>
#include <set>
#include <thread>
#include <variant>

#include <asio/co_spawn.hpp>
#include <asio/detached.hpp>
#include <asio/experimental/as_tuple.hpp>
#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/post.hpp>
#include <asio/read.hpp>
#include <asio/steady_timer.hpp>
#include <asio/use_awaitable.hpp>
#include <asio/write.hpp>

#include "rcon_protocol.h"
#include "tools/server/output/event_output.h"
#include "tools/server/process/stop_signal.h"

namespace barterbox::server {
namespace {

using asio::ip::tcp;

// Errors come back as values: a client that goes away is ordinary, not exceptional.
constexpr auto kAsValues = asio::experimental::as_tuple(asio::use_awaitable);

using Clock = std::chrono::steady_clock;

// A connection and the deadline its watchdog keeps; shared by the two coroutines.
struct Client {
    explicit Client(tcp::socket socket) : Socket(std::move(socket)), Timer(Socket.get_executor()) {}
    tcp::socket Socket;
    asio::steady_timer Timer;
    Clock::time_point Deadline = Clock::time_point::max();
    bool TimedOut = false;
};

struct Endpoint {
    asio::io_context Io;
    tcp::acceptor Acceptor{Io};
    std::thread Thread;
    std::string Password;
    RconServices Services;
    RconLimits Limits;
    std::set<Client*> Clients; // touched on the serving thread only
    int NextClient = 1;
    bool Stopping = false;
};

// The watchdog wakes at the deadline, or early when it moves, and closes the socket once it has
// passed: the conversation's pending read or write then ends with an error.
void SetDeadline(Client& client, Clock::time_point at) {
    client.Deadline = at;
    client.Timer.cancel();
}

void ClearDeadline(Client& client) {
    client.Deadline = Clock::time_point::max();
}

asio::awaitable<void> Watch(std::shared_ptr<Client> client) {
    while (client->Socket.is_open()) {
        client->Timer.expires_at(client->Deadline);
        co_await client->Timer.async_wait(kAsValues);
        if (client->Socket.is_open() && Clock::now() >= client->Deadline) {
            client->TimedOut = true;
            asio::error_code ignored;
            client->Socket.close(ignored);
        }
    }
}

std::unique_ptr<Endpoint>& TheEndpoint() {
    static std::unique_ptr<Endpoint> endpoint;
    return endpoint;
}

// Compares every byte whatever the first difference, so that timing tells nothing of the password.
bool SamePassword(std::string_view given, std::string_view expected) {
    unsigned difference = given.size() == expected.size() ? 0u : 1u;
    for (size_t i = 0; i < given.size(); ++i) {
        const char other = i < expected.size() ? expected[i] : '\0';
        difference |= static_cast<unsigned>(static_cast<unsigned char>(given[i]) ^
                                            static_cast<unsigned char>(other));
    }
    return difference == 0;
}

std::string Ending(const Client& client, const asio::error_code& error, bool midPacket,
                   bool authenticated) {
    if (client.TimedOut) {
        return authenticated ? "did not read its replies within the time allowed; connection closed"
                             : "did not authenticate within the time allowed; connection closed";
    }
    if (error == asio::error::operation_aborted) {
        return "closed as the server stops";
    }
    if (error == asio::error::eof) {
        return midPacket ? "disconnected in the middle of a packet" : "disconnected";
    }
    return "lost: " + error.message();
}

std::string Malformed(const RconWirePacketError& refused) {
    return "sent a malformed packet (" + refused.Reason + "); connection closed";
}

// A packet read whole, or how the conversation ended while reading it.
using PacketOrEnding = std::variant<RconWirePacket, std::string>;

// Reads one packet: its size field first, checked before a byte more is read, then the rest.
asio::awaitable<PacketOrEnding> ReadPacket(Client& client, bool authenticated) {
    unsigned char field[kRconSizeFieldBytes];
    const auto [sizeError, sizeRead] =
        co_await asio::async_read(client.Socket, asio::buffer(field), kAsValues);
    if (sizeError) {
        co_return Ending(client, sizeError, false, authenticated);
    }
    const auto size = CheckPacketSize(field);
    if (const auto* refused = std::get_if<RconWirePacketError>(&size)) {
        co_return Malformed(*refused);
    }
    std::string bytes(static_cast<size_t>(std::get<int32_t>(size)), '\0');
    const auto [bodyError, bodyRead] =
        co_await asio::async_read(client.Socket, asio::buffer(bytes), kAsValues);
    if (bodyError) {
        co_return Ending(client, bodyError, true, authenticated);
    }
    auto decoded = DecodePacket(bytes);
    if (const auto* refused = std::get_if<RconWirePacketError>(&decoded)) {
        co_return Malformed(*refused);
    }
    co_return std::get<RconWirePacket>(std::move(decoded));
}

// The packets that answer one request, and how the conversation ends once they are written.
struct Reply {
    std::vector<std::string> Packets;
    std::optional<std::string> Closing;
};

asio::awaitable<Reply> AnswerAuthentication(Endpoint& endpoint, Client& client,
                                            const RconWirePacket& packet, const std::string& who,
                                            bool& authenticated) {
    authenticated = SamePassword(packet.Body, endpoint.Password);
    Reply reply;
    // Only the authentication answer, without the empty response some servers send first:
    // clients that read one packet per call would lose the second one.
    reply.Packets.push_back(
        EncodePacket(authenticated ? packet.Id : kRconAuthFailedId, kRconAuthResponse, ""));
    if (authenticated) {
        ServerLine(who + " authenticated");
    } else {
        reply.Closing = "sent a wrong password; connection closed";
        // Each guess costs its client a pause; other clients are served meanwhile.
        asio::steady_timer pause(client.Socket.get_executor(), endpoint.Limits.FailedPasswordDelay);
        co_await pause.async_wait(kAsValues);
    }
    co_return reply;
}

// The command's replies, each split into as many packets as it needs; every request is
// answered, if only with nothing.
Reply AnswerCommand(Endpoint& endpoint, RCONClientConnection* connection,
                    const RconWirePacket& packet, const std::string& who) {
    ServerLine(who + " sends: " + packet.Body);
    std::vector<std::string> replies = endpoint.Services.Run(connection, packet.Id, packet.Body);
    if (replies.empty()) {
        replies.emplace_back();
    }
    Reply reply;
    for (const std::string& text : replies) {
        for (std::string& part : EncodeResponse(packet.Id, text)) {
            reply.Packets.push_back(std::move(part));
        }
    }
    return reply;
}

// Nothing but an authentication is answered before the client has authenticated.
asio::awaitable<Reply> Answer(Endpoint& endpoint, Client& client, RCONClientConnection* connection,
                              const std::string& who, const RconWirePacket& packet,
                              bool& authenticated) {
    if (packet.Type == kRconAuth) {
        co_return co_await AnswerAuthentication(endpoint, client, packet, who, authenticated);
    }
    if (!authenticated) {
        co_return Reply{{EncodePacket(kRconAuthFailedId, kRconAuthResponse, "")},
                        "sent a request before authenticating; connection closed"};
    }
    if (packet.Type == kRconExecCommand) {
        co_return AnswerCommand(endpoint, connection, packet, who);
    }
    // An empty response from a client marks the end of a multi-packet answer; mirror it.
    co_return Reply{{EncodePacket(packet.Id, kRconResponseValue, "")}, std::nullopt};
}

// Writes the packets, each within the time a client that reads needs; how the conversation ended
// when one could not be written.
asio::awaitable<std::optional<std::string>> WritePackets(Endpoint& endpoint, Client& client,
                                                         const std::vector<std::string>& packets,
                                                         bool authenticated) {
    // A client that stops reading fills its socket's buffer; it gets a while to catch up.
    SetDeadline(client, Clock::now() + endpoint.Limits.WriteTime);
    for (const std::string& packet : packets) {
        const auto [writeError, written] =
            co_await asio::async_write(client.Socket, asio::buffer(packet), kAsValues);
        if (writeError) {
            co_return Ending(client, writeError, false, authenticated);
        }
    }
    co_return std::nullopt;
}

// Talks with one client until it goes or must go; returns how the conversation ended.
asio::awaitable<std::string> Converse(Endpoint& endpoint, Client& client,
                                      RCONClientConnection* connection, const std::string& who) {
    bool authenticated = false;
    // A connection that never authenticates must not hold one of the few places for long.
    const Clock::time_point authenticateBy = Clock::now() + endpoint.Limits.AuthenticationTime;
    SetDeadline(client, authenticateBy);
    for (;;) {
        PacketOrEnding read = co_await ReadPacket(client, authenticated);
        if (std::string* ending = std::get_if<std::string>(&read)) {
            co_return std::move(*ending);
        }
        const Reply reply = co_await Answer(endpoint, client, connection, who,
                                            std::get<RconWirePacket>(read), authenticated);
        std::optional<std::string> ending =
            co_await WritePackets(endpoint, client, reply.Packets, authenticated);
        if (ending) {
            co_return std::move(*ending);
        }
        if (authenticated) {
            ClearDeadline(client); // an authenticated client may stay quiet as long as it likes
        } else {
            SetDeadline(client, authenticateBy);
        }
        if (reply.Closing) {
            co_return *reply.Closing;
        }
    }
}

asio::awaitable<void> ServeClient(Endpoint& endpoint, std::shared_ptr<Client> client, int number) {
    const std::string who = "RCON client #" + std::to_string(number);
    asio::error_code ignored;
    if (endpoint.Stopping) {
        co_return; // accepted just as the server stops
    }
    const tcp::endpoint peer = client->Socket.remote_endpoint(ignored);
    endpoint.Clients.insert(client.get());
    ServerLine(who + " connected from " + peer.address().to_string() + ":" +
               std::to_string(peer.port()));
    asio::co_spawn(endpoint.Io, Watch(client), asio::detached);
    RCONClientConnection* connection = endpoint.Services.Open();
    const std::string ending = co_await Converse(endpoint, *client, connection, who);
    endpoint.Services.Close(connection);
    endpoint.Clients.erase(client.get());
    client->Socket.close(ignored);
    client->Timer.cancel();
    ServerLine(who + " " + ending);
}

asio::awaitable<void> AcceptClients(Endpoint& endpoint) {
    for (;;) {
        auto [error, socket] = co_await endpoint.Acceptor.async_accept(kAsValues);
        if (error == asio::error::operation_aborted || !endpoint.Acceptor.is_open()) {
            co_return;
        }
        if (error) {
            // Out of descriptors, say: wait a little instead of spinning on the same failure.
            ServerError("RCON: cannot accept a connection: " + error.message());
            asio::steady_timer pause(endpoint.Io, std::chrono::milliseconds(100));
            co_await pause.async_wait(kAsValues);
            continue;
        }
        const int number = endpoint.NextClient++;
        if (endpoint.Clients.size() >= endpoint.Limits.MaxConnections) {
            // Closed at once, so that a flood of connections never runs out of descriptors.
            asio::error_code ignored;
            socket.close(ignored);
            ServerLine("RCON client #" + std::to_string(number) +
                       " refused: " + std::to_string(endpoint.Limits.MaxConnections) +
                       " connections are open already");
            continue;
        }
        asio::co_spawn(endpoint.Io,
                       ServeClient(endpoint, std::make_shared<Client>(std::move(socket)), number),
                       asio::detached);
    }
}

} // namespace

bool StartRconEndpoint(uint16_t port, std::string password, RconServices services,
                       const RconLimits& limits, uint16_t& boundPort, std::string& error) {
    auto endpoint = std::make_unique<Endpoint>();
    endpoint->Limits = limits;
    endpoint->Password = std::move(password);
    endpoint->Services = std::move(services);
    // Loopback only: the simulated server is for trying things out, never for a network.
    const tcp::endpoint address(asio::ip::address_v4::loopback(), port);
    asio::error_code failure;
    endpoint->Acceptor.open(address.protocol(), failure);
    if (!failure) {
        endpoint->Acceptor.set_option(tcp::acceptor::reuse_address(true), failure);
    }
    if (!failure) {
        endpoint->Acceptor.bind(address, failure);
    }
    if (!failure) {
        endpoint->Acceptor.listen(asio::socket_base::max_listen_connections, failure);
    }
    if (failure) {
        error = "cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + failure.message();
        return false;
    }
    boundPort = endpoint->Acceptor.local_endpoint().port();
    asio::co_spawn(endpoint->Io, AcceptClients(*endpoint), asio::detached);

    Endpoint& serving = *endpoint;
    endpoint->Thread = StartThreadWithoutStopSignals([&serving] { serving.Io.run(); });
    TheEndpoint() = std::move(endpoint);
    return true;
}

void StopRconEndpoint() {
    std::unique_ptr<Endpoint>& endpoint = TheEndpoint();
    if (!endpoint) {
        return;
    }
    asio::post(endpoint->Io, [&serving = *endpoint] {
        asio::error_code ignored;
        serving.Stopping = true;
        serving.Acceptor.close(ignored);
        for (Client* client : serving.Clients) {
            client->Socket.close(ignored);
            client->Timer.cancel();
        }
    });
    // The thread ends once every client's coroutine has wound up.
    endpoint->Thread.join();
    endpoint.reset();
}

} // namespace barterbox::server
