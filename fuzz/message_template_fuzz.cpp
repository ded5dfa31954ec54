// libFuzzer target for a text of rules.json's Messages. Properties, for every input: the reading
// takes the text for its message exactly when the template check accepts it; a text it takes
// formats with the default's arguments (texts and numbers alike) without the formatter ever
// throwing, and every argument it fills in appears in the result; a text it refuses is named
// among the messages not used.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>

#include <fmt/args.h>
#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include "rules/message_table.h"
#include "rules/rules_reading.h"

namespace {

void Require(bool holds) {
    if (!holds) {
        std::abort();
    }
}

// Formats the text with `count` arguments, alternating texts and numbers as the messages do.
std::string Formatted(const std::string& text, std::size_t count) {
    fmt::dynamic_format_arg_store<fmt::format_context> arguments;
    for (std::size_t index = 0; index < count; ++index) {
        if (index % 2 == 0) {
            arguments.push_back("<" + std::to_string(index) + ">");
        } else {
            arguments.push_back(int64_t{-9223372036854775807 - 1});
        }
    }
    try {
        return fmt::vformat(text, arguments);
    } catch (const fmt::format_error&) {
        Require(false);
    }
    return {};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    using namespace barterbox;
    const MessageDefinition& message = kMessages[data[0] % kMessageCount];
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    nlohmann::json root;
    root["Messages"][std::string(message.Name)] = text;
    const RulesReading reading = ReadTradeRules(root);

    const std::size_t count = PlaceholderCount(message.Default);
    const bool accepted = !TemplateProblem(text, count).has_value();
    Require(reading.Errors.empty() && reading.Unknown.empty());
    Require(reading.Rules.Messages.size() == (accepted ? 1u : 0u));
    Require(reading.UnusedMessages.size() == (accepted ? 0u : 1u));
    if (accepted) {
        const std::string result = Formatted(text, count);
        for (std::size_t index = 0; index < count; index += 2) {
            Require(result.find("<" + std::to_string(index) + ">") != std::string::npos);
        }
    }
    return 0;
}
