// The report commands of the joint diagnoses: each contradictory rule with its flattened
// form and the constraint it breaks, each redundant group with its constraint.
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "report/report.h"
#include "session/command_registry.h"
#include "session/enabling.h"
#include "session/session.h"
#include "text/i18n.h"
#include "verify/flatten.h"
#include "verify/joint_diagnoses.h"
#include "verify/joint_support.h"

namespace zuva {
using namespace joint;

namespace {

// A list written as the report writes it: [a,b].
void pisz_liste(Session& s, const TextList& f) {
    pisz(s, "[");
    if (f.empty()) pisz(s, "]");
    for (std::size_t i = 0; i < f.size(); ++i) {
        pisz(s, f[i]);
        pisz(s, i + 1 < f.size() ? "," : "]");
    }
}

void pisz_forme(Session& s, const char* head, std::int32_t n, const std::string& c, const TextList& f,
                const IntList& u) {
    pisz(s, tr(" W wyniku spłaszczenia reguły "));
    piszint(s, n);
    pisz(s, tr(" otrzymuje się: "));
    piszcr(s);
    pisz(s, head);
    piszint(s, n);
    pisz(s, ", ");
    pisz(s, c);
    pisz(s, ", ");
    pisz_liste(s, f);
    pisz(s, ")");
    piszcr(s);
    pisz(s, " Spłaszczenie uzyskano za pomocą reguł o numerach: ");
    pisz(s, numery_z_przecinkami(u));
    piszcr(s);
}

const Ograniczenie* ograniczenie_nr(const Session& s, Niepewne n, std::int32_t k) {
    return ograniczenia(s, n).find_first([&](const Ograniczenie& o) { return o.constraint_number == k; });
}

}  // namespace

void pisz_sprzecznosc_2(Session& s, Niepewne n) {
    if (baza_sprzeczna(s)) {
        s.ui.note(tr("Uwaga!"), tr("Zewnętrznie sprzecznej bazy reguł nie można spłaszczyć!"));
        return;
    }
    std::optional<std::string> type_opt = nazwa_sprzecznosci_2(s, n);
    if (!type_opt) return;
    const std::string& type = *type_opt;
    const std::string name = s.kb.nazwa_re.name(), og = nazwa_og(s, n);
    WynikiLaczne& w = wyniki(s, n);
    if (w.sprzecznosc.empty()) wyznacz_sprzecznosc_2(s, n);
    if (w.sprzecznosc.empty()) {
        if (!n) {
            piszln(s, tr("  Baza reguł                 ") + name);
            piszln(s, tr("  Baza ograniczeń dokładnych ") + og);
            piszln(s, tr("  nie są łącznie ") + type + "-sprzeczne.");
            s.ui.note("", tr("Baza reguł elementarna niepewna\n   ") + name +
                              tr("\ni baza ograniczeń elementarna dokładna\n   ") + og +
                              tr("\nnie są łącznie ") + type + "-sprzeczne.");
        } else {
            piszln(s, tr("  Baza reguł                   ") + name);
            piszln(s, tr("  oraz baza ograniczeń niepewnych ") + og);
            piszln(s, tr("  nie są ") + type + "-sprzeczne.");
            s.ui.note("", tr("Baza reguł elementarna niepewna\n   ") + name +
                              tr("\ni baza ograniczeń elementarna niepewna\n   ") + og + tr("\nnie są ") +
                              type + "-sprzeczne.");
        }
        return;
    }
    kasowanie_tekst_raportu(s);
    if (!n) {
        pisz(s, tr(" Raport diagnostyki sprzeczności łącznych pomiędzy "));
        piszcr(s);
        pisz(s, tr(" bazą reguł:                   ") + name + " i ");
        piszcr(s);
        pisz(s, tr(" i bazą ograniczeń dokładnycb: ") + og);
        pisz(s, "\n\n");
        s.ui.note(tr("Diagnostyka sprzeczności łącznych bazy reguł i bazy ograniczeń dokładnych"),
                  tr("Raport diagnostyki sprzeczności pomiędzy\nbazą reguł elementarną niepewną\n   ") +
                      name + tr("\ni bazą ograniczeń elementarną dokładną\n   ") + og + ".");
    } else {
        piszln(s, tr(" Raport diagnostyki sprzeczności pomiędzy "));
        piszln(s, tr(" baza reguł                   ") + name + " i ");
        pisz(s, tr(" bazą ograniczeń niepewnych ") + og);
        pisz(s, "\n\n");
        s.ui.note(tr("Diagnostyka sprzeczności łącznych bazy reguł i bazy ograniczeń niepewnych"),
                  tr("Raport diagnostyki sprzeczności pomiędzy\nbazą reguł elementarną niepewną\n   ") +
                      name + tr("\ni bazą ograniczeń elementarną niepewną\n    ") + og);
        pisz(s,
             tr(" Wyznaczanie sprzeczności typu ") + type + tr(" odbywa się na drodze spłaszczania reguł:"));
        pisz(s, "\n\n");
    }
    // Each stored form is reported once, with the constraint of the first record made from it.
    std::vector<bool> reported(w.splaszczona_s.count(), false);
    for (const auto& rec : w.sprzecznosc) {
        if (rec.form >= reported.size() || reported[rec.form]) continue;
        reported[rec.form] = true;
        const FormaLaczna& f = w.splaszczona_s[rec.form];
        const Ograniczenie* o = ograniczenie_nr(s, n, rec.constraint_number);
        const TextList k = o ? o->exclusive_conditions : TextList{};
        const std::string nr = std::to_string(f.rule_number), kn = std::to_string(rec.constraint_number);
        const bool direct = f.used_rule_numbers.empty();
        pisz_forme(s, n ? "  regula_splaszczona(" : "   regula_splaszczona(", f.rule_number, f.conclusion,
                   f.flattened_conditions, f.used_rule_numbers);
        pisz(s, tr(" Reguła ") + nr);
        if (!n) {
            pisz(s, direct ? tr(" jest bezpośrednio ") : tr(" jest pośrednio łącznie "));
            pisz(s, type + tr("-sprzeczna z ograniczeniem dokładnym ") + kn + tr(" o postaci:"));
            piszcr(s);
            pisz(s, "   ograniczenie(" + kn + ", ");
        } else {
            pisz(s, direct ? tr(" jest bezpośrednio ") : tr(" jest pośrednio "));
            pisz(s, type + tr("-sprzeczna z ograniczeniem ") + kn + tr(" o postaci"));
            piszcr(s);
            pisz(s, "  ograniczenie_n(" + kn + ", ");
        }
        pisz_liste(s, k);
        pisz(s, ")");
        pisz(s, "\n\n");
        const std::string F = lista_tekstow_w_nawiasach(f.flattened_conditions);
        const std::string K = lista_tekstow_w_nawiasach(k);
        const std::string U = numery_z_przecinkami(f.used_rule_numbers);
        std::string head = "W wyniku spłaszczenia reguły " + nr + ". otrzymuje się:\n\nregula_splaszczona(" +
                           nr + ", " + f.conclusion + ", " + F;
        if (!n) {
            if (direct)
                s.ui.note(tr("Diagnostyka sprzeczności łącznych bazy reguł i bazy ograniczeń dokladnych "),
                          head + "\nSpłaszczenia dokonano za pomocą reguł: " + U + tr(")\n\nReguła ") + nr +
                              tr(" jest bezpośrednio łącznie ") + type +
                              tr("-sprzeczna z ograniczeniem dokładnym ") + kn +
                              " o postaci:\n\nograniczenie(" + kn + ", " + K + ")\n");
            else
                s.ui.note(tr("Diagnostyka sprzeczności łącznych bazy reguł i bazy ograniczeń dokładnych "),
                          head + ")\n\nSpłaszczenie uzyskano za pomocą reguł o numerach:" + U +
                              tr("\n\nReguła ") + nr + tr("  jest pośrednio ") + type +
                              tr("-sprzeczna z ograniczeniem dokładnym ") + kn +
                              " o postaci:\n\nograniczenie(" + kn + ", " + K + ")\n");
        } else {
            s.ui.note(tr("Diagnostyka sprzeczności łącznych bazy reguł i bazy ograniczeń"),
                      head + ")\n\nSpłaszczenie uzyskano za pomocą reguł o numerach:" + U +
                          tr("\n\nReguła ") + nr +
                          (direct ? tr(". jest bezpośrednio ") : tr(". jest pośrednio ")) + type +
                          tr("-sprzeczna z ograniczeniem ") + kn + ". o postaci:\n\nograniczenie(" + kn +
                          ", " + K + ")\n");
        }
    }
    w.sprzecznosc.clear();
    w.splaszczona_s.clear();
    if (!n) {
        pisz(s, tr(" Koniec raportu diagnostyki sprzeczności łącznych"));
        piszcr(s);
        pisz(s, tr(" bazy reguł:                   ") + name);
        piszcr(s);
        pisz(s, tr(" i bazy ograniczeń dokładnych: ") + og);
        piszcr(s);
        s.ui.note(
            tr("Diagnostyka sprzeczności łącznych bazy reguł i bazy ograniczeń"),
            tr("Koniec raportu diagnostyki sprzeczności łącznych\nbazy reguł elementarnych niepewnych\n   ") +
                name + tr("\ni bazy ograniczeń elementarnych dokładnych\n   ") + og + ".");
    } else {
        piszln(s, tr(" Koniec diagnostyki sprzeczności łącznych "));
        piszln(s, tr(" bazy reguł:                       ") + name);
        piszln(s, tr(" i bazy ograniczeń niepewnych:  ") + og);
        s.ui.note(
            tr("Diagnostyka sprzeczności łącznych bazy reguł i bazy ograniczeń"),
            tr("Koniec raportu diagnostyki sprzeczności łącznych\nbazy reguł elementarnej niepewnej\n   ") +
                name + tr("\ni bazy ograniczeń elementarnej niepewnej\n   ") + og);
    }
    raport(s);
}

void pisz_nadmiar_2(Session& s, Niepewne n) {
    if (baza_sprzeczna(s)) {
        s.ui.note(tr("Uwaga!"), tr("Zewnętrznie sprzecznej bazy reguł nie można spłaszczyć!"));
        return;
    }
    std::optional<std::string> type_opt = nazwa_nadmiaru_2(s, n);
    if (!type_opt) return;
    const std::string& type = *type_opt;
    const std::string name = s.kb.nazwa_re.name(), og = nazwa_og(s, n);
    WynikiLaczne& w = wyniki(s, n);
    const std::string t_forms = tr("Diagnostyka nadmiarowości łącznych baz reguł i ograniczeń");
    const std::string t_plain =
        T(n, tr("Diagnostyka nadmiarowości łącznych baz reguł i ograniczeń "),
          tr("Diagnostyka nadmiarowości łącznych baz reguł elementarnych niepewnych i ograniczeń "
             "niepewnych "));
    const std::string t_groups =
        T(n, tr("Diagnostyka nadmiarowości łącznych baz reguł i ograniczeń "),
          tr("Diagnostyka nadmiarowości łącznych baz reguł i ograniczeń niepewnych"));
    if (w.reguly_nadmiarowe.empty()) {
        s.ui.note(T(n, tr("Diagnostyka nadmiarowości łącznych baz reguł i ograniczeń "),
                    tr("Diagnostyka nadmiarowości łącznych bazy reguł elementarnych niepewnych i ograniczeń "
                       "niepewnych")),
                  tr("Trwa diagnozowanie nadmiarowości łącznych!"));
        w.zbadany_wniosek.clear();
        wyznacz_nadmiar_2(s, n);
    }
    if (!w.reguly_nadmiarowe.empty()) {
        kasowanie_tekst_raportu(s);
        if (!n) {
            pisz(s, tr(" Raport diagnostyki nadmiarowości łącznej pomiędzy "));
            piszcr(s);
            pisz(s, tr(" bazą reguł elementarnych niepewnych:                   ") + name);
            piszcr(s);
            pisz(s, tr(" i bazą ograniczeń dokładnych: ") + og);
            pisz(s, "\n\n");
            s.ui.note(tr("Diagnostyka nadmiarowości łącznych baz reguł  i ograniczeń "),
                      tr("Raport diagnostyki nadmiarowości łącznych pomiędzy\nbazą reguł elementarnych "
                         "niepewnych\n   ") +
                          name + tr("\ni bazą ograniczeń elementarnych dokładnych\n   ") + og + ".");
        } else {
            piszln(s, tr(" Raport diagnostyki nadmiarowości łącznych pomiędzy"));
            piszln(s, tr(" bazą reguł elementarnych niepewnych:                      ") + name);
            pisz(s, tr(" i bazą ograniczeń niepewnych: ") + og);
            pisz(s, "\n\n");
            s.ui.note(tr("Diagnostyka nadmiarowości łącznych baz reguł elementarnych niepewnych i ograniczeń "
                         "niepewnych"),
                      tr("Raport diagnostyki nadmiarowości łącznych pomiędzy\nbazą reguł elementarnych "
                         "niepewnych\n  "
                         " ") +
                          name + tr("\ni bazą ograniczeń elementarnych niepewnych\n   ") + og + ".");
        }
        w.zbadany_wniosek.clear();
    }
    if (w.reguly_nadmiarowe.empty()) {
        if (!n) {
            piszln(s, tr(" Baza reguł elementarnych niepewnych:  ") + name +
                          tr(" i  baza ograniczeń dokładnych: ") + og + tr(" nie mają nadmiarowości typu ") +
                          type + ".");
            s.ui.note(tr("Diagnostyka nadmiarowości łącznych baz reguł  i ograniczeń  "),
                      tr("Baza reguł elementarna niepewna\n   ") + name +
                          tr("\n i baza ograniczeń elementarna dokładna\n   ") + og +
                          tr("\nnie mają nadmiarowości łącznych typu ") + type + ".");
        } else {
            piszln(s, tr(" Baza reguł elementarnych niepewnych:  ") + name);
            piszln(s, tr(" i baza ograniczeń niepewnych   ") + og);
            piszln(s, tr(" nie mają nadmiarowości łącznych typu ") + type);
            s.ui.note(t_plain, tr("Baza reguł elementarna niepewna\n   ") + name +
                                   tr("\n i baza ograniczeń elementarna niepewna\n   ") + og +
                                   tr("\nnie mają nadmiarowości łącznych typu ") + type + ".");
        }
        return;
    }
    if (!n) {
        pisz(s, tr(" Wykrywanie nadmiarowości typu ") + type + tr(" odbywa") +
                    tr(" się na drodze spłaszczania reguł"));
        piszcr(s);
        pisz(s, tr(" i porównywania list warunków spłaszczonych reguł z listami warunków"));
        piszcr(s);
        pisz(s, tr(" wzajemnie wykluczających się z bazy ograniczeń:"));
        pisz(s, "\n\n");
    } else {
        piszln(s, tr(" Wykrywanie nadmiarowości łącznych typu ") + type + tr(" odbywa") +
                      tr(" się na drodze spłaszczania reguł i "));
        piszln(s, tr(" porównania list warunków spłaszczonych reguł z listami"));
        pisz(s, tr(" warunków wzajemnie wykluczających się z bazy ograniczeń:"));
        pisz(s, "\n\n");
    }
    s.ui.note(t_plain, tr("Wykrywanie nadmiarowości łącznych typu ") + type +
                           tr("\nodbywa się na drodze spłaszczania reguł") +
                           tr("\ni porównywania list warunków spłaszczonych reguł") +
                           tr(" \nz listami warunków wzajemnie wykluczających się \nz bazy ograniczeń ") +
                           T(n, tr("dokładnych."), "niepewnych."));
    for (const auto& g : w.reguly_nadmiarowe.rows()) {
        const std::string kn = std::to_string(g.constraint_number);
        for (std::size_t i = 0; i < g.rule_numbers.size(); ++i) {
            const std::string nr = std::to_string(g.rule_numbers[i]);
            const FormaLaczna* f = w.splaszczona_n.find_first([&](const FormaLaczna& x) {
                return x.rule_number == g.rule_numbers[i] && x.flattened_conditions == g.flattened_forms[i];
            });
            const std::string c = f ? f->conclusion : std::string();
            pisz_forme(s, n ? "          regula_splaszczona(" : "   regula_splaszczona(", g.rule_numbers[i],
                       c, g.flattened_forms[i], g.used_rule_numbers[i]);
            s.ui.note(t_forms, "W wyniku spłaszczenia reguły " + nr +
                                   ". otrzymuje się:\n\nregula_splaszczona(" + nr + ", " + c + ", " +
                                   lista_tekstow_w_nawiasach(g.flattened_forms[i]) +
                                   ")\n\nSpłaszczenie uzyskano za pomocą reguł o numerach:" +
                                   numery_z_przecinkami(g.used_rule_numbers[i]));
        }
        const Ograniczenie* o = ograniczenie_nr(s, n, g.constraint_number);
        const TextList k = o ? o->exclusive_conditions : TextList{};
        pisz(s, tr(" Wymienione reguły oraz ograniczenie ") + kn + tr(" o postaci"));
        piszcr(s);
        pisz(s, n ? "   ograniczenie_n(" + kn + ", " : "   ograniczenie(" + kn + ", ");
        pisz_liste(s, k);
        pisz(s, ")");
        pisz(s, n ? tr(" mogą zawierać nadmiarowość łączną typu ") + type
                  : tr(" mogą zawierać nadmiarowość typu ") + type);
        pisz(s, "\n\n");
        s.ui.note(t_groups, tr("Wymienione reguły oraz ograniczenie ") + kn + tr(". o postaci\n\n") +
                                (n ? "ograniczenie_n(" : "ograniczenie(") + kn + ", " +
                                lista_tekstow_w_nawiasach(k) + tr(")\n\nmogą zawierać nadmiarowość ") +
                                (n ? tr("łączną ") : "") + tr("typu ") + type);
    }
    if (!n) {
        piszln(s, tr(" Koniec raportu diagnostyki nadmiarowości łącznej pomiędzy"));
        piszln(s, tr(" bazą reguł        ") + name + tr(" i bazą ograniczeń ") + og);
        s.ui.note(tr("Diagnostyka nadmiarowości łącznych baz reguł i ograniczeń "),
                  tr("Koniec raportu diagnostyki nadmiarowości łącznej pomiędzy\nbazą reguł elementarną "
                     "niepewną\n   ") +
                      name + tr("\ni bazą ograniczeń elementarną dokładną\n   ") + og);
    } else {
        piszln(s, tr(" Koniec raportu diagnostyki nadmiarowości łącznych pomiędzy "));
        piszln(s, tr(" bazą reguł elementarną niepewną:                      ") + name);
        piszln(s, tr(" i bazą ograniczeń elementarną niepewną: ") + og);
        s.ui.note(t_groups,
                  tr("Koniec raportu diagnostyki nadmiarowości łącznych pomiędzy\nbazą reguł elementarną "
                     "niepewną\n   ") +
                      name + tr("\ni bazą ograniczeń elementarną niepewną\n   ") + og);
    }
    w.reguly_nadmiarowe.clear();
    w.splaszczona_n.clear();
    raport(s);
}

void register_joint_commands(CommandRegistry& r) {
    r.set(cmd::diagnostyka_sprzecznosci_ograniczen, [](Session& s) { pisz_sprzecznosc_2(s, false); });
    r.set(cmd::diagnostyka_nadmiarowosci_ograniczen, [](Session& s) { pisz_nadmiar_2(s, false); });
    r.set(cmd::diagnostyka_sprzecznosci_ograniczen_n, [](Session& s) { pisz_sprzecznosc_2(s, true); });
    r.set(cmd::diagnostyka_nadmiarowosci_ograniczen_n, [](Session& s) { pisz_nadmiar_2(s, true); });
}

}  // namespace zuva
