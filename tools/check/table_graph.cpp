// Writing the exchange table in the DOT language; see table_graph.h.
#include "table_graph.h"

#include <set>

namespace barterbox::tools {

namespace {

// A DOT string literal: names come from the config and may hold quotes, backslashes or newlines.
std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (c == '\n') {
            quoted += "\\n";
        } else if (c != '\r') {
            quoted += c;
        }
    }
    return quoted + '"';
}

// Node identifiers are short and plain; names go into labels, where quoting keeps them whole.
std::string NodeId(char kind, size_t index) {
    std::string id(1, kind);
    id += std::to_string(index);
    return id;
}
std::string ClassNode(size_t c) {
    return NodeId('c', c);
}
std::string ExchangeNode(size_t e) {
    return NodeId('e', e);
}

// One statement of the graph: a node or an edge with its attributes, on a line of its own.
void Statement(std::string& graph, std::string_view subject, std::string_view attributes) {
    graph += "  ";
    graph += subject;
    graph += " [";
    graph += attributes;
    graph += "];\n";
}

} // namespace

std::string TableGraph(const TradeTable& table, const std::vector<TradeLoop>& loops) {
    std::set<size_t> loopExchanges;
    std::set<std::tuple<size_t, size_t, size_t>> loopPayments;
    std::set<std::pair<size_t, size_t>> loopReceipts; // exchange, class
    for (const TradeLoop& loop : loops) {
        std::set<size_t> classes;
        for (const auto& payment : loop.Paid) {
            loopPayments.insert(payment);
            classes.insert(std::get<2>(payment));
        }
        for (const auto& [c, gain] : loop.Gains) {
            classes.insert(c);
        }
        for (const auto& [e, runs] : loop.Runs) {
            loopExchanges.insert(e);
            for (size_t c : classes) {
                loopReceipts.emplace(e, c);
            }
        }
    }
    constexpr const char* kRed = ", color=red, fontcolor=red";

    std::string edges;
    std::set<size_t> shownClasses;
    for (size_t e = 0; e < table.Exchanges.size(); ++e) {
        const TradeExchange& exchange = table.Exchanges[e];
        for (size_t g = 0; g < exchange.Give.size(); ++g) {
            const TradeGive& give = exchange.Give[g];
            for (size_t c : give.Classes) {
                shownClasses.insert(c);
                std::string attributes = "label=" + Quoted(std::to_string(give.Quantity));
                attributes += give.Classes.size() > 1 ? ", style=dashed" : "";
                attributes += loopPayments.contains({e, g, c}) ? kRed : "";
                Statement(edges, ClassNode(c) + " -> " + ExchangeNode(e), attributes);
            }
        }
        for (const TradeReceive& receive : exchange.Receive) {
            if (!receive.Class) {
                continue;
            }
            shownClasses.insert(*receive.Class);
            std::string attributes = "label=" + Quoted(std::to_string(receive.Quantity));
            attributes += loopReceipts.contains({e, *receive.Class}) ? kRed : "";
            Statement(edges, ExchangeNode(e) + " -> " + ClassNode(*receive.Class), attributes);
        }
    }

    std::string graph = "digraph Barterbox {\n"
                        "  rankdir=LR;\n"
                        "  node [fontname=\"Helvetica\", fontsize=11];\n"
                        "  edge [fontname=\"Helvetica\", fontsize=10];\n";
    for (size_t c : shownClasses) {
        std::string attributes = "shape=ellipse, label=" + Quoted(table.Classes[c].Name);
        attributes += ", tooltip=" + Quoted(table.Classes[c].Path);
        Statement(graph, ClassNode(c), attributes);
    }
    for (size_t e = 0; e < table.Exchanges.size(); ++e) {
        std::string attributes = "shape=box, style=\"rounded,bold\", label=";
        attributes += Quoted(table.Exchanges[e].Name);
        attributes += loopExchanges.contains(e) ? kRed : "";
        Statement(graph, ExchangeNode(e), attributes);
    }
    return graph + edges + "}\n";
}

} // namespace barterbox::tools
