// What a consultation adds to a plain run for the test runner and its coverage: rows taken in
// as if from a data source before the run, and the trace of what the run used.
#pragma once
#include <vector>

#include "zuva/zuva.h"

namespace zuva {
struct Session;

namespace api {

// Adds the rows to the declared facts and known arguments of the loaded session, as the
// import command adds the rows of a data source.
void add_imported(Session& s, const std::vector<ImportedRow>& rows);
// The rules and models the finished run applied, the values the user gave, the contributions.
Trace trace_of(const Session& s);

}  // namespace api
}  // namespace zuva
