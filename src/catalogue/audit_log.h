// The audit record: one JSON object per line in <plugin folder>/audit/YYYY-MM-DD.jsonl (UTC day)
// for every exchange attempt and every administrator change, so that who traded what, and when,
// outlives the host's rotating log.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "exchange_catalogue.h"

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

// One class or item and how many of it moved.
struct AuditedItem {
    std::string Name;
    int64_t Quantity = 0;
};

enum class ExchangeResult { Complete, Unknown, Short, Refused, Cancelled, Partial };

// What an exchange attempt did: its name (as configured, or as typed when unknown), the
// multiplier asked for and the one the limits left, how it ended, and what actually moved.
struct ExchangeOutcome {
    std::string Exchange;
    int32_t Multiplier = 1;
    int32_t Effective = 1;
    ExchangeResult Result = ExchangeResult::Unknown;
    std::vector<AuditedItem> Taken;    // classes taken from the player
    std::vector<AuditedItem> Given;    // Receive items the game accepted
    std::vector<AuditedItem> Returned; // classes given back by an undo
    std::vector<AuditedItem> Owed;     // classes an undo could not give back
    std::vector<AuditedItem> Kept;     // classes handed out that an undo could not take back
};

// Each writes one record, in one write, before the caller replies. A record that cannot be written
// changes nothing else: the failure is logged once until a write succeeds again. Nothing is written
// while the plugin folder is unknown (before the plugin's load).
void AuditExchange(const AuditSource& source, const ExchangeOutcome& outcome);
void AuditAdd(const AuditSource& source, const ExchangeDefinition& exchange, bool saved);
void AuditRemove(const AuditSource& source, std::string_view name, bool saved);
void AuditReload(const AuditSource& source, uint64_t exchanges, bool succeeded);
void AuditSave(const AuditSource& source, uint64_t exchanges, bool succeeded);

// The audit's clock: the system's UTC time, unless the environment variable
// BARTERBOX_FIXED_CLOCK holds a time as the records write it ("2026-12-08T15:25:01.123Z"), which
// the simulated server sets so that transcripts are the same on every run.
std::chrono::system_clock::time_point AuditClock();
// "2026-12-08T15:25:01.123Z".
std::string AuditTimeText(std::chrono::system_clock::time_point time);
// The day file's path for the time: "<plugin folder>/audit/2026-12-08.jsonl".
std::string AuditFilePath(std::chrono::system_clock::time_point time);

} // namespace barterbox
