// Field values as the base-file reader produces them, and the raw record kept for
// comment and disabled tables, which are stored but never read by any operation.
#pragma once
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace zuva {

using TextList = std::vector<std::string>;
using IntList = std::vector<std::int32_t>;
using TextListList = std::vector<TextList>;

enum class FieldType { Int, Real, Text, TextLst, IntLst, TextLstLst };

using Value = std::variant<std::int32_t, double, std::string, TextList, IntList, TextListList>;

struct RawRecord {
    std::string table;
    std::vector<Value> fields;
};

}  // namespace zuva
