// Pictures of a knowledge base through the session API: the network of an opened base
// (made from its loaded tables each time it is asked for), and the HOW tree of a finished
// consultation.
#include <filesystem>
#include <regex>

#include "api/consultation_impl.h"
#include "text/i18n.h"
#include "verify/graph_dot.h"
#include "verify/knowledge_graph.h"
#include "zuva/zuva.h"

namespace zuva::api {

Graph KnowledgeBase::graph_view(const GraphOptions& options) const {
    const std::filesystem::path rule(impl_->full);
    const KnowledgeGraph g = build_knowledge_graph(impl_->loaded->s.kb, rule.parent_path().string());
    zuva::GraphOptions o;
    o.focus = options.focus;
    o.depth = options.depth;
    o.up = options.up;
    o.down = options.down;
    o.overview_from = options.overview_from;
    GraphView v;
    try {
        v = select_view(g, o);
    } catch (const GraphFocusError& e) {
        throw Error(e.what());
    }
    Graph out;
    out.dot = graph_dot(v, rule.filename().string());
    for (const auto& n : v.nodes)
        out.names.push_back(graph_node_name(n));
    out.overview = v.overview;
    out.network_nodes = v.network_nodes;
    return out;
}

namespace {

// A line of the tree in at most two lines of a label: what it is about, then how it got it
// (cut at about 60 characters, at a space).
std::string how_label(const std::string& text) {
    const std::size_t colon = text.find(": ");
    if (colon == std::string::npos) return text;
    std::string rest = text.substr(colon + 2);
    if (rest.size() > 64) {
        std::size_t cut = rest.rfind(' ', 60);
        rest = rest.substr(0, cut == std::string::npos || cut < 20 ? 60 : cut) + " …";
    }
    return text.substr(0, colon) + "\n" + rest;
}

// The CF or value a line gives, as the edge to the line above shows it. The lines come in the
// language of the run, so their words are looked for as written and as shown.
std::string how_edge(const std::string& text) {
    static const std::regex cf(R"(\(CF = (-?[0-9][0-9.e+-]*)\))");
    static const std::regex value(R"(^[^:(]* = (-?[0-9][0-9.e+-]*):)");
    std::smatch m;
    if (std::regex_search(text, m, cf)) return "CF " + m[1].str();
    for (const char* word : {"wkład ", tr("wkład ")}) {
        const std::regex share(std::string(word) + "(-?[0-9][0-9.e+-]*)");
        if (std::regex_search(text, m, share)) return tr("wkład ") + m[1].str();
    }
    if (std::regex_search(text, m, value)) return "= " + m[1].str();
    return "";
}

bool has_text(const std::string& text, const char* polish) {
    return text.find(polish) != std::string::npos || text.find(tr(polish)) != std::string::npos;
}

const char* how_shape(const std::string& text) {
    if (text.rfind("reguła ", 0) == 0 || text.rfind(tr("reguła "), 0) == 0)
        return "shape=box, style=filled, fillcolor=\"#f3f4f6\"";
    if (text.find(": model ") != std::string::npos || text.find("modelu ") != std::string::npos ||
        has_text(text, N_("wynik modelu arytmetycznego ")) ||
        has_text(text, N_("model relacyjny podstawowy ")) ||
        has_text(text, N_("model relacyjny rozwinięty ")))
        return "shape=hexagon, style=filled, fillcolor=\"#e0e7ff\"";
    if (has_text(text, N_("odpowiedź użytkownika")))
        return "shape=ellipse, style=filled, fillcolor=\"#dbeafe\"";
    return "shape=box, style=\"rounded,filled\", fillcolor=\"#fef3c7\"";
}

void how_nodes(const HowNode& n, std::size_t parent, std::size_t& next, std::string& d) {
    const std::size_t id = next++;
    const std::string name = graph_node_id(id);
    d += "  " + name + " [id=" + dot_quote(name) + ", label=" + dot_quote(how_label(n.text)) +
         ", tooltip=" + dot_quote(n.text) + ", " + how_shape(n.text) + "];\n";
    if (parent != static_cast<std::size_t>(-1)) {
        d += "  " + graph_node_id(parent) + " -> " + name;
        const std::string e = how_edge(n.text);
        if (!e.empty()) d += " [label=" + dot_quote(e) + "]";
        d += ";\n";
    }
    for (const auto& c : n.children)
        how_nodes(c, id, next, d);
}

}  // namespace

std::string how_dot(const HowNode& root) {
    std::string d =
        "digraph jak {\n  graph [charset=\"UTF-8\", rankdir=RL, fontname=\"DejaVu Sans\", nodesep=0.2];\n"
        "  node [fontname=\"DejaVu Sans\", fontsize=10, margin=\"0.08,0.04\"];\n"
        "  edge [fontname=\"DejaVu Sans\", fontsize=9, arrowsize=0.7, dir=back];\n";
    std::size_t next = 0;
    how_nodes(root, static_cast<std::size_t>(-1), next, d);
    return d + "}\n";
}

}  // namespace zuva::api
