// The console's loopback webhook; see webhook_command.h.
#include "webhook_command.h"

#include <memory>
#include <mutex>
#include <thread>

#include <nlohmann/json.hpp>

#include "hostsim/host_tick.h"
#include "tools/server/hosting/loopback_webhook.h"
#include "tools/server/hosting/server_context.h"
#include "tools/server/output/event_output.h"

namespace barterbox::server {
namespace {

constexpr std::chrono::seconds kLongestWait{15};

struct WebhookConsole {
    std::unique_ptr<LoopbackWebhook> Webhook;
    bool Hangs = false;
    size_t Shown = 0;
};

WebhookConsole& TheWebhook() {
    static WebhookConsole console;
    return console;
}

// "[webhook] post 1: 2 embeds as Barterbox, allowed_mentions {"parse":[]}", then each embed.
void ShowPost(size_t number, const WebhookPost& post) {
    const nlohmann::json body = nlohmann::json::parse(post.Body, nullptr, false);
    if (!body.is_object() || !body.contains("embeds") || !body["embeds"].is_array()) {
        WriteLine("[webhook] post " + std::to_string(number) + " is no webhook body: " + post.Body);
        return;
    }
    const nlohmann::json& embeds = body["embeds"];
    WriteLine("[webhook] post " + std::to_string(number) + ": " + std::to_string(embeds.size()) +
              (embeds.size() == 1 ? " embed" : " embeds") + " as " +
              body.value("username", std::string("(no username)")) + ", allowed_mentions " +
              body.value("allowed_mentions", nlohmann::json()).dump());
    for (const nlohmann::json& embed : embeds) {
        WriteLine("[webhook] " + embed.dump());
    }
}

// Whether the host has handed the plugin every reply it waits for, so that what the plugin does
// with them is done before the next line.
bool RepliesHandedOver(std::chrono::steady_clock::time_point until) {
    for (;;) {
        {
            std::lock_guard lock(Server().HostMutex);
            if (hostsim::PendingRequests() == 0) {
                return true;
            }
        }
        if (std::chrono::steady_clock::now() > until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace

void RunWebhookCommand(const ConsoleCommand& command) {
    WebhookConsole& console = TheWebhook();
    if (command.WebhookStart) {
        if (console.Webhook) {
            ServerError("the webhook is already listening");
            return;
        }
        std::vector<WebhookAnswer> script;
        if (command.WebhookHangs) {
            script.emplace_back().How = WebhookAnswer::Kind::Hang;
        }
        auto webhook = std::make_unique<LoopbackWebhook>(std::move(script));
        std::string error;
        if (!webhook->Start(error)) {
            ServerError("the webhook cannot listen: " + error);
            return;
        }
        console.Webhook = std::move(webhook);
        console.Hangs = command.WebhookHangs;
        ServerLine(std::string("webhook listening on loopback") +
                   (console.Hangs ? ", never answering" : "") +
                   "; edit writes {webhook} as its URL");
        return;
    }
    if (!console.Webhook) {
        ServerError("no webhook; webhook start opens one");
        return;
    }
    const size_t wanted = static_cast<size_t>(command.Quantity);
    if (!console.Webhook->WaitForPosts(wanted, kLongestWait) ||
        (!console.Hangs && !RepliesHandedOver(std::chrono::steady_clock::now() + kLongestWait))) {
        ServerError("the webhook has " + std::to_string(console.Webhook->Posts().size()) +
                    " posts, not " + std::to_string(wanted));
    }
    const std::vector<WebhookPost> posts = console.Webhook->Posts();
    for (; console.Shown < posts.size(); ++console.Shown) {
        ShowPost(console.Shown + 1, posts[console.Shown]);
    }
}

std::string WithWebhookUrl(std::string text) {
    const WebhookConsole& console = TheWebhook();
    constexpr std::string_view kMark = "{webhook}";
    for (size_t at = text.find(kMark); console.Webhook && at != std::string::npos;
         at = text.find(kMark, at)) {
        const std::string url = console.Webhook->Url();
        text.replace(at, kMark.size(), url);
        at += url.size();
    }
    return text;
}

void StopWebhook() {
    TheWebhook().Webhook.reset();
}

} // namespace barterbox::server
