// The host's HTTP requests and timers behind the plugin's calls; see http_calls.h.
#include "http_calls.h"

#include "host_api.h"

namespace barterbox::host_calls {

uint64_t PostJson(const std::string& url, const std::string& body,
                  std::function<void(const HttpAnswer&)> onAnswer) {
    const AsaApi::HttpCallback callback =
        [onAnswer = std::move(onAnswer)](const AsaApi::HttpReply& reply) {
            onAnswer(HttpAnswer{reply.Answered, reply.Status, reply.Body, reply.Headers});
        };
    return AsaApi::GetRequests().CreatePostRequest(url, callback, body, "application/json", {});
}

void CancelRequest(uint64_t request) {
    AsaApi::GetRequests().CancelRequest(request);
}

uint64_t CallLater(std::chrono::milliseconds delay, std::function<void()> callback) {
    return AsaApi::GetTimer().DelayExecute(callback, delay);
}

void CancelCallLater(uint64_t timer) {
    AsaApi::GetTimer().CancelTimer(timer);
}

} // namespace barterbox::host_calls
