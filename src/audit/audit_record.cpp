// The records of exchange attempts and administrator changes; see audit_record.h.
#include "audit_record.h"

#include <exception>
#include <vector>

#include "audit_clock.h"
#include "audit_sinks.h"
#include "logger/plugin_logger.h"

namespace barterbox {
namespace {

using Clock = std::chrono::system_clock;
// Members keep the order they are written in, so that a record reads time, event, who, what.
using Members = nlohmann::ordered_json;

const char* ViaText(AuditVia via) {
    switch (via) {
    case AuditVia::Console:
        return "console";
    case AuditVia::Rcon:
        return "rcon";
    case AuditVia::Chat:
        break;
    }
    return "chat";
}

const char* ResultText(ExchangeResult result) {
    switch (result) {
    case ExchangeResult::Complete:
        return "complete";
    case ExchangeResult::Short:
        return "short";
    case ExchangeResult::Refused:
        return "refused";
    case ExchangeResult::Cancelled:
        return "cancelled";
    case ExchangeResult::Partial:
        return "partial";
    case ExchangeResult::Unknown:
        break;
    }
    return "unknown";
}

// The record every event starts with: its time, the event and who asked.
AuditRecord Started(const char* event, const AuditSource& source) {
    AuditRecord record{AuditClock(), Members::object()};
    Members& members = record.Members;
    members["time"] = AuditTimeText(record.Time);
    members["event"] = event;
    if (const std::string& server = TheAuditState().Server; !server.empty()) {
        members["server"] = server;
    }
    members["via"] = ViaText(source.Via);
    members["eos_id"] = source.EosId;
    if (!source.By.empty()) {
        members["by"] = source.By;
    }
    return record;
}

// [{"class": ..., "quantity": ...}, ...] with the member name given.
Members Listed(const std::vector<AuditedItem>& items, const char* member) {
    Members list = Members::array();
    for (const AuditedItem& item : items) {
        list.push_back({{member, item.Name}, {"quantity", item.Quantity}});
    }
    return list;
}

std::vector<AuditedItem> Amounts(const std::vector<ItemAmount>& items) {
    std::vector<AuditedItem> amounts;
    for (const ItemAmount& item : items) {
        amounts.push_back({item.Item, item.Quantity});
    }
    return amounts;
}

const char* RuleText(TradeRule rule) {
    switch (rule) {
    case TradeRule::Closed:
        return "closed";
    case TradeRule::Group:
        return "groups";
    case TradeRule::Cooldown:
        return "cooldown";
    case TradeRule::Day:
        return "day";
    case TradeRule::Week:
        return "week";
    case TradeRule::Total:
        return "total";
    case TradeRule::Stock:
        return "stock";
    case TradeRule::Ledger:
        return "ledger";
    case TradeRule::Unreadable:
        break;
    }
    return "rules_unreadable";
}

// Which rule of rules.json refused or lowered the exchange; nothing without rules.
void AddRuleMembers(Members& members, const ExchangeOutcome& outcome) {
    if (outcome.State) {
        members["refused_by"] = "state";
        members["state"] = WordsOf(*outcome.State).Word;
    }
    if (outcome.Room) {
        members["refused_by"] = "room";
        members["slots_needed"] = outcome.Room->Needed;
        members["slots_free"] = outcome.Room->Free;
    }
    if (outcome.InventoryFull) {
        members["inventory_full"] = true;
    }
    if (const std::optional<RuleRefusal>& refusal = outcome.Refusal) {
        members["refused_by"] = RuleText(refusal->Rule);
        if (refusal->Limit > 0) {
            members["limit"] = refusal->Limit;
        }
        if (refusal->Wait) {
            members["wait_seconds"] = refusal->Wait->count();
        }
    }
    if (outcome.LoweredBy) {
        members["lowered_by"] = RuleText(*outcome.LoweredBy);
    }
}

// Builds the record and hands it to the sinks; whether it is on file. Building it can only run
// out of memory, which costs the record and nothing else.
template <typename Fill> bool Audit(const char* event, const AuditSource& source, Fill&& fill) {
    try {
        AuditRecord record = Started(event, source);
        fill(record.Members);
        return PublishAuditRecord(record);
    } catch (const std::exception& error) {
        LogQuietly(spdlog::level::err, "Barterbox: Internal error in the audit: {}", error.what());
    }
    return false;
}

// Reload and Save record the same members: how many exchanges, and whether it worked.
void AuditWholeTable(const char* event, const AuditSource& source, uint64_t exchanges,
                     bool succeeded) {
    Audit(event, source, [&](Members& members) {
        members["exchanges"] = exchanges;
        members["succeeded"] = succeeded;
    });
}

} // namespace

bool AuditExchange(const AuditSource& source, const ExchangeOutcome& outcome) {
    return Audit("exchange", source, [&](Members& members) {
        members["exchange"] = outcome.Exchange;
        members["multiplier"] = outcome.Multiplier;
        members["effective"] = outcome.Effective;
        members["outcome"] = ResultText(outcome.Result);
        AddRuleMembers(members, outcome);
        members["taken"] = Listed(outcome.Taken, "class");
        members["given"] = Listed(outcome.Given, "item");
        if (outcome.Result == ExchangeResult::Cancelled ||
            outcome.Result == ExchangeResult::Partial) {
            members["returned"] = Listed(outcome.Returned, "class");
            members["owed"] = Listed(outcome.Owed, "class");
        }
        if (!outcome.Kept.empty()) {
            members["kept"] = Listed(outcome.Kept, "class");
        }
        if (!outcome.LedgerAttempt.empty()) {
            members["attempt"] = outcome.LedgerAttempt;
        }
    });
}

void AuditAdd(const AuditSource& source, const ExchangeDefinition& exchange, bool saved) {
    Audit("add", source, [&](Members& members) {
        members["exchange"] = exchange.Name;
        members["give"] = Listed(Amounts(exchange.Give), "item");
        members["receive"] = Listed(Amounts(exchange.Receive), "item");
        members["saved"] = saved;
    });
}

void AuditRemove(const AuditSource& source, std::string_view name, bool saved) {
    Audit("remove", source, [&](Members& members) {
        members["exchange"] = name;
        members["saved"] = saved;
    });
}

void AuditReload(const AuditSource& source, uint64_t exchanges, bool succeeded) {
    AuditWholeTable("reload", source, exchanges, succeeded);
}

void AuditSave(const AuditSource& source, uint64_t exchanges, bool succeeded) {
    AuditWholeTable("save", source, exchanges, succeeded);
}

void AuditReset(const AuditSource& source, std::string_view player, std::string_view exchange) {
    Audit("reset", source, [&](Members& members) {
        members["player"] = player;
        if (!exchange.empty()) {
            members["exchange"] = exchange;
        }
    });
}

} // namespace barterbox
