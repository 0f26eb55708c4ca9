// The network of a knowledge base: the sample's nodes and edges against its records, a
// planted circle of rules, the neighbourhood of a focus, and a base's texts carried through
// DOT into Graphviz's SVG as text.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "draw/render.h"
#include "kb/model_base.h"
#include "shell/check.h"
#include "support/temp_dir.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "zuva/zuva.h"

namespace zuva {
namespace {

const std::string kExamples = std::string(ZUVA_TEST_DATA) + "/../../examples/BAZY/";

KnowledgeBase records_of(BaseKind kind, const std::string& file) {
    KnowledgeBase kb;
    auto text = decode_file_text(read_file_bytes(kExamples + file).value());
    EXPECT_FALSE(syntax_finding(kind, text.value(), file, &kb).has_value()) << file;
    return kb;
}

// Node lines ("  nK [") and edge lines ("  nA -> nB") of the DOT text.
std::pair<std::size_t, std::size_t> dot_counts(const std::string& dot) {
    static const std::regex node(R"(^  n[0-9]+ \[)"), edge(R"(^  n[0-9]+ -> n[0-9]+)");
    std::size_t nodes = 0, edges = 0;
    std::size_t start = 0;
    while (start < dot.size()) {
        const std::size_t end = dot.find('\n', start);
        const std::string line = dot.substr(start, end - start);
        nodes += std::regex_search(line, node) ? 1 : 0;
        edges += std::regex_search(line, edge) ? 1 : 0;
        start = end == std::string::npos ? dot.size() : end + 1;
    }
    return {nodes, edges};
}

TEST(KnowledgeGraph, TheSampleHasTheNodesAndEdgesItsRecordsDefine) {
    const KnowledgeBase re = records_of(BaseKind::Rules, "REAUTO.BEN");
    const KnowledgeBase mo = records_of(BaseKind::Models, "MOAUTO.BEN");
    const KnowledgeBase og = records_of(BaseKind::ExactConstraints, "OGAUTO.BEN");
    const KnowledgeBase on = records_of(BaseKind::UncertainConstraints, "ONAUTO.BEN");
    // Statements and quantities are named once each; every rule, model and constraint is a
    // node; a rule has an edge per distinct condition and one to its conclusion, a model one
    // per named input, one from its condition of application and one to its result, a
    // constraint one per distinct member.
    std::set<std::string> statements, quantities;
    std::size_t links = 0, edges = 0;
    for (const auto& r : re.rules.regula) {
        ++links;
        std::set<std::string> c(r.conditions.begin(), r.conditions.end());
        statements.insert(c.begin(), c.end());
        statements.insert(r.conclusion);
        edges += c.size() + 1;
    }
    auto model = [&](const std::string& app, const std::vector<std::string>& in, const std::string& out,
                     bool relational) {
        ++links;
        if (!jest_bez_warunku(app)) {
            statements.insert(app);
            ++edges;
        }
        std::set<std::string> named;
        for (const auto& v : in)
            if (!jest_liczba(v)) named.insert(v);
        quantities.insert(named.begin(), named.end());
        edges += named.size() + 1;
        (relational ? statements : quantities).insert(out);
    };
    for (const auto& m : mo.models.model)
        model(m.application_condition, {m.argument1, m.argument2}, m.result,
              jest_relacja(m.operation_symbol));
    for (const auto& m : mo.models.model_r)
        model(m.application_condition, m.variables, m.result, jest_relacja_r(m.operation_symbol));
    for (const auto& m : mo.models.model_liniowy)
        model(m.application_condition, m.variables, m.result, false);
    for (const auto& m : mo.models.model_wielomianowy)
        model(m.application_condition, {m.variable}, m.result, false);
    for (const auto* t : {&og.exact.ograniczenie, &on.uncertain.ograniczenie_n})
        for (const auto& o : *t) {
            ++links;
            std::set<std::string> m(o.exclusive_conditions.begin(), o.exclusive_conditions.end());
            statements.insert(m.begin(), m.end());
            edges += m.size();
        }
    ASSERT_GT(links, 20u);
    const api::Graph g = api::KnowledgeBase::open(kExamples + "REAUTO.BEN").graph_view();
    EXPECT_FALSE(g.overview);
    const auto [nodes, dot_edges] = dot_counts(g.dot);
    EXPECT_EQ(nodes, statements.size() + quantities.size() + links);
    EXPECT_EQ(g.names.size(), nodes);
    EXPECT_EQ(dot_edges, edges);
    for (const auto& s : statements)
        EXPECT_EQ(std::count(g.names.begin(), g.names.end(), s), 1) << s;
}

class KnowledgeGraphBase : public testing_support::TempDirTest {
  protected:
    api::KnowledgeBase open(const std::string& rules) {
        return api::KnowledgeBase::open(write_cp1250("REGRAF.BEN", rules));
    }
};

// The DOT line of the node named `name` in the view.
std::string node_line(const api::Graph& g, const std::string& name) {
    const auto it = std::find(g.names.begin(), g.names.end(), name);
    if (it == g.names.end()) return "";
    const std::string id = "  n" + std::to_string(it - g.names.begin()) + " [";
    const std::size_t at = g.dot.find(id);
    return g.dot.substr(at, g.dot.find('\n', at) - at);
}

TEST_F(KnowledgeGraphBase, ACircleOfRulesIsRedAndItsRulesThatNeverFireGrey) {
    const api::Graph g = open(
                             "reguła(1,\"b\",[\"a\"],1,\"0.8\")\n"
                             "reguła(2,\"a\",[\"b\"],1,\"0.8\")\n"
                             "reguła(3,\"c\",[\"x\"],1,\"0.5\")\n"
                             "reguła(4,\"d\",[\"c\",\"a\"],1,\"0.5\")\n")
                             .graph_view();
    struct Case {
        const char* name;
        bool circle, grey;
    } cases[] = {{"reguła 1", true, true},  {"reguła 2", true, true}, {"reguła 3", false, false},
                 {"reguła 4", false, true}, {"x", false, false},      {"c", false, false}};
    for (const auto& c : cases) {
        const std::string line = node_line(g, c.name);
        ASSERT_FALSE(line.empty()) << c.name;
        EXPECT_EQ(line.find("#dc2626") != std::string::npos, c.circle) << line;
        EXPECT_EQ(line.find("dashed") != std::string::npos, c.grey) << line;
    }
    // The edges of the circle red, the edge into the rule outside it not.
    std::size_t red = 0;
    for (std::size_t at = g.dot.find("-> "); at != std::string::npos; at = g.dot.find("-> ", at + 1))
        red += g.dot.substr(at, g.dot.find('\n', at) - at).find("#dc2626") != std::string::npos ? 1 : 0;
    EXPECT_EQ(red, 4u);
}

TEST_F(KnowledgeGraphBase, AFocusShowsItsNeighbourhoodToTheDepthAndDirectionAsked) {
    const api::KnowledgeBase kb = open(
        "reguła(1,\"b\",[\"a\"],1,\"1\")\n"
        "reguła(2,\"c\",[\"b\"],1,\"1\")\n"
        "reguła(3,\"d\",[\"c\"],1,\"1\")\n"
        "reguła(4,\"e\",[\"d\"],1,\"1\")\n"
        "reguła(5,\"c\",[\"z\"],1,\"1\")\n"
        "reguła(6,\"f\",[\"c\",\"y\"],1,\"1\")\n");
    struct Case {
        int depth;
        bool up, down;
        std::set<std::string> names;
    } cases[] = {
        {1, true, true, {"c", "b", "z", "d", "f", "y", "reguła 2", "reguła 5", "reguła 3", "reguła 6"}},
        {2,
         true,
         true,
         {"c", "b", "z", "d", "f", "y", "a", "e", "reguła 1", "reguła 2", "reguła 3", "reguła 4", "reguła 5",
          "reguła 6"}},
        {1, true, false, {"c", "b", "z", "reguła 2", "reguła 5"}},
        {1, false, true, {"c", "d", "f", "y", "reguła 3", "reguła 6"}},
        {2, false, true, {"c", "d", "f", "y", "e", "reguła 3", "reguła 4", "reguła 6"}},
    };
    for (const auto& c : cases) {
        api::GraphOptions o;
        o.focus = "c";
        o.depth = c.depth;
        o.up = c.up;
        o.down = c.down;
        const api::Graph g = kb.graph_view(o);
        EXPECT_EQ(std::set<std::string>(g.names.begin(), g.names.end()), c.names)
            << "depth " << c.depth << " up " << c.up << " down " << c.down;
    }
    api::GraphOptions unknown;
    unknown.focus = "cc_nieznane";
    EXPECT_THROW(kb.graph_view(unknown), api::Error);
}

// Graphviz escapes '-' and other characters as numeric references; the text is what counts.
std::string xml_text(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') {
            out += s[i];
            continue;
        }
        const std::size_t end = s.find(';', i);
        const std::string e = s.substr(i + 1, end - i - 1);
        static const std::map<std::string, std::string> named = {
            {"lt", "<"}, {"gt", ">"}, {"amp", "&"}, {"quot", "\""}, {"apos", "'"}};
        if (named.count(e)) {
            out += named.at(e);
        } else if (e.size() > 1 && e[0] == '#') {
            const long cp = e[1] == 'x' ? std::stol(e.substr(2), nullptr, 16) : std::stol(e.substr(1));
            if (cp < 0x80)
                out += static_cast<char>(cp);
            else if (cp < 0x800)
                out += {static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F))};
            else
                out += {static_cast<char>(0xE0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                        static_cast<char>(0x80 | (cp & 0x3F))};
        }
        i = end;
    }
    return out;
}

TEST_F(KnowledgeGraphBase, ANameWithMarkupQuotesAndPolishLettersIsTextOfTheSvg) {
    const std::string odd = "ciśnienie <b>\\\"żółte\\\" & \\\\N";  // as written in the file
    const std::string shown = "ciśnienie <b>\"żółte\" & \\N";      // as the base means it
    const api::Graph g = open("reguła(1,\"" + odd + "\",[\"łódź\"],1,\"0.5\")\n").graph_view();
    const draw::Drawing d = draw::render(g.dot, "svg");
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.data.find("<b>"), std::string::npos) << "markup of a base never reaches the SVG as markup";
    std::vector<std::string> texts;
    static const std::regex text(R"(<text[^>]*>([^<]*)</text>)");
    for (std::sregex_iterator it(d.data.begin(), d.data.end(), text), end; it != end; ++it)
        texts.push_back(xml_text((*it)[1].str()));
    EXPECT_NE(std::find(texts.begin(), texts.end(), shown), texts.end()) << d.data;
    EXPECT_NE(std::find(texts.begin(), texts.end(), "łódź"), texts.end());
}

}  // namespace
}  // namespace zuva
