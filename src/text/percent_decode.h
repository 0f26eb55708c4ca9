// Percent-encoded text (URIs, query strings, form bodies) decoded.
#pragma once
#include <string>
#include <string_view>

namespace zuva {

// %XX sequences decoded (a malformed one is kept as it stands); '+' is a blank when
// `plus_is_blank` (form bodies and query strings, not paths).
std::string percent_decode(std::string_view text, bool plus_is_blank);

}  // namespace zuva
