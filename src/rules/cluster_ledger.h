// The cluster's ledger: every count of the trade rules (each player's runs and cooldowns, each
// exchange's stock) kept in one MariaDB or MySQL database that every server of the cluster names.
//
// An attempt first holds its runs: in one transaction, under row locks that every server takes in
// the same order (the player's, then the exchange's stock), it reads the counts, lets the rules
// decide, and writes a reservation that counts at once. The exchange then runs, and its runs are
// confirmed (it completed) or released (it did not). Both are idempotent by the attempt's id, so a
// write the database did not answer is kept and replayed when it is back, and a completed trade
// counts exactly once. A reservation counts until it is released, so no limit is ever exceeded.
//
// State: the rules layer's record holds it (rules_state.h); see ClusterLedgerState.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "rules/cluster_settings.h"
#include "rules/ledger_client.h"
#include "rules/run_ledger.h"

namespace barterbox {

// A write the database has not confirmed: a confirmation, or a release.
struct PendingLedgerWrite {
    std::string Attempt;
    bool Confirm = false;
};

struct ClusterLedgerState {
    std::optional<ClusterSettings> Settings; // the block in force; none: the local ledger counts
    std::optional<LedgerLogin> Login;        // none when the host's address could not be found
    LedgerConnection Connection;
    bool SchemaChecked = false; // on this connection
    bool Lost = false;          // reported lost; the next success reports it back
    std::optional<RuleTime> NextTry;
    std::deque<PendingLedgerWrite> Pending;
};

// The Cluster block of the rules being put in force: logs in once (within WaitMs) and says in one
// line whether the ledger is in force, or why not. None: the cluster ledger is set aside.
void PutClusterInForce(const std::optional<ClusterSettings>& settings);
bool ClusterLedgerInForce();

// Which runs count, for one request: the player's since DayStart and WeekStart, and the stock's
// since the start of its Restock period (none: every run ever).
struct CountWindows {
    RuleTime Day;
    RuleTime Week;
    std::optional<RuleTime> Stock;
    bool LocksStock = false; // the exchange has a Stock: every player's attempts queue behind one
};

// The runs to hold, decided from the counts the database holds (a ledger with this player's and
// this exchange's runs alone); 0 holds nothing.
using HoldDecision = std::function<int32_t(const RunLedger& counts)>;

enum class HoldResult { Held, NothingHeld, Unreachable };

// Holds the runs the decision leaves under a new attempt id, written into `attempt`.
HoldResult HoldClusterRuns(const std::string& eosId, const std::string& exchangeKey, RuleTime now,
                           const CountWindows& windows, const HoldDecision& decide,
                           LedgerClock::time_point deadline, std::string& attempt);
// The attempt completed, or did not; a write the database does not take now is replayed later.
void ConfirmClusterRuns(const std::string& attempt, LedgerClock::time_point deadline);
void ReleaseClusterRuns(const std::string& attempt, LedgerClock::time_point deadline);

// The counts alone, for Barterbox.Limits; none when the database cannot be reached.
std::optional<RunLedger> ReadClusterCounts(const std::string& eosId, const std::string& exchangeKey,
                                           RuleTime now, const CountWindows& windows);
// A player's runs of one exchange (by key), or of all, no longer count; false when the database
// cannot be reached, and nothing changed.
bool ResetClusterCounts(const std::string& eosId, const std::optional<std::string>& exchangeKey);

// The deadline of an attempt that starts now: WaitMs from now.
LedgerClock::time_point ClusterDeadline();

} // namespace barterbox
