// Small pieces of the responses of zuva serve, shared by the files of WebApp's routes.
#pragma once
#include <string>

#include "web/app.h"

namespace zuva::web {

WebResponse html(int status, std::string body);
WebResponse redirect(const std::string& to, int status = 303);
// The Set-Cookie value that removes the session cookie.
std::string cleared_cookie();
// A whole decimal number, or -1.
int parse_int(const std::string& text);
std::string lower_ascii(std::string s);

}  // namespace zuva::web
