// A view of the network of a knowledge base in Graphviz's language (DOT, UTF-8), and the
// quoting every text of a base goes through on its way there.
#pragma once
#include <string>
#include <string_view>

#include "verify/knowledge_graph.h"

namespace zuva {

// `text` as a quoted DOT string that Graphviz shows as written: quotes and backslashes
// escaped (so no "\N" or "\l" of the text is read as an escape), line ends and other control
// characters as spaces, bytes that are not UTF-8 as '?'.
std::string dot_quote(std::string_view text);

// The id of the i-th node of a view in the DOT text and in the SVG Graphviz makes of it.
std::string graph_node_id(std::size_t i);
// What a node shows: the statement or quantity, or "reguła 12" / "model 3" / "ograniczenie 1".
std::string graph_node_name(const GraphNode& n);

// The DOT text of a view; `title` is the picture's caption (the base's name).
std::string graph_dot(const GraphView& v, const std::string& title);

}  // namespace zuva
