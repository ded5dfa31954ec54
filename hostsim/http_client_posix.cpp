// One HTTP POST through cpp-httplib; see http_client.h.
#include "http_client.h"

#include <httplib.h>

namespace hostsim {
namespace {

// "Name: value" as the pair httplib takes; a line without a colon is passed over.
httplib::Headers HeaderPairs(const std::vector<std::string>& lines) {
    httplib::Headers headers;
    for (const std::string& line : lines) {
        const std::string::size_type colon = line.find(':');
        if (colon == std::string::npos) {
            continue;
        }
        const std::string::size_type value = line.find_first_not_of(' ', colon + 1);
        headers.emplace(line.substr(0, colon),
                        value == std::string::npos ? std::string() : line.substr(value));
    }
    return headers;
}

} // namespace

AsaApi::HttpReply PlatformPost(const HttpPost& post, std::chrono::milliseconds timeout) {
    AsaApi::HttpReply reply;
    const std::string::size_type scheme = post.Url.find("://");
    if (scheme == std::string::npos) {
        return reply;
    }
    const std::string::size_type pathAt = post.Url.find('/', scheme + 3);
    const std::string origin = post.Url.substr(0, pathAt);
    const std::string path = pathAt == std::string::npos ? "/" : post.Url.substr(pathAt);
    httplib::Client client(origin);
    if (!client.is_valid()) {
        return reply;
    }
    client.set_connection_timeout(timeout);
    client.set_read_timeout(timeout);
    client.set_write_timeout(timeout);
    const httplib::Result result =
        client.Post(path.c_str(), HeaderPairs(post.Headers), post.Body, post.ContentType.c_str());
    if (!result) {
        return reply;
    }
    reply.Answered = true;
    reply.Status = result->status;
    reply.Body = result->body;
    for (const auto& [name, value] : result->headers) {
        reply.Headers.emplace_back(name, value);
    }
    return reply;
}

} // namespace hostsim
