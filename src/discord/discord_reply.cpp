// Reading Discord's answers; see discord_reply.h.
#include "discord_reply.h"

#include <cmath>

#include <nlohmann/json.hpp>

#include "host/ascii_case.h"

namespace barterbox {
namespace {

using std::chrono::milliseconds;

// Seconds as Discord writes them ("1.5"), in whole milliseconds rounded up; none for a text that
// is no number of seconds between 0 and a day.
std::optional<milliseconds> Seconds(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0 || seconds > 86400) {
        return std::nullopt;
    }
    return milliseconds(static_cast<int64_t>(std::ceil(seconds * 1000)));
}

std::optional<milliseconds> HeaderSeconds(const host_calls::HttpAnswer& answer,
                                          std::string_view name) {
    for (const auto& [header, value] : answer.Headers) {
        if (EqualIgnoringAsciiCase(header, name)) {
            try {
                return Seconds(std::stod(value));
            } catch (const std::exception&) {
                return std::nullopt;
            }
        }
    }
    return std::nullopt;
}

std::optional<milliseconds> RetryAfter(const host_calls::HttpAnswer& answer) {
    const nlohmann::json body = nlohmann::json::parse(answer.Body, nullptr, false);
    if (body.is_object() && body.contains("retry_after") && body["retry_after"].is_number()) {
        return Seconds(body["retry_after"].get<double>());
    }
    if (std::optional<milliseconds> wait = HeaderSeconds(answer, "Retry-After")) {
        return wait;
    }
    return HeaderSeconds(answer, "X-RateLimit-Reset-After");
}

// The bucket's reset when the headers say no request is left in it.
std::optional<milliseconds> BucketWait(const host_calls::HttpAnswer& answer) {
    const std::optional<milliseconds> remaining = HeaderSeconds(answer, "X-RateLimit-Remaining");
    if (!remaining || remaining->count() > 0) {
        return std::nullopt;
    }
    return HeaderSeconds(answer, "X-RateLimit-Reset-After");
}

} // namespace

ReplyVerdict JudgeReply(const host_calls::HttpAnswer& answer) {
    if (!answer.Answered || answer.Status >= 500 || answer.Status < 200) {
        return {ReplyKind::Retry, std::nullopt};
    }
    if (answer.Status == 429) {
        // Without a wait it can read, a second is what Discord's buckets usually ask.
        return {ReplyKind::RateLimited, RetryAfter(answer).value_or(milliseconds(1000))};
    }
    if (answer.Status >= 400) {
        return {ReplyKind::Refused, std::nullopt};
    }
    if (answer.Status >= 300) {
        return {ReplyKind::Refused, std::nullopt}; // a webhook never moves
    }
    return {ReplyKind::Delivered, BucketWait(answer)};
}

} // namespace barterbox
