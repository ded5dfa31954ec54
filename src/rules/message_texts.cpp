// The texts in force; see message_texts.h.
#include "message_texts.h"

#include "host/ascii_case.h"
#include "logger/plugin_logger.h"
#include "rules/rules_state.h"

namespace barterbox {

std::string_view MessageTemplate(MessageId id) {
    const std::optional<std::string>& text = TheRulesState().Messages[static_cast<std::size_t>(id)];
    return text ? std::string_view(*text) : MessageOf(id).Default;
}

std::string FormatMessage(MessageId id, fmt::format_args arguments) {
    try {
        return fmt::vformat(MessageTemplate(id), arguments);
    } catch (const fmt::format_error& error) {
        Log(spdlog::level::err, "Barterbox: Message {} not used: {}", MessageOf(id).Name,
            error.what());
    }
    return fmt::vformat(MessageOf(id).Default, arguments);
}

std::optional<std::string_view> DisplayNameOf(std::string_view itemOrClass) {
    const auto& names = TheRulesState().DisplayNames;
    if (names.empty()) {
        return std::nullopt;
    }
    const auto it = names.find(AsciiLowered(itemOrClass));
    return it != names.end() ? std::optional<std::string_view>(it->second) : std::nullopt;
}

const ChatWords& ChatWordsInForce() {
    static const ChatWords kDefaults;
    const RulesState& state = TheRulesState();
    return state.Rules ? state.Rules->Commands : kDefaults;
}

} // namespace barterbox
