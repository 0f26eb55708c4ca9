// The bases of one knowledge base: the rule base and the bases of the same distinguishing
// name beside it, found and loaded in menu order as `zuva check` and the session API do.
#pragma once
#include <optional>
#include <string>

#include "kb/sibling_bases.h"
#include "store/knowledge_base.h"

namespace zuva {

// A load after the rule base: its menu command and the kind of base it reads.
struct SiblingLoad {
    int command;
    BaseKind kind;
};
// Models, exact and uncertain constraints, advice, graphics, sounds, display texts.
inline constexpr SiblingLoad kSiblingLoads[] = {
    {10077, BaseKind::Models}, {10093, BaseKind::ExactConstraints}, {10103, BaseKind::UncertainConstraints},
    {10113, BaseKind::Advice}, {10124, BaseKind::Graphics},         {10134, BaseKind::Sounds},
    {10190, BaseKind::Texts},
};

}  // namespace zuva
