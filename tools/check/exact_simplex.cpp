// The two-phase simplex method on a dense tableau of exact rationals. Tables of trades are small
// and sparse, so each pivot touches only the rows and columns where it changes something.
#include "exact_simplex.h"

#include <limits>
#include <stdexcept>

namespace barterbox::tools {

namespace {

constexpr size_t kNone = std::numeric_limits<size_t>::max();

struct Tableau {
    std::vector<std::vector<Rational>> Cells; // one row per constraint
    std::vector<Rational> Right;
    std::vector<Rational> Reduced; // each column's gain in the objective per unit entered
    Rational Value;                // minus the objective's value at the current vertex
    std::vector<size_t> Basis;     // the column basic in each row
    size_t Entering = 0;           // columns below this may enter the basis
    Deadline StopAt;
    bool Stopped = false;
};

void Pivot(Tableau& t, size_t row, size_t column) {
    std::vector<Rational>& pivotRow = t.Cells[row];
    const Rational pivot = pivotRow[column];
    std::vector<size_t> nonzero;
    for (size_t j = 0; j < pivotRow.size(); ++j) {
        if (!pivotRow[j].is_zero()) {
            pivotRow[j] /= pivot;
            nonzero.push_back(j);
        }
    }
    t.Right[row] /= pivot;
    const auto eliminate = [&](std::vector<Rational>& cells, Rational& right) {
        if (cells[column].is_zero()) {
            return;
        }
        const Rational factor = cells[column];
        for (size_t j : nonzero) {
            cells[j] -= factor * pivotRow[j];
        }
        right -= factor * t.Right[row];
    };
    for (size_t i = 0; i < t.Cells.size(); ++i) {
        if (i != row) {
            eliminate(t.Cells[i], t.Right[i]);
        }
    }
    eliminate(t.Reduced, t.Value);
    t.Basis[row] = column;
}

// The entering column: the one of the largest gain, or, while pivots make no progress, the lowest
// that gains (Bland's rule, which cannot cycle). kNone when no column gains.
size_t EnteringColumn(const Tableau& t, bool lowest) {
    size_t enter = kNone;
    for (size_t j = 0; j < t.Entering; ++j) {
        if (t.Reduced[j].sign() > 0 && (enter == kNone || t.Reduced[j] > t.Reduced[enter])) {
            enter = j;
            if (lowest) {
                break;
            }
        }
    }
    return enter;
}

// Of the rows that bind first, the one with the lowest basic column leaves. Returns false when
// the objective grows without bound. A pivot that leaves the vertex where it is counts as
// stalled; after a few in a row Bland's rule takes over until one moves.
bool Optimise(Tableau& t) {
    constexpr size_t kStalledPivots = 50;
    size_t stalled = 0;
    for (size_t pivots = 0;; ++pivots) {
        if (t.StopAt && pivots % 8 == 0 && std::chrono::steady_clock::now() >= *t.StopAt) {
            t.Stopped = true;
            return true;
        }
        const size_t enter = EnteringColumn(t, stalled > kStalledPivots);
        if (enter == kNone) {
            return true;
        }
        size_t leave = kNone;
        Rational best;
        for (size_t i = 0; i < t.Cells.size(); ++i) {
            if (t.Cells[i][enter].sign() <= 0) {
                continue;
            }
            Rational ratio = t.Right[i] / t.Cells[i][enter];
            if (leave == kNone || ratio < best || (ratio == best && t.Basis[i] < t.Basis[leave])) {
                leave = i;
                best = std::move(ratio);
            }
        }
        if (leave == kNone) {
            return false;
        }
        stalled = best.is_zero() ? stalled + 1 : 0;
        Pivot(t, leave, enter);
    }
}

// Objective row and value for costs `cost` (one per column) at the current basis.
void PriceOut(Tableau& t, const std::vector<Rational>& cost) {
    t.Reduced = cost;
    t.Value = 0;
    for (size_t i = 0; i < t.Cells.size(); ++i) {
        const Rational& basic = cost[t.Basis[i]];
        if (basic.is_zero()) {
            continue;
        }
        for (size_t j = 0; j < t.Reduced.size(); ++j) {
            if (!t.Cells[i][j].is_zero()) {
                t.Reduced[j] -= basic * t.Cells[i][j];
            }
        }
        t.Value -= basic * t.Right[i];
    }
}

// The first phase's tableau: each row signed so that its right side is not negative, with an
// artificial column of its own (n + i) as its starting basic column. Only the program's own
// columns ever enter, so an artificial that leaves the basis never comes back.
Tableau FirstPhaseTableau(const LinearProgram& program) {
    const size_t n = program.Variables;
    const size_t m = program.Rows.size();
    Tableau t;
    t.Cells.assign(m, std::vector<Rational>(n + m));
    t.Right.resize(m);
    t.Basis.resize(m);
    for (size_t i = 0; i < m; ++i) {
        const bool flip = program.Right[i].sign() < 0;
        for (const auto& [variable, factor] : program.Rows[i]) {
            t.Cells[i][variable] += flip ? Rational(-factor) : factor;
        }
        t.Right[i] = flip ? Rational(-program.Right[i]) : program.Right[i];
        t.Cells[i][n + i] = 1;
        t.Basis[i] = n + i;
    }
    t.Entering = n;
    return t;
}

// The first phase: drives the artificials' sum down. The program is feasible when it reaches zero.
bool ReachFeasibleVertex(Tableau& t, size_t n) {
    std::vector<Rational> cost(n + t.Cells.size());
    for (size_t i = 0; i < t.Cells.size(); ++i) {
        cost[n + i] = -1;
    }
    PriceOut(t, cost);
    Optimise(t); // bounded: the artificials cannot go below zero
    return t.Value.is_zero();
}

// Artificials still basic stand at zero; swap them for any real column of their row. A row with
// none is a redundant constraint and keeps its artificial, which can never move.
void DriveOutArtificials(Tableau& t, size_t n) {
    for (size_t i = 0; i < t.Cells.size(); ++i) {
        if (t.Basis[i] < n) {
            continue;
        }
        for (size_t j = 0; j < n; ++j) {
            if (!t.Cells[i][j].is_zero()) {
                Pivot(t, i, j);
                break;
            }
        }
    }
}

// The second phase's costs: the program's objective on its own columns, none on the artificials.
std::vector<Rational> ObjectiveCosts(const LinearProgram& program, size_t columns) {
    std::vector<Rational> cost(columns, Rational(0));
    for (size_t j = 0; j < program.Variables && j < program.Objective.size(); ++j) {
        cost[j] = program.Objective[j];
    }
    return cost;
}

// The program's variables at the tableau's vertex: the basic ones at their right sides.
std::vector<Rational> VertexValues(const Tableau& t, size_t n) {
    std::vector<Rational> values(n, Rational(0));
    for (size_t i = 0; i < t.Cells.size(); ++i) {
        if (t.Basis[i] < n) {
            values[t.Basis[i]] = t.Right[i];
        }
    }
    return values;
}

} // namespace

LinearSolution Maximise(const LinearProgram& program, Deadline deadline) {
    const size_t n = program.Variables;
    Tableau t = FirstPhaseTableau(program);
    t.StopAt = deadline;
    LinearSolution solution;
    const bool feasible = ReachFeasibleVertex(t, n);
    if (t.Stopped || !feasible) {
        solution.Stopped = t.Stopped;
        return solution;
    }
    solution.Feasible = true;
    DriveOutArtificials(t, n);
    PriceOut(t, ObjectiveCosts(program, n + program.Rows.size()));
    if (!Optimise(t)) {
        throw std::logic_error("the linear program is unbounded");
    }
    if (t.Stopped) {
        return LinearSolution{false, Rational(0), {}, true};
    }
    solution.Optimum = -t.Value;
    solution.Values = VertexValues(t, n);
    return solution;
}

} // namespace barterbox::tools
