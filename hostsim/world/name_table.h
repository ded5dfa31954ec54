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
    // As the engine names instances: the base text once in the table, the number in the FName,
    // so that numbered objects do not grow the table. Its text reads "base_(number - 1)".
    FName Numbered(std::u16string_view base, int32_t number);
    // The engine's "None" for an index it never gave out.
    std::u16string Text(const FName& name) const;

private:
    std::vector<std::u16string> texts_{u"None"};
    std::map<std::u16string, int32_t, std::less<>> indices_{{u"None", 0}};
};

} // namespace hostsim
