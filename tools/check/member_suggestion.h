// "Did you mean": the known member name closest to a misspelt one (Recieve, Descripton, settings),
// so that an administrator sees at once why the plugin ignored a member.
#pragma once

#include <initializer_list>
#include <optional>
#include <span>
#include <string_view>

namespace barterbox::tools {

// The known name nearest to `name`, ignoring the case of A to Z, when it is near enough to be a
// slip of the keyboard: at most two letters added, dropped, changed or swapped, and fewer than
// half of the known name's letters. Nothing otherwise.
std::optional<std::string_view> SuggestMember(std::string_view name,
                                              std::span<const std::string_view> known);
std::optional<std::string_view> SuggestMember(std::string_view name,
                                              std::initializer_list<std::string_view> known);

// The optimal string alignment distance (Levenshtein with swaps of neighbours) between the two
// texts, with A to Z compared without regard to case.
size_t EditDistance(std::string_view a, std::string_view b);

} // namespace barterbox::tools
