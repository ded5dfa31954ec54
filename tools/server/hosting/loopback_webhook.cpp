// The loopback webhook; see loopback_webhook.h. One connection at a time, read whole, answered
// and closed (a hung one is kept open until Stop).
#include "loopback_webhook.h"

#include <asio/connect.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/read.hpp>
#include <asio/read_until.hpp>
#include <asio/streambuf.hpp>
#include <asio/write.hpp>

#include "host/ascii_case.h"

namespace barterbox::server {

using asio::ip::tcp;

struct LoopbackWebhook::Listener {
    asio::io_context Context;
    tcp::acceptor Acceptor{Context};
    std::vector<tcp::socket> Hung;
};

namespace {

struct Request {
    std::string Path;
    std::string ContentType;
    std::string Body;
};

// The request line, the headers and a Content-Length body; false when the client went away.
bool ReadRequest(tcp::socket& socket, Request& request) {
    asio::streambuf buffer;
    asio::error_code error;
    const size_t headEnd = asio::read_until(socket, buffer, "\r\n\r\n", error);
    if (error) {
        return false;
    }
    std::string head(asio::buffers_begin(buffer.data()),
                     asio::buffers_begin(buffer.data()) + static_cast<std::ptrdiff_t>(headEnd));
    buffer.consume(headEnd);
    const size_t pathStart = head.find(' ') + 1;
    request.Path = head.substr(pathStart, head.find(' ', pathStart) - pathStart);
    size_t length = 0;
    for (size_t at = head.find("\r\n"); at != std::string::npos && at + 2 < head.size();) {
        const size_t end = head.find("\r\n", at + 2);
        const std::string line = head.substr(at + 2, end - at - 2);
        const size_t colon = line.find(':');
        const std::string name = line.substr(0, colon);
        const std::string value =
            colon == std::string::npos ? "" : line.substr(line.find_first_not_of(' ', colon + 1));
        if (EqualIgnoringAsciiCase(name, "Content-Length")) {
            length = std::stoul(value);
        } else if (EqualIgnoringAsciiCase(name, "Content-Type")) {
            request.ContentType = value;
        }
        at = end;
    }
    std::string body(asio::buffers_begin(buffer.data()), asio::buffers_end(buffer.data()));
    if (body.size() < length) {
        std::string rest(length - body.size(), '\0');
        asio::read(socket, asio::buffer(rest), error);
        if (error) {
            return false;
        }
        body += rest;
    }
    request.Body = body.substr(0, length);
    return true;
}

std::string Response(const WebhookAnswer& answer) {
    std::string text = "HTTP/1.1 " + std::to_string(answer.Status) + " Webhook\r\n";
    for (const auto& [name, value] : answer.Headers) {
        text += name + ": " + value + "\r\n";
    }
    if (!answer.Body.empty()) {
        text += "Content-Type: application/json\r\n";
    }
    text +=
        "Content-Length: " + std::to_string(answer.Body.size()) + "\r\nConnection: close\r\n\r\n";
    return text + answer.Body;
}

} // namespace

LoopbackWebhook::LoopbackWebhook(std::vector<WebhookAnswer> script)
    : script_(std::move(script)), listener_(std::make_unique<Listener>()) {}

LoopbackWebhook::~LoopbackWebhook() {
    Stop();
}

bool LoopbackWebhook::Start(std::string& error) {
    asio::error_code code;
    tcp::acceptor& acceptor = listener_->Acceptor;
    const tcp::endpoint endpoint(asio::ip::address_v4::loopback(), 0);
    if (acceptor.open(endpoint.protocol(), code) || acceptor.bind(endpoint, code) ||
        acceptor.listen(asio::socket_base::max_listen_connections, code)) {
        error = code.message();
        return false;
    }
    port_ = acceptor.local_endpoint().port();
    thread_ = std::thread([this] { Serve(); });
    return true;
}

void LoopbackWebhook::Stop() {
    if (!thread_.joinable()) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    // A connection of our own wakes the accept, which then sees that it is to stop.
    asio::io_context context;
    tcp::socket waker(context);
    asio::error_code ignored;
    waker.connect(tcp::endpoint(asio::ip::address_v4::loopback(), port_), ignored);
    thread_.join();
}

std::string LoopbackWebhook::Url() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/api/webhooks/1/loopback";
}

std::vector<WebhookPost> LoopbackWebhook::Posts() {
    std::lock_guard lock(mutex_);
    return posts_;
}

bool LoopbackWebhook::WaitForPosts(size_t count, std::chrono::milliseconds within) {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, within, [&] { return posts_.size() >= count; });
}

WebhookAnswer LoopbackWebhook::NextAnswer() {
    if (script_.empty()) {
        return {};
    }
    return script_[std::min(answered_++, script_.size() - 1)];
}

void LoopbackWebhook::Serve() {
    for (;;) {
        tcp::socket socket(listener_->Context);
        asio::error_code error;
        listener_->Acceptor.accept(socket, error);
        {
            std::lock_guard lock(mutex_);
            if (stopping_) {
                break;
            }
        }
        Request request;
        if (error || !ReadRequest(socket, request)) {
            continue;
        }
        const WebhookAnswer answer = NextAnswer();
        if (answer.How == WebhookAnswer::Kind::Status) {
            asio::write(socket, asio::buffer(Response(answer)), error);
        } else if (answer.How == WebhookAnswer::Kind::Hang) {
            listener_->Hung.push_back(std::move(socket));
        }
        std::lock_guard lock(mutex_);
        posts_.push_back({request.Path, request.ContentType, request.Body, answer.How,
                          answer.How == WebhookAnswer::Kind::Status ? answer.Status : 0});
        arrived_.notify_all();
    }
    listener_->Hung.clear();
    listener_->Acceptor.close();
}

} // namespace barterbox::server
