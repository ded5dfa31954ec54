// How a player hears how their exchange ended: the one place where an outcome becomes the
// player's chat line.
#pragma once

#include "audit/exchange_outcome.h"
#include "exchange/exchange_transaction.h"

namespace barterbox {

// Tells the request's player in chat how the attempt ended, then, for a completed one, writes the
// log line that says so. Nothing for a null player.
void ReportExchange(const ExchangeRequest& request, const ExchangeOutcome& outcome);

// ExecuteExchange, then ReportExchange: what every command that runs an exchange does.
ExchangeOutcome RunAndReportExchange(const ExchangeRequest& request);

} // namespace barterbox
