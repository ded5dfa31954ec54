// The texts in force: each message as rules.json's Messages gives it, or its default, filled with
// its arguments; the names players read for items; the chat words. The commands format every
// text they send through here, so that an administrator's translation reaches every reader.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <fmt/format.h>

#include "rules/message_table.h"
#include "rules/trade_rules.h"

namespace barterbox {

// The message's text in force, placeholders unfilled.
std::string_view MessageTemplate(MessageId id);

// The text in force filled with the arguments, in UTF-8. A replacement text has been checked
// against the default's placeholders when it was read; should the formatter still refuse it, the
// default is used, so that no text an administrator writes can stop a reply.
std::string FormatMessage(MessageId id, fmt::format_args arguments);

template <typename... Args> std::string MessageText(MessageId id, const Args&... arguments) {
    static_assert(sizeof...(Args) <= 5, "a message has at most five placeholders");
    return FormatMessage(id, fmt::make_format_args(arguments...));
}

// What DisplayNames calls an item text or class (letter case aside); nullopt without an entry.
std::optional<std::string_view> DisplayNameOf(std::string_view itemOrClass);

// The chat words in force: rules.json's Commands, or the defaults.
const ChatWords& ChatWordsInForce();

} // namespace barterbox
