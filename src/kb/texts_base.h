// The base of display texts (TE*.BEN): what a person reads for a name of the knowledge
// base, its load and commands, and the lookups every front end and the core's dialogs use.
#pragma once
#include <string>
#include <string_view>

#include "store/knowledge_base.h"

namespace zuva {

struct Session;
class CommandRegistry;

// Command ids of the texts-base menu.
namespace cmd {
inline constexpr int ladowanie_bazy_tekstow = 10190;
inline constexpr int przeglad_bazy_tekstow = 10191;
inline constexpr int edycja_bazy_tekstow = 10192;
inline constexpr int tworzenie_bazy_tekstow = 10193;
inline constexpr int kasowanie_bazy_tekstow = 10194;
}  // namespace cmd

// The load of the main menu: the chosen full path, or the empty text when nothing was loaded.
std::string ladowanie_bazy_tekstow(Session& s);
// The records, index and name of the texts base.
void kasowanie_bazy_tekstow(KnowledgeBase& kb);
// Makes the lookup index of the records just read (first record of a name wins).
void index_display_texts(TextsGroup& g);

// The text a person reads for a name, in `language` (without one: the language of the
// program's texts) when the base has one there, else in Polish; nullptr when the base gives none. `help_text`
// the same for the longer help.
const std::string* display_text(const KnowledgeBase& kb, std::string_view name,
                                std::string_view language = {});
const std::string* help_text(const KnowledgeBase& kb, std::string_view name, std::string_view language = {});
// The name as a dialog shows it: "text (name)" when the base gives a text, else the name.
std::string shown_name(const KnowledgeBase& kb, const std::string& name);
// The same for the dialogs of the session: the text only when its port shows texts to a person.
const std::string* dialog_text(const Session& s, std::string_view name);
std::string dialog_name(const Session& s, const std::string& name);

// Handlers of the commands 10190 to 10194.
void register_texts_commands(CommandRegistry& r);

}  // namespace zuva
