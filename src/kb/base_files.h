// Kinds of base file (prefixes, dialog masks and titles), the distinguishing name, the
// correspondence check, the syntax-error report, the generic load sequence, and the
// creation and deletion of base files.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "kb/base_file_reader.h"
#include "store/knowledge_base.h"
#include "ui/ui.h"

namespace zuva {

struct Session;

struct KindInfo {
    BaseKind kind;
    const char* prefix;
    const char* mask;
    FileFilter filter;
    const char* open_title;
};
const KindInfo& kind_info(BaseKind kind);

// Splits "AUTO.BEN" (the name after its two-letter prefix) into the distinguishing name and the rest.
std::pair<std::string, std::string> split_distinguishing_name(const std::string& short_name);
void pamietaj_wyroznik_nazwy(Session& s, const std::string& full_path);
// True when the chosen file's distinguishing name equals the rule base's (or no rule base is loaded).
bool korespondencja(Session& s, const std::string& chosen_full_path);
// Reports a read error; always returns false (the load fails).
bool obsluga_bledu_konsultacji(Session& s, const ReadError& err, const std::string& full_path);

// The kind-specific steps of the generic load sequence.
struct LoadSteps {
    BaseKind kind;
    std::string marker = "Tak";          // value of the loader marker
    std::function<bool()> precondition;  // step 1; may be empty
    std::function<void()> clear;         // step 2
    // Between recording the name and the success lines; a failure has reported itself and
    // ends the load without the failure branches. May be empty.
    std::function<bool()> before_success;
    std::function<void(const std::string& short_name)> success;  // step 10: lines and note
    std::function<bool()> after_load;                            // step 11; may be empty
    std::function<void()> syntax_error_branch;                   // failure branch 1: lines and note
    std::function<void()> empty_lines_branch;                    // failure branch 2: lines and note
    std::function<bool()> closing_branch;                        // failure branch 3; may be empty (fails)
};
// Runs the load; returns the chosen full path when the kind was loaded, else the empty text.
std::string run_load_sequence(Session& s, const LoadSteps& steps);

// The text of a loaded base's file for a browse window; nullopt after a note that says why it
// cannot be read.
std::optional<std::string> base_file_text(Session& s, const std::string& path);

// Records the short name and full path of a base just read.
void record_base_name(Session& s, BaseKind kind, const std::string& full_path);

struct CreateTexts {
    std::string mask, dialog_title, note_title;
    std::function<std::string(const std::string&)> note_text;
    std::string question_title;
    std::function<std::string(const std::string&)> question_text;
};
// Creates an empty base file; returns its path or the empty text when cancelled.
std::string create_base_file(Session& s, const CreateTexts& t);
// Asks "Czy zawijać tekst?" and opens the editor window on the file.
void open_editor_window(Session& s, const std::string& path);

struct DeleteTexts {
    std::string mask, dialog_title, question_title;
    std::vector<FileFilter> filters;  // of the open dialog
    std::function<std::string(const std::string&)> question_text, note_text;
    // The note of a failed removal names the file as chosen rather than its full path.
    bool error_names_chosen = false;
};
// Deletes a chosen file after confirmation; true when a file was deleted.
bool delete_base_file(Session& s, const DeleteTexts& t);

}  // namespace zuva
