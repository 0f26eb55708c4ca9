// Terminal lists whose items begin with numbers of their own (rule and model numbers): the
// positions are shown in brackets, so that they cannot be taken for those numbers, and an
// item may also be chosen by its own number written after '#' ("#18").
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zuva {

// Every item begins with a number followed by a blank.
bool items_begin_with_numbers(const std::vector<std::string>& items);
// The position as a list line begins with it: "  3) " for plain items, "  [ 3] " (padded to
// the widest position) for items that begin with numbers.
std::string position_prefix(std::size_t position, std::size_t count, bool numbered);
// The position (from 0) of the first item whose own number the answer gives ("#18",
// "# 18"); nullopt when the answer is no such number or no item has it.
std::optional<std::size_t> position_of_own_number(const std::vector<std::string>& items,
                                                  std::string_view answer);
// The own number of an item ("18" of "18  wezwij_pomoc_drogowa"); empty when it has none.
std::string own_number(std::string_view item);

}  // namespace zuva
