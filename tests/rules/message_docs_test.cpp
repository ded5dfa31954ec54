// The message table against what administrators read about it: docs/messages.md lists every
// message with its default, placeholders and readers, the schema offers every name, and the
// German example translates every message with placeholders the plugin accepts.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "rules/message_table.h"

namespace {

using namespace barterbox;
using nlohmann::json;

std::string RepositoryFile(const std::string& path) {
    std::ifstream file(BARTERBOX_SOURCE_DIR "/" + path, std::ios::binary);
    EXPECT_TRUE(file) << path;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string ReaderName(MessageReader reader) {
    switch (reader) {
    case MessageReader::Players:
        return "Players";
    case MessageReader::Administrators:
        return "Administrators";
    case MessageReader::Operators:
        break;
    }
    return "Operators";
}

// A row of the document's message tables, as written: "| Name | `Default` | ... | Read by |".
std::string DocumentRow(const MessageDefinition& message) {
    std::string row = "| ";
    row.append(message.Name).append(" | `").append(message.Default).append("` | ");
    row.append(message.Placeholders.empty() ? "(none)" : message.Placeholders);
    return row + " | " + ReaderName(message.Reader) + " |";
}

// Every row of a table whose header names the messages' columns, in the document's order.
std::vector<std::string> MessageRows(const std::string& document) {
    std::vector<std::string> rows;
    std::istringstream lines(document);
    bool inTable = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("| Name | Default |")) {
            inTable = true;
        } else if (!line.starts_with("|")) {
            inTable = false;
        } else if (inTable && !line.starts_with("|---")) {
            rows.push_back(line);
        }
    }
    return rows;
}

TEST(MessageDocs, TheDocumentListsEveryMessageInTheTablesOrder) {
    const std::vector<std::string> rows = MessageRows(RepositoryFile("docs/messages.md"));
    for (std::size_t index = 0; index < std::max(rows.size(), kMessageCount); ++index) {
        const std::string written = index < rows.size() ? rows[index] : "(no row)";
        ASSERT_EQ(written, index < kMessageCount ? DocumentRow(kMessages[index]) : "(no message)")
            << "row " << index + 1;
    }
}

TEST(MessageDocs, TheSchemaOffersEveryMessageWithItsDefaultAndNoOther) {
    const json schema = json::parse(RepositoryFile("docs/rules.schema.json"));
    const json& messages = schema.at("properties").at("Messages");
    EXPECT_EQ(messages.at("additionalProperties"), false);
    std::set<std::string> offered;
    for (const auto& [name, property] : messages.at("properties").items()) {
        offered.insert(name);
        const std::optional<MessageId> id = MessageNamed(name);
        ASSERT_TRUE(id) << name << " is no message";
        EXPECT_EQ(property.at("default"), MessageOf(*id).Default) << name;
    }
    EXPECT_EQ(offered.size(), kMessageCount);
}

TEST(MessageDocs, TheGermanExampleTranslatesEveryMessageWithTheirPlaceholders) {
    const json rules = json::parse(RepositoryFile("examples/rules.de.json"));
    const json& messages = rules.at("Messages");
    for (const MessageDefinition& message : kMessages) {
        ASSERT_TRUE(messages.contains(message.Name)) << message.Name;
        const std::string& text = messages.at(message.Name).get_ref<const std::string&>();
        EXPECT_EQ(TemplateProblem(text, PlaceholderCount(message.Default)), std::nullopt)
            << message.Name;
    }
    EXPECT_EQ(messages.size(), kMessageCount);
}

} // namespace
