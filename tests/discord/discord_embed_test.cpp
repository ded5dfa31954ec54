// The Discord sink's pure parts: the embeds within Discord's limits, which records are posted,
// and what each answer of Discord's means for the next post.
#include <gtest/gtest.h>

#include "discord/discord_embed.h"
#include "discord/discord_filter.h"
#include "discord/discord_reply.h"

namespace {

using namespace barterbox;
using nlohmann::json;
using nlohmann::ordered_json;

size_t CodePoints(const std::string& text) {
    size_t count = 0;
    for (const char c : text) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }
    return count;
}

bool IsUtf8(const std::string& text) {
    try {
        (void)json(text).dump();
        return true;
    } catch (const json::exception&) {
        return false;
    }
}

ordered_json Exchange(const std::string& name, const std::string& outcome, int multiplier = 1) {
    return {{"time", "2026-12-08T15:25:01.123Z"},
            {"event", "exchange"},
            {"via", "chat"},
            {"eos_id", "0002aa"},
            {"exchange", name},
            {"multiplier", multiplier},
            {"effective", multiplier},
            {"outcome", outcome},
            {"taken", json::array()},
            {"given", json::array()}};
}

TEST(DiscordEmbed, NamesThePlayerTheExchangeTheItemsAndTheServer) {
    ordered_json record = Exchange("Thatch", "complete", 3);
    record["character"] = "Bram @everyone";
    record["server"] = "Island 1";
    record["effective"] = 2;
    record["lowered_by"] = "day";
    record["taken"] = {{{"class", "/Game/R/PrimalItemResource_Fibers.PrimalItemResource_Fibers_C"},
                        {"quantity", 300}}};
    record["given"] = {
        {{"item", "Blueprint'/Game/R/PrimalItemResource_Wood.PrimalItemResource_Wood'"},
         {"quantity", 150}}};
    const DiscordEmbed made = EmbedOfRecord(record);
    const json embed = json::parse(made.Json);
    EXPECT_EQ(embed["title"], "Exchange complete: Thatch x3");
    EXPECT_EQ(embed["timestamp"], "2026-12-08T15:25:01.123Z");
    std::map<std::string, std::string> fields;
    for (const json& field : embed["fields"]) {
        fields[field["name"]] = field["value"];
    }
    EXPECT_EQ(fields["Player"], "Bram @everyone (0002aa)");
    EXPECT_EQ(fields["Multiplier"], "x3, x2 allowed by day");
    EXPECT_EQ(fields["Taken"], "PrimalItemResource_Fibers x300");
    EXPECT_EQ(fields["Given"], "PrimalItemResource_Wood x150");
    EXPECT_EQ(fields["Server"], "Island 1");
    // No name can ping anyone, whatever it holds.
    const json body = json::parse(WebhookBody("Barter \"box\"", {&made.Json, &made.Json}));
    EXPECT_EQ(body["allowed_mentions"], json({{"parse", json::array()}}));
    EXPECT_EQ(body["username"], "Barter \"box\"");
    EXPECT_EQ(body["embeds"], json::array({embed, embed}));
}

TEST(DiscordEmbed, LongTextsAreCutOnACharacterWithinEveryLimit) {
    const std::string longName(400, 'x');
    std::string accented;
    for (int i = 0; i < 300; ++i) {
        accented += "\xc3\xa9"; // é, two bytes
    }
    ordered_json record = Exchange(accented + longName, "partial", 1);
    for (int i = 0; i < 60; ++i) {
        const ordered_json item = {{"class", "/Game/" + longName + std::to_string(i)},
                                   {"quantity", i + 1}};
        record["taken"].push_back(item);
        record["owed"].push_back(item);
        record["returned"].push_back(item);
    }
    const DiscordEmbed made = EmbedOfRecord(record);
    const json embed = json::parse(made.Json);
    const std::string title = embed["title"];
    EXPECT_EQ(CodePoints(title), kEmbedTitleLimit);
    EXPECT_TRUE(IsUtf8(title));
    EXPECT_TRUE(title.ends_with("..."));
    size_t total = CodePoints(title) + CodePoints(embed["footer"]["text"]);
    ASSERT_LE(embed["fields"].size(), kEmbedFieldLimit);
    for (const json& field : embed["fields"]) {
        EXPECT_LE(CodePoints(field["name"]), kEmbedFieldNameLimit);
        EXPECT_LE(CodePoints(field["value"]), kEmbedFieldValueLimit);
        EXPECT_TRUE(IsUtf8(field["value"]));
        total += CodePoints(field["name"]) + CodePoints(field["value"]);
    }
    EXPECT_LE(total, kMessageTextLimit);
    EXPECT_EQ(total, made.Characters);
}

TEST(DiscordEmbed, TextThatIsNoUtf8IsSentWithReplacementCharacters) {
    const DiscordEmbed made = EmbedOfRecord(Exchange("Bad\xff name", "complete"));
    const json body = json::parse(WebhookBody("Barterbox", {&made.Json}));
    EXPECT_EQ(body["embeds"][0]["title"], "Exchange complete: Bad\xef\xbf\xbd name x1");
}

TEST(DiscordFilter, PostsTheEventsExchangesAndMultipliersAsked) {
    DiscordSettings settings;
    settings.Events = {"complete", "refused:day", "add", "reload"};
    settings.Exchanges = std::vector<std::string>{"Element"};
    settings.MinMultiplier = 10;
    ordered_json refusedByDay = Exchange("element", "refused", 10);
    refusedByDay["refused_by"] = "day";
    ordered_json refusedByStock = refusedByDay;
    refusedByStock["refused_by"] = "stock";
    const std::pair<ordered_json, bool> cases[] = {
        {Exchange("Element", "complete", 10), true},
        {Exchange("ELEMENT", "complete", 25), true}, // matched as exchange names are
        {Exchange("Element", "complete", 9), false}, // below MinMultiplier
        {Exchange("Wood", "complete", 10), false},   // not among the Exchanges
        {Exchange("Element", "cancelled", 10), false},
        {refusedByDay, true},
        {refusedByStock, false},
        {{{"event", "add"}, {"exchange", "Element"}}, true},
        {{{"event", "add"}, {"exchange", "Wood"}}, false},
        {{{"event", "reload"}, {"exchanges", 3}}, true}, // names no exchange
        {{{"event", "save"}, {"exchanges", 3}}, false},
    };
    for (const auto& [record, posted] : cases) {
        EXPECT_EQ(DiscordWants(settings, record), posted) << record.dump();
    }
    settings.Events = {"refused"};
    EXPECT_TRUE(DiscordWants(settings, refusedByStock)) << "refused takes every rule's refusal";
}

TEST(DiscordReply, EachAnswerSaysWhatTheNextPostWaitsFor) {
    using std::chrono::milliseconds;
    using Headers = std::vector<std::pair<std::string, std::string>>;
    const struct {
        host_calls::HttpAnswer Answer;
        ReplyKind Kind;
        std::optional<milliseconds> Wait;
    } cases[] = {
        {{true, 204, "", {}}, ReplyKind::Delivered, std::nullopt},
        {{true, 200, "",
          Headers{{"x-ratelimit-remaining", "0"}, {"x-ratelimit-reset-after", "3.2"}}},
         ReplyKind::Delivered,
         milliseconds(3200)},
        {{true, 204, "", Headers{{"X-RateLimit-Remaining", "4"}, {"X-RateLimit-Reset-After", "1"}}},
         ReplyKind::Delivered,
         std::nullopt},
        {{true, 429, R"({"message": "You are being rate limited.", "retry_after": 0.25})", {}},
         ReplyKind::RateLimited,
         milliseconds(250)},
        {{true, 429, "", Headers{{"Retry-After", "7"}}},
         ReplyKind::RateLimited,
         milliseconds(7000)},
        {{true, 429, "not json", {}}, ReplyKind::RateLimited, milliseconds(1000)},
        {{true, 429, R"({"retry_after": -5})", {}}, ReplyKind::RateLimited, milliseconds(1000)},
        {{true, 500, "", {}}, ReplyKind::Retry, std::nullopt},
        {{true, 503, "", {}}, ReplyKind::Retry, std::nullopt},
        {{false, 0, "", {}}, ReplyKind::Retry, std::nullopt},
        {{true, 404, R"({"message": "Unknown Webhook", "code": 10015})", {}},
         ReplyKind::Refused,
         std::nullopt},
        {{true, 400, "", {}}, ReplyKind::Refused, std::nullopt},
        {{true, 401, "", {}}, ReplyKind::Refused, std::nullopt},
    };
    for (const auto& [answer, kind, wait] : cases) {
        const ReplyVerdict verdict = JudgeReply(answer);
        EXPECT_EQ(verdict.Kind, kind) << answer.Status << " " << answer.Body;
        EXPECT_EQ(verdict.Wait, wait) << answer.Status << " " << answer.Body;
    }
}

} // namespace
