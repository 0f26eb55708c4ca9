// The answer to "Dlaczego?" is put together from the why-sources on the session's stack,
// the innermost first: each says who needs the thing described above it. Only the Ui's
// reading dialog shows it; the report, the helper window and the tables stay as they were.
#include "consult/why_asked.h"

#include <functional>
#include <unordered_set>

#include "consult/calculus_basics.h"
#include "consult/cf_calculus.h"
#include "consult/model_eval.h"
#include "kb/model_base.h"
#include "kb/texts_base.h"
#include "session/session.h"
#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva {

namespace {

const char* const kKoniec = "koniec";

std::string join(const TextList& v, const std::string& sep) {
    std::string r;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (i) r += sep;
        r += v[i];
    }
    return r;
}

std::string indent(std::size_t depth) {
    return std::string(4 * (depth + 1), ' ');
}

// The positions of the rules that have the statement among their conditions, in table order
// (the run's index when it describes the rule table, else a scan).
std::vector<std::int32_t> users_of(const Session& s, const std::string& statement) {
    std::vector<std::int32_t> out;
    const auto& rules = s.kb.rules.regula.rows();
    const RuleIndex* ix = s.inference.rule_index.get();
    if (ix && ix->rules_data == rules.data() && ix->rule_count == rules.size()) {
        const std::int32_t id = ix->id_of(statement);
        if (id < 0) return out;
        const auto uid = static_cast<std::size_t>(id);
        for (std::int32_t k = ix->user_offset[uid]; k < ix->user_offset[uid + 1]; ++k)
            out.push_back(ix->user_positions[static_cast<std::size_t>(k)]);
        return out;
    }
    for (std::size_t p = 0; p < rules.size(); ++p)
        for (const auto& c : rules[p].conditions)
            if (c == statement) {
                out.push_back(static_cast<std::int32_t>(p));
                break;
            }
    return out;
}

// Models whose condition of application is the statement, as "model N" texts.
std::vector<std::string> models_conditioned_on(const Session& s, const std::string& statement) {
    std::vector<std::string> out;
    if (!s.kb.nazwa_mo.loaded()) return out;
    auto add = [&](const auto& table) {
        for (const auto& m : table)
            if (m.application_condition == statement)
                out.push_back(tr("model ") + std::to_string(m.model_number) + tr(" (wynik: ") + m.result +
                              ")");
    };
    add(s.kb.models.model);
    add(s.kb.models.model_r);
    add(s.kb.models.model_liniowy);
    add(s.kb.models.model_wielomianowy);
    return out;
}

std::string current_mark(bool innermost) {
    return innermost ? tr("(o to pytam)") : tr("(ustalane teraz)");
}

// The state of a condition that is not the current one.
std::string condition_state(const Session& s, const std::string& c) {
    if (jest_bez_warunku(c) || c == "bez warunku") return tr("(zawsze spełniony)");
    if (auto r = resultant(s, c)) return "(CF = " + format_cf(*r) + ")";
    if (s.inference.zmienna_ustalona.find(c)) return tr("(CF = 1, wartość wyznaczona przez model)");
    return tr("(jeszcze bez CF)");
}

// What follows the base's text of a member of an exact constraint in its question.
constexpr const char* kOnlyEnds = N_(" (tylko -1 albo 1)");

bool numeric_literal(const std::string& name) {
    return parse_real(name).has_value();
}

}  // namespace

std::optional<std::string> ask_value(Session& s, std::string_view dialog, std::string_view title,
                                     const std::string& name, AskedKind kind, bool exact) {
    std::string in_words;
    if (const std::string* t = dialog_text(s, name)) {
        // A conclusion's text is a statement: the dialog asks how sure it is.
        in_words = exact                             ? *t + std::string(tr(kOnlyEnds))
                   : kind == AskedKind::ConclusionCf ? *t + tr(" (na ile pewne?)")
                                                     : *t;
        title = in_words;
    }
    const Asking what = kind == AskedKind::ConditionCf ? (exact ? Asking::ExactMemberCf : Asking::ConditionCf)
                        : kind == AskedKind::ArgumentValue ? Asking::ArgumentValue
                                                           : Asking::ConclusionCf;
    for (;;) {
        s.ui.asking(what);
        Ui::ValueReply reply = s.ui.value_dialog_why(dialog, title, name);
        if (reply.kind == Ui::ValueReply::Kind::Why) {
            s.ui.asking(Asking::WhyAsked);
            s.ui.read_text(tr("Dlaczego pytam?"), why_text(s, name, kind));
            continue;
        }
        if (reply.kind == Ui::ValueReply::Kind::Closed) return std::nullopt;
        // Blanks around the number are no part of it.
        const std::size_t b = reply.text.find_first_not_of(" \t");
        if (b == std::string::npos) return std::string();
        return reply.text.substr(b, reply.text.find_last_not_of(" \t") + 1 - b);
    }
}

std::string why_text(const Session& s, const std::string& name, AskedKind kind) {
    std::vector<std::string> lines;
    switch (kind) {
        case AskedKind::ConditionCf:
            lines.push_back(tr("Pytam o CF warunku:"));
            break;
        case AskedKind::ArgumentValue:
            lines.push_back(tr("Pytam o wartość argumentu:"));
            break;
        case AskedKind::ConclusionCf:
            lines.push_back(tr("Pytam o współczynnik pewności wniosku:"));
            break;
    }
    lines.push_back("    " + dialog_name(s, name));
    if (const std::string* help = s.ui.shows_display_texts() ? help_text(s.kb, name) : nullptr) {
        lines.push_back("");
        lines.push_back(*help);
    }
    const std::size_t header = lines.size();
    const auto& stack = s.inference.explain.why;
    for (std::size_t i = stack.size(); i-- > 0;)
        stack[i]->why(s, i + 1 == stack.size(), lines);
    if (lines.size() == header) lines.push_back(tr("Wartość ta jest potrzebna do dalszego wnioskowania."));
    lines.push_back("");
    lines.push_back(tr(kAskedAgainLine));
    std::string text;
    for (const auto& l : lines) {
        text += l;
        text += '\n';
    }
    return text;
}

WhyScope::WhyScope(Session& s, const WhySource& source) : s_(s) {
    s_.inference.explain.why.push_back(&source);
}

WhyScope::~WhyScope() {
    s_.inference.explain.why.pop_back();
}

void rule_lines(const Session& s, const Regula& r, std::size_t current, bool innermost,
                std::vector<std::string>& out) {
    out.push_back(tr("Jeżeli"));
    for (std::size_t i = 0; i < r.conditions.size(); ++i) {
        const std::string& c = r.conditions[i];
        out.push_back("    " + c + " " +
                      (i == current ? (innermost ? tr("(o ten warunek pytam)")
                                                 : tr("(ten warunek jest teraz ustalany)"))
                                    : condition_state(s, c)));
    }
    out.push_back(tr("to z współczynnikiem CF = ") + r.cf_text);
    out.push_back("    " + r.conclusion);
}

void feeds_lines(const Session& s, const std::string& conclusion, std::vector<std::string>& out) {
    if (conclusion == kKoniec) {
        out.push_back(tr("Wniosek 'koniec' z CF > 0 kończy wnioskowanie."));
        return;
    }
    const auto& rules = s.kb.rules.regula.rows();
    constexpr std::size_t kLines = 20;
    constexpr std::size_t kDepth = 6;
    std::vector<std::string> tree;
    std::unordered_set<std::string> seen{conclusion};
    bool cut = false;
    std::function<void(const std::string&, std::size_t)> walk = [&](const std::string& st,
                                                                    std::size_t depth) {
        for (std::int32_t p : users_of(s, st)) {
            if (tree.size() >= kLines) {
                cut = true;
                return;
            }
            const Regula& r = rules[static_cast<std::size_t>(p)];
            tree.push_back(indent(depth) + tr("reguły ") + std::to_string(r.rule_number) + tr(" (wniosek: ") +
                           r.conclusion + ")");
            if (depth + 1 < kDepth && r.conclusion != kKoniec && seen.insert(r.conclusion).second)
                walk(r.conclusion, depth + 1);
        }
        for (auto& m : models_conditioned_on(s, st)) {
            if (tree.size() >= kLines) {
                cut = true;
                return;
            }
            tree.push_back(indent(depth) + tr("warunkiem stosowania: ") + m);
        }
    };
    walk(conclusion, 0);
    if (tree.empty()) {
        out.push_back(tr("Wniosek ") + conclusion +
                      tr(" nie jest warunkiem żadnej innej reguły ani modelu."));
        return;
    }
    out.push_back(tr("Wniosek ") + conclusion + tr(" jest dalej warunkiem:"));
    out.insert(out.end(), tree.begin(), tree.end());
    if (cut) out.push_back(indent(0) + "...");
}

void ModelWhy::why(const Session& s, bool innermost, std::vector<std::string>& lines) const {
    std::string kind, condition, result, formula;
    std::int32_t number = 0;
    bool relational = false;
    TextList names;  // in the order their values are obtained
    // What every kind of model has: its number, condition of application and result.
    auto common = [&](const auto& m, const char* what) {
        kind = what;
        number = m.model_number;
        condition = m.application_condition;
        result = m.result;
    };
    if (basic_) {
        const Model& m = *basic_;
        relational = relacja_modelu(m.operation_symbol);
        common(m, relational ? tr("modelowi relacyjnemu podstawowemu")
                             : tr("modelowi arytmetycznemu podstawowemu"));
        if (relational)
            formula = m.argument1 + " " + m.operation_symbol + " " + m.argument2;
        else if (jest_operacja_jednoargumentowa(m.operation_symbol))
            formula = m.result + " = " + m.operation_symbol + " " + m.argument1;
        else
            formula = m.result + " = " + m.argument1 + " " + m.operation_symbol + " " + m.argument2;
        names = {m.argument1, m.argument2};
    } else if (extended_) {
        const ModelR& m = *extended_;
        relational = jest_relacja_r(m.operation_symbol);
        common(m, relational ? tr("modelowi relacyjnemu rozwiniętemu")
                             : tr("modelowi arytmetycznemu rozwiniętemu"));
        if (relational && m.variables.size() == 3) {
            const auto comma = m.operation_symbol.find(',');
            formula = m.variables[0] + " " + m.operation_symbol.substr(0, comma) + " " + m.variables[1] +
                      " " + m.operation_symbol.substr(comma + 1) + " " + m.variables[2];
        } else if (m.operation_symbol == "+" || m.operation_symbol == "*") {
            formula = m.result + " = " + join(m.variables, " " + m.operation_symbol + " ");
        } else {
            formula = m.result + " = " + m.operation_symbol + "(" + join(m.variables, ", ") + ")";
        }
        names = m.variables;
    } else if (linear_) {
        const ModelLiniowy& m = *linear_;
        common(m, tr("modelowi arytmetycznemu liniowemu"));
        formula = m.result + " =";
        for (std::size_t i = 0; i < m.variables.size() && i < m.coefficients.size(); ++i)
            formula += (i ? " + " : " ") + m.coefficients[i] + " * " + m.variables[i];
        names = m.coefficients;
        names.insert(names.end(), m.variables.begin(), m.variables.end());
    } else if (polynomial_) {
        const ModelWielomianowy& m = *polynomial_;
        common(m, tr("modelowi arytmetycznemu wielomianowemu"));
        formula = m.result + " =";
        for (std::size_t i = 0; i < m.coefficients.size() && i < m.powers.size(); ++i)
            formula += (i ? " + " : " ") + m.coefficients[i] + " * " + m.variable + "^" +
                       std::to_string(m.powers[i]);
        names = m.coefficients;
        names.push_back(m.variable);
    } else {
        return;
    }
    lines.push_back(tr("Jest to potrzebne ") + kind + " " + std::to_string(number) + tr(" o postaci:"));
    lines.push_back("    " + formula);
    if (relational) {
        lines.push_back(tr("z wnioskiem:"));
        lines.push_back("    " + result);
    }
    // The condition of application is tested first, then the values in their order: the first
    // of them that is still open is the one being obtained now.
    bool current_found = false;
    if (!jest_bez_warunku(condition)) {
        const bool open = !resultant(s, condition);
        lines.push_back(tr("dla warunku stosowania modelu:"));
        lines.push_back("    " + condition + " " +
                        (open ? current_mark(innermost) : condition_state(s, condition)));
        current_found = open;
    }
    std::unordered_set<std::string> listed;
    std::vector<std::string> values;
    for (const auto& n : names) {
        if (numeric_literal(n) || !listed.insert(n).second) continue;
        if (const double* v = s.inference.zmienna_ustalona.find(n)) {
            values.push_back("    " + n + " = " + format_lg(*v));
        } else if (!current_found) {
            values.push_back("    " + n + " " + current_mark(innermost));
            current_found = true;
        } else {
            values.push_back("    " + n + tr(" (jeszcze bez wartości)"));
        }
    }
    if (!values.empty()) {
        lines.push_back("gdzie:");
        lines.insert(lines.end(), values.begin(), values.end());
    }
    if (relational && !s.inference.jakiewnioskowanie.empty() &&
        *s.inference.jakiewnioskowanie.first() == "W_PRZOD")
        feeds_lines(s, result, lines);
}

void record_origin_of_last(Session& s, ResultantOrigin origin) {
    const std::size_t slots = s.inference.wypadkowa_prbd.slot_count();
    if (slots == 0) return;
    auto& v = s.inference.explain.resultant_origins;
    if (v.size() < slots) v.resize(slots);
    v[slots - 1] = origin;
}

void append_resultant(Session& s, const std::string& statement, double cf, ResultantOrigin origin) {
    s.inference.wypadkowa_prbd.append(statement, cf);
    record_origin_of_last(s, origin);
}

void record_constraint_completion(Session& s, const std::string& trigger, bool exact, bool asked) {
    const std::int64_t slot = trigger.empty() ? -1 : s.inference.wypadkowa_prbd.slot_of(trigger);
    record_origin_of_last(s, {exact ? OriginKind::ExactConstraint : OriginKind::UncertainConstraint, asked,
                              static_cast<std::int32_t>(slot)});
}

ResultantOrigin origin_of_slot(const Session& s, std::int64_t slot) {
    const auto& v = s.inference.explain.resultant_origins;
    if (slot < 0 || static_cast<std::size_t>(slot) >= v.size()) return {};
    return v[static_cast<std::size_t>(slot)];
}

ResultantOrigin origin_of(const Session& s, const std::string& statement) {
    return origin_of_slot(s, s.inference.wypadkowa_prbd.slot_of(statement));
}

void mark_imported(Session& s, const std::string& name, bool argument) {
    auto& e = s.inference.explain;
    (argument ? e.imported_arguments : e.imported_facts).insert(name);
}

void record_value_origin(Session& s, const std::string& name, ValueOrigin origin) {
    s.inference.explain.value_origins.insert_or_assign(name, origin);
}

}  // namespace zuva
