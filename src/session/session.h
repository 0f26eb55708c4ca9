// One run of the program: every table, the current directory and the Ui port.
// Tests create as many sessions as they like; nothing is global.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "session/inference_state.h"
#include "session/load_hooks.h"
#include "session/model_state.h"
#include "session/report_state.h"
#include "session/shell_state.h"
#include "session/verify_state.h"
#include "store/knowledge_base.h"
#include "ui/ui.h"

namespace zuva {

// A rule an analysis lists under its verdict: its number and conclusion.
struct ListedRule {
    std::int32_t rule_number = 0;
    std::string conclusion;
};

struct Session {
    explicit Session(Ui& port);
    // A session for a consultation of a loaded base: the base of `loaded` is shared (read
    // only from here on: nothing a consultation does writes into it), the rest of its state
    // is copied, the working state of a run starts empty. `base`, when given, is used in
    // place of the shared base (a private copy that a consultation may add to).
    Session(Ui& port, const Session& loaded, std::shared_ptr<KnowledgeBase> base = nullptr);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Ui& ui;

  private:
    std::shared_ptr<KnowledgeBase> base_;

  public:
    // The loaded bases; the session's own unless it was made from a loaded session.
    KnowledgeBase& kb;
    std::shared_ptr<KnowledgeBase> shared_base() const { return base_; }
    ModelState models;
    InferenceState inference;
    ReportState report;
    VerifyState verify;
    ShellState shell;
    // Diagnoses the loads run in their places (filled in by the verification module).
    LoadDiagnoses diagnoses;
    // Directory of the last base file chosen in a load dialog; relative names resolve against it.
    std::string current_dir;
    // Texts of base files as an editor holds them (UTF-8), by full path: a load reads the
    // text given here in place of the file on disk. Empty in the programs of the menu.
    std::map<std::string, std::string> unsaved_texts;
    // Takes the rules an analysis lists under a verdict (each once, in order) whole, in
    // place of one helper line and one note per rule. Unset in the programs of the menu,
    // which show the lines; `zuva check` sets it while it gathers a diagnosis's findings.
    std::function<void(const std::string& title, std::vector<ListedRule>&& rules)> listed_rules;

    std::string resolve(const std::string& path) const;
    void set_title(const std::string& title);
    // Helper-window write that does not go to the report.
    void helper(std::string_view text) { ui.helper_write(text); }
};

}  // namespace zuva
