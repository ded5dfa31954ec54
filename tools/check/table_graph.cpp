// Writing the exchange table in the DOT language; see table_graph.h.
#include "table_graph.h"

#include <set>

namespace barterbox::tools {

namespace {

// A DOT string literal: names come from the config and may hold quotes, backslashes or control
// characters. A newline is a line break of the label; any other control character (a NUL ends
// the text for Graphviz, and so the file) is shown as \xNN.
std::string Quoted(std::string_view text) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string quoted = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (c == '\n') {
            quoted += "\\n";
        } else if (byte < 0x20 || byte == 0x7F) {
            quoted += "\\\\x"; // a backslash shown as itself
            quoted += kHex[byte >> 4];
            quoted += kHex[byte & 0xF];
        } else {
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

constexpr const char* kRed = ", color=red, fontcolor=red";

// What the loops go through, which the graph draws in red: their exchanges, the Give entries they
// pay with (exchange, entry, class), and each of their exchanges' edges to the loops' classes.
struct LoopParts {
    std::set<size_t> Exchanges;
    std::set<std::tuple<size_t, size_t, size_t>> Payments;
    std::set<std::pair<size_t, size_t>> Receipts; // exchange, class
};

LoopParts PartsOfLoops(const std::vector<TradeLoop>& loops) {
    LoopParts parts;
    for (const TradeLoop& loop : loops) {
        std::set<size_t> classes;
        for (const auto& payment : loop.Paid) {
            parts.Payments.insert(payment);
            classes.insert(std::get<2>(payment));
        }
        for (const auto& [c, gain] : loop.Gains) {
            classes.insert(c);
        }
        for (const auto& [e, runs] : loop.Runs) {
            parts.Exchanges.insert(e);
            for (size_t c : classes) {
                parts.Receipts.emplace(e, c);
            }
        }
    }
    return parts;
}

// An edge from every class that each Give entry of exchange e takes, dashed when the entry
// matches several; `shown` gains the classes.
void AddGiveEdges(std::string& edges, const TradeExchange& exchange, size_t e,
                  const LoopParts& inLoops, std::set<size_t>& shown) {
    for (size_t g = 0; g < exchange.Give.size(); ++g) {
        const TradeGive& give = exchange.Give[g];
        for (size_t c : give.Classes) {
            shown.insert(c);
            std::string attributes = "label=" + Quoted(std::to_string(give.Quantity));
            attributes += give.Classes.size() > 1 ? ", style=dashed" : "";
            attributes += inLoops.Payments.contains({e, g, c}) ? kRed : "";
            Statement(edges, ClassNode(c) + " -> " + ExchangeNode(e), attributes);
        }
    }
}

// An edge from exchange e to the class of each Receive entry that has one; `shown` gains them.
void AddReceiveEdges(std::string& edges, const TradeExchange& exchange, size_t e,
                     const LoopParts& inLoops, std::set<size_t>& shown) {
    for (const TradeReceive& receive : exchange.Receive) {
        if (!receive.Class) {
            continue;
        }
        shown.insert(*receive.Class);
        std::string attributes = "label=" + Quoted(std::to_string(receive.Quantity));
        attributes += inLoops.Receipts.contains({e, *receive.Class}) ? kRed : "";
        Statement(edges, ExchangeNode(e) + " -> " + ClassNode(*receive.Class), attributes);
    }
}

// Classes are ellipses named by their class name, their path in the tooltip.
void AddClassNodes(std::string& graph, const TradeTable& table, const std::set<size_t>& shown) {
    for (size_t c : shown) {
        std::string attributes = "shape=ellipse, label=" + Quoted(table.Classes[c].Name);
        attributes += ", tooltip=" + Quoted(table.Classes[c].Path);
        Statement(graph, ClassNode(c), attributes);
    }
}

void AddExchangeNodes(std::string& graph, const TradeTable& table, const LoopParts& inLoops) {
    for (size_t e = 0; e < table.Exchanges.size(); ++e) {
        std::string attributes = "shape=box, style=\"rounded,bold\", label=";
        attributes += Quoted(table.Exchanges[e].Name);
        attributes += inLoops.Exchanges.contains(e) ? kRed : "";
        Statement(graph, ExchangeNode(e), attributes);
    }
}

} // namespace

std::string TableGraph(const TradeTable& table, const std::vector<TradeLoop>& loops) {
    const LoopParts inLoops = PartsOfLoops(loops);
    // The edges first: they tell which classes are shown.
    std::string edges;
    std::set<size_t> shownClasses;
    for (size_t e = 0; e < table.Exchanges.size(); ++e) {
        AddGiveEdges(edges, table.Exchanges[e], e, inLoops, shownClasses);
        AddReceiveEdges(edges, table.Exchanges[e], e, inLoops, shownClasses);
    }
    std::string graph = "digraph Barterbox {\n"
                        "  rankdir=LR;\n"
                        "  node [fontname=\"Helvetica\", fontsize=11];\n"
                        "  edge [fontname=\"Helvetica\", fontsize=10];\n";
    AddClassNodes(graph, table, shownClasses);
    AddExchangeNodes(graph, table, inLoops);
    return graph + edges + "}\n";
}

} // namespace barterbox::tools
