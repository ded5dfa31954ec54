// libFuzzer target for the simulated server's RCON packet reader: arbitrary bytes from a client on
// a real loopback connection to the endpoint. A plain model of the protocol says what the endpoint
// must do with them: no command runs and nothing but the refusal is answered before a correct
// password, every command after it runs once and is answered, and a malformed packet closes the
// connection. After each input a good client must still be served.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/server/rcon/rcon_endpoint.h"

namespace {

using barterbox::server::RconLimits;
using barterbox::server::RconServices;

constexpr char kPassword[] = "pw";

void Require(bool holds) {
    if (!holds) {
        std::abort();
    }
}

struct Packet {
    int32_t Id = 0;
    int32_t Type = 0;
    std::string Body;
    bool operator==(const Packet&) const = default;
};

int32_t Int32At(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) {
        value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    }
    return static_cast<int32_t>(value);
}

std::string Encode(const Packet& packet) {
    std::string bytes;
    const auto put = [&](int32_t value) {
        for (int i = 0; i < 4; ++i) {
            bytes += static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xff);
        }
    };
    put(static_cast<int32_t>(packet.Body.size() + 10));
    put(packet.Id);
    put(packet.Type);
    bytes += packet.Body;
    bytes += std::string(2, '\0');
    return bytes;
}

// What the endpoint's reply to a command is, as the services below give it.
std::string ReplyTo(const std::string& body) {
    return "ran " + std::to_string(body.size());
}

struct Expected {
    std::vector<Packet> Answers;
    int Commands = 0;
};

// The protocol as a client sees it, written apart from the endpoint's own decoder.
Expected Model(const std::string& input) {
    Expected expected;
    bool authenticated = false;
    size_t at = 0;
    while (input.size() - at >= 4) {
        const int32_t size = Int32At(input, at);
        if (size < 10 || size > 4096 || input.size() - at - 4 < static_cast<size_t>(size)) {
            break; // refused, or cut short: the connection closes without an answer
        }
        const std::string bytes = input.substr(at + 4, static_cast<size_t>(size));
        at += 4 + static_cast<size_t>(size);
        Packet packet{Int32At(bytes, 0), Int32At(bytes, 4), bytes.substr(8, bytes.size() - 10)};
        if (bytes[bytes.size() - 2] != '\0' || bytes[bytes.size() - 1] != '\0' ||
            packet.Body.find('\0') != std::string::npos ||
            (packet.Type != 3 && packet.Type != 2 && packet.Type != 0)) {
            break;
        }
        if (packet.Type == 3) {
            authenticated = packet.Body == kPassword;
            expected.Answers.push_back({authenticated ? packet.Id : -1, 2, ""});
            if (!authenticated) {
                break;
            }
        } else if (!authenticated) {
            expected.Answers.push_back({-1, 2, ""});
            break;
        } else if (packet.Type == 2) {
            ++expected.Commands;
            expected.Answers.push_back({packet.Id, 0, ReplyTo(packet.Body)});
        } else {
            expected.Answers.push_back({packet.Id, 0, ""});
        }
    }
    return expected;
}

std::atomic<int> commandsRun{0};
RCONClientConnection theConnection;
uint16_t port = 0;

void StartEndpoint() {
    // The endpoint's [server] lines are of no interest here.
    Require(std::freopen("/dev/null", "w", stdout) != nullptr);
    RconServices services;
    services.Open = [] { return &theConnection; };
    services.Close = [](RCONClientConnection*) {};
    services.Run = [](RCONClientConnection*, int32_t, const std::string& body) {
        ++commandsRun;
        return std::vector<std::string>{ReplyTo(body)};
    };
    RconLimits limits;
    limits.FailedPasswordDelay = std::chrono::milliseconds(0);
    std::string error;
    Require(barterbox::server::StartRconEndpoint(0, kPassword, services, limits, port, error));
    // libFuzzer ends with exit(): the serving thread must be joined before the endpoint goes.
    std::atexit([] { barterbox::server::StopRconEndpoint(); });
}

int Connect() {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    Require(socket >= 0);
    timeval timeout{5, 0};
    setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int connected = connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
    while (connected != 0 && errno == EINTR) {
        connected = connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    Require(connected == 0 || errno == EISCONN);
    return socket;
}

// Everything the endpoint sends until it closes; `reset` when the close lost unread data.
std::string ReadToEnd(int socket, bool& reset) {
    std::string received;
    char buffer[8192];
    for (;;) {
        const ssize_t got = recv(socket, buffer, sizeof buffer, 0);
        if (got == 0) {
            return received;
        }
        if (got < 0 && errno == EINTR) {
            continue; // libFuzzer's timer for -timeout
        }
        if (got < 0) {
            Require(errno == ECONNRESET); // a timeout means the endpoint never closed
            reset = true;
            return received;
        }
        received.append(buffer, static_cast<size_t>(got));
    }
}

std::vector<Packet> Answers(const std::string& received) {
    std::vector<Packet> answers;
    size_t at = 0;
    while (received.size() - at >= 4) {
        const auto size = static_cast<size_t>(Int32At(received, at));
        if (received.size() - at - 4 < size) {
            break; // a cut packet, after a reset
        }
        answers.push_back({Int32At(received, at + 4), Int32At(received, at + 8),
                           received.substr(at + 12, size - 10)});
        at += 4 + size;
    }
    return answers;
}

void SendAll(int socket, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t wrote = send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return; // the endpoint closed the connection before reading everything
        }
        sent += static_cast<size_t>(wrote);
    }
}

void CheckGoodClient() {
    const int socket = Connect();
    SendAll(socket, Encode({7, 3, kPassword}) + Encode({8, 2, "Barterbox.Do x y"}));
    shutdown(socket, SHUT_WR);
    bool reset = false;
    const std::vector<Packet> answers = Answers(ReadToEnd(socket, reset));
    close(socket);
    Require(!reset);
    Require(answers == (std::vector<Packet>{{7, 2, ""}, {8, 0, ReplyTo("Barterbox.Do x y")}}));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const bool started = [] {
        StartEndpoint();
        return true;
    }();
    (void)started;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const Expected expected = Model(input);

    const int before = commandsRun;
    const int socket = Connect();
    SendAll(socket, input);
    shutdown(socket, SHUT_WR);
    bool reset = false;
    const std::vector<Packet> answers = Answers(ReadToEnd(socket, reset));
    close(socket);

    // Commands run on the endpoint whatever the client got to read before a reset.
    Require(commandsRun - before == expected.Commands);
    if (reset) {
        Require(answers.size() <= expected.Answers.size());
        Require(std::equal(answers.begin(), answers.end(), expected.Answers.begin()));
    } else {
        Require(answers == expected.Answers);
    }
    CheckGoodClient();
    commandsRun -= 1;
    return 0;
}
