// Tab completion for the console: which words may stand where the operator is typing, from the
// console's own words, the players online and their groups, the registered commands and the
// exchanges.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace barterbox::server {

struct CompletionSources {
    std::vector<std::string> Players;
    std::vector<std::string> EosIds;
    std::vector<std::string> Groups;      // the permission groups players are in, besides Default
    std::vector<std::string> ItemClasses; // class names, as `give` and Give items take them
    std::vector<std::string> ItemBlueprints; // Blueprint'...' forms, as Receive items take them
    std::vector<std::string> ChatCommands;
    std::vector<std::string> ConsoleCommands;
    std::vector<std::string> RconCommands;
    std::vector<std::string> Exchanges;
};

// The candidates for the word that ends `before` (the line up to the cursor), sorted and without
// repeats: those that start with what has been typed of it, regardless of the case of A to Z, as
// the host matches command words. A blueprint also fits when its item's name starts so, so that
// PrimalItemResource_Cr completes to the crystal's whole blueprint. Inside Barterbox.Add the Give
// class names end in ":", where the quantity follows; the Receive blueprints end in their closing
// quote, so that the ":QTY" an operator types after one never doubles the colon.
std::vector<std::string> CompletionCandidates(std::string_view before,
                                              const CompletionSources& sources);

// Whether the word that ends `before` is an item inside Barterbox.Add, which its quantity follows
// without a space: a completed item takes no space after it.
bool QuantityFollows(std::string_view before);

// The words as typed so far: the last one is the word being completed (empty after a space). A
// space inside double quotes stays in its word, as Barterbox.Add reads "Iron Deal".
std::vector<std::string> WordsBeforeCursor(std::string_view before);

// Whether `word` starts with `typed`, regardless of the case of A to Z.
bool StartsWithIgnoringCase(std::string_view word, std::string_view typed);

// The blueprint form Blueprint'.../X.X' of an item class, given its path (the class path
// .../X.X_C, or the blueprint path .../X.X itself).
std::string BlueprintFormOf(std::string_view path);

// The exchange names of a config.json, as written; none when it cannot be read.
std::vector<std::string> ExchangeNamesInConfig(const std::string& configFile);

} // namespace barterbox::server
