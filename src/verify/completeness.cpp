// Whether a rule can ever fire is the question whether each of its conditions can be
// flattened at all: a condition no rule concludes is askable (or given by a model), and a
// concluded one can be flattened when some rule concluding it has conditions that all can.
// That is a least fixpoint, found in one pass over the rules with a counter per rule (the
// conditions still open) and a queue of texts found derivable, so every anomaly here costs
// time linear in the size of the bases, circular bases included.
#include "verify/completeness.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <unordered_map>
#include <unordered_set>

#include "report/report.h"
#include "session/session.h"
#include "store/cf_values.h"
#include "store/flat_map.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"

namespace zuva {

namespace {

namespace fs = std::filesystem;

std::string in_quotes(std::string_view t) {
    return "'" + std::string(t) + "'";
}

// Names of the files of one data directory, also in lower case: the bases were written on
// a system whose file names ignore case.
class DataDirectory {
  public:
    explicit DataDirectory(const fs::path& dir) : dir_(dir) {
        std::error_code ec;
        exists_ = fs::is_directory(dir, ec);
        if (!exists_) return;
        for (const auto& e : fs::directory_iterator(dir, ec)) {
            std::error_code ec2;
            if (!e.is_regular_file(ec2)) continue;
            std::string n = e.path().filename().string();
            names_.insert(n);
            lower_.insert(to_lower_pl(n));
        }
    }
    bool exists() const { return exists_; }
    bool has(const std::string& name) const { return names_.count(name) || lower_.count(to_lower_pl(name)); }
    std::string shown() const { return dir_.lexically_normal().string(); }

  private:
    fs::path dir_;
    bool exists_ = false;
    std::unordered_set<std::string> names_, lower_;
};

// A set of texts that live in the knowledge base for the whole analysis.
class ViewSet {
  public:
    bool insert(std::string_view t) { return set_.try_emplace(t, 1).second; }
    std::size_t count(std::string_view t) const { return set_.contains(t) ? 1 : 0; }
    void reserve(std::size_t n) { set_.reserve(n); }

  private:
    FlatMap<std::string_view, char, TextHash> set_;
};

// Whether the text is among the first `end` texts of the list: a scan for the short lists
// of one rule, a set for long ones (a rule of a thousand conditions stays linear).
class ConditionsOfRule {
  public:
    explicit ConditionsOfRule(const TextList& list) : list_(list) {
        if (list.size() > kScan)
            for (const auto& c : list)
                set_.insert(c);
    }
    bool has(std::string_view t) const {
        if (list_.size() > kScan) return set_.count(t) != 0;
        for (const auto& c : list_)
            if (c == t) return true;
        return false;
    }
    // True the first time the text at position i of the list occurs there.
    bool first_at(std::size_t i) {
        if (list_.size() > kScan) return seen_.insert(list_[i]);
        for (std::size_t k = 0; k < i; ++k)
            if (list_[k] == list_[i]) return false;
        return true;
    }

  private:
    static constexpr std::size_t kScan = 16;
    const TextList& list_;
    ViewSet set_, seen_;
};

class Analysis {
  public:
    Analysis(const KnowledgeBase& kb, const std::string& base_dir, const std::string& wyroznik)
        : kb_(kb), base_dir_(base_dir), wyroznik_(wyroznik) {}

    std::vector<Anomalia> run() {
        collect_names();
        rules_that_never_fire();
        conflicting_duplicates();
        unused_models();
        unused_arguments_and_model_facts();
        unused_constraint_members();
        media_references();
        return std::move(out_);
    }

  private:
    void add(const char* kind, BaseKind base, const char* table, std::size_t ordinal, std::string message) {
        out_.push_back({kind, base, table, ordinal, std::move(message)});
    }

    // Quantities and statements the models read or give.
    void collect_names() {
        auto read = [&](const std::string& t) { model_reads_.insert(t); };
        for (const auto& m : kb_.models.model) {
            read(m.argument1);
            read(m.argument2);
            model_gives_.insert(m.result);
            conditions_of_models_.insert(m.application_condition);
        }
        for (const auto& m : kb_.models.model_r) {
            for (const auto& v : m.variables)
                read(v);
            model_gives_.insert(m.result);
            conditions_of_models_.insert(m.application_condition);
        }
        for (const auto& m : kb_.models.model_liniowy) {
            for (const auto& v : m.variables)
                read(v);
            for (const auto& c : m.coefficients)
                read(c);
            model_gives_.insert(m.result);
            conditions_of_models_.insert(m.application_condition);
        }
        for (const auto& m : kb_.models.model_wielomianowy) {
            read(m.variable);
            for (const auto& c : m.coefficients)
                read(c);
            model_gives_.insert(m.result);
            conditions_of_models_.insert(m.application_condition);
        }
        concluded_.reserve(kb_.rules.regula.count());
        rule_conditions_.reserve(kb_.rules.regula.count());
        for (const auto& r : kb_.rules.regula) {
            concluded_.insert(r.conclusion);
            for (const auto& c : r.conditions)
                rule_conditions_.insert(c);
        }
    }

    // The first exact constraint that holds both conditions.
    const Ograniczenie* exact_constraint_of(const std::string& a, const std::string& b) const {
        for (const auto& o : kb_.exact.ograniczenie) {
            const auto& m = o.exclusive_conditions;
            if (std::find(m.begin(), m.end(), a) != m.end() && std::find(m.begin(), m.end(), b) != m.end())
                return &o;
        }
        return nullptr;
    }

    bool askable(std::string_view t) const {
        return !concluded_.count(t) && !model_gives_.count(t) && t != "bez warunku" && t != "koniec";
    }

    void rules_that_never_fire() {
        const auto& rules = kb_.rules.regula;
        const std::size_t n = rules.count();
        // Texts concluded by rules get ids; the rules that read each one as a condition.
        FlatMap<std::string_view, std::int32_t, TextHash> id;
        id.reserve(n);
        std::vector<std::vector<std::int32_t>> readers;
        std::vector<std::string_view> text;
        auto id_of = [&](std::string_view t) -> std::int32_t {
            auto [v, fresh] = id.try_emplace(t, static_cast<std::int32_t>(text.size()));
            if (fresh) {
                text.push_back(t);
                readers.emplace_back();
            }
            return *v;
        };
        std::vector<std::int32_t> open(n, 0);
        std::vector<std::int32_t> conclusion(n);
        std::size_t i = 0;
        for (const auto& r : rules) {
            conclusion[i] = id_of(r.conclusion);
            ++i;
        }
        i = 0;
        for (const auto& r : rules) {
            ConditionsOfRule seen(r.conditions);
            for (std::size_t k = 0; k < r.conditions.size(); ++k) {
                const std::string& c = r.conditions[k];
                if (!concluded_.count(c) || model_gives_.count(c) || !seen.first_at(k)) continue;
                readers[static_cast<std::size_t>(id_of(c))].push_back(static_cast<std::int32_t>(i));
                ++open[i];
            }
            ++i;
        }
        std::vector<char> derivable(text.size(), 0);
        std::deque<std::int32_t> queue;
        for (std::size_t k = 0; k < n; ++k)
            if (open[k] == 0 && !derivable[static_cast<std::size_t>(conclusion[k])]) {
                derivable[static_cast<std::size_t>(conclusion[k])] = 1;
                queue.push_back(conclusion[k]);
            }
        while (!queue.empty()) {
            std::int32_t t = queue.front();
            queue.pop_front();
            for (std::int32_t r : readers[static_cast<std::size_t>(t)])
                if (--open[static_cast<std::size_t>(r)] == 0) {
                    std::int32_t c = conclusion[static_cast<std::size_t>(r)];
                    if (!derivable[static_cast<std::size_t>(c)]) {
                        derivable[static_cast<std::size_t>(c)] = 1;
                        queue.push_back(c);
                    }
                }
        }
        // Rules that never fire, each with the first condition that blocks it.
        std::vector<std::size_t> first_rule(text.size(), n);
        i = 0;
        for (const auto& r : rules) {
            std::size_t& f = first_rule[static_cast<std::size_t>(conclusion[i])];
            if (f == n) f = i;
            if (open[i] > 0) {
                std::string blocking;
                for (const auto& c : r.conditions)
                    if (concluded_.count(c) && !model_gives_.count(c) &&
                        !derivable[static_cast<std::size_t>(*id.find(c))]) {
                        blocking = c;
                        break;
                    }
                add("rule-never-fires", BaseKind::Rules, "reguła", i,
                    tr("Reguła ") + std::to_string(r.rule_number) +
                        tr(" nigdy nie zostanie zastosowana: warunku ") + in_quotes(blocking) +
                        tr(" nie można spłaszczyć (wnioskują go tylko reguły, które prowadzą w koło bez "
                           "wyjścia "
                           "do "
                           "warunków dopytywalnych)."));
            }
            // X together with "n" + X, both askable: "n" + X is a condition of its own, asked
            // as it stands, so the rule can give a positive CF; only an exact constraint that
            // holds both makes one of them -1 whenever the other is 1.
            ConditionsOfRule in_rule(r.conditions);
            for (const auto& c : r.conditions) {
                if (c.size() < 2 || c[0] != 'n' || !askable(c)) continue;
                const std::string x = c.substr(1);
                if (!in_rule.has(x) || !askable(x)) continue;
                if (const Ograniczenie* o = exact_constraint_of(x, c)) {
                    add("rule-never-positive", BaseKind::Rules, "reguła", i,
                        tr("Reguła ") + std::to_string(r.rule_number) +
                            tr(" nigdy nie da dodatniego CF: jej warunki ") + in_quotes(x) + " i " +
                            in_quotes(c) + tr(" wykluczają się (ograniczenie dokładne ") +
                            std::to_string(o->constraint_number) + ").");
                } else {
                    add("negated-condition-asked", BaseKind::Rules, "reguła", i,
                        tr("Reguła ") + std::to_string(r.rule_number) + tr(" ma warunki ") + in_quotes(x) +
                            " i " + in_quotes(c) + tr(": konsultacja pyta o nie osobno, bo ") + in_quotes(c) +
                            tr(" nie jest zaprzeczeniem warunku dopytywalnego ") + in_quotes(x) +
                            tr("; aby się wykluczały, zapisz je razem w bazie ograniczeń dokładnych."));
                }
                break;
            }
            ++i;
        }
        // Conclusions of rules only that no rule can give.
        for (std::size_t t = 0; t < text.size(); ++t) {
            if (derivable[t] || first_rule[t] == n) continue;
            add("unreachable-conclusion", BaseKind::Rules, "reguła", first_rule[t],
                tr("Wniosku ") + in_quotes(text[t]) +
                    tr(" nie osiągnie żadna konsultacja: żadna z reguł, które go wnioskują, nie może zostać "
                       "zastosowana."));
        }
        std::stable_sort(out_.begin(), out_.end(),
                         [](const Anomalia& a, const Anomalia& b) { return a.ordinal < b.ordinal; });
    }

    void conflicting_duplicates() {
        const auto& rules = kb_.rules.regula;
        std::vector<const Regula*> by_pos;
        by_pos.reserve(rules.count());
        for (const auto& r : rules)
            by_pos.push_back(&r);
        // The key of a rule: its conclusion and its distinct conditions in order, each after
        // a zero byte; all keys in one buffer, so the map holds views of it.
        std::vector<std::size_t> key_end;
        key_end.reserve(by_pos.size());
        std::string keys;
        std::vector<std::string_view> c;
        for (const Regula* r : by_pos) {
            c.assign(r->conditions.begin(), r->conditions.end());
            std::sort(c.begin(), c.end());
            c.erase(std::unique(c.begin(), c.end()), c.end());
            keys += r->conclusion;
            for (auto x : c) {
                keys += '\0';
                keys += x;
            }
            key_end.push_back(keys.size());
        }
        FlatMap<std::string_view, std::size_t, TextHash> first;
        first.reserve(by_pos.size());
        for (std::size_t i = 0; i < by_pos.size(); ++i) {
            const Regula& r = *by_pos[i];
            const std::size_t from = i == 0 ? 0 : key_end[i - 1];
            auto [at, fresh] = first.try_emplace(std::string_view(keys).substr(from, key_end[i] - from), i);
            if (fresh) continue;
            const Regula& o = *by_pos[*at];
            auto a = cf_from_text(o.cf_text), b = cf_from_text(r.cf_text);
            bool differ = a && b ? *a != *b : o.cf_text != r.cf_text;
            if (!differ) continue;
            add("conflicting-duplicate-rule", BaseKind::Rules, "reguła", i,
                tr("Reguły ") + std::to_string(o.rule_number) + " i " + std::to_string(r.rule_number) +
                    tr(" mają ten sam wniosek ") + in_quotes(r.conclusion) +
                    tr(" i te same warunki, lecz różne CF (") + o.cf_text + " i " + r.cf_text + ").");
        }
    }

    bool used_result(const std::string& result) const {
        return rule_conditions_.count(result) || model_reads_.count(result) ||
               conditions_of_models_.count(result);
    }

    template <class T>
    void unused_models_of(const Table<T>& t, const char* table, const char* what) {
        std::size_t i = 0;
        for (const auto& m : t) {
            if (!used_result(m.result))
                add("unused-model", BaseKind::Models, table, i,
                    std::string(what) + " " + std::to_string(m.model_number) + tr(" ma wynik ") +
                        in_quotes(m.result) + tr(", którego nie używa żadna reguła ani żaden model."));
            ++i;
        }
    }

    void unused_models() {
        unused_models_of(kb_.models.model, "model", tr("Model"));
        unused_models_of(kb_.models.model_r, "model_r", tr("Model rozszerzony"));
        unused_models_of(kb_.models.model_liniowy, "model_liniowy", tr("Model liniowy"));
        unused_models_of(kb_.models.model_wielomianowy, "model_wielomianowy", tr("Model wielomianowy"));
    }

    void unused_arguments_and_model_facts() {
        std::size_t i = 0;
        for (const auto& a : kb_.models.argument_znany) {
            if (!model_reads_.count(a.argument_name))
                add("unused-known-argument", BaseKind::Models, "argument_znany", i,
                    tr("Argument znany ") + in_quotes(a.argument_name) +
                        tr(" nie jest argumentem żadnego modelu."));
            ++i;
        }
        i = 0;
        for (const auto& f : kb_.models.m_fakt) {
            if (!conditions_of_models_.count(f.fact_text) && !model_reads_.count(f.fact_text))
                add("unused-model-fact", BaseKind::Models, "m_fakt", i,
                    tr("Fakt bazy modeli ") + in_quotes(f.fact_text) +
                        tr(" nie jest warunkiem stosowania żadnego modelu."));
            ++i;
        }
    }

    void unused_members_of(const Table<Ograniczenie>& t, BaseKind base, const char* table) {
        std::size_t i = 0;
        for (const auto& o : t) {
            for (const auto& m : o.exclusive_conditions)
                if (!rule_conditions_.count(m) && !concluded_.count(m) && !conditions_of_models_.count(m) &&
                    !model_reads_.count(m) && !model_gives_.count(m))
                    add("unused-constraint-member", base, table, i,
                        tr("Warunku ") + in_quotes(m) + tr(" ograniczenia ") +
                            std::to_string(o.constraint_number) +
                            tr(" nie czyta żadna reguła ani żaden model."));
            ++i;
        }
    }

    void unused_constraint_members() {
        unused_members_of(kb_.exact.ograniczenie, BaseKind::ExactConstraints, "ograniczenie");
        unused_members_of(kb_.uncertain.ograniczenie_n, BaseKind::UncertainConstraints, "ograniczenie_n");
    }

    // Advice names rules; pictures and sounds name rules or models. The data files lie in
    // "..\RADY\W\", "..\GRAFIKA\W\" (name + ".bmp") and "..\DŹWIĘKI\W\" (name + ".wav").
    void media_references() {
        std::unordered_set<std::int32_t> rule_numbers, model_numbers;
        for (const auto& r : kb_.rules.regula)
            rule_numbers.insert(r.rule_number);
        for (const auto& m : kb_.models.model)
            model_numbers.insert(m.model_number);
        for (const auto& m : kb_.models.model_r)
            model_numbers.insert(m.model_number);
        for (const auto& m : kb_.models.model_liniowy)
            model_numbers.insert(m.model_number);
        for (const auto& m : kb_.models.model_wielomianowy)
            model_numbers.insert(m.model_number);
        const fs::path up = fs::path(base_dir_) / "..";
        if (!kb_.advice.rada.empty()) {
            DataDirectory dir(up / "RADY" / wyroznik_);
            std::size_t i = 0;
            for (const auto& r : kb_.advice.rada) {
                const std::string head =
                    tr("Rada ") + in_quotes(r.file_name) + tr(" dla reguły ") + std::to_string(r.rule_number);
                if (!rule_numbers.count(r.rule_number))
                    add("dangling-reference", BaseKind::Advice, "rada", i,
                        head + tr(": nie ma reguły o numerze ") + std::to_string(r.rule_number) + ".");
                if (!dir.has(r.file_name))
                    add("missing-data-file", BaseKind::Advice, "rada", i,
                        head + tr(": brak pliku ") + r.file_name + tr(" w katalogu ") + dir.shown() + ".");
                ++i;
            }
        }
        struct Media {
            const Table<Zrodlo>* table;
            BaseKind base;
            const char* name;
            const char* what;
            const char* folder;
            const char* ext;
        };
        const Media media[] = {
            {&kb_.graphics.grafika, BaseKind::Graphics, "grafika", tr("Grafika"), "GRAFIKA", ".bmp"},
            {&kb_.graphics.ngrafika, BaseKind::Graphics, "ngrafika", tr("Grafika"), "GRAFIKA", ".bmp"},
            {&kb_.sounds.dzwiek, BaseKind::Sounds, "dźwięk", tr("Dźwięk"), "DŹWIĘKI", ".wav"},
            {&kb_.sounds.ndzwiek, BaseKind::Sounds, "ndźwięk", tr("Dźwięk"), "DŹWIĘKI", ".wav"},
        };
        for (const auto& m : media) {
            if (m.table->empty()) continue;
            DataDirectory dir(up / m.folder / wyroznik_);
            std::size_t i = 0;
            for (const auto& z : *m.table) {
                const std::string head = std::string(m.what) + " " + in_quotes(z.file_name) +
                                         tr(" dla numeru ") + std::to_string(z.source_number);
                if (!rule_numbers.count(z.source_number) && !model_numbers.count(z.source_number))
                    add("dangling-reference", m.base, m.name, i,
                        head + tr(": nie ma reguły ani modelu o numerze ") + std::to_string(z.source_number) +
                            ".");
                if (!dir.has(z.file_name + m.ext))
                    add("missing-data-file", m.base, m.name, i,
                        head + tr(": brak pliku ") + z.file_name + m.ext + tr(" w katalogu ") + dir.shown() +
                            ".");
                ++i;
            }
        }
    }

    const KnowledgeBase& kb_;
    std::string base_dir_, wyroznik_;
    ViewSet concluded_, rule_conditions_, model_reads_, model_gives_, conditions_of_models_;
    std::vector<Anomalia> out_;
};

const char* base_label(BaseKind k) {
    switch (k) {
        case BaseKind::Rules:
            return tr("bazy reguł");
        case BaseKind::Models:
            return tr("bazy modeli");
        case BaseKind::ExactConstraints:
            return tr("bazy ograniczeń dokładnych");
        case BaseKind::UncertainConstraints:
            return tr("bazy ograniczeń niepewnych");
        case BaseKind::Advice:
            return tr("bazy rad");
        case BaseKind::Graphics:
            return tr("bazy grafiki");
        default:
            return tr("bazy dźwięków");
    }
}

}  // namespace

std::vector<Anomalia> znajdz_anomalie(const KnowledgeBase& kb, const std::string& base_dir,
                                      const std::string& wyroznik) {
    return Analysis(kb, base_dir, wyroznik).run();
}

RecordLines::RecordLines(std::string_view text) {
    int line = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t nl = text.find_first_of("\r\n", pos);
        std::string_view l = text.substr(pos, (nl == std::string_view::npos ? text.size() : nl) - pos);
        ++line;
        std::size_t b = l.find_first_not_of(' ');
        std::size_t e = b == std::string_view::npos ? b : l.find_first_of("(),]", b);
        if (e != std::string_view::npos) {
            std::string_view name = l.substr(b, e - b);
            auto it = lines_.find(name);
            if (it == lines_.end()) it = lines_.emplace(std::string(name), std::vector<int>{}).first;
            it->second.push_back(line);
        }
        if (nl == std::string_view::npos) break;
        pos = nl + 1;
        if (text[nl] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
    }
}

std::optional<int> RecordLines::line_of(const std::string& table, std::size_t ordinal) const {
    auto it = lines_.find(table);
    if (it == lines_.end() || ordinal >= it->second.size()) return std::nullopt;
    return it->second[ordinal];
}

void diagnostyka_kompletnosci(Session& s) {
    if (!s.kb.nazwa_re.loaded()) {
        s.ui.note(tr("Uwaga!"), tr("Proszę załadować bazę reguł!"));
        return;
    }
    const std::string* full = s.kb.nazwa_re.full_path.first();
    const std::string dir = full ? directory_of(*full) : s.current_dir;
    const std::string wyroznik = s.kb.wyroznik.empty() ? std::string() : *s.kb.wyroznik.first();
    std::vector<Anomalia> found = znajdz_anomalie(s.kb, dir, wyroznik);

    // Lines of the records, from the files of the loaded bases.
    std::map<BaseKind, RecordLines> lines;
    for (BaseKind k :
         {BaseKind::Rules, BaseKind::Models, BaseKind::ExactConstraints, BaseKind::UncertainConstraints,
          BaseKind::Advice, BaseKind::Graphics, BaseKind::Sounds}) {
        const BaseName& b = s.kb.name_of(k);
        if (!b.loaded() || b.full_path.empty()) continue;
        auto bytes = read_file_bytes(*b.full_path.first());
        auto text = bytes ? decode_file_text(*bytes) : std::nullopt;
        if (text) lines.emplace(k, RecordLines(*text));
    }

    const std::string name = s.kb.nazwa_re.name();
    kasowanie_tekst_raportu(s);
    piszln(s, tr(" Raport diagnostyki kompletności bazy wiedzy ") + wyroznik);
    piszln(s, tr(" (baza reguł ") + name + tr(" i bazy tej samej nazwy wyróżniającej)"));
    piszcr(s);
    if (found.empty()) {
        piszln(s, tr(" Baza wiedzy nie zawiera anomalii kompletności: każda reguła może zostać"));
        piszln(s, tr(" zastosowana, każdy model i każde ograniczenie jest używane, rady, grafiki"));
        piszln(s, tr(" i dźwięki wskazują istniejące reguły i pliki."));
        piszcr(s);
        s.ui.note(tr("Diagnostyka kompletności bazy wiedzy"),
                  tr("Baza wiedzy ") + wyroznik + tr("\nnie zawiera anomalii kompletności."));
    } else {
        piszln(s, tr(" Znalezione anomalie kompletności (") + std::to_string(found.size()) + "):");
        piszcr(s);
        for (const auto& a : found) {
            const BaseName& b = s.kb.name_of(a.base);
            std::string where = " " + std::string(base_label(a.base)) + " " + b.name();
            auto it = lines.find(a.base);
            if (it != lines.end())
                if (auto l = it->second.line_of(a.table, a.ordinal))
                    where += tr(", wiersz ") + std::to_string(*l);
            piszln(s, where + ":");
            piszln(s, "    " + a.message);
        }
        piszcr(s);
        piszln(s, tr(" Anomalie nie zakłócają wnioskowania, lecz wskazują fragmenty bazy, które nie biorą"));
        piszln(s, tr(" udziału w żadnej konsultacji. Przejdź do edycji odpowiedniej bazy i popraw je."));
        piszcr(s);
        s.ui.note(tr("Diagnostyka kompletności bazy wiedzy"),
                  tr("Baza wiedzy ") + wyroznik + tr("\nzawiera ") + std::to_string(found.size()) +
                      tr(" anomalii kompletności.\nSzczegóły są w oknie pomocniczym i w raporcie."));
    }
    raport(s);
}

}  // namespace zuva
