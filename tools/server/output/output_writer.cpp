// The output writer thread; see output_writer.h.
#include "output_writer.h"

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "standard_output.h"

namespace barterbox::server {
namespace {

// Far more than a burst of output, far less than a machine's memory.
constexpr size_t kQueueBytes = 8 * 1024 * 1024;

struct Writer {
    std::mutex Mutex;
    std::condition_variable Changed;
    std::deque<std::string> Queue;
    size_t QueuedBytes = 0;
    size_t Dropped = 0;
    bool Running = false;
    bool Busy = false;    // a batch is being written
    bool Holding = false; // a line is being edited at the terminal
    std::function<void()> Wake;
    // Lines written, counted outside the lock, to tell a slow reader from none.
    std::atomic<uint64_t> Written{0};
};

// Never destroyed: a writer stuck on an unread output may outlive the rest of the program.
Writer& TheWriter() {
    static Writer* writer = new Writer;
    return *writer;
}

// Straight to the descriptor, never through stdio: a writer blocked inside stdio would hold the
// stream's lock, and the exit's own flush of stdout would wait for it for ever.
void WriteOut(const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const std::ptrdiff_t wrote =
            WriteSomeToStandardOutput(text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return; // a closed or broken output: the line is lost, the server goes on
        }
        done += static_cast<size_t>(wrote);
    }
}

std::string DroppedLinesError(size_t dropped) {
    return "[server] error: " + std::to_string(dropped) +
           " output lines were dropped because the output was not read\n";
}

// Everything queued, emptying the queue; with the writer's lock held.
std::deque<std::string> TakeQueue(Writer& writer) {
    std::deque<std::string> batch;
    batch.swap(writer.Queue);
    writer.QueuedBytes = 0;
    if (writer.Dropped > 0) {
        batch.push_back(DroppedLinesError(writer.Dropped));
        writer.Dropped = 0;
    }
    return batch;
}

std::string Joined(const std::deque<std::string>& batch) {
    std::string text;
    for (const std::string& piece : batch) {
        text += piece;
    }
    return text;
}

void RunWriter() {
    Writer& writer = TheWriter();
    std::unique_lock lock(writer.Mutex);
    for (;;) {
        writer.Changed.wait(lock, [&] { return !writer.Queue.empty() && !writer.Holding; });
        const std::deque<std::string> batch = TakeQueue(writer);
        writer.Busy = true;
        lock.unlock();
        for (const std::string& text : batch) {
            WriteOut(text);
            ++writer.Written;
        }
        lock.lock();
        writer.Busy = false;
        writer.Changed.notify_all();
    }
}

} // namespace

void StartOutputWriter() {
    Writer& writer = TheWriter();
    std::lock_guard lock(writer.Mutex);
    if (!writer.Running) {
        writer.Running = true;
        std::thread(&RunWriter).detach();
    }
}

bool QueueOutput(std::string& text) {
    Writer& writer = TheWriter();
    std::lock_guard lock(writer.Mutex);
    if (!writer.Running) {
        return false;
    }
    if (writer.QueuedBytes + text.size() > kQueueBytes) {
        ++writer.Dropped;
        return true;
    }
    writer.QueuedBytes += text.size();
    writer.Queue.push_back(std::move(text));
    if (writer.Holding && writer.Wake) {
        writer.Wake();
    }
    writer.Changed.notify_all();
    return true;
}

std::string HoldOutput(std::function<void()> wake, std::chrono::milliseconds patience) {
    Writer& writer = TheWriter();
    std::unique_lock lock(writer.Mutex);
    if (!writer.Running) {
        return {};
    }
    // An output stopped by the terminal (Ctrl-S) must not hold the console for ever: past the
    // patience the prompt may share a line with output, which is all that is lost.
    writer.Changed.wait_for(lock, patience, [&] { return !writer.Busy; });
    writer.Holding = true;
    writer.Wake = std::move(wake);
    return Joined(TakeQueue(writer));
}

std::string TakeHeldOutput() {
    Writer& writer = TheWriter();
    std::lock_guard lock(writer.Mutex);
    return writer.Holding ? Joined(TakeQueue(writer)) : std::string();
}

void ReleaseHeldOutput() {
    Writer& writer = TheWriter();
    std::lock_guard lock(writer.Mutex);
    writer.Holding = false;
    writer.Wake = nullptr;
    writer.Changed.notify_all();
}

void FinishOutput(std::chrono::milliseconds patience) {
    Writer& writer = TheWriter();
    std::unique_lock lock(writer.Mutex);
    if (!writer.Running) {
        return;
    }
    writer.Holding = false; // a console still editing shows nothing more
    writer.Wake = nullptr;
    writer.Changed.notify_all();
    uint64_t written = writer.Written;
    auto lastProgress = std::chrono::steady_clock::now();
    while (!writer.Queue.empty() || writer.Busy) {
        writer.Changed.wait_for(lock, std::chrono::milliseconds(50));
        const auto now = std::chrono::steady_clock::now();
        if (writer.Written != written) {
            written = writer.Written;
            lastProgress = now;
        } else if (now - lastProgress >= patience) {
            break; // nobody reads: give up rather than hang the exit
        }
    }
    // Whatever comes after this point is written directly, as before the writer started.
    writer.Running = false;
}

} // namespace barterbox::server
