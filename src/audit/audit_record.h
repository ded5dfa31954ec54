// The audit record: one record for every exchange attempt and every administrator change, handed
// to the audit's sinks (audit_sinks.h) before the caller replies.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "audit/exchange_outcome.h"
#include "catalogue/exchange_definition.h"

namespace barterbox {

// How a command reached the plugin: a player's chat, the console, or RCON.
enum class AuditVia { Chat, Console, Rcon };

// Who asked, as the record names it: the EOS ID of the player whose items moved or of the
// administrator who changed the table, and for an exchange run on a player's behalf from the
// console, the administrator who ran it (`by`, empty otherwise).
struct AuditSource {
    AuditVia Via = AuditVia::Chat;
    std::string EosId;
    std::string By;
};

// Each makes one record. A record that cannot be written changes nothing else, and nothing is
// thrown at the caller. An exchange's says whether its record is on file: the exchange undoes a
// completed trade whose record is not, since the trade rules count runs from these records.
bool AuditExchange(const AuditSource& source, const ExchangeOutcome& outcome);
void AuditAdd(const AuditSource& source, const ExchangeDefinition& exchange, bool saved);
void AuditRemove(const AuditSource& source, std::string_view name, bool saved);
void AuditReload(const AuditSource& source, uint64_t exchanges, bool succeeded);
void AuditSave(const AuditSource& source, uint64_t exchanges, bool succeeded);
// An administrator's Barterbox.Reset of a player's counts: of one exchange, or of all when the
// name is empty. The trade rules' ledger is rebuilt from these records too, so a reset holds.
void AuditReset(const AuditSource& source, std::string_view player, std::string_view exchange);

} // namespace barterbox
