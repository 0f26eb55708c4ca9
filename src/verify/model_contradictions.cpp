// The nesting search follows, from an arithmetic model, the first argument that another
// model computes and commits to that model; names are turned into small integers first, so
// a walk through a long chain costs one array look-up a step.
#include "verify/model_contradictions.h"

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "kb/model_base.h"
#include "report/report.h"
#include "session/enabling.h"
#include "session/session.h"
#include "text/i18n.h"

namespace zuva {

namespace {

// The quantities of a basic arithmetic model: both arguments of a two-value operation (and
// of "="), the first of a one-value operation (whose second is written as a number).
bool argumenty_podstawowego(const Model& m, TextList& out) {
    const std::string& op = m.operation_symbol;
    if (jest_operacja_dwuargumentowa(op) || op == "=") {
        out = {m.argument1, m.argument2};
        return true;
    }
    if (jest_operacja_jednoargumentowa(op)) {
        out = {m.argument1};
        return true;
    }
    return false;
}

// Texts of the diagnosed models as small integers.
class Names {
  public:
    std::int32_t id(const std::string& t) {
        auto [it, fresh] = ids_.try_emplace(t, static_cast<std::int32_t>(texts_.size()));
        if (fresh) texts_.push_back(&t);
        return it->second;
    }
    std::size_t size() const { return texts_.size(); }
    const std::string& text(std::int32_t id) const { return *texts_[static_cast<std::size_t>(id)]; }

  private:
    std::unordered_map<std::string_view, std::int32_t> ids_;
    std::vector<const std::string*> texts_;
};

struct Interned {
    std::int32_t number;
    std::int32_t result;
    std::vector<std::int32_t> args;
    bool reads(std::int32_t name) const {
        for (auto a : args)
            if (a == name) return true;
        return false;
    }
};

class NestingSearch {
  public:
    explicit NestingSearch(const std::vector<ArgumentyModeluArytmetycznego>& list) {
        models_.reserve(list.size());
        for (const auto& rec : list) {
            Interned m{rec.model_number, names_.id(rec.result), {}};
            m.args.reserve(rec.arguments.size());
            for (const auto& a : rec.arguments)
                m.args.push_back(names_.id(a));
            models_.push_back(std::move(m));
        }
        by_result_.resize(names_.size());
        for (std::size_t i = 0; i < models_.size(); ++i)
            by_result_[static_cast<std::size_t>(models_[i].result)].push_back(i);
        numeric_.resize(names_.size());
        for (std::size_t i = 0; i < names_.size(); ++i)
            numeric_[i] = jest_liczba(names_.text(static_cast<std::int32_t>(i))) ? 1 : 0;
        stamp_.assign(names_.size(), 0);
    }

    void run(SprzecznosciModeli& out) {
        for (const auto& m : models_) {
            if (m.reads(m.result)) {
                out.bezposrednie.push_back({m.number, names_.text(m.result)});
                continue;
            }
            search(m, out);
        }
    }

  private:
    // The path is kept with the model itself first; a record shows it the other way round.
    void search(const Interned& root, SprzecznosciModeli& out) {
        const std::int32_t n = root.number, r = root.result;
        ++walk_;
        stamp_[static_cast<std::size_t>(r)] = walk_;  // the result path holds r
        IntList path{n};
        const std::vector<std::int32_t>* list = &root.args;
        std::size_t pos = 0;
        while (pos < list->size()) {
            const std::int32_t h = (*list)[pos];
            const auto& computing = by_result_[static_cast<std::size_t>(h)];
            // Descend into the first other model computing h that does not read r.
            if (!numeric_[static_cast<std::size_t>(h)] && stamp_[static_cast<std::size_t>(h)] != walk_) {
                const Interned* next = nullptr;
                for (std::size_t i : computing) {
                    const Interned& m = models_[i];
                    if (m.number != n && !m.reads(r)) {
                        next = &m;
                        break;
                    }
                }
                if (next) {
                    path.push_back(next->number);
                    stamp_[static_cast<std::size_t>(h)] = walk_;
                    list = &next->args;
                    pos = 0;
                    continue;
                }
            }
            // Another model computing h reads r: the nesting leads back to the result.
            for (std::size_t i : computing) {
                const Interned& m = models_[i];
                if (m.number != n && m.reads(r)) {
                    path.push_back(m.number);
                    out.posrednie.push_back({n, IntList(path.rbegin(), path.rend()), names_.text(r)});
                    return;
                }
            }
            ++pos;
        }
    }

    Names names_;
    std::vector<Interned> models_;
    std::vector<std::vector<std::size_t>> by_result_;
    std::vector<char> numeric_;
    std::vector<std::uint32_t> stamp_;
    std::uint32_t walk_ = 0;
};

std::string nazwa_do_raportu(const Session& s) {
    if (const std::string* n = s.models.duplikat_nazwy_mo.first()) return *n;
    return s.kb.nazwa_mo.name();
}

std::string sciezka(const IntList& path, const char* sep) {
    std::string out;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (i) out += sep;
        out += std::to_string(path[i]);
    }
    return out;
}

// The advice after the records, then the contradictory base goes.
void rada_i_usuniecie(Session& s, const char* note_title) {
    piszln(s, tr(" Przejdź do 'Bazy modeli'"));
    piszln(s, tr(" wybierz opcję 'Edycja bazy modeli', "));
    piszln(s, tr(" wybierz błędną bazę i usuń błąd."));
    s.ui.note(
        note_title,
        tr("Przejdź do 'Bazy modeli niepewnej', wybierz opcję 'Edycja bazy modeli',\nwybierz błędną bazę i "
           "usuń błąd."));
    usun_baze_modeli(s);
}

}  // namespace

std::vector<ArgumentyModeluArytmetycznego> lista_argumentow_modelu_arytmetycznego(const ModelGroup& g) {
    std::vector<ArgumentyModeluArytmetycznego> out;
    out.reserve(g.model.count() + g.model_r.count() + g.model_liniowy.count() + g.model_wielomianowy.count());
    TextList args;
    for (const auto& m : g.model)
        if (argumenty_podstawowego(m, args)) out.push_back({m.model_number, m.result, args});
    for (const auto& m : g.model_r)
        if (jest_operacja_r(m.operation_symbol)) out.push_back({m.model_number, m.result, m.variables});
    for (const auto& m : g.model_liniowy) {
        TextList a = m.coefficients;
        a.insert(a.end(), m.variables.begin(), m.variables.end());
        out.push_back({m.model_number, m.result, std::move(a)});
    }
    for (const auto& m : g.model_wielomianowy) {
        TextList a{m.variable};
        a.insert(a.end(), m.coefficients.begin(), m.coefficients.end());
        out.push_back({m.model_number, m.result, std::move(a)});
    }
    return out;
}

SprzecznosciModeli znajdz_sprzecznosci_modeli(const ModelGroup& g) {
    SprzecznosciModeli out;
    // The search refers to the texts of the list, which lives until the search is done.
    const auto list = lista_argumentow_modelu_arytmetycznego(g);
    NestingSearch(list).run(out);
    std::unordered_set<std::int32_t> recorded;
    auto relational = [&](std::int32_t n, const std::string& cond, const std::string& result) {
        if (cond != result || jest_bez_warunku(cond) || !recorded.insert(n).second) return;
        out.relacyjne.push_back({n, result});
    };
    for (const auto& m : g.model)
        if (model_relacyjny(m)) relational(m.model_number, m.application_condition, m.result);
    for (const auto& m : g.model_r)
        if (model_relacyjny(m)) relational(m.model_number, m.application_condition, m.result);
    return out;
}

bool badaj_sprzecznosc_mz(Session& s) {
    VerifyState& v = s.verify;
    v.lista_argumentow_modelu_arytmetycznego.clear();
    for (auto& rec : lista_argumentow_modelu_arytmetycznego(s.kb.models))
        v.lista_argumentow_modelu_arytmetycznego.append(std::move(rec));
    SprzecznosciModeli found = znajdz_sprzecznosci_modeli(s.kb.models);
    v.model_arytmetyczny_sprzeczny.clear();
    v.model_arytmetyczny_sprzeczny_gleboko.clear();
    v.model_relacyjny_sprzeczny.clear();
    v.model_aryt_sprzeczny.clear();
    v.model_sprzeczny_gleboko.clear();
    v.model_rela_sprzeczny.clear();
    for (auto& r : found.bezposrednie)
        v.model_arytmetyczny_sprzeczny.append(std::move(r));
    for (auto& r : found.posrednie)
        v.model_arytmetyczny_sprzeczny_gleboko.append(std::move(r));
    for (auto& r : found.relacyjne)
        v.model_relacyjny_sprzeczny.append(std::move(r));
    if (!v.model_arytmetyczny_sprzeczny.empty()) v.model_aryt_sprzeczny.append("TAK");
    if (!v.model_arytmetyczny_sprzeczny_gleboko.empty()) v.model_sprzeczny_gleboko.append("TAK");
    if (!v.model_relacyjny_sprzeczny.empty()) v.model_rela_sprzeczny.append("TAK");
    return !found.empty();
}

bool informuj_sprzecznosc_mz(Session& s) {
    if (!badaj_sprzecznosc_mz(s)) return true;
    const std::string name = s.kb.nazwa_mo.name();
    s.models.duplikat_nazwy_mo.append(name);
    s.helper(tr(" W załadowanej bazie modeli ") + name + "\n");
    s.helper(tr(" jest co najmniej jedna sprzeczność. \n\n"));
    s.helper(tr(" Załadowaną bazę modeli możesz tylko edytować, lecz nie możesz korzystać\n"));
    s.helper(tr(" z niej dla wnioskowania.\n\n"));
    s.helper(tr(" Możesz jednak diagnozować jej sprzeczności.\n"));
    s.helper(tr(" W tym celu musisz przejść do opcji:\n"));
    s.helper(tr(" 'Baza modeliDiagnostyka sprzeczności bazy modeli' \n\n"));
    s.ui.note(
        tr("Informacja o sprzeczności"),
        tr("Baza modeli elementarna niepewna\n   ") + name + tr("\nma co najmniej jedną sprzeczność.") +
            tr("\n\nZaładowaną bazę modeli możesz tylko edytować, \nlecz nie możesz korzystać z niej dla "
               "wnioskowania.\n") +
            tr("Możesz jednak diagnozować jej sprzeczności.\n") +
            tr("W tym celu musisz przejść do opcji:\n   'Baza modeli niepewna\n     Diagnostyka "
               "sprzeczności bazy modeli'"));
    enable_commands(s, {cmd::diagnostyka_sprzecznosci_modeli});
    s.kb.nazwa_mo.clear();
    return false;
}

void pisz_sprzecznosc_mz(Session& s) {
    const VerifyState& v = s.verify;
    const bool arytmetyczne = !v.model_aryt_sprzeczny.empty() || !v.model_sprzeczny_gleboko.empty();
    const bool relacyjne = !v.model_rela_sprzeczny.empty();
    const std::string name = nazwa_do_raportu(s);
    if (!arytmetyczne && !relacyjne) {
        // Nothing was found in the base loaded last.
        piszln(s, tr("Baza modeli elementarna niepewna ") + name + tr(" nie ma sprzeczności!"));
        s.ui.note(tr("Wynik diagnozowania sprzeczności"),
                  tr("Baza modeli elementarna niepewna\n   ") + name + tr("\nnie ma sprzeczności!"));
        return;
    }
    kasowanie_tekst_raportu(s);
    pisz(s, tr(" Raport diagnostyki sprzeczności bazy modeli "));
    piszcr(s);
    pisz(s, " ");
    pisz(s, name);
    pisz(s, "\n\n");
    if (!v.model_aryt_sprzeczny.empty()) {
        piszln(s, tr(" Następujące modele arytmetyczne są bezpośrednio sprzeczne:"));
        s.ui.note(tr("Diagnostyka bezpośredniej sprzeczności modeli arytmetycznych"),
                  std::string(tr("Następujące modele arytmetyczne są ")) + tr("bezpośrednio sprzeczne:"));
        for (const auto& r : v.model_arytmetyczny_sprzeczny.rows()) {
            const std::string n = std::to_string(r.model_number);
            piszln(s, tr(" Model ") + n + tr(" ma wynik '") + r.result + "'" +
                          tr(" tożsamy ze swym argumentem."));
            s.ui.note(tr("Sprzeczność modelu"), tr("Model arytmetyczny ") + n + tr(" ma wynik '") + r.result +
                                                    "' \n " + tr("tożsamy ze swym argumentem."));
        }
    }
    if (!v.model_sprzeczny_gleboko.empty()) {
        piszln(s, tr(" Następujące modele arytmetyczne są pośrednio sprzeczne:"));
        s.ui.note(tr("Diagnostyka pośredniej sprzeczności modeli arytmetycznych"),
                  std::string(tr("Następujące modele arytmetyczne są ")) + tr("pośrednio sprzeczne:"));
        for (const auto& r : v.model_arytmetyczny_sprzeczny_gleboko.rows()) {
            const std::string n = std::to_string(r.model_number);
            IntList others;
            for (auto k : r.nesting_path)
                if (k != r.model_number) others.push_back(k);
            const std::string numbers = sciezka(others, ","), path = sciezka(r.nesting_path, " ==> ");
            piszln(s, tr(" Model ") + n + tr(" ma wynik '") + r.result + "'");
            piszln(s, tr(" tożsamy z jednym z argumentów zagnieżdżających się z nim modeli o numerach:"));
            piszln(s, "      " + numbers);
            piszln(s, tr(" Można to wykazać usuwając zagnieżdżenie na drodze podstawienia: "));
            piszln(s, "      " + path);
            s.ui.note(
                tr("Sprzeczność modelu arytmetycznego"),
                tr("Model arytmetyczny ") + n + tr(" ma wynik '") + r.result + "' \n " +
                    tr("tożsamy z jednym z argumentów zagnieżdżających się z nim modeli o numerach:\n ") +
                    numbers + tr("\nMożna to wykazać usuwając zagnieżdżenie na drodze podstawienia:\n ") +
                    path);
        }
    }
    if (arytmetyczne && !relacyjne) rada_i_usuniecie(s, tr("Sprzeczność modelu"));
    if (relacyjne) {
        piszln(s, tr(" Następujące modele relacyjne są sprzeczne:"));
        s.ui.note(tr("Diagnostyka sprzeczności modeli relacyjnych"),
                  std::string(tr("Następujące modele relacyjne są ")) + "sprzeczne:");
        for (const auto& r : v.model_relacyjny_sprzeczny.rows()) {
            const std::string n = std::to_string(r.model_number);
            piszln(s, tr(" Model ") + n + tr(" ma wniosek '") + r.result + "'" +
                          tr(" tożsamy ze swym warunkiem stosowania."));
            s.ui.note(tr("Sprzeczność modelu relacyjnego"), tr("Model ") + n + tr("\nma wniosek '") +
                                                                r.result + "'" +
                                                                tr(" tożsamy ze swym warunkiem stosowania."));
        }
        rada_i_usuniecie(s, tr("Sprzeczność modelu relacyjnego"));
    }
    pisz(s, "\n\n");
    pisz(s, tr(" Koniec raportu diagnostyki sprzeczności bazy modeli e"));
    piszcr(s);
    pisz(s, " ");
    pisz(s, name);
    pisz(s, ".");
    raport(s);
}

}  // namespace zuva
