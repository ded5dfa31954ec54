// The chat words in force (rules.json's Commands, or "/exchange", "/ex" and "/exinfo"): the ones
// the players' texts name, and the re-registration a Reload asks for.
//
// State: the hook through which the plugin re-registers the words, set at load; unset, a Reload
// changes no registration (as in tests that run the commands without the plugin's table).
// ResetChatWordsHook unsets it.
#pragma once

#include <string>

namespace barterbox {

// The word the listing names for running an exchange: the shortest exchange word in force (the
// first of equal length); empty when there is none.
std::string ListingChatWord();
// The first preview word in force; empty when there is none.
std::string PreviewChatWord();

using ChatWordsHook = void (*)();
void SetChatWordsHook(ChatWordsHook hook);
void ResetChatWordsHook();
// Registers the words now in force that are not registered and removes the ones no longer listed.
void ApplyChatWords();

} // namespace barterbox
