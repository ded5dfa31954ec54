// The Discord sink against a loopback webhook that answers in turn as Discord may: each body has
// the webhook's shape, the posts arrive in order and none twice, and whatever the webhook does,
// the game thread never waits for it. The stand-in host's timers run at a hundredth of their
// time here, and its requests time out after 300 ms.
#include <algorithm>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "audit/audit_sinks.h"
#include "discord/discord_sink.h"
#include "host_fixture.h"
#include "hostsim/host_tick.h"
#include "tools/server/hosting/loopback_webhook.h"

namespace {

using namespace barterbox;
using barterbox::server::LoopbackWebhook;
using barterbox::server::WebhookAnswer;
using barterbox::server::WebhookPost;
using nlohmann::json;
using Kind = WebhookAnswer::Kind;

WebhookAnswer Status(int status, std::string body = {},
                     std::vector<std::pair<std::string, std::string>> headers = {}) {
    return {Kind::Status, status, std::move(body), std::move(headers)};
}

// The Windows build's tests run under Wine, whose WinHTTP waits for an answer past any timeout;
// Windows' own keeps it.
#if defined(_WIN32)
constexpr bool kWineKeepsNoTimeout = true;
#else
constexpr bool kWineKeepsNoTimeout = false;
#endif

WebhookAnswer Answer(Kind how) {
    WebhookAnswer answer;
    answer.How = how;
    return answer;
}

class DiscordPosts : public testing_support::HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        CreateLogger();
        hostsim::SetTimerScale(0.01);
        hostsim::SetRequestTimeout(std::chrono::milliseconds(300));
    }
    void TearDown() override {
        StopDiscordPosts();
        if (webhook_) {
            webhook_->Stop();
        }
        hostsim::StopRequestThread();
        hostsim::SetTimerScale(1);
        hostsim::SetRequestTimeout(std::chrono::seconds(10));
        HostFixture::TearDown();
    }

    void Serve(std::vector<WebhookAnswer> script) {
        webhook_ = std::make_unique<LoopbackWebhook>(std::move(script));
        std::string error;
        ASSERT_TRUE(webhook_->Start(error)) << error;
        DiscordSettings settings;
        settings.Webhook = webhook_->Url();
        settings.Events = {"complete"};
        ApplyDiscordSettings(settings);
    }

    // As the audit hands a record to its sinks, the Discord sink last.
    void Record(const std::string& exchange) {
        const AuditRecord record{std::chrono::system_clock::now(),
                                 {{"time", "2026-12-08T15:25:01.123Z"},
                                  {"event", "exchange"},
                                  {"eos_id", "0002aa"},
                                  {"exchange", exchange},
                                  {"multiplier", 1},
                                  {"effective", 1},
                                  {"outcome", "complete"},
                                  {"taken", json::array()},
                                  {"given", json::array()}}};
        const std::vector<AuditSink>& sinks = TheAuditState().Sinks;
        const auto sink = std::find_if(sinks.begin(), sinks.end(), [](const AuditSink& s) {
            return std::string(s.Name) == "Discord webhook";
        });
        ASSERT_NE(sink, sinks.end());
        EXPECT_FALSE(sink->OfRecord);
        EXPECT_TRUE(sink->Write(record));
    }

    // Ticks the host as a game server's frames do, until the condition holds or 10 s pass.
    template <typename Condition> bool TickUntil(Condition condition) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > until) {
                return false;
            }
            hostsim::RunHostTick();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    // The exchanges of every embed that a 204 answered, post by post; every body checked against
    // the webhook's shape on the way.
    std::vector<std::string> DeliveredExchanges() {
        std::vector<std::string> exchanges;
        for (const WebhookPost& post : webhook_->Posts()) {
            EXPECT_EQ(post.Path, "/api/webhooks/1/loopback");
            EXPECT_EQ(post.ContentType, "application/json");
            const json body = json::parse(post.Body);
            EXPECT_EQ(body["allowed_mentions"], json({{"parse", json::array()}}));
            EXPECT_TRUE(body["username"].is_string());
            EXPECT_GE(body["embeds"].size(), 1u);
            EXPECT_LE(body["embeds"].size(), 10u);
            for (const json& embed : body["embeds"]) {
                EXPECT_TRUE(embed["title"].is_string() && embed["fields"].is_array());
                if (post.AnsweredHow == Kind::Status && post.Status == 204) {
                    exchanges.push_back(embed["fields"][1]["value"]);
                }
            }
        }
        return exchanges;
    }

    std::unique_ptr<LoopbackWebhook> webhook_;
};

TEST_F(DiscordPosts, EveryFailureIsSentAgainAndThePostsArriveInOrderOnce) {
    std::vector<WebhookAnswer> script{
        Status(204),         Status(429, R"({"message": "rate limited", "retry_after": 0.05})"),
        Status(500),         Answer(Kind::Hang),
        Answer(Kind::Close), Status(204)};
    if (kWineKeepsNoTimeout) {
        script.erase(script.begin() + 3);
    }
    Serve(script);
    Record("E1"); // sent at once
    for (const char* name : {"E2", "E3", "E4", "E5"}) {
        Record(name); // wait for the pacing, then go together
    }
    ASSERT_TRUE(TickUntil(
        [&] { return webhook_->Posts().size() == script.size() && !TheDiscordState().Request; }));
    EXPECT_THAT(DeliveredExchanges(), testing::ElementsAre("E1", "E2", "E3", "E4", "E5"));
    EXPECT_TRUE(TheDiscordState().Queue.empty());
    // One line when the posts start failing and one when they go through again, whatever the
    // failures between.
    EXPECT_THAT(LogTexts(),
                testing::Contains("[Barterbox][warning] Barterbox: Discord webhook ...loopback did "
                                  "not take a post (HTTP 500); trying again with growing pauses"));
    EXPECT_THAT(LogTexts(),
                testing::Contains(
                    "[Barterbox][info] Barterbox: Discord webhook ...loopback answers again"));
}

// Each failure alone, then a 204: the record arrives once, and the log says what went wrong in
// one line (nothing for a 429, which is Discord's pacing, not a failure).
struct FailureCase {
    const char* Name;
    WebhookAnswer First;
    const char* Line; // the warning, or "" for none
};

class DiscordFailure : public DiscordPosts, public testing::WithParamInterface<FailureCase> {};

TEST_P(DiscordFailure, IsSentAgainOnceAndLoggedAsItWent) {
    if (kWineKeepsNoTimeout && GetParam().First.How == Kind::Hang) {
        GTEST_SKIP() << "Wine's WinHTTP keeps no receive timeout";
    }
    Serve({GetParam().First, Status(204)});
    Record("E1");
    ASSERT_TRUE(
        TickUntil([&] { return webhook_->Posts().size() == 2 && !TheDiscordState().Request; }));
    EXPECT_THAT(DeliveredExchanges(), testing::ElementsAre("E1"));
    const std::vector<std::string> texts = LogTexts();
    const auto warnings = std::count_if(texts.begin(), texts.end(), [](const std::string& line) {
        return line.find("[warning]") != std::string::npos;
    });
    if (*GetParam().Line == '\0') {
        EXPECT_EQ(warnings, 0);
    } else {
        EXPECT_EQ(warnings, 1);
        EXPECT_THAT(texts,
                    testing::Contains(std::string("[Barterbox][warning] Barterbox: Discord "
                                                  "webhook ...loopback did not take a post (") +
                                      GetParam().Line + "); trying again with growing pauses"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    EachAnswer, DiscordFailure,
    testing::Values(FailureCase{"RateLimited",
                                Status(429, R"({"retry_after": 0.5, "global": false})"), ""},
                    FailureCase{"RateLimitedByHeader", Status(429, "", {{"Retry-After", "1"}}), ""},
                    FailureCase{"ServerError", Status(500), "HTTP 500"},
                    FailureCase{"BadGateway", Status(502), "HTTP 502"},
                    FailureCase{"HangsPastTheTimeout", Answer(Kind::Hang), "no answer"},
                    FailureCase{"ClosesTheConnection", Answer(Kind::Close), "no answer"}),
    [](const testing::TestParamInfo<FailureCase>& info) { return info.param.Name; });

TEST_F(DiscordPosts, ADeletedWebhookStopsThePostsWithOneLine) {
    Serve({Status(404, R"({"message": "Unknown Webhook", "code": 10015})")});
    Record("E1");
    ASSERT_TRUE(TickUntil([&] { return TheDiscordState().Refused; }));
    Record("E2");
    Record("E3");
    for (int tick = 0; tick < 20; ++tick) {
        hostsim::RunHostTick();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(webhook_->Posts().size(), 1u);
    const std::vector<std::string> texts = LogTexts();
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                            [](const std::string& line) {
                                return line.find("refused") != std::string::npos;
                            }),
              1);
    EXPECT_THAT(texts,
                testing::Contains("[Barterbox][error] Barterbox: Discord refused the webhook "
                                  "...loopback (HTTP 404); no more posts until rules.json is "
                                  "reloaded"));
    for (const std::string& line : texts) {
        EXPECT_EQ(line.find("127.0.0.1"), std::string::npos) << "the URL is never logged whole";
    }
}

TEST_F(DiscordPosts, AFullQueueDropsTheOldestAndSaysHowMany) {
    Serve({Status(500), Status(204)});
    Record("first"); // in flight while the rest pile up
    for (size_t i = 0; i < kDiscordQueueLimit + 4; ++i) {
        std::string name = std::to_string(i);
        name.insert(name.begin(), 'E');
        Record(name);
    }
    EXPECT_EQ(TheDiscordState().Queue.size(), kDiscordQueueLimit);
    ASSERT_TRUE(TickUntil([&] { return DeliveredExchanges().size() >= 10; }));
    // The one in flight stays; the five after it went to make room.
    std::vector<std::string> delivered = DeliveredExchanges();
    delivered.resize(10);
    EXPECT_THAT(delivered, testing::ElementsAre("first", "E5", "E6", "E7", "E8", "E9", "E10", "E11",
                                                "E12", "E13"));
    ASSERT_TRUE(TickUntil([&] { return TheDiscordState().Request == 0; }));
    EXPECT_THAT(LogTexts(), testing::Contains("[Barterbox][warning] Barterbox: Discord webhook "
                                              "...loopback could not be reached for long; dropped "
                                              "the 5 oldest posts"));
}

TEST_F(DiscordPosts, StoppingWithARequestHangingCancelsEveryCallback) {
    hostsim::SetRequestTimeout(std::chrono::seconds(60)); // the hang outlasts the test
    Serve({Answer(Kind::Hang)});
    Record("E1");
    ASSERT_TRUE(webhook_->WaitForPosts(1, std::chrono::seconds(10)));
    // The game thread goes on while the request hangs: records queue and nothing waits.
    Record("E2");
    hostsim::RunHostTick();
    EXPECT_EQ(TheDiscordState().Queue.size(), 2u);
    StopDiscordPosts();
    EXPECT_EQ(hostsim::PendingRequests(), 0u);
    EXPECT_EQ(hostsim::PendingTimers(), 0u);
    EXPECT_THAT(
        LogTexts(),
        testing::Contains("[Barterbox][warning] Barterbox: 2 Discord posts not sent at unload"));
    webhook_->Stop(); // the hung connection closes: its reply finds no callback
    hostsim::StopRequestThread();
    hostsim::RunHostTick();
    EXPECT_EQ(webhook_->Posts().size(), 1u);
}

} // namespace
