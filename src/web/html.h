// Text helpers of the web front end: HTML escaping, form and cookie parsing, the numbers a
// page shows. Every text that comes from a knowledge base or a request goes through
// html_escape before it reaches a page.
#pragma once
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace zuva::web {

// The text with & < > " ' as character references: safe in element content and in quoted
// attribute values.
std::string html_escape(std::string_view text);

// %XX sequences decoded (a malformed one is kept as it stands); '+' is a blank when `plus`.
std::string url_decode(std::string_view text, bool plus);

// An application/x-www-form-urlencoded body (or query string): every value of every field,
// in order.
std::multimap<std::string, std::string> parse_form(std::string_view body);
// The first value of `field`, or "".
std::string form_value(const std::multimap<std::string, std::string>& form, const std::string& field);
std::vector<std::string> form_values(const std::multimap<std::string, std::string>& form,
                                     const std::string& field);

// The value of cookie `name` in a Cookie header, or "".
std::string cookie_value(std::string_view header, std::string_view name);

// A certainty factor or value as the page shows it: up to four decimals, no trailing zeros.
// A number as the program prints it elsewhere ("%lg").
std::string format_number(double value);
// Every byte but letters, digits and "-._~" as %XX (a header's UTF-8 file name).
std::string percent_encode(std::string_view text);
// A download's file name from a base's name: Polish letters plain, nothing unsafe.
std::string readable_file_name(std::string_view name);

// A file name for Content-Disposition: ASCII letters, digits, '-', '_' and '.', others '_'.
std::string safe_file_name(std::string_view name);

}  // namespace zuva::web
