// Tab completion for the console: which words may stand where the operator is typing, from the
// console's own words, the players online, the registered commands and the exchanges.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace barterbox::server {

struct CompletionSources {
    std::vector<std::string> Players;
    std::vector<std::string> EosIds;
    std::vector<std::string> ItemClasses;
    std::vector<std::string> ChatCommands;
    std::vector<std::string> ConsoleCommands;
    std::vector<std::string> RconCommands;
    std::vector<std::string> Exchanges;
};

// The candidates for the word that ends `before` (the line up to the cursor), those that start
// with what has been typed of it, sorted and without repeats.
std::vector<std::string> CompletionCandidates(std::string_view before,
                                              const CompletionSources& sources);

// The words as typed so far: the last one is the word being completed (empty after a space).
std::vector<std::string> WordsBeforeCursor(std::string_view before);

// The exchange names of a config.json, as written; none when it cannot be read.
std::vector<std::string> ExchangeNamesInConfig(const std::string& configFile);

} // namespace barterbox::server
