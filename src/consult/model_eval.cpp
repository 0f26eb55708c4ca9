// Values are obtained strictly in the order that decides the order of the questions:
// argument1 before argument2, list elements in list order, coefficients before variables.
// A quantity gets a value at most once per run and a model is applied at most once.
#include "consult/model_eval.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <variant>

#include "consult/calculus_basics.h"
#include "consult/early_end.h"
#include "consult/model_eval_support.h"
#include "consult/model_steps.h"
#include "consult/why_asked.h"
#include "kb/model_base.h"
#include "report/report.h"
#include "session/session.h"
#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva {
namespace model_eval {

std::string lg(double v) {
    return format_lg(v);
}
std::string num(std::int32_t n) {
    return std::to_string(n);
}

// An undefined case of an operation: the model is not applied, the user is told why.
std::nullopt_t odmowa(Session& s, const std::string& why) {
    s.helper(why + "\n");
    s.ui.note(tr("Uwaga!"), why);
    return std::nullopt;
}

std::optional<double> fixed(const Session& s, const std::string& name) {
    if (const double* v = s.inference.zmienna_ustalona.find(name)) return *v;
    return std::nullopt;
}

bool applied(const Session& s, std::int32_t n) {
    return s.inference.model_stosowany.count(n) != 0;
}

const ModelIndex& indeks(Session& s) {
    ModelIndex& ix = s.models.index;
    const ModelGroup& g = s.kb.models;
    std::size_t sizes[4] = {g.model.count(), g.model_r.count(), g.model_liniowy.count(),
                            g.model_wielomianowy.count()};
    bool loaded = s.kb.nazwa_mo.loaded();
    bool same = ix.built && ix.loaded == loaded;
    for (int i = 0; i < 4 && same; ++i)
        same = ix.sizes[i] == sizes[i];
    if (same) return ix;
    ix.by_result.clear();
    // Records read before a faulty line stay in the tables without a model-base name:
    // they are not a loaded base and take no part in a consultation.
    if (loaded) {
        for (std::size_t i = 0; i < g.model.count(); ++i)
            ix.by_result[g.model[i].result].basic.push_back(i);
        for (std::size_t i = 0; i < g.model_r.count(); ++i)
            ix.by_result[g.model_r[i].result].extended.push_back(i);
        for (std::size_t i = 0; i < g.model_liniowy.count(); ++i)
            ix.by_result[g.model_liniowy[i].result].linear.push_back(i);
        for (std::size_t i = 0; i < g.model_wielomianowy.count(); ++i)
            ix.by_result[g.model_wielomianowy[i].result].polynomial.push_back(i);
    }
    for (int i = 0; i < 4; ++i)
        ix.sizes[i] = sizes[i];
    ix.loaded = loaded;
    ix.built = true;
    return ix;
}

const ModelIndex::Positions* modele_wyniku(Session& s, const std::string& name) {
    const ModelIndex& ix = indeks(s);
    auto it = ix.by_result.find(name);
    return it == ix.by_result.end() ? nullptr : &it->second;
}

}  // namespace model_eval

using namespace model_eval;

namespace {

bool cf_jeden(const std::string& cf_text) {
    auto v = parse_real(cf_text);
    return v && *v == 1.0;
}

std::string przytnij(const std::string& t) {
    std::size_t b = t.find_first_not_of(' '), e = t.find_last_not_of(' ');
    return b == std::string::npos ? std::string() : t.substr(b, e - b + 1);
}

// dlg_określ_wartość_argumentu: nullopt when the text typed is not a number.
std::optional<double> okresl_wartosc_argumentu(Session& s, const std::string& name) {
    pisz(s, tr("Określ wartość argumentu: "));
    pisz(s, name);
    piszcr(s);
    std::optional<std::string> typed;
    while (!(typed = ask_value(s, tr("Określ wartość argumentu"), tr("Określ wartość argumentu:"), name,
                               AskedKind::ArgumentValue)))
        potwierdz_zakonczenie(s);  // "Zakończ": ends the program on yes, asks again on no
    // No value at all: the user does not know it, and is not asked for it again in this run.
    if (przytnij(*typed).empty()) {
        pamietaj_nieznany_argument(s, name);
        piszln(s, tr("Nie podano wartości argumentu ") + name + ".");
        piszcr(s);
        return std::nullopt;
    }
    auto v = parse_real(przytnij(*typed));
    if (!v || !std::isfinite(*v)) return std::nullopt;
    pisz(s, name);
    pisz(s, "=");
    piszreal(s, *v);
    piszcr(s);
    piszcr(s);
    return v;
}

// Alternatives 1 and 2 of the value of a quantity that no model computes: a number written
// as its name, or the value the user gives; recorded when had.
std::optional<double> wartosc_spoza_modeli(Session& s, const std::string& name) {
    if (auto v = parse_real(name)) {
        s.inference.zmienna_ustalona.append(name, *v);
        return v;
    }
    if (argument_nieznany(s, name)) return std::nullopt;
    auto v = okresl_wartosc_argumentu(s, name);
    if (v) {
        s.inference.zmienna_ustalona.append(name, *v);
        record_value_origin(s, name, {ValueOrigin::Answer, 0, 0});
    }
    return v;
}

bool w_ograniczeniu(const Table<Ograniczenie>& t, const std::string& condition) {
    for (const auto& c : t)
        for (const auto& m : c.exclusive_conditions)
            if (m == condition) return true;
    return false;
}

bool dopytywalny_warunek_lub_argument(const Session& s, const std::string& condition) {
    const auto& t = s.models.lista_warunkow_i_argumentow_dopytywalnych;
    if (t.empty()) return false;
    for (const auto& n : *t.first())
        if (n == condition) return true;
    return false;
}

// The explanation step of an arithmetic model: written for flag 1, silent for 0; any other
// flag does not succeed.
template <class F>
bool wyjasnij(int display_flag, F explain) {
    if (display_flag == 0) return true;
    if (display_flag != 1) return false;
    explain();
    return true;
}

// Fixes the computed value of a model's result and remembers which model (of which kind:
// 0 basic, 1 extended, 2 linear, 3 polynomial) computed it.
void zapamietaj(Session& s, std::int32_t n, std::uint8_t kind, const std::string& result, double value,
                bool mark_applied) {
    if (mark_applied) s.inference.model_stosowany.insert(n);
    s.inference.zmienna_ustalona.append(result, value);
    record_value_origin(s, result, {ValueOrigin::Model, kind, n});
}

// The value of an operation must be a finite number to be fixed.
bool skonczony(Session& s, double v, const std::string& op) {
    if (std::isfinite(v)) return true;
    odmowa(s, tr("Wynik operacji ") + op + tr(" nie jest liczbą skończoną!"));
    return false;
}

}  // namespace

bool jest_wynikiem_modelu(Session& s, const std::string& name) {
    return modele_wyniku(s, name) != nullptr;
}

bool sprawdz(Session& s, const ModelLinks& links, const std::string& condition) {
    if (jest_bez_warunku(condition)) return true;
    auto cf = resultant(s, condition);
    if (!cf && links.pytaj &&
        (w_ograniczeniu(s.kb.uncertain.ograniczenie_n, condition) ||
         w_ograniczeniu(s.kb.exact.ograniczenie, condition)) &&
        dopytywalny_warunek_lub_argument(s, condition))
        return links.pytaj(s, condition) > 0.0;
    if (cf) return *cf > 0.0;
    if (links.ocena_hipotezy_cd) {
        auto h = links.ocena_hipotezy_cd(s, condition);
        return h && *h > 0.0;
    }
    return false;
}

namespace {

// The evaluation of model results over an explicit stack, so that a long chain of models
// (each needing the result of the next) does not deepen the call stack. Two kinds of frame:
// a quantity computed by its models (the candidates tried in order: basic, extended,
// linear, polynomial, each in table order) and one model being applied (its arguments
// evaluated one after another). The steps and their side effects come in exactly the order
// of the recursive definition.
class Evaluation {
  public:
    using ModelRef = std::variant<const Model*, const ModelR*, const ModelLiniowy*, const ModelWielomianowy*>;

    Evaluation(Session& s, const ModelLinks& links) : s_(s), links_(links) {}

    std::optional<double> result(const std::string& name, bool mark_applied) {
        Frame f;
        f.quantity = &name;
        f.mark_applied = mark_applied;
        return run(std::move(f));
    }
    bool apply(ModelRef m, bool mark_applied) {
        Frame f;
        f.model = m;
        f.mark_applied = mark_applied;
        return run(std::move(f)).has_value();
    }

  private:
    struct Frame {
        // A quantity frame: the name, its candidate models and the next one to try.
        const std::string* quantity = nullptr;
        ModelIndex::Positions candidates;
        int kind = 0;
        std::size_t next = 0;
        bool started = false;
        // A model frame: the model, its arguments and the values had so far.
        std::optional<ModelRef> model;
        bool guarded = false;  // its result is marked as being computed
        std::vector<const std::string*> args;
        std::size_t next_arg = 0;
        std::vector<double> values;
        bool mark_applied = true;
        // Says why the values asked while the model is applied are needed; on the session's
        // why stack from the model's first step until its frame ends.
        std::unique_ptr<ModelWhy> why;
    };
    // What a step of a frame asks for: a frame to run first, or its own end with a value.
    struct Step {
        std::optional<Frame> push;
        bool done = false;
        std::optional<double> value;
    };

    // The why-sources of the model frames are pushed and popped with their frames; whatever
    // way the run ends (an exit from a dialog included), the stack is left as it was found.
    class WhyStackMark {
      public:
        explicit WhyStackMark(Session& s) : s_(s), size_(s.inference.explain.why.size()) {}
        ~WhyStackMark() { s_.inference.explain.why.resize(size_); }
        WhyStackMark(const WhyStackMark&) = delete;
        WhyStackMark& operator=(const WhyStackMark&) = delete;

      private:
        Session& s_;
        std::size_t size_;
    };

    std::optional<double> run(Frame root) {
        const WhyStackMark mark(s_);
        std::vector<Frame> stack;
        stack.push_back(std::move(root));
        std::optional<double> returned;
        bool has_returned = false;
        while (true) {
            Frame& f = stack.back();
            Step st =
                f.model ? model_step(f, has_returned, returned) : quantity_step(f, has_returned, returned);
            has_returned = false;
            if (st.push) {
                stack.push_back(std::move(*st.push));
                continue;
            }
            if (stack.back().guarded) s_.models.obliczane.erase(result_name(*stack.back().model));
            if (stack.back().why) s_.inference.explain.why.pop_back();
            stack.pop_back();
            if (stack.empty()) return st.value;
            returned = st.value;
            has_returned = true;
        }
    }

    static const std::string& result_name(const ModelRef& m) {
        return std::visit([](const auto* p) -> const std::string& { return p->result; }, m);
    }

    static Step done(std::optional<double> v) { return Step{std::nullopt, true, v}; }
    static Step fail() { return done(std::nullopt); }
    static Step push(Frame f) { return Step{std::move(f), false, std::nullopt}; }

    Step quantity_step(Frame& f, bool has_returned, std::optional<double> returned) {
        if (has_returned && returned) return done(fixed(s_, *f.quantity));
        if (!f.started) {
            f.started = true;
            const ModelIndex::Positions* p = modele_wyniku(s_, *f.quantity);
            if (!p) return fail();
            // A copy: the index may be rebuilt while the models evaluate their arguments.
            f.candidates = *p;
        }
        const ModelGroup& g = s_.kb.models;
        const std::vector<std::size_t>* lists[4] = {&f.candidates.basic, &f.candidates.extended,
                                                    &f.candidates.linear, &f.candidates.polynomial};
        while (f.kind < 4 && f.next >= lists[f.kind]->size()) {
            ++f.kind;
            f.next = 0;
        }
        if (f.kind == 4) return fail();
        std::size_t i = (*lists[f.kind])[f.next++];
        Frame m;
        m.mark_applied = f.mark_applied;
        switch (f.kind) {
            case 0:
                m.model = ModelRef(&g.model[i]);
                break;
            case 1:
                m.model = ModelRef(&g.model_r[i]);
                break;
            case 2:
                m.model = ModelRef(&g.model_liniowy[i]);
                break;
            default:
                m.model = ModelRef(&g.model_wielomianowy[i]);
                break;
        }
        return push(std::move(m));
    }

    // The checks before the arguments; false when the model is not applied now.
    static bool applicable_kind(const Model& m) {
        return cf_jeden(m.cf_text) && !relacja_modelu(m.operation_symbol);
    }
    static bool applicable_kind(const ModelR& m) {
        return cf_jeden(m.cf_text) && !jest_relacja_r(m.operation_symbol);
    }
    static bool applicable_kind(const ModelLiniowy& m) {
        return cf_jeden(m.cf_text) && m.coefficients.size() == m.variables.size();
    }
    static bool applicable_kind(const ModelWielomianowy& m) {
        return cf_jeden(m.cf_text) && m.coefficients.size() == m.powers.size();
    }
    static void arguments(const Model& m, std::vector<const std::string*>& out) {
        out = {&m.argument1, &m.argument2};
    }
    static void arguments(const ModelR& m, std::vector<const std::string*>& out) {
        for (const auto& v : m.variables)
            out.push_back(&v);
    }
    static void arguments(const ModelLiniowy& m, std::vector<const std::string*>& out) {
        for (const auto& c : m.coefficients)
            out.push_back(&c);
        for (const auto& v : m.variables)
            out.push_back(&v);
    }
    static void arguments(const ModelWielomianowy& m, std::vector<const std::string*>& out) {
        for (const auto& c : m.coefficients)
            out.push_back(&c);
        out.push_back(&m.variable);
    }

    Step model_step(Frame& f, bool has_returned, std::optional<double> returned) {
        if (!f.guarded) {
            bool go = std::visit(
                [&](const auto* m) {
                    if (!applicable_kind(*m)) return false;
                    if (!f.why) {
                        f.why = std::make_unique<ModelWhy>(*m);
                        s_.inference.explain.why.push_back(f.why.get());
                    }
                    if (!s_.models.obliczane.insert(m->result).second) return false;
                    f.guarded = true;
                    if (!sprawdz(s_, links_, m->application_condition)) return false;
                    if (fixed(s_, m->result) || applied(s_, m->model_number)) return false;
                    arguments(*m, f.args);
                    return true;
                },
                *f.model);
            if (!go) return fail();
        }
        if (has_returned) {
            if (!returned) return fail();
            f.values.push_back(*returned);
            ++f.next_arg;
        }
        while (f.next_arg < f.args.size()) {
            const std::string& name = *f.args[f.next_arg];
            if (auto v = fixed(s_, name)) {
                f.values.push_back(*v);
            } else if (!jest_wynikiem_modelu(s_, name)) {
                auto w = wartosc_spoza_modeli(s_, name);
                if (!w) return fail();
                f.values.push_back(*w);
            } else {
                Frame q;
                q.quantity = &name;
                return push(std::move(q));
            }
            ++f.next_arg;
        }
        bool ok = std::visit([&](const auto* m) { return finish(*m, f.values, f.mark_applied); }, *f.model);
        return ok ? done(1.0) : fail();
    }

    bool finish(const Model& m, const std::vector<double>& v, bool mark_applied) {
        auto r = wykonaj(s_, v[0], v[1], m.operation_symbol);
        if (!r || !skonczony(s_, *r, m.operation_symbol)) return false;
        przedstawienie_zmiennych(s_);
        if (!wyjasnij(m.display_flag, [&] { wyjasnienie_model_matematyczny(s_, m, *r); })) return false;
        zapamietaj(s_, m.model_number, 0, m.result, *r, mark_applied);
        return true;
    }
    bool finish(const ModelR& m, const std::vector<double>& v, bool mark_applied) {
        // The values as the list evaluation gives them: the last name's first.
        std::vector<double> values(v.rbegin(), v.rend());
        auto r = wykonaj_r(values, m.operation_symbol);
        if (!r || !skonczony(s_, *r, m.operation_symbol)) return false;
        piszcr(s_);
        przedstawienie_zmiennych(s_);
        if (!wyjasnij(m.display_flag, [&] { wyjasnienie_model_matematyczny_2(s_, m, *r); })) return false;
        zapamietaj(s_, m.model_number, 1, m.result, *r, mark_applied);
        return true;
    }
    bool finish(const ModelLiniowy& m, const std::vector<double>& v, bool mark_applied) {
        const std::size_t n = m.coefficients.size();
        // Both lists reversed, as the list evaluation gives them, so the pairs still match;
        // the sum starts at the last term.
        std::vector<double> coefs(v.rend() - static_cast<std::ptrdiff_t>(n), v.rend());
        std::vector<double> vars(v.rbegin(), v.rend() - static_cast<std::ptrdiff_t>(n));
        auto r = wykonaj_liniowy(vars, coefs, 0.0);
        if (!r || !skonczony(s_, *r, "liniowej")) return false;
        piszcr(s_);
        przedstawienie_zmiennych(s_);
        if (!wyjasnij(m.display_flag, [&] { wyjasnienie_model_matematyczny_liniowy(s_, m, *r); }))
            return false;
        zapamietaj(s_, m.model_number, 2, m.result, *r, mark_applied);
        return true;
    }
    bool finish(const ModelWielomianowy& m, const std::vector<double>& v, bool mark_applied) {
        std::vector<double> coefs(v.begin(), v.end() - 1);  // in stored order
        auto r = wykonaj_wielomianowy(m.powers, coefs, v.back(), 0.0);
        if (!r || !skonczony(s_, *r, "wielomianowej")) return false;
        piszcr(s_);
        przedstawienie_zmiennych(s_);
        if (!wyjasnij(m.display_flag, [&] { wyjasnienie_model_matematyczny_wielomianowy(s_, m, *r); }))
            return false;
        zapamietaj(s_, m.model_number, 3, m.result, *r, mark_applied);
        return true;
    }

    Session& s_;
    const ModelLinks& links_;
};

}  // namespace

std::optional<double> oblicz(Session& s, const ModelLinks& links, const std::string& name) {
    if (auto v = fixed(s, name)) return v;  // alternative 3 (1 and 2 need the name unfixed)
    if (!jest_wynikiem_modelu(s, name)) return wartosc_spoza_modeli(s, name);
    return Evaluation(s, links).result(name, true);
}

std::optional<std::vector<double>> wyznacz_liste(Session& s, const ModelLinks& links, const TextList& names) {
    std::vector<double> out;
    out.reserve(names.size());
    for (const auto& n : names) {
        auto v = oblicz(s, links, n);
        if (!v) return std::nullopt;
        out.push_back(*v);
    }
    return std::vector<double>(out.rbegin(), out.rend());
}

bool stosuj_model(Session& s, const ModelLinks& links, const Model& m, bool mark_applied) {
    return Evaluation(s, links).apply(&m, mark_applied);
}

bool stosuj_model(Session& s, const ModelLinks& links, const ModelR& m, bool mark_applied) {
    return Evaluation(s, links).apply(&m, mark_applied);
}

bool stosuj_model(Session& s, const ModelLinks& links, const ModelLiniowy& m, bool mark_applied) {
    return Evaluation(s, links).apply(&m, mark_applied);
}

bool stosuj_model(Session& s, const ModelLinks& links, const ModelWielomianowy& m, bool mark_applied) {
    return Evaluation(s, links).apply(&m, mark_applied);
}

std::optional<double> oblicz_wynik_modelu(Session& s, const ModelLinks& links, const std::string& result,
                                          bool mark_applied) {
    return Evaluation(s, links).result(result, mark_applied);
}

void kasowanie_model_stosowany(Session& s) {
    s.inference.model_stosowany.clear();
}

void kasowanie_zmienna_ustalona(Session& s) {
    s.inference.zmienna_ustalona.clear();
}

void przypisz_argumenty_znane(Session& s) {
    for (const auto& a : s.kb.models.argument_znany)
        s.inference.zmienna_ustalona.append(a.argument_name, a.value);
}

}  // namespace zuva
