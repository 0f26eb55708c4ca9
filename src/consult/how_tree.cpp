// The tree is read from the working tables the run left behind: resultants with their
// origins, the rules' contributions (prbd), the disjunctive records, the applied marks and
// the fixed values with their origins. Nothing is recomputed and nothing is changed. Each
// statement is expanded once (a repeat says "jak wyżej"), so shared and circular parts stay
// finite, and the tree is cut at a depth and a number of lines.
#include "consult/how_tree.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "consult/calculus_basics.h"
#include "consult/cf_calculus.h"
#include "consult/how_concluded.h"
#include "consult/model_eval.h"
#include "consult/why_asked.h"
#include "kb/askable_conditions.h"
#include "kb/model_base.h"
#include "session/session.h"
#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva {

namespace how {

bool relational_basic(const Model& m) {
    return relacja_modelu(m.operation_symbol);
}
bool relational_extended(const ModelR& m) {
    return jest_relacja_r(m.operation_symbol) && m.variables.size() == 3;
}

}  // namespace how

using namespace how;

namespace {

const char* const kKoniec = "koniec";
const char* const kBezWarunku = "bez warunku";

std::string cf_text_of(double cf) {
    return format_cf(cf);
}

class Tracer {
  public:
    explicit Tracer(const Session& s) : s_(s), rules_(s.kb.rules.regula.rows()) {
        for (std::size_t p = 0; p < rules_.size(); ++p)
            concluding_[rules_[p].conclusion].push_back(p);
        for (const auto& d : s.kb.rules.regula_dysjunktywna)
            disjunctive_.insert(d.conclusion);
        for (const auto& a : ogolna_lista_dopytywalnych(s))
            askable_.insert(a);
        for (const auto& m : s.kb.models.model)
            askable_.erase(m.result);
        backward_ = s.inference.explain.finished == RunDirection::Backward;
        s.inference.prbd.for_each([&](const Prbd& p) {
            if (p.conclusion == kKoniec && p.contribution > 0.0 && !koniec_) koniec_ = p;
        });
    }

    std::string tree(const std::string& statement) {
        if (!resultant(s_, statement) && !fixed(statement) && koniec_) out_.push_back(koniec_line());
        node(statement, 0);
        if (cut_) out_.push_back(tr("... (dalsza część drzewa została pominięta)"));
        std::string text;
        for (const auto& l : out_) {
            text += l;
            text += '\n';
        }
        return text;
    }

  private:
    static constexpr std::size_t kLines = 2000;
    static constexpr std::size_t kDepth = 200;

    std::string koniec_line() const {
        return tr("Wnioskowanie zakończyła reguła ") + std::to_string(koniec_->rule_number) +
               tr(" z wnioskiem 'koniec' (CF = ") + cf_text_of(koniec_->contribution) + ").";
    }
    static std::string ind(std::size_t depth) {
        return std::string(4 * std::min<std::size_t>(depth, 30), ' ');
    }
    bool room(std::size_t depth) {
        if (out_.size() >= kLines || depth >= kDepth) {
            cut_ = true;
            return false;
        }
        return true;
    }
    const double* fixed(const std::string& name) const { return s_.inference.zmienna_ustalona.find(name); }
    const std::vector<std::size_t>* rules_of(const std::string& conclusion) const {
        auto it = concluding_.find(conclusion);
        return it == concluding_.end() ? nullptr : &it->second;
    }
    // The contribution a rule made to its conclusion, if any.
    std::optional<double> contribution(const Regula& r) const {
        const Prbd* p = s_.inference.prbd.find_rule(r.rule_number);
        if (!p || p->conclusion != r.conclusion) return std::nullopt;
        return p->contribution;
    }
    // CF of a condition as the run knows it: its resultant, 1 for a value fixed by a model.
    std::optional<double> condition_cf(const std::string& c) const {
        if (auto r = resultant(s_, c)) return r;
        if (c == kBezWarunku) return 1.0;
        if (fixed(c)) return 1.0;
        return std::nullopt;
    }
    std::optional<double> conditions_cf(const Regula& r) const {
        double m = 1.0;
        for (const auto& c : r.conditions) {
            auto cf = condition_cf(c);
            if (!cf) return std::nullopt;
            m = std::min(m, *cf);
        }
        return m;
    }
    // The statement whose rules give the CF: X for "n" + X when only X is concluded by rules.
    const std::string* rule_target(const std::string& st, bool negated, std::string& x) const {
        if (!negated) return &st;
        x = st.substr(1);
        return &x;
    }

    void node(const std::string& st, std::size_t depth) {
        if (!room(depth)) return;
        const std::string pad = ind(depth);
        if (st == kBezWarunku) {
            out_.push_back(pad + st + tr(" (CF = 1): warunek zawsze spełniony"));
            return;
        }
        auto cf = resultant(s_, st);
        if (!cf) {
            if (const double* v = fixed(st)) {
                out_.push_back(pad + st + tr(" (CF = 1): wartość wyznaczona przez model"));
                value_node(st, *v, depth + 1);
                return;
            }
            why_not(st, depth);
            return;
        }
        const ResultantOrigin o = origin_of(s_, st);
        std::string line = pad + st + " (CF = " + cf_text_of(*cf) + "): ";
        switch (o.kind) {
            case OriginKind::Always:
                out_.push_back(line + tr("warunek zawsze spełniony"));
                return;
            case OriginKind::Fact:
                out_.push_back(line + tr("fakt zadeklarowany w bazie reguł"));
                return;
            case OriginKind::ModelFact:
                out_.push_back(line + tr("fakt zadeklarowany w bazie modeli"));
                return;
            case OriginKind::Imported:
                out_.push_back(line + tr("fakt zaimportowany z zewnętrznego źródła danych"));
                return;
            case OriginKind::Answer:
                out_.push_back(line + tr("odpowiedź użytkownika"));
                return;
            case OriginKind::ExactConstraint:
            case OriginKind::UncertainConstraint: {
                line += o.kind == OriginKind::ExactConstraint ? tr("uzupełnienie z ograniczenia dokładnego")
                                                              : tr("uzupełnienie z ograniczenia niepewnego");
                if (o.flag) line += tr(" (odpowiedź użytkownika)");
                if (o.ref < 0) {
                    out_.push_back(line);
                    return;
                }
                const std::string& trigger =
                    s_.inference.wypadkowa_prbd.key_of_row(static_cast<std::size_t>(o.ref));
                out_.push_back(
                    line + tr(", bo warunek ") + trigger + " ma CF = " +
                    cf_text_of(s_.inference.wypadkowa_prbd.value_of_row(static_cast<std::size_t>(o.ref))));
                if (expand(st)) node(trigger, depth + 1);
                return;
            }
            case OriginKind::CumulativeRules:
            case OriginKind::DisjunctiveRules: {
                const bool disj = o.kind == OriginKind::DisjunctiveRules;
                std::string x;
                const std::string& target = *rule_target(st, o.flag, x);
                line += disj ? tr("wypadkowa reguł dysjunktywnych") : tr("wypadkowa reguł kumulatywnych");
                if (o.flag) line += tr(" wniosku ") + target + tr(", ze zmienionym znakiem");
                if (!expand(st)) {
                    out_.push_back(line + tr(" (jak wyżej)"));
                    return;
                }
                out_.push_back(line);
                rules(target, o.flag, depth + 1);
                combination(target, o.flag, disj, depth + 1);
                return;
            }
            case OriginKind::RelationalModel:
                line += std::string(o.flag ? tr("model relacyjny rozwinięty ")
                                           : tr("model relacyjny podstawowy ")) +
                        std::to_string(o.ref);
                if (!expand(st)) {
                    out_.push_back(line + tr(" (jak wyżej)"));
                    return;
                }
                out_.push_back(line);
                relational(o.ref, o.flag, depth + 1);
                return;
            case OriginKind::Unknown:
                break;
        }
        // Recorded by a path that gave no origin: the declared facts are recognisable.
        for (const auto& f : s_.kb.rules.fakt)
            if (f.fact_text == st) {
                out_.push_back(line + tr("fakt zadeklarowany w bazie reguł"));
                return;
            }
        out_.push_back(line + tr("pochodzenie nie zostało zapisane"));
    }

    // A statement's subtree is written once.
    bool expand(const std::string& st) { return expanded_.insert(st).second; }

    // Every rule of the target, in table order, with what it did.
    void rules(const std::string& target, bool negated, std::size_t depth) {
        const auto* list = rules_of(target);
        if (!list) return;
        for (std::size_t p : *list) {
            if (!room(depth)) return;
            rule(rules_[p], negated, depth);
        }
    }

    void rule(const Regula& r, bool negated, std::size_t depth) {
        const std::string pad = ind(depth);
        const std::string head = pad + tr("reguła ") + std::to_string(r.rule_number);
        const auto cond = conditions_cf(r);
        if (auto c = contribution(r)) {
            std::string line = head + tr(": wkład ") + cf_text_of(*c);
            if (cond)
                line += tr(" = zaokrąglenie(CF reguły ") + r.cf_text + tr(" × CF warunków ") +
                        cf_text_of(*cond) + ")";
            if (negated) line += tr(", dla zaprzeczenia ") + cf_text_of(-*c);
            out_.push_back(line);
            conditions(r, depth + 1);
            return;
        }
        if (zastosowana(s_, r.rule_number) && disjunctive_.count(r.conclusion)) {
            out_.push_back(head + tr(": pominięta, bo CF warunków") +
                           (cond ? " " + cf_text_of(*cond) : std::string()) + tr(" i CF reguły ") +
                           r.cf_text + tr(" są ujemne (reguła dysjunktywna)"));
            conditions(r, depth + 1);
            return;
        }
        // Not applied: the first condition without a CF is what it waited for.
        for (const auto& c : r.conditions) {
            if (condition_cf(c)) continue;
            out_.push_back(head + tr(": nie została zastosowana, czeka na warunek ") + c + ":");
            node(c, depth + 1);
            return;
        }
        std::string why;
        if (koniec_)
            why = tr(", bo wnioskowanie zakończyła reguła z wnioskiem 'koniec'");
        else if (backward_ && r.conditions.size() == 1 && r.conditions[0] == kBezWarunku)
            why = tr(", bo reguła bez warunku nie jest stosowana we wnioskowaniu wstecz");
        else if (backward_)
            why = tr(", bo nie była potrzebna do testowania hipotezy");
        out_.push_back(head + tr(": nie została zastosowana") + why);
    }

    void conditions(const Regula& r, std::size_t depth) {
        for (const auto& c : r.conditions) {
            if (!room(depth)) return;
            node(c, depth);
        }
    }

    void combination(const std::string& target, bool negated, bool disj, std::size_t depth) {
        if (!room(depth)) return;
        const std::string pad = ind(depth);
        if (disj) {
            out_.push_back(
                pad +
                (jednakowe_znaki(s_, target)
                     ? tr("CF warunków zastosowanych reguł mają jeden znak: wypadkowa to największy wkład")
                     : tr("CF warunków mają różne znaki: wypadkowa to największy wkład reguł o dodatnim "
                          "CF warunków")));
            return;
        }
        auto [p, n] = dodatnie_i_ujemne_cf(s_, target);
        if (negated) {
            const double np = -n, nn = -p;
            p = np;
            n = nn;
        }
        if (p * n == -1.0) {
            out_.push_back(pad + tr("wkłady P = 1 i N = -1 znoszą się (całkowity konflikt): wypadkowa 0"));
            return;
        }
        out_.push_back(pad + tr("wkłady dodatnie łącznie P = ") + cf_text_of(p) +
                       tr(", ujemne łącznie N = ") + cf_text_of(n) +
                       tr("; wypadkowa = zaokrąglenie((P + N) / (1 - min(P, -N)))"));
    }

    // A relational model that concluded: its relation with the values, its condition of
    // application, and where the values came from.
    void relational(std::int32_t number, bool extended, std::size_t depth) {
        const std::string pad = ind(depth);
        std::string condition, form, cf_text;
        TextList names;
        std::optional<bool> holds;
        auto value = [&](const std::string& n) -> std::optional<double> {
            if (const double* v = fixed(n)) return *v;
            return parse_real(n);
        };
        bool found = false;
        if (!extended) {
            for (const auto& m : s_.kb.models.model)
                if (m.model_number == number && relational_basic(m)) {
                    condition = m.application_condition;
                    form = m.argument1 + " " + m.operation_symbol + " " + m.argument2;
                    names = {m.argument1, m.argument2};
                    cf_text = m.cf_text;
                    auto a = value(m.argument1), b = value(m.argument2);
                    if (a && b) holds = relacja(*a, *b, m.operation_symbol);
                    found = true;
                    break;
                }
        } else {
            for (const auto& m : s_.kb.models.model_r)
                if (m.model_number == number && relational_extended(m)) {
                    const auto comma = m.operation_symbol.find(',');
                    condition = m.application_condition;
                    form = m.variables[0] + " " + m.operation_symbol.substr(0, comma) + " " + m.variables[1] +
                           " " + m.operation_symbol.substr(comma + 1) + " " + m.variables[2];
                    names = m.variables;
                    cf_text = m.cf_text;
                    auto lo = value(m.variables[0]), x = value(m.variables[1]), hi = value(m.variables[2]);
                    if (lo && x && hi) holds = relacja_r(*lo, *x, *hi, m.operation_symbol);
                    found = true;
                    break;
                }
        }
        if (!found) return;
        out_.push_back(pad + tr("relacja: ") + form);
        if (holds)
            out_.push_back(pad + (*holds
                                      ? tr("relacja jest spełniona, CF wniosku z modelu: ") + cf_text
                                      : std::string(tr("relacja nie jest spełniona, więc CF wniosku = -1"))));
        if (!jest_bez_warunku(condition)) {
            out_.push_back(pad + tr("warunek stosowania modelu:"));
            node(condition, depth + 1);
        }
        values(names, depth);
    }

    void values(const TextList& names, std::size_t depth) {
        std::unordered_set<std::string> listed;
        for (const auto& n : names) {
            if (!room(depth)) return;
            if (parse_real(n) || !listed.insert(n).second) continue;
            if (const double* v = fixed(n))
                value_node(n, *v, depth);
            else
                out_.push_back(ind(depth) + n + tr(": brak wartości"));
        }
    }

    void value_node(const std::string& name, double v, std::size_t depth) {
        if (!room(depth)) return;
        const std::string line = ind(depth) + name + " = " + format_lg(v) + ": ";
        for (const auto& a : s_.kb.models.argument_znany)
            if (a.argument_name == name) {
                out_.push_back(line + (s_.inference.explain.imported_arguments.count(name)
                                           ? tr("argument zaimportowany z zewnętrznego źródła danych")
                                           : tr("argument znany z bazy modeli")));
                return;
            }
        auto it = s_.inference.explain.value_origins.find(name);
        if (it == s_.inference.explain.value_origins.end()) {
            out_.push_back(line + tr("wartość ustalona w trakcie wnioskowania"));
            return;
        }
        const ValueOrigin& o = it->second;
        if (o.kind == ValueOrigin::Answer) {
            out_.push_back(line + tr("odpowiedź użytkownika"));
            return;
        }
        static const char* const kinds[] = {N_("podstawowego "), N_("rozwiniętego "), N_("liniowego "),
                                            N_("wielomianowego ")};
        out_.push_back(line + tr("wynik modelu arytmetycznego ") + tr(kinds[std::min<int>(o.model_kind, 3)]) +
                       std::to_string(o.model_number));
        if (!expand("=" + name)) return;
        arithmetic(o, name, depth + 1);
    }

    void arithmetic(const ValueOrigin& o, const std::string& result, std::size_t depth) {
        const std::string pad = ind(depth);
        const ModelGroup& g = s_.kb.models;
        auto common = [&](const std::string& condition, const std::string& form, const TextList& names) {
            out_.push_back(pad + form);
            if (!jest_bez_warunku(condition)) {
                out_.push_back(pad + tr("warunek stosowania modelu:"));
                node(condition, depth + 1);
            }
            values(names, depth);
        };
        switch (o.model_kind) {
            case 0:
                for (const auto& m : g.model)
                    if (m.model_number == o.model_number && m.result == result) {
                        const bool unary = jest_operacja_jednoargumentowa(m.operation_symbol);
                        common(m.application_condition,
                               unary ? m.result + " = " + m.operation_symbol + " " + m.argument1
                                     : m.result + " = " + m.argument1 + " " + m.operation_symbol + " " +
                                           m.argument2,
                               unary ? TextList{m.argument1} : TextList{m.argument1, m.argument2});
                        return;
                    }
                return;
            case 1:
                for (const auto& m : g.model_r)
                    if (m.model_number == o.model_number && m.result == result) {
                        std::string form = m.result + " = " + m.operation_symbol + "(";
                        for (std::size_t i = 0; i < m.variables.size(); ++i)
                            form += (i ? ", " : "") + m.variables[i];
                        common(m.application_condition, form + ")", m.variables);
                        return;
                    }
                return;
            case 2:
                for (const auto& m : g.model_liniowy)
                    if (m.model_number == o.model_number && m.result == result) {
                        std::string form = m.result + " =";
                        for (std::size_t i = 0; i < m.variables.size() && i < m.coefficients.size(); ++i)
                            form += (i ? " + " : " ") + m.coefficients[i] + " * " + m.variables[i];
                        TextList names = m.coefficients;
                        names.insert(names.end(), m.variables.begin(), m.variables.end());
                        common(m.application_condition, form, names);
                        return;
                    }
                return;
            default:
                for (const auto& m : g.model_wielomianowy)
                    if (m.model_number == o.model_number && m.result == result) {
                        std::string form = m.result + " =";
                        for (std::size_t i = 0; i < m.coefficients.size() && i < m.powers.size(); ++i)
                            form += (i ? " + " : " ") + m.coefficients[i] + " * " + m.variable + "^" +
                                    std::to_string(m.powers[i]);
                        TextList names = m.coefficients;
                        names.push_back(m.variable);
                        common(m.application_condition, form, names);
                        return;
                    }
                return;
        }
    }

    // Why a statement has no CF.
    void why_not(const std::string& st, std::size_t depth) {
        const std::string pad = ind(depth);
        if (!expand("?" + st)) {
            out_.push_back(pad + st + tr(": brak CF (jak wyżej)"));
            return;
        }
        out_.push_back(pad + st + tr(": brak CF"));
        const std::string sub = ind(depth + 1);
        // "n" + X stands for the negation of X when X is askable or concluded by rules.
        const bool starts_n = st.size() > 1 && st[0] == 'n';
        const std::string x = starts_n ? st.substr(1) : std::string();
        const bool neg_askable = starts_n && askable_.count(x);
        const bool neg_rules = starts_n && !neg_askable && !rules_of(st) && rules_of(x);
        if (askable_.count(st) || neg_askable) {
            std::string why;
            if (koniec_)
                why = tr(", bo wnioskowanie zakończyła reguła z wnioskiem 'koniec'");
            else if (backward_)
                why = tr(", bo nie był potrzebny do testowania hipotezy");
            else
                why = tr(", bo żadna reguła, która go potrzebuje, nie doszła do niego");
            out_.push_back(sub + tr("nie zapytano o ten warunek") + why);
            return;
        }
        bool explained = false;
        const std::string& target = neg_rules ? x : st;
        if (const auto* list = rules_of(target)) {
            explained = true;
            if (neg_rules) out_.push_back(sub + tr("jest zaprzeczeniem wniosku ") + x + tr(" jego reguł:"));
            bool all_done = true, any_contribution = false;
            for (std::size_t p : *list) {
                if (!room(depth + 1)) return;
                const Regula& r = rules_[p];
                if (contribution(r))
                    any_contribution = true;
                else if (!zastosowana(s_, r.rule_number))
                    all_done = false;
                rule(r, neg_rules, depth + 1);
            }
            if (all_done && disjunctive_.count(target) && !any_contribution)
                out_.push_back(sub + tr("wszystkie reguły dysjunktywne tego wniosku zostały pominięte"));
            else if (all_done && !disjunctive_.count(target))
                combination(target, neg_rules, false, depth + 1);
            else if (!all_done)
                out_.push_back(sub +
                               tr("wypadkowa powstaje dopiero, gdy zastosowano wszystkie reguły wniosku"));
        }
        if (s_.kb.nazwa_mo.loaded()) {
            for (const auto& m : s_.kb.models.model)
                if (m.result == st && relational_basic(m)) {
                    explained = true;
                    model_not_applied(tr("model relacyjny podstawowy "), m.model_number,
                                      m.application_condition, {m.argument1, m.argument2}, depth + 1);
                }
            for (const auto& m : s_.kb.models.model_r)
                if (m.result == st && relational_extended(m)) {
                    explained = true;
                    model_not_applied(tr("model relacyjny rozwinięty "), m.model_number,
                                      m.application_condition, m.variables, depth + 1);
                }
        }
        if (!explained)
            out_.push_back(sub +
                           tr("żaden fakt, reguła ani model go nie wyznacza i nie można o niego zapytać"));
    }

    void model_not_applied(const std::string& kind, std::int32_t number, const std::string& condition,
                           const TextList& names, std::size_t depth) {
        if (!room(depth)) return;
        const std::string head = ind(depth) + kind + std::to_string(number) + tr(": nie został zastosowany");
        if (!jest_bez_warunku(condition)) {
            auto cf = resultant(s_, condition);
            if (!cf) {
                out_.push_back(head + tr(", czeka na warunek stosowania ") + condition + ":");
                node(condition, depth + 1);
                return;
            }
            if (*cf <= 0.0) {
                out_.push_back(head + tr(", bo warunek stosowania ") + condition +
                               " ma CF = " + cf_text_of(*cf));
                return;
            }
        }
        for (const auto& n : names)
            if (!parse_real(n) && !fixed(n)) {
                out_.push_back(head + tr(", bo argument ") + n + tr(" nie ma wartości"));
                return;
            }
        out_.push_back(head);
    }

    const Session& s_;
    const std::vector<Regula>& rules_;
    std::unordered_map<std::string, std::vector<std::size_t>> concluding_;
    std::unordered_set<std::string> disjunctive_;
    std::unordered_set<std::string> askable_;
    std::unordered_set<std::string> expanded_;
    std::optional<Prbd> koniec_;
    bool backward_ = false;
    bool cut_ = false;
    std::vector<std::string> out_;
};

}  // namespace

std::string how_tree(const Session& s, const std::string& statement) {
    Tracer t(s);
    return t.tree(statement);
}

}  // namespace zuva
