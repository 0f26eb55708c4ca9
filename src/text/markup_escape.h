// Text made safe to stand in HTML or XML, as element content or a quoted attribute value.
#pragma once
#include <string>
#include <string_view>

namespace zuva {

// & < > " ' become character references; control characters other than tab and line ends
// (not allowed in XML 1.0, and never meant in a page) become blanks.
std::string markup_escape(std::string_view text);

}  // namespace zuva
