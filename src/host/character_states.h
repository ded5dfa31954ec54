// The states of a character in which nothing may be traded, by the words that rules.json's
// Refuse, the stand-in world's file and the simulated server's console all use.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace barterbox {

enum class CharacterState : uint8_t { Dead, Unconscious, Carried, Riding, Transferring, Noglin };

inline constexpr std::array<CharacterState, 6> kCharacterStates{
    CharacterState::Dead,   CharacterState::Unconscious,  CharacterState::Carried,
    CharacterState::Riding, CharacterState::Transferring, CharacterState::Noglin};

struct CharacterStateWords {
    std::string_view Word;   // in rules.json, the world file and the console
    std::string_view Reason; // what "You cannot trade while {}" says
};

constexpr CharacterStateWords WordsOf(CharacterState state) {
    switch (state) {
    case CharacterState::Dead:
        return {"dead", "dead"};
    case CharacterState::Unconscious:
        return {"unconscious", "unconscious"};
    case CharacterState::Carried:
        return {"carried", "carried"};
    case CharacterState::Riding:
        return {"riding", "riding"};
    case CharacterState::Transferring:
        return {"transferring", "transferring to another server"};
    case CharacterState::Noglin:
        break;
    }
    return {"noglin", "controlled by a Noglin"};
}

// The state a word names, exactly as written (lower case).
constexpr std::optional<CharacterState> StateNamed(std::string_view word) {
    for (const CharacterState state : kCharacterStates) {
        if (WordsOf(state).Word == word) {
            return state;
        }
    }
    return std::nullopt;
}

// A set of states, one bit each.
class CharacterStates {
public:
    constexpr CharacterStates() = default;
    static constexpr CharacterStates All() {
        CharacterStates all;
        for (const CharacterState state : kCharacterStates) {
            all.Add(state);
        }
        return all;
    }
    constexpr void Add(CharacterState state) { bits_ |= Bit(state); }
    constexpr void Remove(CharacterState state) { bits_ &= static_cast<uint8_t>(~Bit(state)); }
    constexpr bool Has(CharacterState state) const { return (bits_ & Bit(state)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr bool operator==(const CharacterStates&) const = default;

private:
    static constexpr uint8_t Bit(CharacterState state) {
        return static_cast<uint8_t>(1u << static_cast<unsigned>(state));
    }
    uint8_t bits_ = 0;
};

} // namespace barterbox
