// The guard at every way into the plugin (each command handler, the module's attach and detach,
// Plugin_Unload). An exception that left the plugin would unwind into the game server and take
// it down with every player on it; the guard keeps it in, says so in the log, and lets whoever
// asked hear what can still be said.
#pragma once

#include <exception>
#include <string_view>

#include "logger/plugin_logger.h"

namespace barterbox {

// Runs the work. Anything it throws is logged as one error line, "Barterbox: Internal error in
// ENTRY: WHAT", and then `answer` runs, guarded in its turn, so that nothing escapes either.
template <typename Work, typename Answer>
void RunGuarded(std::string_view entry, Work&& work, Answer&& answer) noexcept {
    try {
        work();
        return;
    } catch (const std::exception& error) {
        LogQuietly(spdlog::level::err, "Barterbox: Internal error in {}: {}", entry, error.what());
    } catch (...) {
        LogQuietly(spdlog::level::err, "Barterbox: Internal error in {}: {}", entry,
                   "an exception of unknown type");
    }
    try {
        answer();
    } catch (...) {
        // Whoever asked hears nothing more; the log has the fault.
    }
}

template <typename Work> void RunGuarded(std::string_view entry, Work&& work) noexcept {
    RunGuarded(entry, std::forward<Work>(work), [] {});
}

} // namespace barterbox
