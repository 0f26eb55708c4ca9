// Forward inference: the menu command, the seeding of the resultants from the declared
// data, the loop that always performs the first applicable step (rules in rule-table
// order), the end of inference with the summary, the advice question and the report.
#pragma once

namespace zuva {

struct Session;
class CommandRegistry;

// Command 10164 "Wnioskowanie elementarne niepewne w przód".
void wnioskowanie_w_przod(Session& s);
// The start of the command after the common checks (option 10 of the main menu).
void opcja_wnioskowania_w_przod(Session& s);
// Pending lists, presentation of the initial data, seeding, the loop and the end.
void wnioskowanie(Session& s);

// The declared facts of the rule base / the model base at the start of a run (report
// lines and explanation dialog; nothing when there are none).
void przedstawienie_faktow_pierwotnych(Session& s);
void przedstawienie_m_faktow_pierwotnych(Session& s);
// Every declared fact without a resultant gets its CF; then each fact with a resultant is
// completed with its mutually exclusive partners. model_facts: m_fakt instead of fakt.
void inicjalizacja_faktow(Session& s, bool model_facts);

// Registers 10164, the description commands 10153-10156, the summary commands
// 10157-10158 and the askable-file commands 10160-10162.
void register_forward_commands(CommandRegistry& r);

}  // namespace zuva
