// Shapes and colours by kind of node: askable conditions blue ellipses, conclusions yellow
// boxes, "koniec" a red double octagon, quantities lilac notes, rules small grey-edged boxes
// with their number and CF, models hexagons with their operation, constraints green or
// orange components joined to their members by undirected dotted lines. A rule on a circle
// and the edges of the circle are red and thick; a rule that never fires and a conclusion
// never reached are grey and dashed; statements drawn only as inputs or outputs of a shown
// rule at the edge of a focused picture are faded.
#include "verify/graph_dot.h"

#include <cstdint>

namespace zuva {

namespace {

// Length of the UTF-8 sequence that starts at `p`, 0 when it is not one.
std::size_t utf8_length(std::string_view t, std::size_t p) {
    const auto c = static_cast<unsigned char>(t[p]);
    std::size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (len == 0 || p + len > t.size()) return 0;
    for (std::size_t k = 1; k < len; ++k)
        if ((static_cast<unsigned char>(t[p + k]) & 0xC0) != 0x80) return 0;
    return len;
}

const char* shape_of(const GraphNode& n) {
    switch (n.kind) {
        case GraphNode::Kind::Askable:
            return "shape=ellipse, style=filled, fillcolor=\"#dbeafe\"";
        case GraphNode::Kind::Conclusion:
            return "shape=box, style=\"rounded,filled\", fillcolor=\"#fef3c7\"";
        case GraphNode::Kind::End:
            return "shape=doubleoctagon, style=filled, fillcolor=\"#fecaca\"";
        case GraphNode::Kind::Quantity:
            return "shape=note, style=filled, fillcolor=\"#ede9fe\"";
        case GraphNode::Kind::Rule:
            return "shape=box, style=filled, fillcolor=\"#f3f4f6\", fontsize=9";
        case GraphNode::Kind::Model:
            return "shape=hexagon, style=filled, fillcolor=\"#e0e7ff\", fontsize=9";
        case GraphNode::Kind::Exact:
            return "shape=component, style=filled, fillcolor=\"#dcfce7\", fontsize=9";
        case GraphNode::Kind::Uncertain:
            return "shape=component, style=filled, fillcolor=\"#ffedd5\", fontsize=9";
    }
    return "shape=box";
}

std::string label_of(const GraphNode& n) {
    switch (n.kind) {
        case GraphNode::Kind::Rule:
            return "R " + std::to_string(n.number) + "\nCF " + n.detail;
        case GraphNode::Kind::Model:
            return "M " + std::to_string(n.number) + "\n" + n.detail;
        case GraphNode::Kind::Exact:
            return "OG " + std::to_string(n.number) + "\ndokładne";
        case GraphNode::Kind::Uncertain:
            return "ON " + std::to_string(n.number) + "\nniepewne";
        default:
            return n.name;
    }
}

}  // namespace

std::string dot_quote(std::string_view text) {
    std::string out = "\"";
    out.reserve(text.size() + 2);
    for (std::size_t p = 0; p < text.size();) {
        const char c = text[p];
        const std::size_t len = utf8_length(text, p);
        if (len == 0) {
            out += '?';
            ++p;
        } else if (len > 1) {
            out.append(text, p, len);
            p += len;
        } else {
            if (c == '"' || c == '\\') {
                out += '\\';
                out += c;
            } else if (c == '\n') {
                out += "\\n";  // a line break of a label the program makes
            } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                out += ' ';
            } else {
                out += c;
            }
            ++p;
        }
    }
    return out + "\"";
}

std::string graph_node_id(std::size_t i) {
    return "n" + std::to_string(i);
}

std::string graph_node_name(const GraphNode& n) {
    switch (n.kind) {
        case GraphNode::Kind::Rule:
            return "reguła " + std::to_string(n.number);
        case GraphNode::Kind::Model:
            return "model " + std::to_string(n.number);
        case GraphNode::Kind::Exact:
            return "ograniczenie dokładne " + std::to_string(n.number);
        case GraphNode::Kind::Uncertain:
            return "ograniczenie niepewne " + std::to_string(n.number);
        default:
            return n.name;
    }
}

std::string graph_dot(const GraphView& v, const std::string& title) {
    std::string caption = title;
    if (v.overview)
        caption += "\nprzegląd: " + std::to_string(v.nodes.size()) + " z " + std::to_string(v.conclusions) +
                   " wniosków (" + std::to_string(v.network_nodes) + " węzłów sieci)";
    else if (!v.focus.empty())
        caption += "\notoczenie: " + v.focus;
    std::string d = "digraph zuva {\n";
    d += "  graph [charset=\"UTF-8\", rankdir=LR, fontname=\"DejaVu Sans\", fontsize=12, labelloc=t, "
         "nodesep=0.25, ranksep=0.5, label=" +
         dot_quote(caption) + "];\n";
    d += "  node [fontname=\"DejaVu Sans\", fontsize=10, margin=\"0.08,0.04\"];\n";
    d += "  edge [fontname=\"DejaVu Sans\", fontsize=9, arrowsize=0.7];\n";
    for (std::size_t i = 0; i < v.nodes.size(); ++i) {
        const GraphNode& n = v.nodes[i];
        const std::string id = graph_node_id(i);
        d += "  " + id + " [id=" + dot_quote(id) + ", label=" + dot_quote(label_of(n)) +
             ", tooltip=" + dot_quote(graph_node_name(n)) + ", " + shape_of(n);
        if (n.circle) d += ", color=\"#dc2626\", penwidth=2.5, fontcolor=\"#b91c1c\"";
        if (n.never)
            d += ", style=\"filled,dashed\", fillcolor=\"#e5e7eb\", fontcolor=\"#6b7280\", color=\"#9ca3af\"";
        if (i < v.boundary.size() && v.boundary[i])
            d += ", color=\"#9ca3af\", fontcolor=\"#4b5563\", penwidth=0.6";
        if (!v.focus.empty() && graph_node_name(n) == v.focus) d += ", penwidth=3";
        d += "];\n";
    }
    for (const auto& e : v.edges) {
        d += "  " + graph_node_id(e.from) + " -> " + graph_node_id(e.to);
        std::string a;
        switch (e.kind) {
            case GraphEdge::Kind::Application:
                a = "style=dashed, label=\"gdy\"";
                break;
            case GraphEdge::Kind::Member:
                a = "dir=none, style=dotted, color=\"#16a34a\"";
                break;
            default:
                break;
        }
        if (e.circle) a += std::string(a.empty() ? "" : ", ") + "color=\"#dc2626\", penwidth=2";
        if (!a.empty()) d += " [" + a + "]";
        d += ";\n";
    }
    return d + "}\n";
}

}  // namespace zuva
