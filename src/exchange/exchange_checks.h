// The checks an exchange makes before anything is taken, which the preview makes as well: the
// settings' limit on the multiplier, the character's state and the trade rules.
#pragma once

#include <cstdint>

#include "exchange_attempt.h"
#include "rules/player_groups.h"

namespace barterbox {

// The multiplier asked for, limited by AllowMultiplier and MaxMultiplier.
int32_t EffectiveMultiplier(int32_t requested);

// False, with the outcome saying which state, when the character is in one the exchange refuses.
bool PassesStateGuards(ExchangeAttempt& attempt);

// False, with the outcome saying which rule, when the trade rules refuse; a multiplier beyond
// what they leave is lowered to it. A run holds the runs it may make in the cluster's ledger
// (attempt.Hold); a preview holds nothing.
enum class RuleUse { Run, Preview };
bool PassesRules(ExchangeAttempt& attempt, const RuleSubject& subject, RuleUse use);

} // namespace barterbox
