// One HTTP POST, whatever the platform; see http_client.h.
#include "http_client.h"

#include <exception>

namespace hostsim {

AsaApi::HttpReply PostAndWait(const HttpPost& post, std::chrono::milliseconds timeout) {
    try {
        return PlatformPost(post, timeout);
    } catch (const std::exception&) {
        return {}; // out of memory, or a URL the library refuses: no answer
    }
}

} // namespace hostsim
