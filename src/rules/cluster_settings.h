// rules.json's Cluster block: which server this is, and the MariaDB or MySQL database that every
// server of the cluster keeps its counts in. Without it, the counts stay in the local ledger.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace barterbox {

struct ClusterDatabase {
    std::string Host;
    int32_t Port = 3306;
    std::string User;
    std::string Password;
    std::string Name; // the database's
    // The longest the game thread may wait for the database in one attempt.
    int32_t WaitMs = 250;
    bool operator==(const ClusterDatabase&) const = default;
};

struct ClusterSettings {
    std::string Server; // this server's key in the audit and the database, e.g. the map's name
    ClusterDatabase Database;
    bool operator==(const ClusterSettings&) const = default;
};

inline constexpr std::array<std::string_view, 2> kClusterMembers{"Server", "Database"};
inline constexpr std::array<std::string_view, 6> kClusterDatabaseMembers{
    "Host", "Port", "User", "Password", "Name", "WaitMs"};
// The longest key a server may have: the database's column holds no more.
inline constexpr size_t kMaxServerKeyLength = 64;
inline constexpr int32_t kMaxWaitMs = 5000;

} // namespace barterbox
