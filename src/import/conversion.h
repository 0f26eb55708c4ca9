// Rows of an import table turned into declared facts and known arguments: the kind is
// "fakt" or "argument_znany" exactly, a decimal comma is read as a point, and a row whose
// name or value is not usable is rejected with its reason.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "import/data_source.h"
#include "store/knowledge_base.h"

namespace zuva {

struct RejectedRow {
    std::size_t row = 0;  // from 1, in the order the rows were read
    std::string reason;
};

struct ConvertedRows {
    std::vector<Fakt> facts;
    std::vector<ArgumentZnany> arguments;
    // Review lines: name, two blanks, value.
    std::vector<std::string> fact_lines;
    std::vector<std::string> argument_lines;
    std::vector<RejectedRow> rejected;
    // Some "argument_znany" row had a value that is not a real number.
    bool argument_not_number = false;
};

// Says why a usable row may still not be imported (`fact`: a "fakt" row, else an
// "argument_znany" row), or gives the empty text.
using RowRefusal = std::function<std::string(const std::string& name, bool fact)>;

ConvertedRows convert_rows(const std::vector<ImportRow>& rows, const RowRefusal& refuse = {});

}  // namespace zuva
