// The log sink that the server puts into the host's sink list before it loads the plugin, so that
// the plugin's log lines reach the server's output stream in order with every other event.
#pragma once

#include <spdlog/sinks/sink.h>

namespace barterbox::server {

// A sink that writes each line as the logger formatted it, coloured by level on a terminal.
spdlog::sink_ptr MakeConsoleLogSink();

} // namespace barterbox::server
