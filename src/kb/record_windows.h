// What the record-by-record browse windows show: the record numbers of a table in order,
// the counts beside them and the fields of each record, taken from the loaded bases.
#pragma once
#include "ui/ui.h"

namespace zuva {

struct Session;

enum class ModelKind { Basic, Extended, Linear, Polynomial };

RecordWindow rule_record_window(const Session& s);
RecordWindow model_record_window(const Session& s, ModelKind kind);
RecordWindow constraint_record_window(const Session& s, bool uncertain);

}  // namespace zuva
