// Holds that this server left unconfirmed when it stopped (a crash between the hand-out and the
// confirmation, or with confirmations still owed): each is settled from this server's own audit,
// which records every exchange with the id of its hold before the hold is confirmed.
#pragma once

#include <string>

#include "rules/ledger_client.h"

namespace barterbox {

// On the connection just made: confirms each unconfirmed hold of this server whose exchange the
// audit records as complete and releases each it records as not; one it does not record (a crash
// before the record, or another server given the same key) keeps counting. False when the
// database stopped answering.
bool SettleStaleHolds(LedgerClock::time_point deadline, std::string& error);

} // namespace barterbox
