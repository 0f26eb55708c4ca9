// The bases of one knowledge base lie side by side, named by kind and distinguishing name
// (REAUTO.BEN, MOAUTO.BEN, DŹAUTO.BEN): finding the base of a kind beside a given one.
#pragma once
#include <optional>
#include <string>

#include "store/knowledge_base.h"

namespace zuva {

// The base of `kind` with the distinguishing name of `base_path`, in its directory (prefix
// and extension ".BEN" compared without regard to case; the first in name order when there
// are several), or nullopt.
std::optional<std::string> sibling_base(const std::string& base_path, BaseKind kind);

}  // namespace zuva
