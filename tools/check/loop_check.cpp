// Loops as one linear program per search: x_e >= 0 runs of each exchange, y >= 0 the part of a Give
// entry paid with each class it matches, every class's net change >= 0, the runs summing to 1, and
// the summed net change maximised. A positive optimum is a loop.
#include "loop_check.h"

#include <algorithm>
#include <map>

#include "loop_day_limit.h"
#include "proven_simplex.h"

namespace barterbox::tools {

namespace {

// An exchange that may take part in a loop, with the classes each Give entry may still be paid
// with: only classes that some exchange left hands out, since nothing else can be paid for ever.
struct Candidate {
    size_t Exchange = 0;
    std::vector<std::vector<size_t>> Payable; // per Give entry
};

std::vector<Candidate> Candidates(const TradeTable& table, const std::vector<bool>& left) {
    std::vector<bool> alive(table.Exchanges.size());
    for (size_t e = 0; e < alive.size(); ++e) {
        alive[e] = left[e] && table.Exchanges[e].Completes;
    }
    std::vector<bool> produced;
    for (bool changed = true; changed;) {
        produced.assign(table.Classes.size(), false);
        for (size_t e = 0; e < alive.size(); ++e) {
            for (const TradeReceive& receive : table.Exchanges[e].Receive) {
                if (alive[e] && receive.Class && receive.Quantity > 0) {
                    produced[*receive.Class] = true;
                }
            }
        }
        changed = false;
        for (size_t e = 0; e < alive.size(); ++e) {
            const auto& give = table.Exchanges[e].Give;
            const bool payable = std::all_of(give.begin(), give.end(), [&](const TradeGive& g) {
                return std::any_of(g.Classes.begin(), g.Classes.end(),
                                   [&](size_t c) { return produced[c]; });
            });
            if (alive[e] && !payable) {
                alive[e] = false;
                changed = true;
            }
        }
    }
    std::vector<Candidate> candidates;
    for (size_t e = 0; e < alive.size(); ++e) {
        if (!alive[e]) {
            continue;
        }
        Candidate candidate{e, {}};
        for (const TradeGive& give : table.Exchanges[e].Give) {
            std::vector<size_t>& payable = candidate.Payable.emplace_back();
            std::copy_if(give.Classes.begin(), give.Classes.end(), std::back_inserter(payable),
                         [&](size_t c) { return produced[c]; });
        }
        candidates.push_back(std::move(candidate));
    }
    return candidates;
}

// A Give entry that matches several classes is paid with one of them or a mix. An exchange with
// few such entries gets a column for each way to pay them all, one class per entry (a mix is a
// blend of those); one with very many instead gets a run column and a variable for each class's
// part of each entry, with a row that makes the parts add up to the entry.
constexpr size_t kMostWaysToPay = 256;

struct RunColumn {
    size_t Candidate = 0;
    size_t Variable = 0;
    std::vector<size_t> Choice; // the class paying each Give entry; empty for a split run column
};

struct SplitPayment {
    size_t Candidate = 0;
    size_t Give = 0;
    size_t Class = 0;
    size_t Variable = 0;
};

struct LoopProgram {
    LinearProgram Program;
    std::vector<RunColumn> Runs;
    std::vector<SplitPayment> Splits;
    std::map<size_t, size_t> Gains; // class, its net change's variable
};

size_t WaysToPay(const Candidate& candidate) {
    size_t ways = 1;
    for (const std::vector<size_t>& payable : candidate.Payable) {
        ways *= payable.size();
        if (ways > kMostWaysToPay) {
            return ways;
        }
    }
    return ways;
}

// Every choice of one class per Give entry, the first entry's choice changing slowest.
std::vector<std::vector<size_t>> Choices(const Candidate& candidate) {
    std::vector<std::vector<size_t>> choices{{}};
    for (const std::vector<size_t>& payable : candidate.Payable) {
        std::vector<std::vector<size_t>> longer;
        for (const std::vector<size_t>& choice : choices) {
            for (size_t c : payable) {
                longer.push_back(choice);
                longer.back().push_back(c);
            }
        }
        choices = std::move(longer);
    }
    return choices;
}

class ProgramBuilder {
public:
    explicit ProgramBuilder(const TradeTable& table) : table_(table) {}

    void Add(const std::vector<Candidate>& candidates) {
        for (size_t k = 0; k < candidates.size(); ++k) {
            if (WaysToPay(candidates[k]) <= kMostWaysToPay) {
                for (std::vector<size_t>& choice : Choices(candidates[k])) {
                    AddRunColumn(candidates[k], k, std::move(choice));
                }
            } else {
                AddSplitRunColumn(candidates[k], k);
            }
        }
    }

    // Each class's net change is a slack of its own row, and the sum of them is what is
    // maximised. The runs sum to at most 1, with an idle part: running nothing is always
    // possible, so the program is feasible, and a positive optimum runs in full.
    LoopProgram Finish() {
        LinearProgram& lp = built_.Program;
        for (const auto& [c, row] : classRow_) {
            lp.Rows[row].emplace_back(variables_, -1);
            built_.Gains.emplace(c, variables_++);
        }
        std::vector<std::pair<size_t, Rational>> oneRun;
        for (const RunColumn& run : built_.Runs) {
            oneRun.emplace_back(run.Variable, 1);
        }
        oneRun.emplace_back(variables_++, 1);
        lp.Rows.push_back(std::move(oneRun));
        lp.Right.assign(lp.Rows.size(), Rational(0));
        lp.Right.back() = 1;
        lp.Variables = variables_;
        lp.Objective.assign(variables_, Rational(0));
        for (const auto& [c, v] : built_.Gains) {
            lp.Objective[v] = 1;
        }
        return std::move(built_);
    }

private:
    size_t RowOf(size_t c) {
        auto [row, added] = classRow_.try_emplace(c, built_.Program.Rows.size());
        if (added) {
            built_.Program.Rows.emplace_back();
        }
        return row->second;
    }

    void AddReceives(const TradeExchange& exchange, size_t variable) {
        for (const TradeReceive& receive : exchange.Receive) {
            if (receive.Class && receive.Quantity > 0) {
                built_.Program.Rows[RowOf(*receive.Class)].emplace_back(variable, receive.Quantity);
            }
        }
    }

    void AddRunColumn(const Candidate& candidate, size_t k, std::vector<size_t> choice) {
        const TradeExchange& exchange = table_.Exchanges[candidate.Exchange];
        const size_t x = variables_++;
        AddReceives(exchange, x);
        for (size_t g = 0; g < exchange.Give.size(); ++g) {
            built_.Program.Rows[RowOf(choice[g])].emplace_back(x, -exchange.Give[g].Quantity);
        }
        built_.Runs.push_back({k, x, std::move(choice)});
    }

    void AddSplitRunColumn(const Candidate& candidate, size_t k) {
        const TradeExchange& exchange = table_.Exchanges[candidate.Exchange];
        LinearProgram& lp = built_.Program;
        const size_t x = variables_++;
        AddReceives(exchange, x);
        for (size_t g = 0; g < exchange.Give.size(); ++g) {
            const Rational quantity = exchange.Give[g].Quantity;
            const std::vector<size_t>& payable = candidate.Payable[g];
            if (payable.size() == 1) {
                lp.Rows[RowOf(payable.front())].emplace_back(x, -quantity);
                continue;
            }
            std::vector<std::pair<size_t, Rational>> paidInFull{{x, -quantity}};
            for (size_t c : payable) {
                built_.Splits.push_back({k, g, c, variables_});
                lp.Rows[RowOf(c)].emplace_back(variables_, -1);
                paidInFull.emplace_back(variables_++, 1);
            }
            lp.Rows.push_back(std::move(paidInFull));
        }
        built_.Runs.push_back({k, x, {}});
    }

    const TradeTable& table_;
    LoopProgram built_;
    size_t variables_ = 0;
    std::map<size_t, size_t> classRow_;
};

LoopProgram BuildProgram(const TradeTable& table, const std::vector<Candidate>& candidates) {
    ProgramBuilder builder(table);
    builder.Add(candidates);
    return builder.Finish();
}

// The optimum in rationals, per exchange: its runs, the part of each split Give entry paid with
// each class, and each class's net change.
struct RationalLoop {
    std::map<size_t, Rational> Runs;                                   // candidate, runs
    std::map<std::tuple<size_t, size_t, size_t>, Rational> SplitParts; // candidate, entry, class
    std::map<size_t, Rational> Net;                                    // class, net change
};

RationalLoop ReadOptimum(const TradeTable& table, const std::vector<Candidate>& candidates,
                         const LoopProgram& built, const LinearSolution& solution) {
    RationalLoop optimum;
    for (const RunColumn& run : built.Runs) {
        const Rational& value = solution.Values[run.Variable];
        if (value.is_zero()) {
            continue;
        }
        optimum.Runs[run.Candidate] += value;
        const auto& give = table.Exchanges[candidates[run.Candidate].Exchange].Give;
        for (size_t g = 0; g < run.Choice.size(); ++g) {
            if (candidates[run.Candidate].Payable[g].size() > 1) {
                optimum.SplitParts[{run.Candidate, g, run.Choice[g]}] += value * give[g].Quantity;
            }
        }
    }
    for (const SplitPayment& split : built.Splits) {
        if (!solution.Values[split.Variable].is_zero()) {
            optimum.SplitParts[{split.Candidate, split.Give, split.Class}] +=
                solution.Values[split.Variable];
        }
    }
    for (const auto& [c, v] : built.Gains) {
        optimum.Net[c] = solution.Values[v];
    }
    return optimum;
}

// The smallest whole numbers in the proportion of `values`.
std::vector<BigInteger> WholeNumbers(const std::vector<Rational>& values) {
    BigInteger common = 1;
    for (const Rational& value : values) {
        if (!value.is_zero()) {
            common = boost::multiprecision::lcm(common, BigInteger(denominator(value)));
        }
    }
    std::vector<BigInteger> whole(values.size());
    BigInteger divisor = 0;
    for (size_t v = 0; v < whole.size(); ++v) {
        whole[v] = BigInteger(numerator(values[v])) * (common / BigInteger(denominator(values[v])));
        divisor = boost::multiprecision::gcd(divisor, whole[v]);
    }
    for (BigInteger& value : whole) {
        value /= divisor;
    }
    return whole;
}

// The solution in the smallest whole numbers: every run count and every split payment.
TradeLoop WholeLoop(const TradeTable& table, const std::vector<Candidate>& candidates,
                    const RationalLoop& optimum) {
    std::vector<Rational> values;
    for (const auto& [k, runs] : optimum.Runs) {
        values.push_back(runs);
    }
    for (const auto& [part, paid] : optimum.SplitParts) {
        values.push_back(paid);
    }
    for (const auto& [c, change] : optimum.Net) {
        values.push_back(change);
    }
    const std::vector<BigInteger> whole = WholeNumbers(values);
    TradeLoop loop;
    std::map<size_t, BigInteger> net;
    size_t next = 0;
    for (const auto& [k, runs] : optimum.Runs) {
        const BigInteger& count = whole[next++];
        const size_t e = candidates[k].Exchange;
        loop.Runs.emplace_back(e, count);
        const TradeExchange& exchange = table.Exchanges[e];
        for (const TradeReceive& receive : exchange.Receive) {
            if (receive.Class && receive.Quantity > 0) {
                net[*receive.Class] += count * receive.Quantity;
            }
        }
        for (size_t g = 0; g < exchange.Give.size(); ++g) {
            if (candidates[k].Payable[g].size() == 1) {
                const size_t c = candidates[k].Payable[g].front();
                net[c] -= count * exchange.Give[g].Quantity;
                loop.Paid.emplace(e, g, c);
            }
        }
    }
    for (const auto& [part, paid] : optimum.SplitParts) {
        const auto& [k, g, c] = part;
        net[c] -= whole[next++];
        loop.Paid.emplace(candidates[k].Exchange, g, c);
    }
    for (auto& [c, change] : net) {
        if (change > 0) {
            loop.Gains.emplace_back(c, std::move(change));
        }
    }
    return loop;
}

// The exact optimum, found fast when floating point finds it, else by exact pivots alone.
LinearSolution Solve(const LinearProgram& program, Deadline deadline) {
    if (std::optional<LinearSolution> proven = MaximiseFromAFloatGuess(program)) {
        return std::move(*proven);
    }
    return Maximise(program, deadline);
}

} // namespace

LoopSearch FindLoops(const TradeTable& table, Deadline deadline) {
    LoopSearch search;
    std::vector<bool> left(table.Exchanges.size(), true);
    for (;;) {
        const std::vector<Candidate> candidates = Candidates(table, left);
        if (candidates.empty()) {
            break;
        }
        if (deadline && std::chrono::steady_clock::now() >= *deadline) {
            search.Stopped = true;
            break;
        }
        const LoopProgram built = BuildProgram(table, candidates);
        const LinearSolution solution = Solve(built.Program, deadline);
        search.Stopped = solution.Stopped;
        if (!solution.Feasible || solution.Optimum.sign() <= 0) {
            break;
        }
        TradeLoop loop =
            WholeLoop(table, candidates, ReadOptimum(table, candidates, built, solution));
        for (const auto& [e, runs] : loop.Runs) {
            left[e] = false;
        }
        search.Loops.push_back(std::move(loop));
    }
    return search;
}

std::vector<Finding> LoopFindings(const std::string& fileName, const TradeTable& table,
                                  const std::vector<TradeLoop>& loops, const TradeRules* rules) {
    std::vector<Finding> findings;
    for (const TradeLoop& loop : loops) {
        std::string message = "loop: ";
        for (size_t i = 0; i < loop.Runs.size(); ++i) {
            message += (i == 0 ? "" : ", ") + table.Exchanges[loop.Runs[i].first].Name + " x" +
                       loop.Runs[i].second.str();
        }
        message += " gains ";
        for (size_t i = 0; i < loop.Gains.size(); ++i) {
            const char* joint = i == 0 ? "" : i + 1 == loop.Gains.size() ? " and " : ", ";
            message +=
                joint + loop.Gains[i].second.str() + " " + table.Classes[loop.Gains[i].first].Name;
        }
        message += " per round";
        if (rules != nullptr) {
            message += LoopDayLimitText(table, loop, *rules).value_or("");
        }
        const TradeExchange& first = table.Exchanges[loop.Runs.front().first];
        const MemberPath member{std::string("Exchanges"), first.Name};
        findings.push_back(
            {Severity::Error, fileName, first.Where, first.Name, member, std::move(message)});
    }
    return findings;
}

} // namespace barterbox::tools
