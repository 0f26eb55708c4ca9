// Why a typed value was refused, in the words every front end shows beside the value dialog
// that asks for it again.
#pragma once
#include <string>
#include <string_view>

namespace zuva {

// The reason for a text that is no number ("" when it is one, or the question mark that asks
// why the value is needed).
std::string refused_value_reason(std::string_view typed);

}  // namespace zuva
