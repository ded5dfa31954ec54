// A webhook on loopback that records every post and answers as a script says: 204, a status with
// a body and headers, a hang (no answer until it stops) or a closed connection. The simulated
// server's `webhook` console command records posts with it; tests make it misbehave.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace barterbox::server {

struct WebhookAnswer {
    enum class Kind { Status, Hang, Close };
    Kind How = Kind::Status;
    int Status = 204;
    std::string Body;
    std::vector<std::pair<std::string, std::string>> Headers;
};

struct WebhookPost {
    std::string Path;
    std::string ContentType;
    std::string Body;
    WebhookAnswer::Kind AnsweredHow = WebhookAnswer::Kind::Status;
    int Status = 0;
};

class LoopbackWebhook {
public:
    // The answers in turn, the last one repeated; none: 204 to every post.
    explicit LoopbackWebhook(std::vector<WebhookAnswer> script = {});
    ~LoopbackWebhook();
    LoopbackWebhook(const LoopbackWebhook&) = delete;
    LoopbackWebhook& operator=(const LoopbackWebhook&) = delete;

    // Listens on 127.0.0.1, on a port of the system's choosing; false with the reason.
    bool Start(std::string& error);
    void Stop();
    // http://127.0.0.1:PORT/api/webhooks/1/loopback
    std::string Url() const;

    std::vector<WebhookPost> Posts();
    // Whether `count` posts have come within the time.
    bool WaitForPosts(size_t count, std::chrono::milliseconds within);

private:
    struct Listener;
    void Serve();
    WebhookAnswer NextAnswer();

    std::vector<WebhookAnswer> script_;
    size_t answered_ = 0;
    std::unique_ptr<Listener> listener_;
    std::thread thread_;
    uint16_t port_ = 0;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<WebhookPost> posts_;
    bool stopping_ = false;
};

} // namespace barterbox::server
