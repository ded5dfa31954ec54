// What Discord's answer to a post means for the next one: delivered, wait and send it again
// (429), send it again after a growing pause (5xx, no answer), or stop (any other 4xx: the
// webhook was deleted or the body refused, and sending it again would be refused again).
#pragma once

#include <chrono>
#include <optional>

#include "host/http_calls.h"

namespace barterbox {

enum class ReplyKind { Delivered, RateLimited, Retry, Refused };

struct ReplyVerdict {
    ReplyKind Kind = ReplyKind::Retry;
    // How long Discord asks to wait before the next request: retry_after of a 429, or the
    // X-RateLimit-* headers when they say the bucket is empty.
    std::optional<std::chrono::milliseconds> Wait;
};

ReplyVerdict JudgeReply(const host_calls::HttpAnswer& answer);

} // namespace barterbox
