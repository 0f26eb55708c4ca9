// What is written when a rule is applied or skipped and when a conclusion gets its
// resultant, and the list of facts at the detail level "duża".
#include <string>
#include <vector>

#include "consult/calculus_basics.h"
#include "consult/cf_calculus.h"
#include "report/report.h"
#include "session/session.h"
#include "text/i18n.h"
#include "text/number_format.h"
#include "text/pieces.h"

namespace zuva {

namespace {

const char* const kKoniec = "koniec";
const char* const kBezWarunku = "bez warunku";

void explanation_lines(Session& s, const std::string& title, const std::vector<std::string>& lines) {
    pokaz_wyjasnienie(s, title, lines);
}

}  // namespace

void wyjasnienie_regula(Session& s, double cf, const Regula& r) {
    if (r.display_flag != 1 || r.conclusion == kKoniec) return;
    const std::string heading = tr("Stosuję regułę ") + std::to_string(r.rule_number) + tr(" o postaci:");
    const std::string cf_line = tr("to z współczynnikiem CF = ") + r.cf_text;
    const std::string result = "    " + r.conclusion + "(" + format_cf(cf) + ")";
    piszcr(s);
    piszln(s, heading);
    piszln(s, tr("Jeżeli"));
    for (const auto& c : r.conditions)
        piszln(s, "    " + c);
    piszln(s, cf_line);
    piszln(s, "    " + r.conclusion);
    piszln(s, tr("Stąd wynika wniosek: "));
    piszln(s, result);
    piszcr(s);
    std::vector<std::string> lines;
    lines.reserve(r.conditions.size() + 6);
    lines.push_back(heading);
    lines.push_back(tr("Jeżeli"));
    for (const auto& c : r.conditions)
        lines.push_back("    " + c);
    lines.push_back(cf_line);
    lines.push_back("    " + r.conclusion);
    lines.push_back(tr("Stąd wynika wniosek:"));
    lines.push_back(result);
    explanation_lines(s, tr("Wyjaśnienie reguły"), lines);
}

void wyjasnienie_regula_dysjunktywna_pomijana(Session& s, const Regula& r, double conditions_cf,
                                              double rule_cf) {
    if (r.display_flag != 1) return;
    const std::string number = std::to_string(r.rule_number);
    piszln(s, tr("Stosuję regułę dysjunktywną ") + number);
    piszln(s, tr("z ujemnym CF listy warunków, równym ") + format_cf(conditions_cf));
    piszln(s, tr("i z ujemnym CF reguły, równym ") + format_cf(rule_cf));
    piszln(s, tr("Reguła ta zostanie pominięta przy dalszym wnioskowaniu."));
    piszcr(s);
    s.ui.note(tr("Uwaga!"), tr("Stosuję regułę dysjunktywną ") + number +
                                tr("\nz ujemnym CF listy warunków, równym ") + format_cf(conditions_cf) +
                                tr("\ni z ujemnym CF reguły, równym ") + format_cf(rule_cf) +
                                tr("\nReguła ta zostanie pominięta przy dalszym wnioskowaniu."));
}

void wyjasnienie_wypadkowej(Session& s, const std::string& conclusion, double cf, bool disjunctive) {
    const char* heading = disjunctive
                              ? tr("Z wszystkich reguł dysjunktywnych dla wniosku: ")
                              : tr("Z wszystkich reguł kumulatywnych (z pojedynczej reguły) dla wniosku: ");
    // A forward run explains every resultant: the texts are made in buffers kept from one
    // call to the next, so that a large run does not allocate them each time.
    static thread_local std::string text;
    static thread_local std::vector<std::string> lines(4);
    std::string& indented = lines[1];
    std::string& line = lines[3];
    lines[0].assign(heading);
    indented.assign("    ");
    indented += conclusion;
    lines[2].assign(tr("wynika: "));
    line.assign(indented);
    line += '(';
    line += format_cf(cf);
    line += ')';
    // The report lines as one piece of text.
    text.clear();
    if (!disjunctive) text += '\n';
    text += heading;
    text += '\n';
    text += indented;
    text += "\nwynika:\n";
    text += line;
    text += "\n\n";
    pisz(s, text);
    explanation_lines(s,
                      disjunctive ? tr("Wypadkowe CF wniosku reguł dysjunktywnych ")
                                  : tr("Wypadkowe CF wniosku reguł kumulatywnych (pojedynczej reguły)"),
                      lines);
}

void przedstawienie_faktow(Session& s) {
    if (!duza_szczegolowosc(s)) return;
    // The lines go to the report in pieces of about 64 KB, so that the listing of a large
    // run is not held a second time as one text.
    std::vector<std::string> lines;
    lines.reserve(s.inference.wypadkowa_prbd.count());
    std::string written = tr("\nDane są następujące fakty:\n");
    LinePieces pieces(written, [&s](std::string_view piece) { pisz(s, piece); });
    s.inference.wypadkowa_prbd.for_each([&](const std::string& statement, double cf) {
        if (statement == kBezWarunku || statement == kKoniec) return;
        const std::string value = format_cf(cf);
        std::string line;
        line.reserve(statement.size() + value.size() + 6);
        line += "    ";
        line += statement;
        line += '(';
        line += value;
        line += ')';
        pieces.line(line);
        lines.push_back(std::move(line));
    });
    pieces.finish();
    explanation_lines(s, tr("Dane są następujące fakty:"), lines);
}

}  // namespace zuva
