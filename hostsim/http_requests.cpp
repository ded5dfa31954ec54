// The host's asynchronous HTTP requests: one thread of the host's makes them in turn, and the
// game thread's tick hands each reply to its callback. The callbacks stay on the game thread's
// side of the lock: the request thread copies nothing of the plugin's but text.
#include <condition_variable>
#include <deque>
#include <exception>
#include <map>
#include <mutex>
#include <thread>

#include "host_clock.h"
#include "host_tick.h"
#include "http_client.h"
#include "http_requests.h"

namespace hostsim {
namespace {

struct Job {
    uint64_t Id = 0;
    HttpPost Post;
};

struct Finished {
    uint64_t Id = 0;
    AsaApi::HttpReply Reply;
};

struct RequestsState {
    std::mutex Mutex;
    std::condition_variable Wake;
    std::deque<Job> Jobs;
    std::deque<Finished> Done;
    // By request, in the order they were made; only the game thread runs or drops them.
    std::map<uint64_t, AsaApi::HttpCallback> Callbacks;
    uint64_t NextId = 1;
    std::chrono::milliseconds Timeout{10000};
    std::thread Worker;
    bool Stopping = false;
};

RequestsState& State() {
    static RequestsState state;
    return state;
}

void WorkThrough() {
    RequestsState& state = State();
    std::unique_lock lock(state.Mutex);
    for (;;) {
        state.Wake.wait(lock, [&] { return state.Stopping || !state.Jobs.empty(); });
        if (state.Jobs.empty()) {
            return;
        }
        Job job = std::move(state.Jobs.front());
        state.Jobs.pop_front();
        const std::chrono::milliseconds timeout = state.Timeout;
        lock.unlock();
        AsaApi::HttpReply reply = PostAndWait(job.Post, timeout);
        lock.lock();
        if (state.Callbacks.count(job.Id) != 0) {
            state.Done.push_back({job.Id, std::move(reply)});
        }
    }
}

class Requests final : public AsaApi::IRequests {
public:
    uint64_t CreatePostRequest(const std::string& url, const AsaApi::HttpCallback& callback,
                               const std::string& body, const std::string& contentType,
                               const std::vector<std::string>& headers) override {
        HostEntry inHost;
        RequestsState& state = State();
        try {
            std::lock_guard lock(state.Mutex);
            if (!state.Worker.joinable()) {
                state.Stopping = false;
                state.Worker = std::thread(&WorkThrough);
            }
            const uint64_t id = state.NextId++;
            state.Callbacks.emplace(id, callback);
            state.Jobs.push_back({id, {url, body, contentType, headers}});
            state.Wake.notify_one();
            return id;
        } catch (const std::exception&) {
            return 0; // no thread or no memory: the request is not made
        }
    }

    void CancelRequest(uint64_t request) override {
        HostEntry inHost;
        RequestsState& state = State();
        AsaApi::HttpCallback dropped;
        std::lock_guard lock(state.Mutex);
        if (const auto it = state.Callbacks.find(request); it != state.Callbacks.end()) {
            dropped = std::move(it->second);
            state.Callbacks.erase(it);
        }
        std::erase_if(state.Jobs, [&](const Job& job) { return job.Id == request; });
        std::erase_if(state.Done, [&](const Finished& done) { return done.Id == request; });
        dropped = nullptr; // the plugin's callable goes now, while its module is surely there
    }
};

} // namespace

// The replies that have come in, each to its callback, outside the lock: a callback may make
// or cancel requests.
void DeliverReplies() {
    RequestsState& state = State();
    std::deque<Finished> done;
    {
        std::lock_guard lock(state.Mutex);
        done.swap(state.Done);
    }
    for (Finished& finished : done) {
        AsaApi::HttpCallback callback;
        {
            std::lock_guard lock(state.Mutex);
            const auto it = state.Callbacks.find(finished.Id);
            if (it == state.Callbacks.end()) {
                continue; // cancelled by an earlier callback of this tick
            }
            callback = std::move(it->second);
            state.Callbacks.erase(it);
        }
        callback(finished.Reply);
    }
}

void SetRequestTimeout(std::chrono::milliseconds timeout) {
    std::lock_guard lock(State().Mutex);
    State().Timeout = timeout;
}

size_t PendingRequests() {
    std::lock_guard lock(State().Mutex);
    return State().Callbacks.size();
}

void ForgetRequests() {
    RequestsState& state = State();
    std::map<uint64_t, AsaApi::HttpCallback> dropped;
    std::lock_guard lock(state.Mutex);
    dropped.swap(state.Callbacks);
    state.Jobs.clear();
    state.Done.clear();
}

void StopRequestThread() {
    RequestsState& state = State();
    std::thread worker;
    {
        std::lock_guard lock(state.Mutex);
        state.Stopping = true;
        state.Jobs.clear();
        worker.swap(state.Worker);
    }
    state.Wake.notify_all();
    if (worker.joinable()) {
        worker.join();
    }
}

} // namespace hostsim

AsaApi::IRequests& AsaApi::GetRequests() {
    hostsim::HostEntry inHost;
    static hostsim::Requests requests;
    return requests;
}
