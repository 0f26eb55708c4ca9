// The network is made in one pass over the tables (statements and quantities get a node the
// first time they are named), the circles of rules are the strongly connected parts of the
// rules-and-statements part of it (Tarjan's method, without recursion, so a long chain does
// not exhaust the stack), and the rules that never fire are those of the completeness
// analysis. A view is a breadth-first walk from the focus, counted in statements.
#include "verify/knowledge_graph.h"

#include <algorithm>
#include <deque>
#include <set>
#include <unordered_map>
#include <utility>

#include "kb/model_base.h"
#include "text/codec.h"
#include "text/i18n.h"
#include "text/nearest_name.h"
#include "verify/completeness.h"

namespace zuva {

namespace {

using Kind = GraphNode::Kind;
using EKind = GraphEdge::Kind;

const char* const kKoniec = "koniec";

class Builder {
  public:
    std::size_t statement(const std::string& text) {
        auto [it, fresh] = statements_.try_emplace(text, g.nodes.size());
        if (fresh) {
            GraphNode n;
            n.kind = text == kKoniec ? Kind::End : Kind::Askable;
            n.name = text;
            g.nodes.push_back(std::move(n));
        }
        return it->second;
    }
    // A quantity named by a model; a number is part of the model's label, not a node.
    std::optional<std::size_t> quantity(const std::string& text) {
        if (text.empty() || jest_liczba(text)) return std::nullopt;
        auto [it, fresh] = quantities_.try_emplace(text, g.nodes.size());
        if (fresh) {
            GraphNode n;
            n.kind = Kind::Quantity;
            n.name = text;
            g.nodes.push_back(std::move(n));
        }
        return it->second;
    }
    std::size_t link(Kind k, std::int32_t number, std::string detail) {
        GraphNode n;
        n.kind = k;
        n.number = number;
        n.detail = std::move(detail);
        g.nodes.push_back(std::move(n));
        return g.nodes.size() - 1;
    }
    void edge(std::size_t from, std::size_t to, EKind k) { g.edges.push_back({from, to, k, false}); }
    // The condition of application of a model, unless it always holds.
    void application(const std::string& condition, std::size_t model) {
        if (!condition.empty() && !jest_bez_warunku(condition))
            edge(statement(condition), model, EKind::Application);
    }
    void inputs(const TextList& names, std::size_t model) {
        std::set<std::size_t> seen;
        for (const auto& v : names)
            if (auto q = quantity(v); q && seen.insert(*q).second) edge(*q, model, EKind::Condition);
    }
    void concluded(std::size_t s) {
        if (g.nodes[s].kind == Kind::Askable) g.nodes[s].kind = Kind::Conclusion;
    }

    KnowledgeGraph g;

  private:
    std::unordered_map<std::string, std::size_t> statements_, quantities_;
};

// Marks the rules of every circle of rules and the edges inside one.
void mark_circles(KnowledgeGraph& g) {
    const std::size_t n = g.nodes.size();
    std::vector<std::vector<std::size_t>> out(n);
    for (std::size_t e = 0; e < g.edges.size(); ++e) {
        const GraphEdge& ed = g.edges[e];
        const bool rule_edge = (ed.kind == EKind::Condition && g.nodes[ed.to].kind == Kind::Rule) ||
                               (ed.kind == EKind::Result && g.nodes[ed.from].kind == Kind::Rule);
        if (rule_edge) out[ed.from].push_back(ed.to);
    }
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::vector<std::size_t> index(n, kNone), low(n, 0), part(n, kNone);
    std::vector<char> on_stack(n, 0);
    std::vector<std::size_t> stack, part_size;
    std::vector<std::pair<std::size_t, std::size_t>> call;  // node, next out-edge
    std::size_t counter = 0;
    for (std::size_t root = 0; root < n; ++root) {
        if (index[root] != kNone) continue;
        call.push_back({root, 0});
        while (!call.empty()) {
            auto& [v, next] = call.back();
            if (next == 0 && index[v] == kNone) {
                index[v] = low[v] = counter++;
                stack.push_back(v);
                on_stack[v] = 1;
            }
            if (next < out[v].size()) {
                const std::size_t w = out[v][next++];
                if (index[w] == kNone) {
                    call.push_back({w, 0});
                } else if (on_stack[w]) {
                    low[v] = std::min(low[v], index[w]);
                }
                continue;
            }
            const std::size_t done = v;
            call.pop_back();
            if (!call.empty()) low[call.back().first] = std::min(low[call.back().first], low[done]);
            if (low[done] != index[done]) continue;
            const std::size_t id = part_size.size();
            std::size_t size = 0;
            for (;;) {
                const std::size_t w = stack.back();
                stack.pop_back();
                on_stack[w] = 0;
                part[w] = id;
                ++size;
                if (w == done) break;
            }
            part_size.push_back(size);
        }
    }
    auto cyclic = [&](std::size_t v) { return part_size[part[v]] > 1; };
    for (std::size_t v = 0; v < n; ++v)
        if (g.nodes[v].kind == Kind::Rule && cyclic(v)) g.nodes[v].circle = true;
    for (auto& e : g.edges)
        if (e.kind != EKind::Member && e.kind != EKind::Application && part[e.from] == part[e.to] &&
            cyclic(e.from))
            e.circle = true;
}

}  // namespace

KnowledgeGraph build_knowledge_graph(const KnowledgeBase& kb, const std::string& base_dir) {
    Builder b;
    std::vector<std::size_t> rule_node;
    for (const auto& r : kb.rules.regula) {
        const std::size_t l = b.link(Kind::Rule, r.rule_number, r.cf_text);
        rule_node.push_back(l);
        std::set<std::size_t> seen;
        for (const auto& c : r.conditions)
            if (const std::size_t s = b.statement(c); seen.insert(s).second) b.edge(s, l, EKind::Condition);
        const std::size_t c = b.statement(r.conclusion);
        b.concluded(c);
        b.edge(l, c, EKind::Result);
    }
    // A relational model concludes a statement; an arithmetic one gives a quantity.
    auto result = [&](bool relational, const std::string& name, std::size_t l) {
        if (relational) {
            const std::size_t s = b.statement(name);
            b.concluded(s);
            b.edge(l, s, EKind::Result);
        } else if (auto q = b.quantity(name)) {
            b.edge(l, *q, EKind::Result);
        }
    };
    for (const auto& m : kb.models.model) {
        const std::size_t l = b.link(Kind::Model, m.model_number, m.operation_symbol);
        b.application(m.application_condition, l);
        b.inputs({m.argument1, m.argument2}, l);
        result(model_relacyjny(m), m.result, l);
    }
    for (const auto& m : kb.models.model_r) {
        const std::size_t l = b.link(Kind::Model, m.model_number, m.operation_symbol);
        b.application(m.application_condition, l);
        b.inputs(m.variables, l);
        result(model_relacyjny(m), m.result, l);
    }
    for (const auto& m : kb.models.model_liniowy) {
        const std::size_t l = b.link(Kind::Model, m.model_number, "liniowy");
        b.application(m.application_condition, l);
        b.inputs(m.variables, l);
        result(false, m.result, l);
    }
    for (const auto& m : kb.models.model_wielomianowy) {
        const std::size_t l = b.link(Kind::Model, m.model_number, "wielomian");
        b.application(m.application_condition, l);
        b.inputs({m.variable}, l);
        result(false, m.result, l);
    }
    auto constraints = [&](const Table<Ograniczenie>& t, Kind k) {
        for (const auto& o : t) {
            const std::size_t l = b.link(k, o.constraint_number, "");
            std::set<std::size_t> seen;
            for (const auto& c : o.exclusive_conditions)
                if (const std::size_t s = b.statement(c); seen.insert(s).second) b.edge(l, s, EKind::Member);
        }
    };
    constraints(kb.exact.ograniczenie, Kind::Exact);
    constraints(kb.uncertain.ograniczenie_n, Kind::Uncertain);

    KnowledgeGraph g = std::move(b.g);
    mark_circles(g);
    const std::string wyroznik = kb.wyroznik.empty() ? std::string() : *kb.wyroznik.first();
    for (const auto& a : znajdz_anomalie(kb, base_dir, wyroznik)) {
        if (a.base != BaseKind::Rules || a.table != "reguła" || a.ordinal >= rule_node.size()) continue;
        if (a.kind == "rule-never-fires") {
            g.nodes[rule_node[a.ordinal]].never = true;
        } else if (a.kind == "unreachable-conclusion") {
            for (const auto& e : g.edges)
                if (e.from == rule_node[a.ordinal] && e.kind == EKind::Result) g.nodes[e.to].never = true;
        }
    }
    return g;
}

namespace {

bool is_statement(const GraphNode& n) {
    return !n.link();
}
bool is_conclusion(const GraphNode& n) {
    return n.kind == Kind::Conclusion || n.kind == Kind::End;
}

// The node the focus names: a statement or quantity by its text (letter case aside when
// no text matches exactly), or "reguła N" / "model N" / "R12" / "M3", or a constraint by the
// name the picture gives it ("ograniczenie dokładne N", "ograniczenie niepewne N").
std::size_t find_focus(const KnowledgeGraph& g, const std::string& focus) {
    for (std::size_t i = 0; i < g.nodes.size(); ++i)
        if (is_statement(g.nodes[i]) && g.nodes[i].name == focus) return i;
    const std::string lower = to_lower_pl(focus);
    for (std::size_t i = 0; i < g.nodes.size(); ++i)
        if (is_statement(g.nodes[i]) && to_lower_pl(g.nodes[i].name) == lower) return i;
    for (const auto& [prefix, kind] :
         std::initializer_list<std::pair<const char*, Kind>>{{"reguła ", Kind::Rule},
                                                             {"regula ", Kind::Rule},
                                                             {"r", Kind::Rule},
                                                             {"model ", Kind::Model},
                                                             {"m", Kind::Model},
                                                             {"ograniczenie dokładne ", Kind::Exact},
                                                             {"ograniczenie niepewne ", Kind::Uncertain}}) {
        const std::string p = prefix;
        if (lower.rfind(p, 0) != 0 || lower.size() == p.size()) continue;
        const std::string digits = lower.substr(p.size());
        if (digits.size() > 9 ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        const std::int32_t number = std::stoi(digits);
        for (std::size_t i = 0; i < g.nodes.size(); ++i)
            if (g.nodes[i].kind == kind && g.nodes[i].number == number) return i;
    }
    std::vector<std::string> names;
    for (const auto& n : g.nodes)
        if (is_statement(n)) names.push_back(n.name);
    const std::string near = nearest_name(focus, names);
    throw GraphFocusError(tr("W bazie wiedzy nie ma nazwy '") + focus + "'" +
                          (near.empty() ? std::string(".") : tr("; może chodzi o '") + near + "'?"));
}

// The conclusions only, at most `limit` of them: when there are more, those nearest to the
// final conclusions (which lead nowhere further), found walking up from them.
GraphView overview(const KnowledgeGraph& g, std::size_t limit) {
    GraphView v;
    v.overview = true;
    std::vector<std::size_t> place(g.nodes.size(), g.nodes.size());
    std::vector<std::size_t> conclusions;
    for (std::size_t i = 0; i < g.nodes.size(); ++i)
        if (is_conclusion(g.nodes[i])) conclusions.push_back(i);
    // Leads edges from the links: every conclusion among a link's inputs to its result.
    std::vector<std::vector<std::size_t>> inputs(g.nodes.size());
    std::vector<std::size_t> output(g.nodes.size(), g.nodes.size());
    for (const auto& e : g.edges) {
        if (e.kind == EKind::Condition || e.kind == EKind::Application) inputs[e.to].push_back(e.from);
        if (e.kind == EKind::Result) output[e.from] = e.to;
    }
    std::set<std::pair<std::size_t, std::size_t>> leads;
    std::vector<std::vector<std::size_t>> up(g.nodes.size());
    std::vector<char> leads_on(g.nodes.size(), 0);
    for (std::size_t l = 0; l < g.nodes.size(); ++l) {
        if (output[l] == g.nodes.size() || !is_conclusion(g.nodes[output[l]])) continue;
        for (std::size_t a : inputs[l])
            if (is_conclusion(g.nodes[a]) && leads.insert({a, output[l]}).second) {
                up[output[l]].push_back(a);
                leads_on[a] = 1;
            }
    }
    std::vector<char> chosen(g.nodes.size(), 0);
    if (conclusions.size() <= limit) {
        for (std::size_t c : conclusions)
            chosen[c] = 1;
    } else {
        std::deque<std::size_t> queue;
        std::size_t count = 0;
        for (std::size_t c : conclusions)
            if (!leads_on[c] && count < limit) {
                chosen[c] = 1;
                ++count;
                queue.push_back(c);
            }
        while (!queue.empty() && count < limit) {
            const std::size_t c = queue.front();
            queue.pop_front();
            for (std::size_t a : up[c])
                if (!chosen[a] && count < limit) {
                    chosen[a] = 1;
                    ++count;
                    queue.push_back(a);
                }
        }
    }
    // A conclusion drawn red when a rule on a circle concludes it.
    std::vector<char> circled(g.nodes.size(), 0);
    for (const auto& e : g.edges)
        if (e.kind == EKind::Result && g.nodes[e.from].circle) circled[e.to] = 1;
    for (std::size_t c : conclusions) {
        if (!chosen[c]) continue;
        place[c] = v.nodes.size();
        v.nodes.push_back(g.nodes[c]);
        v.nodes.back().circle = circled[c];
        v.boundary.push_back(false);
    }
    for (const auto& [a, c] : leads)
        if (chosen[a] && chosen[c])
            v.edges.push_back({place[a], place[c], EKind::Leads, circled[a] && circled[c]});
    v.conclusions = conclusions.size();
    return v;
}

}  // namespace

GraphView select_view(const KnowledgeGraph& g, const GraphOptions& o) {
    const std::size_t n = g.nodes.size();
    if (o.focus.empty() && n > o.overview_from) {
        GraphView v = overview(g, o.overview_limit);
        v.network_nodes = n;
        return v;
    }
    std::vector<char> shown(n, 0), inner(n, 0);
    GraphView v;
    v.network_nodes = n;
    if (o.focus.empty()) {
        std::fill(shown.begin(), shown.end(), 1);
        std::fill(inner.begin(), inner.end(), 1);
    } else {
        std::vector<std::vector<std::size_t>> incident(n);
        for (std::size_t e = 0; e < g.edges.size(); ++e) {
            incident[g.edges[e].from].push_back(e);
            incident[g.edges[e].to].push_back(e);
        }
        const std::size_t focus = find_focus(g, o.focus);
        v.focus = g.nodes[focus].link() ? o.focus : g.nodes[focus].name;
        std::vector<int> dist(n, -1);
        std::deque<std::size_t> queue;
        auto reach = [&](std::size_t s, int d) {
            if (dist[s] >= 0) return;
            dist[s] = d;
            queue.push_back(s);
        };
        // The statements a link joins in the directions asked for, at distance d.
        auto through = [&](std::size_t l, std::size_t from, int d) {
            shown[l] = 1;
            for (std::size_t e : incident[l]) {
                const GraphEdge& ed = g.edges[e];
                const std::size_t other = ed.from == l ? ed.to : ed.from;
                if (other == from) continue;
                const bool input = ed.to == l && ed.kind != EKind::Member;
                const bool member = ed.kind == EKind::Member;
                if (member || (input && o.up) || (!input && o.down)) reach(other, d);
            }
        };
        if (g.nodes[focus].link()) {
            through(focus, n, 0);
        } else {
            reach(focus, 0);
        }
        while (!queue.empty()) {
            const std::size_t s = queue.front();
            queue.pop_front();
            if (dist[s] >= o.depth) continue;
            for (std::size_t e : incident[s]) {
                const GraphEdge& ed = g.edges[e];
                const bool from_s = ed.from == s;
                const std::size_t l = from_s ? ed.to : ed.from;
                // Up: the links that give s; down: the links that read s; a constraint
                // either way.
                if (ed.kind == EKind::Member || (from_s ? o.down : o.up)) through(l, s, dist[s] + 1);
            }
        }
        for (std::size_t i = 0; i < n; ++i)
            if (dist[i] >= 0) inner[i] = shown[i] = 1;
        for (std::size_t l = 0; l < n; ++l)
            if (shown[l] && g.nodes[l].link()) inner[l] = 1;
        // Every input and output of a shown link is shown, at the edge of the picture.
        for (const auto& e : g.edges)
            if (shown[e.from] && g.nodes[e.from].link()) {
                shown[e.to] = 1;
            } else if (shown[e.to] && g.nodes[e.to].link()) {
                shown[e.from] = 1;
            }
    }
    std::vector<std::size_t> place(n, n);
    for (std::size_t i = 0; i < n; ++i) {
        if (!shown[i]) continue;
        place[i] = v.nodes.size();
        v.nodes.push_back(g.nodes[i]);
        v.boundary.push_back(!inner[i]);
    }
    for (const auto& e : g.edges)
        if (shown[e.from] && shown[e.to]) v.edges.push_back({place[e.from], place[e.to], e.kind, e.circle});
    for (const auto& node : g.nodes)
        v.conclusions += is_conclusion(node) ? 1 : 0;
    return v;
}

}  // namespace zuva
