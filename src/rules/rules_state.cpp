// The rules layer's record; see rules_state.h.
#include "rules_state.h"

namespace barterbox {

RulesState& TheRulesState() {
    static RulesState state;
    return state;
}

void ResetRulesState() {
    TheRulesState() = RulesState{};
}

} // namespace barterbox
