// One exchange carried out for one player: the routine behind the chat command and the remote
// commands alike.
#pragma once

#include <cstdint>
#include <string_view>

#include "audit/audit_record.h"
#include "audit/exchange_outcome.h"
#include "host/engine_types.h"

namespace barterbox {

struct ExchangeRequest {
    AShooterPlayerController* Player = nullptr;
    std::string_view Name;  // as typed
    int32_t Multiplier = 1; // as asked for
    AuditVia Via = AuditVia::Chat;
    // The administrator who ran it on the player's behalf, if any.
    std::string_view By;
};

// Finds the exchange by name in any letter case, limits the multiplier by the settings, checks
// and takes the Give items and hands out the Receive items, all or nothing. Every attempt is
// written to the audit before it returns, so before the caller tells the player how it ended; a
// completed trade whose record cannot be written is undone, and ends cancelled at the step
// Record.
// A null player gets nothing, and no record: the outcome is refused. An exception thrown midway
// (no memory, a library's error) is passed on once what moved has gone back, as far as that can
// be done, and the attempt is on the record.
ExchangeOutcome ExecuteExchange(const ExchangeRequest& request);

} // namespace barterbox
