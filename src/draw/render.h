// Drawing DOT text with Graphviz's library: the layout (dot) and the output in SVG, PNG or
// DOT with positions. The only code that links Graphviz; the front ends call it.
#pragma once
#include <string>

namespace zuva::draw {

struct Drawing {
    bool ok = false;
    std::string data;      // the picture's bytes (SVG and DOT are UTF-8 text)
    std::string error;     // Graphviz's messages when it failed
    double layout_ms = 0;  // time of the layout alone
    double render_ms = 0;  // time of the output alone
};

// Lays out `dot` and writes it in `format` ("svg", "png" or "dot"). Safe to call from
// several threads: Graphviz keeps global state, so one drawing is made at a time.
Drawing render(const std::string& dot, const std::string& format);

}  // namespace zuva::draw
