// Loops as one linear program per search: x_e >= 0 runs of each exchange, y >= 0 the part of a Give
// entry paid with each class it matches, every class's net change >= 0, the runs summing to 1, and
// the summed net change maximised. A positive optimum is a loop.
#include "loop_check.h"

#include <algorithm>
#include <map>

#include "loop_day_limit.h"

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

// A variable for the part of a Give entry paid with one class, when the entry matches several.
struct SplitPayment {
    size_t Candidate = 0;
    size_t Give = 0;
    size_t Class = 0;
    size_t Variable = 0;
};

struct LoopProgram {
    LinearProgram Program;
    std::vector<SplitPayment> Splits;
};

LoopProgram BuildProgram(const TradeTable& table, const std::vector<Candidate>& candidates) {
    LoopProgram built;
    LinearProgram& lp = built.Program;
    size_t variables = candidates.size(); // x first, one per candidate
    std::map<size_t, size_t> classRow;
    const auto rowOf = [&](size_t c) {
        auto [row, added] = classRow.try_emplace(c, lp.Rows.size());
        if (added) {
            lp.Rows.emplace_back();
        }
        return row->second;
    };
    for (size_t k = 0; k < candidates.size(); ++k) {
        const TradeExchange& exchange = table.Exchanges[candidates[k].Exchange];
        for (const TradeReceive& receive : exchange.Receive) {
            if (receive.Class && receive.Quantity > 0) {
                lp.Rows[rowOf(*receive.Class)].emplace_back(k, receive.Quantity);
            }
        }
        for (size_t g = 0; g < exchange.Give.size(); ++g) {
            const Rational quantity = exchange.Give[g].Quantity;
            const std::vector<size_t>& payable = candidates[k].Payable[g];
            if (payable.size() == 1) {
                lp.Rows[rowOf(payable.front())].emplace_back(k, -quantity);
                continue;
            }
            std::vector<std::pair<size_t, Rational>> paidInFull{{k, -quantity}};
            for (size_t c : payable) {
                built.Splits.push_back({k, g, c, variables});
                lp.Rows[rowOf(c)].emplace_back(variables, -1);
                paidInFull.emplace_back(variables++, 1);
            }
            lp.Rows.push_back(std::move(paidInFull));
        }
    }
    lp.Right.assign(lp.Rows.size(), Rational(0));
    // Each class's net change is a slack of its own row, and the sum of them is what is maximised.
    std::vector<size_t> gains;
    for (const auto& [c, row] : classRow) {
        lp.Rows[row].emplace_back(variables, -1);
        gains.push_back(variables++);
    }
    std::vector<std::pair<size_t, Rational>> oneRun;
    for (size_t k = 0; k < candidates.size(); ++k) {
        oneRun.emplace_back(k, 1);
    }
    lp.Rows.push_back(std::move(oneRun));
    lp.Right.push_back(1);
    lp.Variables = variables;
    lp.Objective.assign(variables, Rational(0));
    for (size_t v : gains) {
        lp.Objective[v] = 1;
    }
    return built;
}

// The solution in the smallest whole numbers: every run count and every split payment.
TradeLoop WholeLoop(const TradeTable& table, const std::vector<Candidate>& candidates,
                    const LoopProgram& built, const LinearSolution& solution) {
    BigInteger common = 1;
    for (const Rational& value : solution.Values) {
        if (!value.is_zero()) {
            common = boost::multiprecision::lcm(common, BigInteger(denominator(value)));
        }
    }
    std::vector<BigInteger> whole(solution.Values.size());
    BigInteger divisor = 0;
    for (size_t v = 0; v < whole.size(); ++v) {
        whole[v] = BigInteger(numerator(solution.Values[v])) *
                   (common / BigInteger(denominator(solution.Values[v])));
        divisor = boost::multiprecision::gcd(divisor, whole[v]);
    }
    for (BigInteger& value : whole) {
        value /= divisor;
    }

    TradeLoop loop;
    std::map<size_t, BigInteger> net;
    for (size_t k = 0; k < candidates.size(); ++k) {
        if (whole[k].is_zero()) {
            continue;
        }
        const size_t e = candidates[k].Exchange;
        loop.Runs.emplace_back(e, whole[k]);
        const TradeExchange& exchange = table.Exchanges[e];
        for (const TradeReceive& receive : exchange.Receive) {
            if (receive.Class && receive.Quantity > 0) {
                net[*receive.Class] += whole[k] * receive.Quantity;
            }
        }
        for (size_t g = 0; g < exchange.Give.size(); ++g) {
            if (candidates[k].Payable[g].size() == 1) {
                const size_t c = candidates[k].Payable[g].front();
                net[c] -= whole[k] * exchange.Give[g].Quantity;
                loop.Paid.emplace(e, g, c);
            }
        }
    }
    for (const SplitPayment& split : built.Splits) {
        if (!whole[split.Variable].is_zero()) {
            net[split.Class] -= whole[split.Variable];
            loop.Paid.emplace(candidates[split.Candidate].Exchange, split.Give, split.Class);
        }
    }
    for (auto& [c, change] : net) {
        if (change > 0) {
            loop.Gains.emplace_back(c, std::move(change));
        }
    }
    return loop;
}

} // namespace

std::vector<TradeLoop> FindLoops(const TradeTable& table) {
    std::vector<TradeLoop> loops;
    std::vector<bool> left(table.Exchanges.size(), true);
    for (;;) {
        const std::vector<Candidate> candidates = Candidates(table, left);
        if (candidates.empty()) {
            break;
        }
        const LoopProgram built = BuildProgram(table, candidates);
        const LinearSolution solution = Maximise(built.Program);
        if (!solution.Feasible || solution.Optimum.sign() <= 0) {
            break;
        }
        TradeLoop loop = WholeLoop(table, candidates, built, solution);
        for (const auto& [e, runs] : loop.Runs) {
            left[e] = false;
        }
        loops.push_back(std::move(loop));
    }
    return loops;
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
