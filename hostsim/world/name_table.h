// The world's FName table: each distinct text gets one index, which is what an FName holds, and
// FName.ToString turns the index back into text.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "host/engine_types.h"

namespace hostsim {

class NameTable {
public:
    FName Intern(std::u16string_view text);
    // The engine's "None" for an index it never gave out.
    std::u16string Text(const FName& name) const;

private:
    std::vector<std::u16string> texts_{u"None"};
    std::map<std::u16string, int32_t, std::less<>> indices_{{u"None", 0}};
};

} // namespace hostsim
