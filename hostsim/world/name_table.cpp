// The world's FName table; see name_table.h.
#include "name_table.h"

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

std::u16string NameTable::Text(const FName& name) const {
    if (name.ComparisonIndex < 0 || static_cast<size_t>(name.ComparisonIndex) >= texts_.size()) {
        return u"None";
    }
    return texts_[static_cast<size_t>(name.ComparisonIndex)];
}

} // namespace hostsim
