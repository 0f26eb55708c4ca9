// The names a test case gives, checked against its knowledge base before and after it runs:
// a name the base does not know is a mistake of the case file, placed at its record, with the
// nearest name the base knows offered.
#pragma once
#include <set>
#include <string>
#include <vector>

#include "testing/case_file.h"
#include "zuva/zuva.h"

namespace zuva::testing {

struct BaseNames {
    std::string base;  // the rule base, as the case names it
    std::set<std::string> conditions, arguments, conclusions, results;
    std::vector<std::string> all;
    bool knows(const std::string& name) const;
};
BaseNames base_names(const std::string& base, const api::Inventory& inv);

// The mistakes of a case's names. Before the run (`asked` null): imported rows, expectations,
// and answers that give a CF out of [-1, 1]. After it: answers to something the base does not
// know that the run never asked about (a dialog the run shows is asked by its title).
std::vector<CaseFileError> check_case_names(const TestCase& c, const BaseNames& names,
                                            const std::vector<std::string>* asked);

}  // namespace zuva::testing
