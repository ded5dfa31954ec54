// The floating-point search and the exact proof of its basis; see proven_simplex.h.
//
// The search keeps a dense tableau of doubles, which for the loop search's programs (one row per
// item class, one column per way to run an exchange) is small. It starts from the columns that
// each stand alone in one row, so it needs no first phase, and picks the entering column of the
// largest gain, falling back to the lowest gaining column while pivots make no progress.
#include "proven_simplex.h"

#include <cmath>
#include <limits>

namespace barterbox::tools {

namespace {

constexpr size_t kNone = std::numeric_limits<size_t>::max();
constexpr double kTolerance = 1e-9;
constexpr double kPivotTolerance = 1e-7;
constexpr size_t kStalledPivots = 50;

struct FloatTableau {
    std::vector<std::vector<double>> Cells;
    std::vector<double> Right;
    std::vector<double> Reduced;
    std::vector<size_t> Basis;
};

// Programs like the loop search's start at a vertex where nearly every basic variable is zero,
// and pivots there tend to go nowhere; moving each row's right side by a different small amount
// lets them make progress. The proof is of the program as it is, so this changes no answer.
double Perturbation(size_t row) {
    return 1e-7 * (1.0 + static_cast<double>((row * 7919) % 101) / 101.0);
}

// The columns that stand alone in their rows, one per row, scaled so that the tableau starts at a
// feasible vertex; false when some row has none.
bool StartingTableau(const LinearProgram& program, FloatTableau& t) {
    const size_t m = program.Rows.size();
    std::vector<size_t> rowsOf(program.Variables, 0);
    for (const auto& row : program.Rows) {
        for (const auto& [variable, factor] : row) {
            rowsOf[variable] += factor.is_zero() ? 0 : 1;
        }
    }
    t.Cells.assign(m, std::vector<double>(program.Variables, 0.0));
    t.Right.resize(m);
    t.Basis.assign(m, kNone);
    for (size_t i = 0; i < m; ++i) {
        for (const auto& [variable, factor] : program.Rows[i]) {
            t.Cells[i][variable] += factor.convert_to<double>();
            const bool sameSign = program.Right[i].sign() * factor.sign() >= 0;
            if (t.Basis[i] == kNone && rowsOf[variable] == 1 && !factor.is_zero() && sameSign) {
                t.Basis[i] = variable;
            }
        }
        if (t.Basis[i] == kNone) {
            return false;
        }
        const double pivot = t.Cells[i][t.Basis[i]];
        for (double& cell : t.Cells[i]) {
            cell /= pivot;
        }
        t.Right[i] = program.Right[i].convert_to<double>() / pivot + Perturbation(i);
    }
    t.Reduced.assign(program.Variables, 0.0);
    for (size_t j = 0; j < program.Variables && j < program.Objective.size(); ++j) {
        t.Reduced[j] = program.Objective[j].convert_to<double>();
    }
    for (size_t i = 0; i < m; ++i) {
        const double basic = t.Reduced[t.Basis[i]];
        if (basic != 0.0) {
            for (size_t j = 0; j < program.Variables; ++j) {
                t.Reduced[j] -= basic * t.Cells[i][j];
            }
        }
    }
    return true;
}

// The tableau at `basis` computed afresh from the program, without the rounding that pivots
// gathered on the way there; false when the basis is singular or not feasible in doubles.
bool TableauAtBasis(const LinearProgram& program, const std::vector<size_t>& basis,
                    FloatTableau& t) {
    const size_t m = program.Rows.size();
    const size_t n = program.Variables;
    std::vector<std::vector<double>> cells(m, std::vector<double>(n + 1, 0.0));
    for (size_t i = 0; i < m; ++i) {
        for (const auto& [variable, factor] : program.Rows[i]) {
            cells[i][variable] += factor.convert_to<double>();
        }
        cells[i][n] = program.Right[i].convert_to<double>();
    }
    // Gauss-Jordan on the basis columns, largest pivot first, carried over every column.
    for (size_t k = 0; k < m; ++k) {
        size_t best = k;
        for (size_t i = k; i < m; ++i) {
            best = std::abs(cells[i][basis[k]]) > std::abs(cells[best][basis[k]]) ? i : best;
        }
        if (std::abs(cells[best][basis[k]]) < 1e-12) {
            return false;
        }
        std::swap(cells[best], cells[k]);
        const double pivot = cells[k][basis[k]];
        for (double& cell : cells[k]) {
            cell /= pivot;
        }
        for (size_t i = 0; i < m; ++i) {
            const double factor = cells[i][basis[k]];
            if (i == k || factor == 0.0) {
                continue;
            }
            for (size_t j = 0; j <= n; ++j) {
                cells[i][j] -= factor * cells[k][j];
            }
        }
    }
    t.Basis = basis;
    t.Right.assign(m, 0.0);
    for (size_t i = 0; i < m; ++i) {
        if (cells[i][n] < -kTolerance) {
            return false;
        }
        t.Right[i] = std::max(0.0, cells[i][n]) + Perturbation(i);
        cells[i].pop_back();
    }
    t.Cells = std::move(cells);
    t.Reduced.assign(n, 0.0);
    for (size_t j = 0; j < n && j < program.Objective.size(); ++j) {
        t.Reduced[j] = program.Objective[j].convert_to<double>();
    }
    for (size_t i = 0; i < m; ++i) {
        const double basic = t.Reduced[t.Basis[i]];
        for (size_t j = 0; basic != 0.0 && j < n; ++j) {
            t.Reduced[j] -= basic * t.Cells[i][j];
        }
    }
    for (size_t i = 0; i < m; ++i) {
        t.Reduced[t.Basis[i]] = 0.0;
    }
    return true;
}

void FloatPivot(FloatTableau& t, size_t row, size_t column) {
    std::vector<double>& pivotRow = t.Cells[row];
    const double pivot = pivotRow[column];
    std::vector<size_t> nonzero;
    for (size_t j = 0; j < pivotRow.size(); ++j) {
        if (pivotRow[j] != 0.0) {
            pivotRow[j] /= pivot;
            nonzero.push_back(j);
        }
    }
    t.Right[row] /= pivot;
    const auto eliminate = [&](std::vector<double>& cells, double* right) {
        const double factor = cells[column];
        if (factor == 0.0) {
            return;
        }
        for (size_t j : nonzero) {
            cells[j] -= factor * pivotRow[j];
            cells[j] = std::abs(cells[j]) < 1e-12 ? 0.0 : cells[j];
        }
        cells[column] = 0.0;
        if (right != nullptr) {
            *right = std::max(0.0, *right - factor * t.Right[row]);
        }
    };
    for (size_t i = 0; i < t.Cells.size(); ++i) {
        if (i != row) {
            eliminate(t.Cells[i], &t.Right[i]);
        }
    }
    eliminate(t.Reduced, nullptr);
    t.Basis[row] = column;
}

size_t EnteringColumn(const FloatTableau& t, bool lowest) {
    size_t enter = kNone;
    for (size_t j = 0; j < t.Reduced.size(); ++j) {
        if (t.Reduced[j] > kTolerance && (enter == kNone || t.Reduced[j] > t.Reduced[enter])) {
            enter = j;
            if (lowest) {
                break;
            }
        }
    }
    return enter;
}

size_t LeavingRow(const FloatTableau& t, size_t enter) {
    size_t leave = kNone;
    double best = 0.0;
    for (size_t i = 0; i < t.Cells.size(); ++i) {
        const double cell = t.Cells[i][enter];
        if (cell <= kPivotTolerance) {
            continue;
        }
        const double ratio = t.Right[i] / cell;
        if (leave == kNone || ratio < best || (ratio == best && t.Basis[i] < t.Basis[leave])) {
            leave = i;
            best = ratio;
        }
    }
    return leave;
}

// The basis the search ends on, or nothing when it cannot start, finds the program unbounded or
// runs past a generous number of pivots.
std::optional<std::vector<size_t>> FloatOptimalBasis(const LinearProgram& program,
                                                     const std::vector<size_t>* from) {
    FloatTableau t;
    if (from != nullptr ? !TableauAtBasis(program, *from, t) : !StartingTableau(program, t)) {
        return std::nullopt;
    }
    const size_t pivotLimit = 50 * (program.Rows.size() + program.Variables) + 1000;
    size_t stalled = 0;
    for (size_t pivots = 0; pivots < pivotLimit; ++pivots) {
        const size_t enter = EnteringColumn(t, stalled > kStalledPivots);
        if (enter == kNone) {
            return t.Basis;
        }
        const size_t leave = LeavingRow(t, enter);
        if (leave == kNone) {
            return std::nullopt;
        }
        stalled = t.Right[leave] > kTolerance ? 0 : stalled + 1;
        FloatPivot(t, leave, enter);
    }
    return std::nullopt;
}

// Solves the square system `matrix`·v = `right` exactly; nothing when the matrix is singular.
std::optional<std::vector<Rational>> SolveExactly(std::vector<std::vector<Rational>> matrix,
                                                  std::vector<Rational> right) {
    const size_t m = right.size();
    for (size_t k = 0; k < m; ++k) {
        size_t pivot = k;
        while (pivot < m && matrix[pivot][k].is_zero()) {
            ++pivot;
        }
        if (pivot == m) {
            return std::nullopt;
        }
        std::swap(matrix[pivot], matrix[k]);
        std::swap(right[pivot], right[k]);
        for (size_t i = 0; i < m; ++i) {
            if (i == k || matrix[i][k].is_zero()) {
                continue;
            }
            const Rational factor = matrix[i][k] / matrix[k][k];
            for (size_t j = k; j < m; ++j) {
                if (!matrix[k][j].is_zero()) {
                    matrix[i][j] -= factor * matrix[k][j];
                }
            }
            right[i] -= factor * right[k];
        }
    }
    for (size_t k = 0; k < m; ++k) {
        right[k] /= matrix[k][k];
    }
    return right;
}

Rational CostOf(const LinearProgram& program, size_t variable) {
    return variable < program.Objective.size() ? program.Objective[variable] : Rational(0);
}

// The exact vertex of `basis`, when it is feasible and no column gains there.
std::optional<LinearSolution> ProveBasis(const LinearProgram& program,
                                         const std::vector<size_t>& basis) {
    const size_t m = program.Rows.size();
    std::vector<size_t> position(program.Variables, kNone);
    for (size_t k = 0; k < m; ++k) {
        position[basis[k]] = k;
    }
    std::vector<std::vector<Rational>> matrix(m, std::vector<Rational>(m));
    std::vector<std::vector<Rational>> transposed(m, std::vector<Rational>(m));
    for (size_t i = 0; i < m; ++i) {
        for (const auto& [variable, factor] : program.Rows[i]) {
            if (position[variable] != kNone) {
                matrix[i][position[variable]] += factor;
                transposed[position[variable]][i] += factor;
            }
        }
    }
    std::vector<Rational> basicCosts(m);
    for (size_t k = 0; k < m; ++k) {
        basicCosts[k] = CostOf(program, basis[k]);
    }
    const auto values = SolveExactly(std::move(matrix), program.Right);
    const auto prices = values ? SolveExactly(std::move(transposed), basicCosts) : std::nullopt;
    if (!prices) {
        return std::nullopt;
    }
    LinearSolution solution;
    solution.Feasible = true;
    solution.Values.assign(program.Variables, Rational(0));
    for (size_t k = 0; k < m; ++k) {
        if ((*values)[k].sign() < 0) {
            return std::nullopt;
        }
        solution.Values[basis[k]] = (*values)[k];
        solution.Optimum += basicCosts[k] * (*values)[k];
    }
    std::vector<Rational> reduced(program.Variables);
    for (size_t j = 0; j < program.Variables; ++j) {
        reduced[j] = CostOf(program, j);
    }
    for (size_t i = 0; i < m; ++i) {
        if (!(*prices)[i].is_zero()) {
            for (const auto& [variable, factor] : program.Rows[i]) {
                reduced[variable] -= (*prices)[i] * factor;
            }
        }
    }
    for (const Rational& gain : reduced) {
        if (gain.sign() > 0) {
            return std::nullopt;
        }
    }
    return solution;
}

} // namespace

// A basis that fails its proof most often does so because rounding hid a column that gains; the
// search then goes on from that basis, its tableau computed afresh.
std::optional<LinearSolution> MaximiseFromAFloatGuess(const LinearProgram& program) {
    constexpr int kSearches = 4;
    std::optional<std::vector<size_t>> basis;
    for (int search = 0; search < kSearches; ++search) {
        basis = FloatOptimalBasis(program, basis ? &*basis : nullptr);
        if (!basis) {
            return std::nullopt;
        }
        if (std::optional<LinearSolution> proven = ProveBasis(program, *basis)) {
            return proven;
        }
    }
    return std::nullopt;
}

} // namespace barterbox::tools
