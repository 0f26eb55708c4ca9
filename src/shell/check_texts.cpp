// Every name a record of the other bases writes is known; a texts record naming any other
// is a mistake of its author (most often a misspelling), so the nearest known name is offered.
#include "shell/check_texts.h"

#include <unordered_set>

#include "text/i18n.h"
#include "text/nearest_name.h"

namespace zuva::check {

namespace {

class KnownNames {
  public:
    explicit KnownNames(const KnowledgeBase& kb) {
        for (const auto& r : kb.rules.regula) {
            add(r.conclusion);
            for (const auto& c : r.conditions)
                add(c);
        }
        for (const auto& f : kb.rules.fakt)
            add(f.fact_text);
        auto model = [this](const auto& m) {
            add(m.application_condition);
            add(m.result);
        };
        for (const auto& m : kb.models.model) {
            model(m);
            add(m.argument1);
            add(m.argument2);
        }
        for (const auto& m : kb.models.model_r) {
            model(m);
            for (const auto& v : m.variables)
                add(v);
        }
        for (const auto& m : kb.models.model_liniowy) {
            model(m);
            for (const auto& v : m.variables)
                add(v);
        }
        for (const auto& m : kb.models.model_wielomianowy) {
            model(m);
            add(m.variable);
        }
        for (const auto& f : kb.models.m_fakt)
            add(f.fact_text);
        for (const auto& a : kb.models.argument_znany)
            add(a.argument_name);
        for (const auto& a : kb.models.arg_dopyt)
            add(a.argument_name);
        for (const auto& o : kb.exact.ograniczenie)
            for (const auto& c : o.exclusive_conditions)
                add(c);
        for (const auto& o : kb.uncertain.ograniczenie_n)
            for (const auto& c : o.exclusive_conditions)
                add(c);
    }
    bool knows(const std::string& name) const { return set_.count(name) > 0; }
    const std::vector<std::string>& all() const { return list_; }

  private:
    void add(const std::string& name) {
        if (!name.empty() && set_.insert(name).second) list_.push_back(name);
    }
    std::unordered_set<std::string> set_;
    std::vector<std::string> list_;
};

std::string unknown_text(const char* what, const std::string& name, const KnownNames& known) {
    std::string m = tr("Baza tekstów podaje ") + std::string(what) + tr(" nazwy \"") + name +
                    tr("\", której nie ma w bazie wiedzy.");
    const std::string near = nearest_name(name, known.all());
    if (!near.empty()) m += tr(" Czy chodziło o \"") + near + "\"?";
    return m;
}

}  // namespace

std::vector<TextsFinding> texts_findings(const KnowledgeBase& records,
                                         const std::vector<std::string>& askable, bool missing_texts) {
    std::vector<TextsFinding> out;
    const TextsGroup& g = records.texts;
    const KnownNames known(records);
    auto names = [&](const Table<TekstNazwy>& t, const char* table, const char* what) {
        for (std::size_t i = 0; i < t.count(); ++i)
            if (!known.knows(t[i].name))
                out.push_back({table, i, true, "unknown-text-name", unknown_text(what, t[i].name, known)});
    };
    auto in_language = [&](const Table<TekstWJezyku>& t, const char* table, const char* what) {
        for (std::size_t i = 0; i < t.count(); ++i)
            if (!known.knows(t[i].name))
                out.push_back({table, i, true, "unknown-text-name", unknown_text(what, t[i].name, known)});
    };
    names(g.tekst, "tekst", "tekst");
    names(g.pomoc, "pomoc", "pomoc");
    in_language(g.tekst_w_jezyku, "tekst_w_języku", "tekst");
    in_language(g.pomoc_w_jezyku, "pomoc_w_języku", "pomoc");
    if (!missing_texts) return out;
    std::unordered_set<std::string> with_text;
    for (const auto& r : g.tekst)
        with_text.insert(r.name);
    for (const auto& name : askable)
        if (!with_text.count(name))
            out.push_back({"", 0, false, "missing-text",
                           tr("Pytanie o \"") + name +
                               tr("\" nie ma tekstu w bazie tekstów: zobaczy je użytkownik jako "
                                  "sam identyfikator.")});
    return out;
}

}  // namespace zuva::check
