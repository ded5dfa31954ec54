// The host's asynchronous HTTP requests and timers, as the plugin's layers above see them. Every
// callback runs later on the game thread, from the host's tick, never inside the call that set
// it up; a cancelled one never runs, and the host keeps no copy of it once the cancel returns.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace barterbox::host_calls {

struct HttpAnswer {
    bool Answered = false; // false: refused, timed out or closed before an answer
    int Status = 0;
    std::string Body;
    std::vector<std::pair<std::string, std::string>> Headers;
};

// 0 when the host could not start the request (its callback then never runs).
uint64_t PostJson(const std::string& url, const std::string& body,
                  std::function<void(const HttpAnswer&)> onAnswer);
void CancelRequest(uint64_t request);

uint64_t CallLater(std::chrono::milliseconds delay, std::function<void()> callback);
void CancelCallLater(uint64_t timer);

} // namespace barterbox::host_calls
