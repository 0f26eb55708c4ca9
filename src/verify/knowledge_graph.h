// The network of a knowledge base: statements (askable conditions, conclusions, "koniec"),
// the quantities of models, and the rules, models and constraints that link them, with the
// findings that concern them (rules on a circle, rules that never fire, conclusions never
// reached). A view of it is the whole network, the neighbourhood of one name to a depth, or,
// for a large base, the conclusions only; graph_dot.h writes a view in Graphviz's language.
#pragma once
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "store/knowledge_base.h"

namespace zuva {

struct GraphNode {
    enum class Kind {
        Askable,     // a condition no rule or relational model concludes
        Conclusion,  // a statement some rule or relational model concludes
        End,         // the conclusion "koniec"
        Quantity,    // a numeric argument or result of models
        Rule,        // one rule
        Model,       // one model of any kind
        Exact,       // one exact constraint
        Uncertain,   // one uncertain constraint
    };
    Kind kind = Kind::Askable;
    std::string name;         // the statement or quantity; for rules, models and constraints ""
    std::int32_t number = 0;  // of the rule, model or constraint
    std::string detail;       // the CF of a rule, the operation of a model
    bool circle = false;      // a rule on a circle of rules
    bool never = false;       // a rule that never fires, a conclusion never reached
    bool link() const { return kind >= Kind::Rule; }
};

struct GraphEdge {
    enum class Kind {
        Condition,    // statement or quantity -> rule or model
        Result,       // rule or model -> statement or quantity
        Application,  // condition of application -> model
        Member,       // constraint -- member statement (no direction)
        Leads,        // conclusion -> conclusion, in the overview
    };
    std::size_t from = 0, to = 0;
    Kind kind = Kind::Condition;
    bool circle = false;  // between two elements of one circle of rules
};

struct KnowledgeGraph {
    std::vector<GraphNode> nodes;
    std::vector<GraphEdge> edges;
};

// The network of the loaded bases of `kb`; `base_dir` is the folder of the rule base.
KnowledgeGraph build_knowledge_graph(const KnowledgeBase& kb, const std::string& base_dir);

struct GraphOptions {
    std::string focus;  // a statement, a quantity, or "reguła N" / "model N"; "" for all
    int depth = 2;      // steps from the focus, each through one rule, model or constraint
    bool up = true;     // towards what the focus depends on
    bool down = true;   // towards what depends on the focus
    // Without a focus, a network of more nodes than this is shown as its conclusions only,
    // and at most `overview_limit` of them.
    std::size_t overview_from = 300;
    std::size_t overview_limit = 400;
};

// A part of the network to draw. In the overview its nodes are conclusions and its edges
// Leads edges; otherwise they are nodes and edges of the network. `edge` maps each shown
// edge to its index in the network (none for Leads edges).
struct GraphView {
    std::vector<GraphNode> nodes;
    std::vector<bool> boundary;  // a statement shown only as an input or output of a shown link
    std::vector<GraphEdge> edges;
    bool overview = false;
    std::size_t network_nodes = 0;  // nodes of the whole network
    std::size_t conclusions = 0;    // conclusions of the whole network (for the overview)
    std::string focus;              // as found, "" without one
};

// An option that names nothing of the base; the message (Polish) says what is near.
class GraphFocusError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The view the options ask for; throws GraphFocusError on a focus the network lacks.
GraphView select_view(const KnowledgeGraph& g, const GraphOptions& o);

}  // namespace zuva
