// The main-menu command that imports declared facts and known arguments from a table of
// an ODBC data source, for the next inference; nothing is written to a base file.
#pragma once
#include "import/data_source.h"
#include "session/command_registry.h"

namespace zuva {

struct Session;

// The whole command over the given data-source layer: choice of the source and of the
// table, reading, conversion, the notes and the review dialog.
void import_z_zewnetrznego_zrodla(Session& s, DataSource& source);

void register_import_commands(CommandRegistry& r);

}  // namespace zuva
