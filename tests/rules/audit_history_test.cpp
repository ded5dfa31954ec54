// The counts behind the limits, rebuilt from the audit's day files as a load finds them: resets
// hold, a closed day's summary stands for its file (also once the file is archived), a day file
// that grew after its summary is read again, and a stock period that began yesterday evening
// counts only the runs since.
#include <ctime>
#include <filesystem>
#include <iomanip>
#include <sstream>

#include <gtest/gtest.h>

#include "catalogue/config_file.h"
#include "config_fixture.h"
#include "rules/audit_history.h"
#include "rules/rule_check.h"
#include "rules/rules_reading.h"
#include "rules/rules_state.h"

namespace {

using namespace barterbox;
using testing_support::WriteBytes;

std::string Completed(const std::string& time, const std::string& eosId,
                      const std::string& exchange, int effective) {
    return R"({"time":")" + time + R"(","event":"exchange","via":"chat","eos_id":")" + eosId +
           R"(","exchange":")" + exchange + R"(","multiplier":)" + std::to_string(effective) +
           R"(,"effective":)" + std::to_string(effective) +
           R"(,"outcome":"complete","taken":[],"given":[]})" + "\n";
}

std::string Reset(const std::string& time, const std::string& player, const std::string& exchange) {
    return R"({"time":")" + time + R"(","event":"reset","via":"console","eos_id":"admin",)" +
           R"("player":")" + player + R"(","exchange":")" + exchange + "\"}\n";
}

RuleTime At(const char* text) {
    std::tm parts{};
    std::istringstream(text) >> std::get_time(&parts, "%Y-%m-%dT%H:%M:%S");
    return std::chrono::sys_days{std::chrono::year{parts.tm_year + 1900} / (parts.tm_mon + 1) /
                                 parts.tm_mday} +
           std::chrono::hours{parts.tm_hour} + std::chrono::minutes{parts.tm_min};
}

class AuditHistory : public testing_support::ConfigFixture {
protected:
    void SetUp() override {
        ConfigFixture::SetUp();
        PluginFolder() = Folder();
        std::filesystem::create_directory(PathOf("audit"));
        // Monday, Tuesday and today, Wednesday.
        WriteBytes(Day("2026-12-07"),
                   Completed("2026-12-07T10:00:00.000Z", "alice", "Ingots", 5) +
                       Completed("2026-12-07T10:05:00.000Z", "bob", "ingots", 2) +
                       "not a record\n");
        WriteBytes(Day("2026-12-08"),
                   Completed("2026-12-08T09:00:00.000Z", "alice", "Ingots", 3) +
                       Reset("2026-12-08T10:00:00.000Z", "alice", "INGOTS") +
                       Completed("2026-12-08T11:00:00.000Z", "alice", "Ingots", 4) +
                       Completed("2026-12-08T19:00:00.000Z", "bob", "Polymer", 2) +
                       Completed("2026-12-08T21:00:00.000Z", "bob", "Polymer", 1));
        WriteBytes(Day("2026-12-09"), Completed("2026-12-09T08:00:00.000Z", "alice", "Ingots", 6));
        SetRulesInForce(ReadTradeRules(nlohmann::json::parse(R"({"Exchanges": {
            "Ingots": {"Day": 20, "Week": 50, "Total": 100, "Stock": 30, "Cooldown": "5h"},
            "Polymer": {"Stock": 5, "Restock": "20h"}}})"))
                            .Rules);
    }
    void TearDown() override {
        PluginFolder().clear();
        ConfigFixture::TearDown();
    }
    std::string Day(const std::string& day) const { return PathOf("audit/" + day + ".jsonl"); }
    std::string Summary(const std::string& day) const {
        return PathOf("audit/summaries/" + day + ".json");
    }
    // What Barterbox.Limits shows for the player after a load at noon on Wednesday.
    static std::string StandingAfterLoad(const std::string& eosId, const char* exchange) {
        const RuleTime now = At("2026-12-09T12:00:00");
        TheRulesState().Ledger =
            RebuildLedger(PluginFolder() + "/audit", now, {RuleSeconds{20 * 3600}});
        return StandingText({eosId, false}, exchange, now).value_or("no rules");
    }
};

const char* const kAlice = "day 6/20, week 10/50, total 10/100, stock 20/30, cooldown 5h (ready "
                           "in 1h)";

TEST_F(AuditHistory, CountsFollowTheRecordsAndAClosedDaysSummaryStandsForIt) {
    EXPECT_EQ(StandingAfterLoad("alice", "Ingots"), kAlice);
    EXPECT_EQ(StandingAfterLoad("bob", "Ingots"),
              "day 0/20, week 2/50, total 2/100, stock 20/30, cooldown 5h (ready)");
    // Runs before yesterday 20:00, when the stock's current period began, are not counted.
    EXPECT_EQ(StandingAfterLoad("bob", "Polymer"), "stock 1/5 (refills in 4h)");
    // The closed days were summarised, today was not; archived, a day is counted from its
    // summary alone.
    EXPECT_TRUE(std::filesystem::exists(Summary("2026-12-07")));
    EXPECT_TRUE(std::filesystem::exists(Summary("2026-12-08")));
    EXPECT_FALSE(std::filesystem::exists(Summary("2026-12-09")));
    std::filesystem::remove(Day("2026-12-07"));
    EXPECT_EQ(StandingAfterLoad("alice", "Ingots"), kAlice);
    EXPECT_EQ(StandingAfterLoad("bob", "Polymer"), "stock 1/5 (refills in 4h)");
    // Tuesday's reset holds from its summary alone too.
    std::filesystem::remove(Day("2026-12-08"));
    EXPECT_EQ(StandingAfterLoad("alice", "Ingots"), kAlice);
}

TEST_F(AuditHistory, ADayFileThatChangedAfterItsSummaryIsReadAgain) {
    EXPECT_EQ(StandingAfterLoad("alice", "Ingots"), kAlice);
    WriteBytes(Day("2026-12-07"), Completed("2026-12-07T10:00:00.000Z", "alice", "Ingots", 5) +
                                      Completed("2026-12-07T11:00:00.000Z", "carol", "Ingots", 7));
    EXPECT_EQ(StandingAfterLoad("carol", "Ingots"),
              "day 0/20, week 7/50, total 7/100, stock 25/30, cooldown 5h (ready)");
    // A summary that does not read is made again from its day file.
    WriteBytes(Summary("2026-12-07"), "{\"version\": 1");
    EXPECT_EQ(StandingAfterLoad("carol", "Ingots"),
              "day 0/20, week 7/50, total 7/100, stock 25/30, cooldown 5h (ready)");
}

TEST_F(AuditHistory, AResetForAllExchangesHoldsAcrossDaysAndLeavesTheStock) {
    WriteBytes(Day("2026-12-09"), Completed("2026-12-09T08:00:00.000Z", "alice", "Ingots", 6) +
                                      R"({"time":"2026-12-09T09:00:00.000Z","event":"reset",)"
                                      R"("via":"console","eos_id":"admin","player":"alice"})"
                                      "\n");
    EXPECT_EQ(StandingAfterLoad("alice", "Ingots"),
              "day 0/20, week 0/50, total 0/100, stock 20/30, cooldown 5h (ready)");
}

TEST(RulePeriods, CountInUtcFromMondayAndFromTheEpoch) {
    EXPECT_EQ(WeekStart(At("2026-12-13T23:59:00")), At("2026-12-07T00:00:00")); // a Sunday
    EXPECT_EQ(WeekStart(At("2026-12-07T00:00:00")), At("2026-12-07T00:00:00"));
    EXPECT_EQ(DayStart(At("2026-12-09T23:59:00")), At("2026-12-09T00:00:00"));
    EXPECT_EQ(PeriodStart(At("2026-12-09T13:00:00"), RuleSeconds{6 * 3600}),
              At("2026-12-09T12:00:00"));
    EXPECT_EQ(PeriodStart(At("2026-12-09T13:00:00"), RuleSeconds{86400}),
              At("2026-12-09T00:00:00"));
}

} // namespace
