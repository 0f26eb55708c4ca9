// The language of a page: the one the visitor chose on the page (a cookie), else the first of
// the browser's Accept-Language the program has texts in, else Polish.
#pragma once
#include <string>

#include "text/i18n.h"

namespace zuva::web {

inline constexpr const char* kLanguageCookie = "zuva_jezyk";

Language page_language(const std::string& cookie_header, const std::string& accept_language);

}  // namespace zuva::web
