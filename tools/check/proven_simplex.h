// A fast road to an exact optimum: the simplex method in floating point finds a basis that is most
// likely optimal, and exact rationals then prove it (or show that rounding misled it).
#pragma once

#include <optional>

#include "exact_simplex.h"

namespace barterbox::tools {

// The exact optimum of `program` at the basis that a floating-point search ends on, when exact
// arithmetic confirms that this basis is feasible and optimal; nothing when it does not, or when
// the search cannot start (no row has a column of its own) or gives up. The program must be
// bounded. Whatever it returns is as exact as Maximise's answer.
std::optional<LinearSolution> MaximiseFromAFloatGuess(const LinearProgram& program);

} // namespace barterbox::tools
