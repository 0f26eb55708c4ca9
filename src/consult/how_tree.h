// What the command "Jak uzyskano wniosek?" (how_concluded.cpp) and its tree (how_tree.cpp)
// share: which models conclude as relational ones. Internal to consult/.
#pragma once

#include "store/knowledge_base.h"

namespace zuva {
namespace how {

bool relational_basic(const Model& m);
bool relational_extended(const ModelR& m);

}  // namespace how
}  // namespace zuva
