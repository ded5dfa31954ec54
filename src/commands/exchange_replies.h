// How a player hears how their exchange ended: the one place where an outcome becomes the
// player's chat lines.
#pragma once

#include <string>
#include <vector>

#include "audit/exchange_outcome.h"
#include "exchange/exchange_transaction.h"

namespace barterbox {

// What the player is told of the outcome, one text per chat line, in the messages in force; an
// operator who ran the exchange hears the same.
std::vector<std::string> OutcomeLines(const ExchangeOutcome& outcome);

// Tells the request's player in chat how the attempt ended, then, for a completed one, writes the
// log line that says so. Nothing for a null player.
void ReportExchange(const ExchangeRequest& request, const ExchangeOutcome& outcome);

// ExecuteExchange, then ReportExchange: what every command that runs an exchange does.
ExchangeOutcome RunAndReportExchange(const ExchangeRequest& request);

} // namespace barterbox
