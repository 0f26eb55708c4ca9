// The tables of a loaded knowledge base: one group per kind of base file, the base-name
// bookkeeping, the loader state, the derived lists of the rule base and the verdicts.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "store/lazy_text_lists.h"
#include "store/table.h"
#include "store/values.h"

namespace zuva {

struct RuleTextIds;

struct Regula {
    Regula() = default;
    Regula(std::int32_t number, std::string conclusion_text, TextList conditions_list, std::int32_t flag,
           std::string cf)
        : rule_number(number),
          display_flag(flag),
          conclusion(std::move(conclusion_text)),
          conditions(std::move(conditions_list)),
          cf_text(std::move(cf)) {}
    // The two numbers side by side: a large rule table is 8 bytes a rule smaller.
    std::int32_t rule_number = 0;
    std::int32_t display_flag = 0;
    std::string conclusion;
    TextList conditions;
    std::string cf_text;
};
struct RegulaDysjunktywna {
    std::string conclusion;
};
struct Fakt {
    std::string fact_text;
    std::string cf_text;
};
// A rule with CF 1 and exactly one condition, found by the load-time detection.
struct PojedynczyWarunek {
    std::int32_t rule_number = 0;
    std::string conclusion;
    std::string condition;
};

struct Model {
    std::int32_t model_number = 0;
    std::string application_condition;
    std::string result;
    std::string argument1;
    std::string operation_symbol;
    std::string argument2;
    std::int32_t display_flag = 0;
    std::string cf_text;
};
struct ModelR {
    std::int32_t model_number = 0;
    std::string application_condition;
    std::string result;
    std::string operation_symbol;
    TextList variables;
    std::int32_t display_flag = 0;
    std::string cf_text;
};
struct ModelLiniowy {
    std::int32_t model_number = 0;
    std::string application_condition;
    std::string result;
    TextList coefficients;
    TextList variables;
    std::int32_t display_flag = 0;
    std::string cf_text;
};
struct ModelWielomianowy {
    std::int32_t model_number = 0;
    std::string application_condition;
    std::string result;
    std::string variable;
    TextList coefficients;
    IntList powers;
    std::int32_t display_flag = 0;
    std::string cf_text;
};
struct ArgumentZnany {
    std::string argument_name;
    double value = 0.0;
};
struct ArgDopyt {
    std::string argument_name;
};
struct ModeleEkskluzywne {
    TextList models;
};

struct Ograniczenie {
    std::int32_t constraint_number = 0;
    TextList exclusive_conditions;
};
struct Rada {
    std::int32_t rule_number = 0;
    std::string file_name;
};
struct Zrodlo {  // grafika, ngrafika, dźwięk, ndźwięk
    std::int32_t source_number = 0;
    std::string file_name;
};

// Records of the rem_ and _ tables of every group, in file order.
using InactiveRecords = std::vector<RawRecord>;

struct RuleGroup {
    Table<Regula> regula;
    Table<RegulaDysjunktywna> regula_dysjunktywna;
    Table<Fakt> fakt;
    InactiveRecords inactive;
};
struct ModelGroup {
    Table<Model> model;
    Table<ModelR> model_r;
    Table<ModelLiniowy> model_liniowy;
    Table<ModelWielomianowy> model_wielomianowy;
    Table<Fakt> m_fakt;
    Table<ArgumentZnany> argument_znany;
    Table<ArgDopyt> arg_dopyt;
    Table<ModeleEkskluzywne> modele_ekskluzywne;
    Table<std::string> nazwa_pliku_war_arg;
    InactiveRecords inactive;
};
struct ExactConstraintGroup {
    Table<Ograniczenie> ograniczenie;
    InactiveRecords inactive;
};
struct UncertainConstraintGroup {
    Table<Ograniczenie> ograniczenie_n;
    InactiveRecords inactive;
};
struct AdviceGroup {
    Table<Rada> rada;
    InactiveRecords inactive;
};
struct GraphicsGroup {
    Table<Zrodlo> grafika;
    Table<Zrodlo> ngrafika;
    InactiveRecords inactive;
};
struct SoundGroup {
    Table<Zrodlo> dzwiek;
    Table<Zrodlo> ndzwiek;
    InactiveRecords inactive;
};
// Display texts: what a person reads for a name of the base (the question of an askable
// condition or argument, the label of a conclusion or hypothesis) and a longer help text,
// in Polish or in a named language. `by_key` indexes the records after a load: the key is
// the language ("" for Polish), a NUL and the name; the value the position in its table.
struct TekstNazwy {  // tekst, pomoc
    std::string name;
    std::string text;
};
struct TekstWJezyku {  // tekst_w_języku, pomoc_w_języku
    std::string language;
    std::string name;
    std::string text;
};
struct TextsGroup {
    Table<TekstNazwy> tekst;
    Table<TekstNazwy> pomoc;
    Table<TekstWJezyku> tekst_w_jezyku;
    Table<TekstWJezyku> pomoc_w_jezyku;
    InactiveRecords inactive;
    // Filled by index_display_texts after a load; first record of a key wins.
    std::unordered_map<std::string, std::string> text_by_key, help_by_key;
};
// The report file holds one table only.
struct ReportGroup {
    Table<std::string> tekst_raportu;
};

// Kinds of base file; the order is the order of the groups.
enum class BaseKind {
    Rules,
    Models,
    ExactConstraints,
    UncertainConstraints,
    Advice,
    Graphics,
    Sounds,
    Report,
    Texts
};

// Short name and full path of a loaded base; a record in `short_name` means "loaded".
struct BaseName {
    Table<std::string> short_name;
    Table<std::string> full_path;
    bool loaded() const { return !short_name.empty(); }
    std::string name() const { return short_name.empty() ? std::string() : *short_name.first(); }
    void clear() {
        short_name.clear();
        full_path.clear();
    }
};

struct KnowledgeBase {
    RuleGroup rules;
    ModelGroup models;
    ExactConstraintGroup exact;
    UncertainConstraintGroup uncertain;
    AdviceGroup advice;
    GraphicsGroup graphics;
    SoundGroup sounds;
    TextsGroup texts;

    BaseName nazwa_re, nazwa_mo, nazwa_og, nazwa_op, nazwa_ra, nazwa_gr, nazwa_me, nazwa_te;
    Table<std::string> wyroznik;                     // distinguishing name of the rule base
    Table<std::string> rozszerzenie;                 // rest of the rule-base file name after it
    Table<std::string> opis;                         // description file of the rule base
    Table<std::string> sciezka, sciezka1, sciezka2;  // advice, picture, sound directories

    // Loader state: marker while a file is read and tested, and the syntax-error flag.
    Table<std::string> jestem_tu;
    Table<std::string> blad;

    // Derived lists of the rule base (readers use the first record).
    // Statement ids the load made for the rule table; taken over by the next inference.
    std::shared_ptr<RuleTextIds> rule_text_ids;
    LazyTextLists lista_warunkow;
    LazyTextLists lista_wnioskow_regul;
    Table<TextList> lista_warunkow_dopytywalnych;
    Table<std::string> dopytywalny;
    Table<TextList> lista_wszystkich_dopytywalnych_dla_wyswietlania;
    Table<PojedynczyWarunek> pojedynczy_warunek;  // single-condition rules with CF 1

    // Verdicts of the load-time tests and diagnoses that gate the consultation.
    Table<std::string> testowanie;            // kind of base under the numbering test
    Table<IntList> numery_modeli;             // numbers of all model kinds, collected by the test
    Table<std::string> rozne_numery;          // "NIE" after a repeated number
    Table<std::string> rozne_numery_rodzaje;  // the kinds (testowanie texts) whose numbers repeat
    Table<std::string> sprzecznosc_1z;        // "TAK" when the rule base is contradictory

    BaseName& name_of(BaseKind k);
    const BaseName& name_of(BaseKind k) const;
};

inline BaseName& KnowledgeBase::name_of(BaseKind k) {
    switch (k) {
        case BaseKind::Rules:
            return nazwa_re;
        case BaseKind::Models:
            return nazwa_mo;
        case BaseKind::ExactConstraints:
            return nazwa_og;
        case BaseKind::UncertainConstraints:
            return nazwa_op;
        case BaseKind::Advice:
            return nazwa_ra;
        case BaseKind::Graphics:
            return nazwa_gr;
        case BaseKind::Texts:
            return nazwa_te;
        case BaseKind::Sounds:
        case BaseKind::Report:
            break;
    }
    return nazwa_me;
}
inline const BaseName& KnowledgeBase::name_of(BaseKind k) const {
    return const_cast<KnowledgeBase*>(this)->name_of(k);
}

// Empties the records of one kind of base (its group), nothing else.
inline void clear_group(KnowledgeBase& kb, BaseKind kind) {
    switch (kind) {
        case BaseKind::Rules:
            kb.rules = RuleGroup{};
            break;
        case BaseKind::Models:
            kb.models = ModelGroup{};
            break;
        case BaseKind::ExactConstraints:
            kb.exact = ExactConstraintGroup{};
            break;
        case BaseKind::UncertainConstraints:
            kb.uncertain = UncertainConstraintGroup{};
            break;
        case BaseKind::Advice:
            kb.advice = AdviceGroup{};
            break;
        case BaseKind::Graphics:
            kb.graphics = GraphicsGroup{};
            break;
        case BaseKind::Sounds:
            kb.sounds = SoundGroup{};
            break;
        case BaseKind::Texts:
            kb.texts = TextsGroup{};
            break;
        case BaseKind::Report:
            break;
    }
}

}  // namespace zuva
