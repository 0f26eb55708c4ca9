// Time to draw the network of a knowledge base with Graphviz: the opening of the base, the
// DOT text and the layout and SVG output, for the whole base (its overview when it is large)
// and for the neighbourhood of one name to depth 3. Run by hand:
//   python3 bench/gen_bases.py chain 10000 /tmp/chain
//   build/bench/bench_graph /tmp/chain/RECHAIN.BEN [FOCUS]
//   build/bench/bench_graph examples/BAZY/REAUTO.BEN
// Without FOCUS the middle conclusion of the network is taken.
#include <chrono>
#include <cstdio>
#include <string>

#include "draw/render.h"
#include "zuva/zuva.h"

namespace {

double ms_since(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
}

void draw(const char* what, const zuva::api::KnowledgeBase& kb, const zuva::api::GraphOptions& o) {
    auto t = std::chrono::steady_clock::now();
    const zuva::api::Graph g = kb.graph_view(o);
    const double dot_ms = ms_since(t);
    const zuva::draw::Drawing d = zuva::draw::render(g.dot, "svg");
    if (!d.ok) {
        std::fprintf(stderr, "bench_graph: %s\n", d.error.c_str());
        return;
    }
    std::printf("%-28s %6zu nodes%s  DOT %8.1f ms  layout %8.1f ms  SVG %7.1f ms  (%zu KB)\n", what,
                g.names.size(), g.overview ? " (overview)" : "", dot_ms, d.layout_ms, d.render_ms,
                d.data.size() / 1024);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_graph RULE-BASE [FOCUS]\n");
        return 2;
    }
    auto t = std::chrono::steady_clock::now();
    const zuva::api::KnowledgeBase kb = zuva::api::KnowledgeBase::open(argv[1]);
    std::printf("open %s: %.1f ms\n", argv[1], ms_since(t));
    draw("whole base", kb, {});
    zuva::api::GraphOptions focus;
    if (argc >= 3) {
        focus.focus = argv[2];
    } else {
        // The middle statement of the network, by its order in the base.
        const auto all =
            kb.graph_view({.focus = {}, .depth = 2, .up = true, .down = true, .overview_from = SIZE_MAX});
        focus.focus = all.names[all.names.size() / 2];
        if (focus.focus.rfind("reguła ", 0) == 0) focus.focus = all.names[all.names.size() / 2 + 1];
    }
    focus.depth = 3;
    draw(("focus depth 3: " + focus.focus).substr(0, 28).c_str(), kb, focus);
    return 0;
}
