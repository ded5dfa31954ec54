// The chat words in force; see chat_words.h.
#include "chat_words.h"

#include "rules/message_texts.h"

namespace barterbox {
namespace {

ChatWordsHook& Hook() {
    static ChatWordsHook hook = nullptr;
    return hook;
}

} // namespace

std::string ListingChatWord() {
    const std::vector<std::string>& words = ChatWordsInForce().Exchange;
    const std::string* shortest = nullptr;
    for (const std::string& word : words) {
        if (shortest == nullptr || word.size() < shortest->size()) {
            shortest = &word;
        }
    }
    return shortest != nullptr ? *shortest : std::string();
}

std::string PreviewChatWord() {
    const std::vector<std::string>& words = ChatWordsInForce().Preview;
    return words.empty() ? std::string() : words.front();
}

void SetChatWordsHook(ChatWordsHook hook) {
    Hook() = hook;
}

void ResetChatWordsHook() {
    Hook() = nullptr;
}

void ApplyChatWords() {
    if (Hook() != nullptr) {
        Hook()();
    }
}

} // namespace barterbox
