// "Did you mean" for unknown members; see member_suggestion.h.
#include "member_suggestion.h"

#include <algorithm>
#include <vector>

#include "host/ascii_case.h"

namespace barterbox::tools {
namespace {

constexpr char Folded(char c) {
    return AsciiLower(c);
}

} // namespace

size_t EditDistance(std::string_view a, std::string_view b) {
    // Three rows of the usual table are enough: a swap looks two rows back.
    std::vector<size_t> twoBack(b.size() + 1), previous(b.size() + 1), current(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) {
        previous[j] = j;
    }
    for (size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t change = Folded(a[i - 1]) == Folded(b[j - 1]) ? 0 : 1;
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + change});
            if (i > 1 && j > 1 && Folded(a[i - 1]) == Folded(b[j - 2]) &&
                Folded(a[i - 2]) == Folded(b[j - 1])) {
                current[j] = std::min(current[j], twoBack[j - 2] + 1);
            }
        }
        twoBack.swap(previous);
        previous.swap(current);
    }
    return previous[b.size()];
}

std::optional<std::string_view> SuggestMember(std::string_view name,
                                              std::span<const std::string_view> known) {
    std::optional<std::string_view> best;
    size_t bestDistance = 0;
    for (std::string_view candidate : known) {
        const size_t distance = EditDistance(name, candidate);
        if (distance <= 2 && distance * 2 < candidate.size() &&
            (!best || distance < bestDistance)) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

std::optional<std::string_view> SuggestMember(std::string_view name,
                                              std::initializer_list<std::string_view> known) {
    return SuggestMember(name, std::span(known.begin(), known.size()));
}

} // namespace barterbox::tools
