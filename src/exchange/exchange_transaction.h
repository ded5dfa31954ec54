// One exchange carried out for one player: the routine behind the chat command and the remote
// commands alike.
#pragma once

#include <cstdint>
#include <string_view>

#include "audit/audit_record.h"
#include "host/engine_types.h"

namespace barterbox {

// Finds the exchange by name in any letter case, limits the multiplier by the settings, checks
// and takes the Give items, hands out the Receive items and tells the player the outcome in chat.
// True only when the exchange completed in full. A null player gets nothing and gives false.
// Every attempt for a player is written to the audit, before the player is told, as coming
// through `via` (and run by the administrator `by`, when not empty); `outcome`, when given, gets
// the record's content.
bool ExecuteExchange(AShooterPlayerController* player, std::string_view name,
                     int32_t requestedMultiplier, AuditVia via = AuditVia::Chat,
                     std::string_view by = {}, ExchangeOutcome* outcome = nullptr);

} // namespace barterbox
