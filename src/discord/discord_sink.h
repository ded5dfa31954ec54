// The audit's Discord sink: the records rules.json's Discord block asks for, posted as embeds to
// its webhook through the host's HTTP requests. The game thread only queues: the host makes the
// request on a thread of its own and calls back from its tick.
//
// Pacing: one request at a time and at most one every 2 s, up to 10 embeds each; a 429 waits as
// long as Discord asks, a 5xx or an unanswered request is sent again after a pause that doubles
// up to 5 minutes, and any other 4xx stops the posts until the settings change. When Discord is
// down for long, the queue keeps the newest kDiscordQueueLimit embeds and counts those it drops.
//
// State: DiscordState is the layer's one record, idle and without settings before the module's
// attach runs; ResetDiscordState (which the test fixtures call) and StopDiscordPosts cancel
// whatever the host holds of it.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>

#include "discord/discord_embed.h"
#include "rules/discord_settings.h"

namespace barterbox {

inline constexpr size_t kDiscordQueueLimit = 1000;
inline constexpr std::chrono::milliseconds kDiscordPacing{2000};
inline constexpr std::chrono::milliseconds kDiscordLongestPause{300000};

struct DiscordState {
    std::optional<DiscordSettings> Settings;
    std::deque<DiscordEmbed> Queue;
    size_t InFlight = 0;  // embeds at the queue's front that the request under way carries
    uint64_t Request = 0; // the host's request under way
    uint64_t Gate = 0;    // the host's timer; while it runs, no request starts
    std::chrono::milliseconds Pause{0}; // the last pause after a failure; 0 after a success
    bool Refused = false;               // a 4xx: no more posts until the settings change
    uint64_t Dropped = 0; // embeds dropped from a full queue since posts last went through
};

DiscordState& TheDiscordState();
void ResetDiscordState();

// Puts the block in force (none: no posts, the queue emptied). The same webhook keeps its queue
// and pacing; another starts afresh.
void ApplyDiscordSettings(const std::optional<DiscordSettings>& settings);

// Before the module goes: cancels the request under way and the timer, so that no callback of
// the host's can reach a module that is gone, and says what was left unsent.
void StopDiscordPosts();

} // namespace barterbox
