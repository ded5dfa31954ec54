// The Discord sink and its queue; see discord_sink.h.
#include "discord_sink.h"

#include <algorithm>
#include <exception>

#include "audit/audit_sinks.h"
#include "discord/discord_filter.h"
#include "discord/discord_reply.h"
#include "host/http_calls.h"
#include "logger/plugin_logger.h"

namespace barterbox {
namespace {

using std::chrono::milliseconds;

constexpr char kSinkName[] = "Discord webhook";

void Pump();

// Nothing of the plugin's may be thrown at the host from its tick.
template <typename Step> void Guarded(Step&& step) noexcept {
    try {
        step();
    } catch (const std::exception& error) {
        LogQuietly(spdlog::level::err, "Barterbox: Internal error in the Discord posts: {}",
                   error.what());
    }
}

void CloseGate(milliseconds wait) {
    DiscordState& state = TheDiscordState();
    if (state.Gate != 0) {
        host_calls::CancelCallLater(state.Gate);
    }
    state.Gate = host_calls::CallLater(wait, [] {
        Guarded([] {
            TheDiscordState().Gate = 0;
            Pump();
        });
    });
}

// The dropped embeds, said once they are known to be lost for good.
void SayDropped() {
    DiscordState& state = TheDiscordState();
    if (state.Dropped != 0) {
        Log(spdlog::level::warn,
            "Barterbox: Discord webhook {} could not be reached for long; dropped the {} oldest "
            "posts",
            WebhookTail(state.Settings->Webhook), state.Dropped);
        state.Dropped = 0;
    }
}

void Delivered(const ReplyVerdict& verdict) {
    DiscordState& state = TheDiscordState();
    state.Queue.erase(state.Queue.begin(),
                      state.Queue.begin() + static_cast<std::ptrdiff_t>(state.InFlight));
    if (state.Pause.count() != 0) {
        Log(spdlog::level::info, "Barterbox: Discord webhook {} answers again",
            WebhookTail(state.Settings->Webhook));
    }
    state.Pause = milliseconds(0);
    SayDropped();
    if (verdict.Wait) {
        CloseGate(std::max(*verdict.Wait, kDiscordPacing));
    }
}

void Failed(const host_calls::HttpAnswer& answer) {
    DiscordState& state = TheDiscordState();
    if (state.Pause.count() == 0) {
        Log(spdlog::level::warn,
            "Barterbox: Discord webhook {} did not take a post ({}); trying again with growing "
            "pauses",
            WebhookTail(state.Settings->Webhook),
            answer.Answered ? "HTTP " + std::to_string(answer.Status) : std::string("no answer"));
    }
    state.Pause = std::min(std::max(state.Pause * 2, kDiscordPacing), kDiscordLongestPause);
    CloseGate(state.Pause);
}

void Refused(int status) {
    DiscordState& state = TheDiscordState();
    Log(spdlog::level::err,
        "Barterbox: Discord refused the webhook {} (HTTP {}); no more posts until rules.json is "
        "reloaded",
        WebhookTail(state.Settings->Webhook), status);
    state.Refused = true;
    state.Queue.clear();
}

void Answered(const host_calls::HttpAnswer& answer) {
    DiscordState& state = TheDiscordState();
    state.Request = 0;
    const ReplyVerdict verdict = JudgeReply(answer);
    switch (verdict.Kind) {
    case ReplyKind::Delivered:
        Delivered(verdict);
        break;
    case ReplyKind::RateLimited:
        CloseGate(std::max(verdict.Wait.value_or(kDiscordPacing), kDiscordPacing));
        break;
    case ReplyKind::Retry:
        Failed(answer);
        break;
    case ReplyKind::Refused:
        Refused(answer.Status);
        break;
    }
    state.InFlight = 0;
    Pump();
}

// The queue's front, as many embeds as one message holds.
size_t BatchSize(const std::deque<DiscordEmbed>& queue) {
    size_t count = 0;
    size_t characters = 0;
    while (count < queue.size() && count < kEmbedsPerMessage &&
           characters + queue[count].Characters <= kMessageTextLimit) {
        characters += queue[count].Characters;
        ++count;
    }
    return std::max<size_t>(count, 1);
}

// Starts the next request when the queue has something, none is under way and the gate is open.
void Pump() {
    DiscordState& state = TheDiscordState();
    if (!state.Settings || state.Refused || state.Request != 0 || state.Gate != 0 ||
        state.Queue.empty()) {
        return;
    }
    const size_t count = BatchSize(state.Queue);
    std::vector<const std::string*> embeds;
    for (size_t i = 0; i < count; ++i) {
        embeds.push_back(&state.Queue[i].Json);
    }
    const std::string body = WebhookBody(state.Settings->Username, embeds);
    state.Request = host_calls::PostJson(state.Settings->Webhook, body, [](const auto& answer) {
        Guarded([&] { Answered(answer); });
    });
    if (state.Request == 0) {
        Failed(host_calls::HttpAnswer{});
        return;
    }
    state.InFlight = count;
    CloseGate(kDiscordPacing);
}

void Enqueue(DiscordEmbed embed) {
    DiscordState& state = TheDiscordState();
    if (state.Queue.size() >= kDiscordQueueLimit && state.Queue.size() > state.InFlight) {
        state.Queue.erase(state.Queue.begin() + static_cast<std::ptrdiff_t>(state.InFlight));
        ++state.Dropped;
    }
    state.Queue.push_back(std::move(embed));
}

bool WriteToDiscord(const AuditRecord& record) {
    DiscordState& state = TheDiscordState();
    if (!state.Settings || state.Refused || !DiscordWants(*state.Settings, record.Members)) {
        return true;
    }
    Enqueue(EmbedOfRecord(record.Members));
    Pump();
    return true;
}

// Cancels what the host holds of ours and empties the queue; the settings stay.
void Idle() {
    DiscordState& state = TheDiscordState();
    if (state.Request != 0) {
        host_calls::CancelRequest(state.Request);
    }
    if (state.Gate != 0) {
        host_calls::CancelCallLater(state.Gate);
    }
    state.Request = state.Gate = 0;
    state.InFlight = 0;
    state.Queue.clear();
    state.Pause = milliseconds(0);
    state.Refused = false;
    state.Dropped = 0;
}

void SetSinkListed(bool listed) {
    std::vector<AuditSink>& sinks = TheAuditState().Sinks;
    std::erase_if(sinks, [](const AuditSink& sink) { return sink.Write == &WriteToDiscord; });
    if (listed) {
        sinks.push_back({kSinkName, &WriteToDiscord, false});
    }
}

} // namespace

DiscordState& TheDiscordState() {
    static DiscordState state;
    return state;
}

void ResetDiscordState() {
    Idle();
    TheDiscordState() = DiscordState{};
    SetSinkListed(false);
}

void ApplyDiscordSettings(const std::optional<DiscordSettings>& settings) {
    DiscordState& state = TheDiscordState();
    const bool sameWebhook =
        settings && state.Settings && settings->Webhook == state.Settings->Webhook;
    if (!sameWebhook) {
        Idle();
    }
    state.Refused = false; // a reload tries a webhook that refused posts once more
    state.Settings = settings;
    SetSinkListed(settings.has_value());
    if (settings) {
        std::string events;
        for (const std::string& event : settings->Events) {
            events += (events.empty() ? "" : ", ") + event;
        }
        Log(spdlog::level::info, "Barterbox: Posting to the Discord webhook {}: {}",
            WebhookTail(settings->Webhook), events.empty() ? "no events" : events);
    }
    Pump();
}

void StopDiscordPosts() {
    DiscordState& state = TheDiscordState();
    if (!state.Settings) {
        return;
    }
    const size_t unsent = state.Queue.size();
    SayDropped();
    if (unsent != 0) {
        Log(spdlog::level::warn, "Barterbox: {} Discord posts not sent at unload", unsent);
    }
    Idle();
    state.Settings.reset();
    SetSinkListed(false);
}

} // namespace barterbox
