// The checks run on a real session through the same commands as the menu: the loads with
// their load-time tests, then each diagnosis's report command. A port without dialogs
// answers every question with its first button (the one that runs the test or shows
// more), cancels every file dialog but the load's own, and keeps the note boxes; the
// notes and questions that name a record become the findings, placed on that record's
// line of its base file.
#include "shell/check.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "kb/base_file_reader.h"
#include "kb/base_files.h"
#include "kb/sibling_bases.h"
#include "session/command_registry.h"
#include "session/session.h"
#include "shell/base_group.h"
#include "shell/check_filters.h"
#include "shell/check_texts.h"
#include "shell/check_ui.h"
#include "shell/finding_text.h"
#include "shell/handlers.h"
#include "shell/shell.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"
#include "ui/ui.h"
#include "verify/analysis.h"
#include "verify/completeness.h"
#include "verify/shared_flattening.h"

namespace zuva {

using namespace check;

namespace {

// Whether a text the load showed is the given one, as written or in the language of the run
// (the texts come from the core, marked for translation or not).
bool is_text(std::string_view shown, const char* text) {
    return shown == text || shown == tr(text);
}
bool starts_with_text(std::string_view shown, const char* text) {
    return shown.starts_with(text) || shown.starts_with(tr(text));
}

namespace fs = std::filesystem;

// A diagnosis: its report command and how grave its findings are. A command that no
// module registers yet, or that its diagnosis did not enable (nothing to report), is
// skipped, so a diagnosis that lands later needs only its line here.
struct DiagnosisCheck {
    int command;
    const char* kind;
    bool error;
};
const DiagnosisCheck kDiagnoses[] = {
    {10073, "external-contradiction", true},
    {10075, "redundancy", false},
    {10090, "model-contradiction", true},
    {10091, "model-rule-contradiction", true},
    {10100, "exact-constraint-contradiction", true},
    {10101, "exact-constraint-redundancy", false},
    {10110, "uncertain-constraint-contradiction", true},
    {10111, "uncertain-constraint-redundancy", false},
    {10147, "exclusive-conclusions-one", false},
    {10148, "exclusive-conclusions-none", false},
    {10149, "non-exclusive-conclusions", false},
};

struct BaseFile {
    BaseKind kind;
    std::string path;
    RecordLines lines;
};

class Checker {
  public:
    Checker(const std::string& rule_path, const CheckOptions& o) : options_(o), s_(ui_) {
        result_.rule_file = rule_path;
        install_handlers(registry_);
        s_.unsaved_texts = o.texts;
        // Without the diagnoses the loads run only their own tests.
        if (!o.diagnoses) return;
        prepare_session(s_);
        // What a diagnosis shows during a load is its verdict; its findings come from its
        // report command afterwards.
        for (auto* hook :
             {&s_.diagnoses.rule_contradictions, &s_.diagnoses.rule_redundancy,
              &s_.diagnoses.exact_constraint_diagnoses, &s_.diagnoses.uncertain_constraint_diagnoses}) {
            if (!*hook) continue;
            *hook = [this, inner = *hook](Session& s) {
                ui_.in_diagnosis = true;
                inner(s);
                ui_.in_diagnosis = false;
            };
        }
        model_results_ = s_.diagnoses.model_results;
        for (auto* hook : {&s_.diagnoses.model_contradictions, &s_.diagnoses.model_rule_contradictions,
                           &s_.diagnoses.model_results}) {
            if (!*hook) continue;
            *hook = [this, inner = *hook](Session& s) {
                ui_.in_diagnosis = true;
                bool passed = inner(s);
                ui_.in_diagnosis = false;
                return passed;
            };
        }
    }

    CheckResult run() {
        std::error_code ec;
        std::string full = fs::absolute(result_.rule_file, ec).lexically_normal().string();
        const bool held = options_.texts.count(full) > 0;
        auto bytes = held ? std::nullopt : read_file_bytes(full);
        if (!held && (!bytes || !fs::is_regular_file(full, ec))) {
            result_.unreadable = true;
            add({result_.rule_file, 1, 1, true, "file",
                 tr("Nie można odczytać pliku ") + result_.rule_file + "."});
            return result_;
        }
        try {
            start_program(s_);
            close_intro(s_);
            // The rules are read once and nothing edits them after: the diagnoses of the
            // loads and the reports share one flattening index and the analyses' forms (an
            // index made before the askable conditions are known is not handed out after).
            std::optional<SharedFlattening> shared{std::in_place};
            if (!load(BaseKind::Rules, 10064, result_.rule_file, full)) return finish();
            if (!s_.kb.nazwa_re.loaded()) return finish();
            const bool contradictory =
                s_.kb.sprzecznosc_1z.find_first([](const std::string& v) { return v == "TAK"; }) != nullptr;
            // Contradictory rules cannot be flattened: the other bases are only read (their
            // syntax and the completeness analysis need no flattening), not loaded.
            std::vector<std::string> not_loaded, not_run;
            std::set<BaseKind> beside;
            for (const auto& l : kSiblingLoads) {
                if (stopped()) return finish();
                if (auto sibling = sibling_of(full, l.kind)) {
                    // Named as the rule base was: beside it, in the same form of path.
                    std::string shown =
                        (fs::path(result_.rule_file).parent_path() / fs::path(*sibling).filename()).string();
                    if (contradictory) not_loaded.push_back(shown);
                    beside.insert(l.kind);
                    load(l.kind, l.command, shown, *sibling, !contradictory);
                }
            }
            if (options_.diagnoses) {
                if (stopped()) return finish();
                model_results();
                for (const auto& d : kDiagnoses) {
                    if (stopped()) return finish();
                    // A diagnosis of a kind of base that is not there would not have run anyway.
                    const std::string_view k = d.kind;
                    const bool no_base =
                        (k.find("model") != k.npos && !beside.count(BaseKind::Models)) ||
                        (k.find("exact") != k.npos && !beside.count(BaseKind::ExactConstraints)) ||
                        (k.find("uncertain") != k.npos && !beside.count(BaseKind::UncertainConstraints));
                    if (contradictory && !no_base && !command_available(s_, registry_, d.command))
                        not_run.push_back(d.kind);
                    diagnosis(d);
                }
            }
            if (contradictory && (!not_run.empty() || !not_loaded.empty()))
                add({result_.rule_file, 1, 1, false, "not-run", not_run_text(not_run, not_loaded)});
            if (stopped()) return finish();
            // The anomaly search reads the records as written and needs no index: what the
            // diagnoses kept goes first.
            shared.reset();
            if (options_.anomalies && rules_read_) anomalies(full);
            if (rules_read_) display_texts();
        } catch (const CheckAborted&) {
            add({result_.rule_file, 1, 1, true, "check", tr("Test przerwany: program pytał bez końca.")});
        } catch (const ProgramExit&) {
        }
        return finish();
    }

  private:
    CheckResult finish() {
        // Each finding once, in the order found.
        std::set<std::tuple<std::string, int, std::string>> seen;
        std::vector<Finding> kept;
        for (auto& f : result_.findings)
            if (seen.insert({f.file, f.line, f.message}).second) kept.push_back(std::move(f));
        result_.findings = std::move(kept);
        return result_;
    }

    void add(Finding f) { result_.findings.push_back(std::move(f)); }

    bool stopped() {
        if (options_.cancelled && options_.cancelled()) result_.cancelled = true;
        return result_.cancelled;
    }

    // The bases of the same distinguishing name in the rule base's directory; a text held
    // by an editor counts when no file of the kind is there yet.
    std::optional<std::string> sibling_of(const std::string& rule_full, BaseKind kind) const {
        if (auto on_disk = sibling_base(rule_full, kind)) return on_disk;
        const std::string dir = directory_of(rule_full);
        const std::string wyroznik = split_distinguishing_name(short_name_of(rule_full)).first;
        const std::string prefix = to_lower_pl(kind_info(kind).prefix);
        for (const auto& [path, text] : options_.texts) {
            const std::string name = short_name_of(path);
            auto [w, ext] = split_distinguishing_name(name);
            if (directory_of(path) == dir && to_lower_pl(name).rfind(prefix, 0) == 0 && w == wyroznik &&
                to_lower_pl(ext) == ".ben")
                return path;
        }
        return std::nullopt;
    }

    // Reads the file first on its own, so that a syntax error is placed exactly; then runs
    // the load command with its tests (unless only its records are wanted). False when the
    // base did not load.
    bool load(BaseKind kind, int command, const std::string& shown_path, const std::string& full,
              bool dispatch = true) {
        BaseFile f{kind, shown_path, {}};
        auto held = options_.texts.find(full);
        auto bytes =
            held != options_.texts.end() ? std::optional<std::string>(held->second) : read_file_bytes(full);
        auto text = held != options_.texts.end() ? bytes : bytes ? decode_file_text(*bytes) : std::nullopt;
        if (!text) {
            add({shown_path, 1, 1, true, "file",
                 bytes ? "Plik nie jest tekstem w kodowaniu Windows-1250 ani UTF-8."
                       : tr("Nie można odczytać pliku.")});
            if (kind == BaseKind::Rules) result_.unreadable = true;
            return false;
        }
        result_.files.push_back(shown_path);
        f.lines = RecordLines(*text);
        // The records as written, for placing findings and for the completeness analysis.
        if (auto err = syntax_finding(kind, *text, shown_path, &records_)) {
            clear_group(records_, kind);
            add(std::move(*err));
            if (kind == BaseKind::Rules) rules_read_ = false;
            return false;
        }
        bases_.push_back(std::move(f));
        if (!dispatch || !command_available(s_, registry_, command)) return false;
        ui_.shown.clear();
        ui_.next_open = full;
        dispatch_command(s_, registry_, command);
        ui_.next_open.clear();
        collect_load(kind);
        return true;
    }

    // Position of the first record of the table with the number, through an index built
    // the first time the table is asked.
    template <class T, class Number>
    std::optional<std::size_t> first_with(const Table<T>& t, const std::string& table, long number,
                                          Number num) {
        auto [it, fresh] = ordinals_.try_emplace(table);
        if (fresh)
            for (std::size_t i = 0; i < t.count(); ++i)
                it->second.try_emplace(static_cast<long>(num(t[i])), i);
        auto f = it->second.find(number);
        if (f == it->second.end()) return std::nullopt;
        return f->second;
    }
    std::optional<std::size_t> ordinal_of(const std::string& table, long number) {
        auto model = [](const auto& m) { return m.model_number; };
        if (table == "reguła")
            return first_with(records_.rules.regula, table, number,
                              [](const Regula& r) { return r.rule_number; });
        if (table == "model") return first_with(records_.models.model, table, number, model);
        if (table == "model_r") return first_with(records_.models.model_r, table, number, model);
        if (table == "model_liniowy") return first_with(records_.models.model_liniowy, table, number, model);
        if (table == "model_wielomianowy")
            return first_with(records_.models.model_wielomianowy, table, number, model);
        auto constraint = [](const Ograniczenie& o) { return o.constraint_number; };
        if (table == "ograniczenie")
            return first_with(records_.exact.ograniczenie, table, number, constraint);
        if (table == "ograniczenie_n")
            return first_with(records_.uncertain.ograniczenie_n, table, number, constraint);
        return std::nullopt;
    }

    const BaseFile* base_of(BaseKind kind) const {
        for (const auto& b : bases_)
            if (b.kind == kind) return &b;
        return nullptr;
    }

    // Where a finding about the text belongs: the named record's line in its base file,
    // else the first line of the base the step was about.
    void place(Finding& f, std::string_view text, BaseKind about) {
        const BaseFile* home = base_of(about);
        if (!home) home = base_of(BaseKind::Rules);
        f.file = home ? home->path : result_.rule_file;
        auto ref = named_record(text);
        if (!ref) return;
        struct Where {
            BaseKind kind;
            const char* table;
        };
        std::vector<Where> tries;
        if (ref->what == 'r') {
            tries = {{BaseKind::Rules, "reguła"}};
        } else if (ref->what == 'm') {
            tries = {{BaseKind::Models, "model"},
                     {BaseKind::Models, "model_r"},
                     {BaseKind::Models, "model_liniowy"},
                     {BaseKind::Models, "model_wielomianowy"}};
        } else {
            if (about == BaseKind::UncertainConstraints)
                tries = {{BaseKind::UncertainConstraints, "ograniczenie_n"},
                         {BaseKind::ExactConstraints, "ograniczenie"}};
            else
                tries = {{BaseKind::ExactConstraints, "ograniczenie"},
                         {BaseKind::UncertainConstraints, "ograniczenie_n"}};
        }
        for (const auto& t : tries) {
            const BaseFile* b = base_of(t.kind);
            if (!b) continue;
            auto ordinal = ordinal_of(t.table, ref->number);
            if (!ordinal) continue;
            if (auto line = b->lines.line_of(t.table, *ordinal)) {
                f.file = b->path;
                f.line = *line;
                return;
            }
        }
    }

    // The load's own notes: titles that announce a result ("Wynik ...") or give advice
    // ("Zalecenie") are no findings, "Uwaga!" warns, every other note reports an error.
    // The questions that show one record each (the single-condition rules) are warnings.
    void collect_load(BaseKind kind) {
        for (const auto& sh : ui_.shown) {
            if (sh.in_diagnosis) continue;
            Finding f;
            if (sh.question) {
                if (!is_text(sh.title, N_("Reguła z pojedynczym warunkiem"))) continue;
                f.error = false;
                f.kind = "single-condition-rule";
            } else {
                // The notes that announce a diagnosis and tell its result are not findings.
                if (starts_with_text(sh.title, N_("Wynik")) || is_text(sh.title, N_("Zalecenie")) ||
                    is_text(sh.title, N_("Diagnozowanie")))
                    continue;
                // Nor the note that a base was loaded (the advice, graphics and sound loads
                // title it with the load's own line).
                if (std::string_view(sh.text).ends_with("\nzostała załadowana.") ||
                    std::string_view(sh.text).ends_with(tr("\nzostała załadowana.")))
                    continue;
                f.error = !is_text(sh.title, N_("Uwaga!"));
                f.kind = "load";
            }
            std::string text = without_question(sh.text);
            f.message = one_line(text);
            if (f.message.empty()) continue;
            place(f, text, kind);
            add(std::move(f));
        }
        ui_.shown.clear();
    }

    // The rule lines of the analysis belong to the finding they support: the last one of the
    // same step (`from` is where the step's findings begin), else one made from the verdict
    // (the note's title). Each verdict lists its rules once, after its title.
    bool fold_rule_line(const Shown& sh, std::size_t from, const std::string& kind, bool error,
                        std::string& verdict) {
        auto line = analysis_rule_line(sh.text);
        if (!line) return false;
        fold_rule(line->first, line->second, sh.title, from, kind, error, verdict);
        return true;
    }

    // The rules an analysis listed whole, folded as their lines are. A rule whose line does
    // not read back as a rule line (a number of more than nine digits or below zero) goes
    // to `as_note` as that line, as it would have come.
    template <class AsNote>
    void fold_rule_list(const Shown& sh, std::size_t from, const std::string& kind, bool error,
                        std::string& verdict, AsNote&& as_note) {
        for (const auto& r : sh.rules) {
            if (r.rule_number < 0 || r.rule_number > 999999999) {
                Shown line{false, sh.in_diagnosis, sh.title,
                           linia_reguly_testowanej(r.rule_number, r.conclusion)};
                as_note(line);
                continue;
            }
            // A rule line reads back its conclusion without leading blanks.
            std::string_view conclusion = r.conclusion;
            conclusion.remove_prefix(std::min(conclusion.find_first_not_of(' '), conclusion.size()));
            fold_rule(r.rule_number, conclusion, sh.title, from, kind, error, verdict);
        }
    }

    void fold_rule(long number, std::string_view conclusion, const std::string& title_source,
                   std::size_t from, const std::string& kind, bool error, std::string& verdict) {
        std::string rule = std::to_string(number);
        rule += " (";
        rule += conclusion;
        rule += ')';
        // An analysis shows one title over many rule lines: worked out once per title.
        if (title_source != folded_title_source_) {
            folded_title_source_ = title_source;
            folded_title_ = one_line(title_source);
            while (!folded_title_.empty() && (folded_title_.back() == ':' || folded_title_.back() == ' '))
                folded_title_.pop_back();
        }
        const std::string& title = folded_title_;
        if (result_.findings.size() > from && verdict == title) {
            std::string& message = result_.findings.back().message;
            message += ", ";
            message += rule;
            return;
        }
        if (result_.findings.size() > from) {
            Finding& f = result_.findings.back();
            if (!f.message.empty() && f.message.back() == ':') {
                f.message += " reguły " + rule;  // the finding announces its rules itself
            } else {
                if (!f.message.empty() && f.message.back() != '.') f.message += '.';
                f.message += " " + title + ": reguły " + rule;
            }
        } else {
            Finding f;
            f.error = error;
            f.kind = kind;
            f.message = title + ": reguły " + rule;
            place(f, "Reguła " + std::to_string(number), BaseKind::Rules);
            add(std::move(f));
        }
        verdict = title;
    }

    // While a diagnosis's report runs, the analyses hand their rule lists over whole.
    struct TakingRuleLists {
        explicit TakingRuleLists(Checker& c) : s(c.s_) {
            s.listed_rules = [&ui = c.ui_](const std::string& title, std::vector<ListedRule>&& rules) {
                ui.rule_list(title, std::move(rules));
            };
        }
        ~TakingRuleLists() { s.listed_rules = nullptr; }
        Session& s;
    };

    // A diagnosis's report: every note that names a record is a finding of the diagnosis.
    void diagnosis(const DiagnosisCheck& d) {
        if (!command_available(s_, registry_, d.command)) return;
        ui_.shown.clear();
        {
            TakingRuleLists lists(*this);
            dispatch_command(s_, registry_, d.command);
        }
        BaseKind about = BaseKind::Rules;
        std::string_view k = d.kind;
        if (k.find("model") != std::string_view::npos) about = BaseKind::Models;
        if (k.find("exact") != std::string_view::npos) about = BaseKind::ExactConstraints;
        if (k.find("uncertain") != std::string_view::npos) about = BaseKind::UncertainConstraints;
        const std::size_t from = result_.findings.size();
        std::string verdict;
        const std::string kind = d.kind;
        auto one = [&](const Shown& sh) {
            if (fold_rule_line(sh, from, kind, d.error, verdict)) return;
            verdict.clear();
            std::string text = without_question(sh.text);
            if (!named_record(text)) return;
            Finding f;
            f.error = d.error;
            f.kind = d.kind;
            f.message = one_line(text);
            place(f, text, about);
            add(std::move(f));
        };
        fold_shown(from, kind, d.error, verdict, one);
        ui_.shown.clear();
    }

    // Every note a report showed (its questions aside), in order: each handed-over rule list
    // folded rule by rule, any other note to `one`.
    template <class One>
    void fold_shown(std::size_t from, const std::string& kind, bool error, std::string& verdict, One&& one) {
        for (const auto& sh : ui_.shown) {
            if (sh.question) continue;
            if (sh.rule_list)
                fold_rule_list(sh, from, kind, error, verdict, one);
            else
                one(sh);
        }
    }

    // The tests of model results as an inference start runs them: when they fail, their
    // message is an error (no inference would start), and so is each note that names a
    // record (the rules whose conclusions do not exclude each other).
    void model_results() {
        if (!model_results_) return;
        ui_.shown.clear();
        bool passed;
        {
            TakingRuleLists lists(*this);
            passed = model_results_(s_);
        }
        bool first = true;
        const std::size_t from = result_.findings.size();
        const std::string kind = "model-results";
        std::string verdict;
        auto one = [&](const Shown& sh) {
            if (fold_rule_line(sh, from, kind, true, verdict)) return;
            verdict.clear();
            std::string text = without_question(sh.text);
            if (!std::exchange(first, false) && !named_record(text)) return;
            Finding f;
            f.error = true;
            f.kind = kind;
            f.message = one_line(text);
            if (f.message.empty()) return;
            place(f, text, BaseKind::Models);
            add(std::move(f));
        };
        if (!passed) fold_shown(from, kind, true, verdict, one);
        ui_.shown.clear();
    }

    // The completeness analysis over the records of every base read.
    void anomalies(const std::string& rule_full) {
        const std::string wyroznik = split_distinguishing_name(short_name_of(rule_full)).first;
        for (auto& a : znajdz_anomalie(records_, directory_of(rule_full), wyroznik)) {
            Finding f;
            const BaseFile* b = base_of(a.base);
            f.file = b ? b->path : result_.rule_file;
            if (b)
                if (auto line = b->lines.line_of(a.table, a.ordinal)) f.line = *line;
            f.kind = std::move(a.kind);
            f.message = std::move(a.message);
            add(std::move(f));
        }
    }

    // The names of the texts base against the names of the other bases.
    void display_texts() {
        const BaseFile* b = base_of(BaseKind::Texts);
        const bool missing = options_.enabled.count("missing-text") > 0;
        if (!b && !missing) return;
        std::vector<std::string> askable(s_.kb.dopytywalny.begin(), s_.kb.dopytywalny.end());
        for (const auto& a : s_.kb.models.arg_dopyt)
            askable.push_back(a.argument_name);
        for (auto& t : texts_findings(records_, askable, missing)) {
            Finding f{b ? b->path : result_.rule_file, 1, 1, t.error, t.kind, std::move(t.message)};
            if (b && *t.table)
                if (auto line = b->lines.line_of(t.table, t.ordinal)) f.line = *line;
            add(std::move(f));
        }
    }

    CheckOptions options_;
    std::function<bool(Session&)> model_results_;
    CheckUi ui_;
    Session s_;
    CommandRegistry registry_;
    std::string folded_title_source_, folded_title_;  // the last rule line's title, folded
    CheckResult result_;
    std::vector<BaseFile> bases_;
    KnowledgeBase records_;
    bool rules_read_ = true;
    std::unordered_map<std::string, std::unordered_map<long, std::size_t>> ordinals_;
};

}  // namespace

std::optional<Finding> syntax_finding(BaseKind kind, std::string_view text, const std::string& shown_path,
                                      KnowledgeBase* records) {
    KnowledgeBase scratch;
    auto err = parse_base_text(records ? *records : scratch, kind, text);
    if (!err) return std::nullopt;
    std::string msg =
        err->line_text.empty() && err->position == 0
            ? "Baza zawiera puste linie!"
            : tr("Błąd syntaksu: ") +
                  syntax_error_text(
                      *err, [kind](std::string_view t) { return field_count(kind, t); }, table_names(kind));
    return Finding{shown_path, err->line_number, err->position + 1, true, "syntax", msg};
}

CheckResult check_knowledge_base(const std::string& rule_path, const CheckOptions& options) {
    Checker c(rule_path, options);
    CheckResult r = c.run();
    for (auto& f : r.findings)
        f.message = rules_in_number_order(tidy_message(std::move(f.message)));
    apply_kind_settings(r, options);
    merge_exclusiveness(r.findings);
    return r;
}

}  // namespace zuva
