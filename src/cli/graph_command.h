// `zuva graph`: the network of a knowledge base drawn with Graphviz.
#pragma once
#include <iosfwd>
#include <string>
#include <vector>

namespace zuva {

// The command line after "graph": exit status 0, 1 (the base does not open or Graphviz
// fails), 2 (bad arguments, an unknown focus).
int graph_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zuva
