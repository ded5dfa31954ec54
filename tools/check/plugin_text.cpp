// Reading a text as the plugin does; see plugin_text.h.
#include "plugin_text.h"

#include "catalogue/config_reading.h"
#include "parse_error_cause.h"

namespace barterbox::tools {

namespace {

using nlohmann::json;

// A text that is no JSON the plugin reads: one error, for no exchange and no member.
Finding ParseFailure(const std::string& fileName, TextPosition where, std::string message) {
    return {Severity::Error, fileName, where, std::nullopt, {}, std::move(message)};
}

// The error placed and worded by what most likely caused it, when that can be told.
Finding ExplainedParseFailure(const std::string& fileName, std::string_view text,
                              const json::parse_error& error) {
    // The library counts the byte it stopped at from 1.
    const size_t stoppedAt = error.byte == 0 ? 0 : error.byte - 1;
    if (auto cause = ExplainParseError(text, stoppedAt, error.what())) {
        return ParseFailure(fileName, PositionOfOffset(text, cause->Offset),
                            cause->Words + "; " + error.what());
    }
    return ParseFailure(fileName, ParseErrorPosition(text), error.what());
}

} // namespace

PluginText ReadPluginText(const std::string& fileName, std::string_view text,
                          std::vector<Finding>& findings) {
    PluginText read;
    try {
        // The plugin reads both files with this one call.
        read.Document = ParseConfigText(text);
    } catch (const json::parse_error& error) {
        findings.push_back(ExplainedParseFailure(fileName, text, error));
        return read;
    } catch (const json::exception& error) {
        findings.push_back(ParseFailure(fileName, ParseErrorPosition(text), error.what()));
        return read;
    }
    read.Parsed = true;
    read.Locations = IndexJson(text);
    for (const RepeatedMember& repeat : read.Locations.Repeats) {
        std::string message = "given again at line ";
        message += std::to_string(repeat.Later.Line);
        message += ", column ";
        message += std::to_string(repeat.Later.Column);
        message += " in the same object; the plugin keeps only that later one";
        findings.push_back({Severity::Warning, fileName, repeat.First,
                            ExchangeOfMember(repeat.Member), repeat.Member, std::move(message)});
    }
    return read;
}

} // namespace barterbox::tools
