// The world's FName table; see name_table.h.
#include "name_table.h"

#include <string>

namespace hostsim {

FName NameTable::Intern(std::u16string_view text) {
    if (const auto it = indices_.find(text); it != indices_.end()) {
        return FName{it->second, 0};
    }
    const auto index = static_cast<int32_t>(texts_.size());
    texts_.emplace_back(text);
    indices_.emplace(std::u16string(text), index);
    return FName{index, 0};
}

FName NameTable::Numbered(std::u16string_view base, int32_t number) {
    FName name = Intern(base);
    name.Number = number;
    return name;
}

std::u16string NameTable::Text(const FName& name) const {
    if (name.ComparisonIndex < 0 || static_cast<size_t>(name.ComparisonIndex) >= texts_.size()) {
        return u"None";
    }
    std::u16string text = texts_[static_cast<size_t>(name.ComparisonIndex)];
    if (name.Number > 0) {
        text += u'_';
        for (char digit : std::to_string(int64_t{name.Number} - 1)) {
            text += static_cast<char16_t>(digit);
        }
    }
    return text;
}

} // namespace hostsim
