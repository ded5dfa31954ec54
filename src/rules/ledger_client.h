// The cluster ledger's database client: MariaDB Connector/C, loaded at run time (libmariadb.so.3,
// or libmariadb.dll beside the plugin) and never linked, so that the plugin loads and trades
// without it; and every call through its non-blocking interface, each wait bounded by a deadline,
// so that the game thread never waits for the database longer than it was given.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace barterbox {

using LedgerClock = std::chrono::steady_clock;

// Whether the client library is loaded, loading it the first time; the loader's reason otherwise.
bool LedgerClientLoaded(std::string& error);

// Where and as whom to connect; Address is numeric, so that connecting looks nothing up.
struct LedgerLogin {
    std::string Address;
    uint16_t Port = 3306;
    std::string User;
    std::string Password;
    std::string Database;
    bool operator==(const LedgerLogin&) const = default;
};

// One connection, closed with its holder; Handle is the client's MYSQL, nullptr when there is none.
struct LedgerConnection {
    void* Handle = nullptr;
    LedgerConnection() = default;
    LedgerConnection(const LedgerConnection&) = delete;
    LedgerConnection& operator=(const LedgerConnection&) = delete;
    LedgerConnection(LedgerConnection&& other) noexcept : Handle(other.Handle) {
        other.Handle = nullptr;
    }
    LedgerConnection& operator=(LedgerConnection&& other) noexcept;
    ~LedgerConnection();
};

using LedgerRow = std::vector<std::optional<std::string>>;

struct LedgerAnswer {
    std::vector<LedgerRow> Rows;
    uint64_t Affected = 0;
    unsigned Error = 0; // the server's error number for a refused statement; 0 when it ran
    std::string Message;
};

// Connects before the deadline; false with the reason, and no connection, otherwise.
bool ConnectLedger(LedgerConnection& connection, const LedgerLogin& login,
                   LedgerClock::time_point deadline, std::string& error);
// Runs one statement and stores its rows. A statement the server refused comes back with its
// error; std::nullopt, with the connection dropped, when the connection failed or the deadline
// passed mid-statement (what the server did with it is then unknown).
std::optional<LedgerAnswer> QueryLedger(LedgerConnection& connection, std::string_view statement,
                                        LedgerClock::time_point deadline, std::string& error);
// Closes the connection without waiting for the server.
void DropLedgerConnection(LedgerConnection& connection);

// A text as an SQL literal that no character of it can end: X'414243'.
std::string LedgerLiteral(std::string_view text);

} // namespace barterbox
