// The cluster's ledger; see cluster_ledger.h.
#include "cluster_ledger.h"

#include <charconv>
#include <random>

#include <fmt/format.h>

#include "audit/audit_clock.h"
#include "audit/audit_sinks.h"
#include "logger/plugin_logger.h"
#include "platform/socket_wait.h"
#include "rules/cluster_recovery.h"
#include "rules/rules_state.h"

namespace barterbox {
namespace {

using std::chrono::duration_cast;
using std::chrono::microseconds;

// The tables' layout, which the plugin checks before it counts anything: a later layout is one
// this plugin must not write into.
constexpr int64_t kSchemaVersion = 1;
constexpr std::chrono::seconds kRetryEvery{10};
// Creating the tables, once, at the load or a Reload that finds them missing: InnoDB may take
// longer than an exchange may wait, and no player is waiting then.
constexpr std::chrono::seconds kCreatingTakes{10};
constexpr unsigned kNoSuchTable = 1146; // ER_NO_SUCH_TABLE
// Refusals of a moment, after which the connection is as good as before: a deadlock the server
// broke (ER_LOCK_DEADLOCK) and a lock wait it gave up (ER_LOCK_WAIT_TIMEOUT).
constexpr unsigned kDeadlock = 1213;
constexpr unsigned kLockWaitTimeout = 1205;

// The schema's row goes in last, so that a first start cut short is finished by the next.
constexpr const char* kCreateTables[] = {
    "CREATE TABLE IF NOT EXISTS barterbox_runs ("
    " attempt VARBINARY(32) NOT NULL PRIMARY KEY, server VARBINARY(64) NOT NULL,"
    " eos_id VARBINARY(255) NOT NULL, exchange_key VARBINARY(255) NOT NULL,"
    " runs BIGINT NOT NULL, at_us BIGINT NOT NULL, confirmed TINYINT NOT NULL DEFAULT 0,"
    " player_reset TINYINT NOT NULL DEFAULT 0,"
    " KEY player_runs (eos_id, exchange_key, at_us), KEY stock_runs (exchange_key, at_us)"
    ") ENGINE=InnoDB",
    "CREATE TABLE IF NOT EXISTS barterbox_locks (name VARBINARY(600) NOT NULL PRIMARY KEY)"
    " ENGINE=InnoDB",
    "CREATE TABLE IF NOT EXISTS barterbox_schema (id TINYINT NOT NULL PRIMARY KEY,"
    " version BIGINT NOT NULL) ENGINE=InnoDB",
    "INSERT IGNORE INTO barterbox_schema (id, version) VALUES (1, 1)",
};

ClusterLedgerState& Cluster() {
    return TheRulesState().Cluster;
}

int64_t Micros(RuleTime time) {
    return duration_cast<microseconds>(time.time_since_epoch()).count();
}

int64_t NumberOf(const std::optional<std::string>& text) {
    int64_t value = 0;
    if (text) {
        std::from_chars(text->data(), text->data() + text->size(), value);
    }
    return value;
}

std::string NewAttemptId() {
    static std::mt19937_64 generator = [] {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device(),
                           static_cast<unsigned>(LedgerClock::now().time_since_epoch().count())};
        return std::mt19937_64(seed);
    }();
    const uint64_t high = generator();
    return fmt::format("{:016x}{:016x}", high, generator());
}

// One statement that must run; std::nullopt when it did not, with the connection dropped unless
// the server refused it for a moment (its transaction is then rolled back).
std::optional<LedgerAnswer> Run(const std::string& statement, LedgerClock::time_point deadline,
                                std::string& error) {
    ClusterLedgerState& state = Cluster();
    std::optional<LedgerAnswer> answer = QueryLedger(state.Connection, statement, deadline, error);
    if (answer && answer->Error != 0) {
        error = answer->Message;
        std::string ignored;
        const bool transient = answer->Error == kDeadlock || answer->Error == kLockWaitTimeout;
        if (!transient || !QueryLedger(state.Connection, "ROLLBACK", deadline, ignored)) {
            DropLedgerConnection(state.Connection);
        }
        return std::nullopt;
    }
    return answer;
}

// Creating the tables is a first start's work, given `createBy`; reading the version, `deadline`.
std::optional<int64_t> SchemaVersion(LedgerClock::time_point deadline,
                                     LedgerClock::time_point createBy, std::string& error) {
    ClusterLedgerState& state = Cluster();
    const std::string select = "SELECT version FROM barterbox_schema WHERE id = 1";
    std::optional<LedgerAnswer> answer = QueryLedger(state.Connection, select, deadline, error);
    if (answer && (answer->Error == kNoSuchTable || (answer->Error == 0 && answer->Rows.empty()))) {
        for (const char* create : kCreateTables) {
            if (!Run(create, createBy, error)) {
                return std::nullopt;
            }
        }
        answer = Run(select, createBy, error);
    }
    if (answer && answer->Error != 0) {
        error = answer->Message;
        return std::nullopt;
    }
    if (!answer || answer->Rows.empty() || answer->Rows[0].empty()) {
        return std::nullopt;
    }
    return NumberOf(answer->Rows[0][0]);
}

// Logs in and checks the tables, creating them at the first start (by `createBy`).
bool Open(LedgerClock::time_point deadline, LedgerClock::time_point createBy, std::string& error) {
    ClusterLedgerState& state = Cluster();
    if (!LedgerClientLoaded(error)) {
        error = "the MariaDB client library cannot be loaded: " + error;
        return false;
    }
    if (!state.Login) {
        error = "the database's host cannot be found";
        return false;
    }
    if (!ConnectLedger(state.Connection, *state.Login, deadline, error) ||
        !Run("SET SESSION TRANSACTION ISOLATION LEVEL READ COMMITTED", deadline, error)) {
        return false;
    }
    const std::optional<int64_t> version = SchemaVersion(deadline, createBy, error);
    if (version && *version != kSchemaVersion) {
        error = fmt::format("its Barterbox tables are of schema version {}; this plugin knows {}",
                            *version, kSchemaVersion);
    }
    if (version != kSchemaVersion) {
        DropLedgerConnection(state.Connection);
        return false;
    }
    return true;
}

void RetryLater() {
    Cluster().NextTry = AuditClock() + kRetryEvery;
}

// The database did not answer: one line when it is lost, none for each attempt after. A
// connection still open failed a statement for a moment only: that attempt alone is refused.
void Lose(const std::string& error) {
    ClusterLedgerState& state = Cluster();
    if (state.Connection.Handle != nullptr) {
        Log(spdlog::level::warn, "Barterbox: The trade ledger refused an attempt: {}", error);
        return;
    }
    RetryLater();
    if (!state.Lost) {
        state.Lost = true;
        Log(spdlog::level::err,
            "Barterbox: Lost the trade ledger: {}; exchanges with limits are paused", error);
    }
}

std::string PendingStatement(const PendingLedgerWrite& write) {
    return write.Confirm ? "UPDATE barterbox_runs SET confirmed = 1 WHERE attempt = " +
                               LedgerLiteral(write.Attempt)
                         : "DELETE FROM barterbox_runs WHERE confirmed = 0 AND attempt = " +
                               LedgerLiteral(write.Attempt);
}

bool FlushPending(LedgerClock::time_point deadline) {
    ClusterLedgerState& state = Cluster();
    std::string error;
    while (!state.Pending.empty()) {
        if (!Run(PendingStatement(state.Pending.front()), deadline, error)) {
            Lose(error);
            return false;
        }
        state.Pending.pop_front();
    }
    return true;
}

// Whether the ledger answers: connected, or connected again now that the retry is due (a clock
// set back makes it due at once).
bool Reachable(LedgerClock::time_point deadline) {
    ClusterLedgerState& state = Cluster();
    if (!state.Settings) {
        return false;
    }
    if (state.Connection.Handle != nullptr) {
        return true;
    }
    const RuleTime now = AuditClock();
    if (state.NextTry && now < *state.NextTry && *state.NextTry - now <= kRetryEvery) {
        return false;
    }
    std::string error;
    if (!Open(deadline, deadline, error)) {
        Lose(error);
        return false;
    }
    state.NextTry.reset();
    if (state.Lost) {
        state.Lost = false;
        Log(spdlog::level::info, "Barterbox: The trade ledger is back");
    }
    return FlushPending(deadline);
}

std::string PlayerFilter(const std::string& eosId, const std::string& exchangeKey) {
    return "eos_id = " + LedgerLiteral(eosId) +
           " AND exchange_key = " + LedgerLiteral(exchangeKey) + " AND player_reset = 0";
}

std::string CountsStatement(const std::string& eosId, const std::string& exchangeKey,
                            const CountWindows& windows) {
    const std::string player = PlayerFilter(eosId, exchangeKey);
    const std::string stock = "exchange_key = " + LedgerLiteral(exchangeKey);
    const auto sum = [](const std::string& filter) {
        return "(SELECT COALESCE(SUM(runs), 0) FROM barterbox_runs WHERE " + filter + ")";
    };
    return fmt::format(
        "SELECT {}, (SELECT MAX(at_us) FROM barterbox_runs WHERE {}), {}, {}, {}, {}", sum(player),
        player, sum(player + fmt::format(" AND at_us >= {}", Micros(windows.Day))),
        sum(player + fmt::format(" AND at_us >= {}", Micros(windows.Week))), sum(stock),
        sum(stock + fmt::format(" AND at_us >= {}", windows.Stock ? Micros(*windows.Stock) : 0)));
}

// The counts as a ledger holding this player's and this exchange's runs alone, so that the rule
// check reads them as it reads the local ledger.
RunLedger CountsLedger(const LedgerRow& row, const std::string& eosId,
                       const std::string& exchangeKey, const CountWindows& windows) {
    RunLedger ledger;
    if (row.size() < 6) {
        return ledger;
    }
    PlayerRuns& player = ledger.Players[eosId][exchangeKey];
    player.Total = NumberOf(row[0]);
    if (row[1]) {
        player.Last = RuleTime(duration_cast<RuleTime::duration>(microseconds(NumberOf(row[1]))));
    }
    const int64_t day = NumberOf(row[2]);
    AddTimedRuns(player.ThisWeek, windows.Week, NumberOf(row[3]) - day);
    AddTimedRuns(player.ThisWeek, windows.Day, day);
    StockRuns& stock = ledger.Stock[exchangeKey];
    stock.Total = NumberOf(row[4]);
    if (windows.Stock) {
        AddTimedRuns(stock.Recent, *windows.Stock, NumberOf(row[5]));
    }
    return ledger;
}

// The counts' one row; an answer without it is a connection no longer to be trusted.
std::optional<LedgerAnswer> Counts(const std::string& eosId, const std::string& exchangeKey,
                                   const CountWindows& windows, LedgerClock::time_point deadline,
                                   std::string& error) {
    std::optional<LedgerAnswer> counts =
        Run(CountsStatement(eosId, exchangeKey, windows), deadline, error);
    if (counts && counts->Rows.empty()) {
        DropLedgerConnection(Cluster().Connection);
        error = "the counts came back empty";
        return std::nullopt;
    }
    return counts;
}

std::optional<RunLedger> LockedCounts(const std::string& eosId, const std::string& exchangeKey,
                                      const CountWindows& windows, LedgerClock::time_point deadline,
                                      std::string& error) {
    const std::string playerLock = LedgerLiteral("p:" + eosId + ":" + exchangeKey);
    const std::string stockLock = LedgerLiteral("s:" + exchangeKey);
    const std::string lock = "SELECT name FROM barterbox_locks WHERE name = ";
    // The lock rows are made outside the transaction: two that both found a row missing would
    // otherwise each wait for the other's.
    if (!Run("INSERT IGNORE INTO barterbox_locks (name) VALUES (" + playerLock + "), (" +
                 stockLock + ")",
             deadline, error) ||
        !Run("START TRANSACTION", deadline, error) ||
        !Run(lock + playerLock + " FOR UPDATE", deadline, error) ||
        (windows.LocksStock && !Run(lock + stockLock + " FOR UPDATE", deadline, error))) {
        return std::nullopt;
    }
    const std::optional<LedgerAnswer> counts = Counts(eosId, exchangeKey, windows, deadline, error);
    if (!counts) {
        return std::nullopt;
    }
    return CountsLedger(counts->Rows[0], eosId, exchangeKey, windows);
}

} // namespace

HoldResult HoldClusterRuns(const std::string& eosId, const std::string& exchangeKey, RuleTime now,
                           const CountWindows& windows, const HoldDecision& decide,
                           LedgerClock::time_point deadline, std::string& attempt) {
    ClusterLedgerState& state = Cluster();
    if (!Reachable(deadline)) {
        return HoldResult::Unreachable;
    }
    std::string error;
    const std::optional<RunLedger> counts =
        LockedCounts(eosId, exchangeKey, windows, deadline, error);
    if (!counts) {
        Lose(error);
        return HoldResult::Unreachable;
    }
    const int32_t runs = decide(*counts);
    if (runs <= 0) {
        if (!Run("ROLLBACK", deadline, error)) {
            Lose(error);
        }
        return HoldResult::NothingHeld;
    }
    attempt = NewAttemptId();
    const std::string insert = fmt::format(
        "INSERT INTO barterbox_runs (attempt, server, eos_id, exchange_key, runs, at_us) VALUES "
        "({}, {}, {}, {}, {}, {})",
        LedgerLiteral(attempt), LedgerLiteral(state.Settings->Server), LedgerLiteral(eosId),
        LedgerLiteral(exchangeKey), runs, Micros(now));
    if (!Run(insert, deadline, error) || !Run("COMMIT", deadline, error)) {
        // Whether the server committed it is unknown: released once it answers again.
        state.Pending.push_back({attempt, false});
        Lose(error);
        return HoldResult::Unreachable;
    }
    return HoldResult::Held;
}

void ConfirmClusterRuns(const std::string& attempt, LedgerClock::time_point deadline) {
    Cluster().Pending.push_back({attempt, true});
    if (Cluster().Connection.Handle != nullptr || Reachable(deadline)) {
        FlushPending(deadline);
    }
}

void ReleaseClusterRuns(const std::string& attempt, LedgerClock::time_point deadline) {
    Cluster().Pending.push_back({attempt, false});
    if (Cluster().Connection.Handle != nullptr || Reachable(deadline)) {
        FlushPending(deadline);
    }
}

std::optional<RunLedger> ReadClusterCounts(const std::string& eosId, const std::string& exchangeKey,
                                           RuleTime, const CountWindows& windows) {
    const LedgerClock::time_point deadline = ClusterDeadline();
    if (!Reachable(deadline)) {
        return std::nullopt;
    }
    std::string error;
    const std::optional<LedgerAnswer> counts = Counts(eosId, exchangeKey, windows, deadline, error);
    if (!counts) {
        Lose(error);
        return std::nullopt;
    }
    return CountsLedger(counts->Rows[0], eosId, exchangeKey, windows);
}

bool ResetClusterCounts(const std::string& eosId, const std::optional<std::string>& exchangeKey) {
    const LedgerClock::time_point deadline = ClusterDeadline();
    if (!Reachable(deadline)) {
        return false;
    }
    std::string statement =
        "UPDATE barterbox_runs SET player_reset = 1 WHERE eos_id = " + LedgerLiteral(eosId);
    if (exchangeKey) {
        statement += " AND exchange_key = " + LedgerLiteral(*exchangeKey);
    }
    std::string error;
    if (!Run(statement, deadline, error)) {
        Lose(error);
        return false;
    }
    return true;
}

LedgerClock::time_point ClusterDeadline() {
    const std::optional<ClusterSettings>& settings = Cluster().Settings;
    return LedgerClock::now() + std::chrono::milliseconds(settings ? settings->Database.WaitMs : 0);
}

bool ClusterLedgerInForce() {
    return Cluster().Settings.has_value();
}

void PutClusterInForce(const std::optional<ClusterSettings>& settings) {
    ClusterLedgerState& state = Cluster();
    std::deque<PendingLedgerWrite> pending;
    if (settings && state.Settings && settings->Database == state.Settings->Database) {
        pending = std::move(state.Pending); // the same database still owes them
    } else if (!state.Pending.empty()) {
        Log(spdlog::level::warn,
            "Barterbox: {} writes owed to the former trade ledger are dropped; the runs they "
            "would have confirmed or released stay counted there",
            state.Pending.size());
    }
    state = ClusterLedgerState{};
    state.Pending = std::move(pending);
    TheAuditState().Server = settings ? settings->Server : std::string();
    if (!settings) {
        return;
    }
    state.Settings = settings;
    const ClusterDatabase& database = settings->Database;
    std::string error;
    if (const std::optional<std::string> address = platform::NumericAddress(database.Host, error)) {
        state.Login = LedgerLogin{*address, static_cast<uint16_t>(database.Port), database.User,
                                  database.Password, database.Name};
    }
    const std::string where =
        fmt::format("{}@{}:{}/{}", database.User, database.Host, database.Port, database.Name);
    if (!state.Login) {
        error = "the host cannot be found: " + error;
    } else if (Open(ClusterDeadline(), LedgerClock::now() + kCreatingTakes, error) &&
               SettleStaleHolds(ClusterDeadline(), error)) {
        Log(spdlog::level::info, "Barterbox: Cluster ledger in force for server {} at {}",
            settings->Server, where);
        FlushPending(ClusterDeadline()); // a failure here is the ledger lost, and logged so
        return;
    }
    state.Lost = true;
    RetryLater();
    Log(spdlog::level::err,
        "Barterbox: Cluster ledger {} cannot be used: {}; exchanges with limits are refused "
        "until it answers",
        where, error);
}

} // namespace barterbox
