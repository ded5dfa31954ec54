// The server's one output stream: every event (chat lines, coloured messages, RCON replies,
// inventories, the plugin's log lines, the server's own lines) as one whole line, in order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace barterbox::server {

// How a line is coloured on a terminal; ignored when colour is off.
enum class Tone { Plain, Server, Error, Warning, Chat, Green, Red, White, Rcon };

// Colour is used only when asked for (standard output is a terminal and --no-color is not given).
void SetColourOutput(bool enabled);

// Writes the line and a line end to standard output at once (through the writer thread, once
// it runs; see output_writer.h), under a lock, so that lines from
// the console and from the RCON thread never mix. Control characters other than tab are shown
// as \xNN: texts come from players, config files and network clients, and must not drive the
// terminal or break the one-line-per-event form.
void WriteLine(std::string_view line, Tone tone = Tone::Plain);

// "[server] TEXT" and "[server] error: TEXT".
void ServerLine(std::string_view text);
void ServerError(std::string_view text);

// The event lines, as the server prints them.
std::string ChatEventLine(std::string_view receiver, std::string_view sender,
                          std::string_view text);
std::string ColouredEventLine(std::string_view receiver, float r, float g, float b, float a,
                              std::string_view text);
std::string RconEventLine(std::string_view text);
std::string InventoryEventLine(std::string_view player, size_t index, std::string_view className,
                               int32_t quantity);
std::string EmptyInventoryLine(std::string_view player);

// "green", "red" or "white" for the three colours the plugin uses, otherwise "r,g,b,a".
std::string ColourName(float r, float g, float b, float a);
// The tone that shows a server message of that colour.
Tone ColourTone(float r, float g, float b, float a);

// The text with control characters other than tab written as \xNN, and the C1 controls
// (U+0080 to U+009F) as \uNNNN.
std::string ShowControls(std::string_view text);

} // namespace barterbox::server
