// A linear-programming solver over exact rationals, for questions whose answer must not hang on
// rounding: a gain of one item in a million is a gain, and breaking even is not.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include <boost/multiprecision/cpp_int.hpp>

namespace barterbox::tools {

using BigInteger = boost::multiprecision::cpp_int;
using Rational = boost::multiprecision::cpp_rational;

// Maximise Objective·v subject to Rows·v = Right and v >= 0. Rows are sparse: (variable, factor).
struct LinearProgram {
    size_t Variables = 0;
    std::vector<std::vector<std::pair<size_t, Rational>>> Rows;
    std::vector<Rational> Right;     // one per row
    std::vector<Rational> Objective; // one per variable
};

struct LinearSolution {
    bool Feasible = false;
    Rational Optimum;             // meaningful when feasible
    std::vector<Rational> Values; // one per variable, at an optimal vertex
    bool Stopped = false;         // the deadline came first: nothing else is meaningful
};

using Deadline = std::optional<std::chrono::steady_clock::time_point>;

// The simplex method in two phases, the column of the largest gain entering, with Bland's rule
// (which cannot cycle) whenever pivots stall. The program must be
// bounded when feasible; an unbounded one is reported as std::logic_error. Past the deadline, if
// there is one, it stops and says so.
LinearSolution Maximise(const LinearProgram& program, Deadline deadline = std::nullopt);

} // namespace barterbox::tools
