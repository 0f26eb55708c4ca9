// Lists of numbered items in the terminal; see the header.
#include "cli/numbered_items.h"

namespace zuva {

std::string own_number(std::string_view item) {
    std::size_t b = item.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    std::size_t e = b;
    while (e < item.size() && item[e] >= '0' && item[e] <= '9')
        ++e;
    if (e == b || (e < item.size() && item[e] != ' ')) return {};
    return std::string(item.substr(b, e - b));
}

bool items_begin_with_numbers(const std::vector<std::string>& items) {
    if (items.empty()) return false;
    for (const auto& i : items)
        if (own_number(i).empty() || i.find(' ') == std::string::npos) return false;
    return true;
}

std::string position_prefix(std::size_t position, std::size_t count, bool numbered) {
    const std::string p = std::to_string(position);
    if (!numbered) return "  " + p + ") ";
    const std::size_t width = std::to_string(count).size();
    return "  [" + std::string(width > p.size() ? width - p.size() : 0, ' ') + p + "] ";
}

std::optional<std::size_t> position_of_own_number(const std::vector<std::string>& items,
                                                  std::string_view answer) {
    std::size_t b = answer.find_first_not_of(' ');
    if (b == std::string_view::npos || answer[b] != '#') return std::nullopt;
    std::string_view rest = answer.substr(b + 1);
    const std::size_t s = rest.find_first_not_of(' ');
    if (s == std::string_view::npos) return std::nullopt;
    rest = rest.substr(s);
    while (!rest.empty() && rest.back() == ' ')
        rest.remove_suffix(1);
    if (rest.empty() || rest.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (own_number(items[i]) == rest) return i;
    return std::nullopt;
}

}  // namespace zuva
