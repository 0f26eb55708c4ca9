// The questions the constraint loads ask about the joint diagnoses, and what is told when
// the user chooses to run them: the verdict, and where the report is to be had.
#include <optional>
#include <string>

#include "report/report.h"
#include "session/enabling.h"
#include "session/session.h"
#include "text/i18n.h"
#include "verify/flatten.h"
#include "verify/joint_diagnoses.h"
#include "verify/joint_support.h"

namespace zuva {
using namespace joint;

namespace {

bool informuj_sprzecznosc_2(Session& s, Niepewne n) {
    if (baza_sprzeczna(s)) return true;
    std::optional<std::string> type = nazwa_sprzecznosci_2(s, n);
    if (!type) return true;
    const std::string name = s.kb.nazwa_re.name(), og = nazwa_og(s, n);
    if (!n) {
        piszln(s, tr("Bazy reguł elementarna niepewna") + name +
                      tr(" i baza ograniczeń elementarna dokładna ") + og +
                      tr("są diagnozowane na obecność sprzeczności łącznych."));
        s.ui.note(tr("Trwa diagnozowanie"), tr("Baza reguł elementarna niepewna\n   ") + name +
                                                tr("\ni baza ograniczeń elementarna dokładna\n    ") + og +
                                                tr("\nsą diagnozowane na obecność sprzeczności łącznych."));
    } else {
        piszln(s, tr("Bazy reguł ") + name + tr(" i ograniczeń niepewnych ") + og +
                      tr("są diagnozowane na obecność sprzeczności łącznych."));
        s.ui.note(tr("Trwa diagnozowanie"), tr("Baza reguł elementarna niepewna\n   ") + name +
                                                tr("\ni baza ograniczeń elementarna niepewna\n   ") + og +
                                                tr("\nsą diagnozowane na obecność sprzeczności łącznych."));
    }
    const std::string kind_line = T(n, tr("\ni baza ograniczeń elementarna dokładna\n   "),
                                    tr("\ni baza ograniczeń elementarna niepewna\n   "));
    if (wyznacz_sprzecznosc_2(s, n)) {
        piszln(s, n ? tr("Baza reguł elementarna niepewna") + name +
                          tr(" i baza ograniczeń elementarna niepewna  ") + og +
                          tr(" nie mają sprzeczności łącznych!")
                    : tr("Baza reguł elementarna niepewna ") + name + tr(" i baza ograniczeń dokładna ") +
                          og + tr(" nie mają sprzeczności łącznych!"));
        s.ui.note(tr("Wynik diagnozowania sprzeczności łącznych"),
                  tr("Baza reguł elementarna niepewna\n   ") + name + kind_line + og +
                      tr("\nnie mają sprzeczności łącznych!"));
        return true;
    }
    piszln(s, tr(" W  bazie reguł elementarej niepewnej                 ") + name);
    piszln(s, T(n, tr(" i  bazie ograniczeń dokładnej "), tr(" i  bazie ograniczeń niepewnej ")) + og);
    piszln(s, tr(" jest sprzeczność łączna typu ") + *type + ".");
    piszln(s, tr(" Sprzeczność łączna może być żródłem błędów wnioskowania. Dlatego lepiej ją usunąć. "));
    piszln(s, tr(" Wykonaj diagnozę  sprzeczności łącznych."));
    piszln(s, tr(" W tym celu musisz przejść do opcji"));
    piszln(s, T(n, tr(" 'Baza ograniczeń dokładna"), tr(" 'Baza ograniczeń niepewnych")));
    piszln(s, tr("       Diagnostyka sprzeczności łącznych baz reguł i ograniczeń' "));
    s.ui.note(tr("Informacja o sprzeczności"),
              tr("Baza reguł elementarna niepewna\n   ") + name + kind_line + og +
                  tr("\nzawierają co najmniej jedną sprzeczność łączną typu ") + *type +
                  tr(".\n\nSprzeczność łączna może być żródłem błędów wnioskowania. ") +
                  tr("\nDlatego lepiej ją usunąć.") +
                  tr("\nWykonaj diagnozę sprzeczności łącznych. \nW tym celu musisz przejść do opcji") +
                  T(n, tr("\n'Baza ograniczeń dokładna"), tr("\n'Baza ograniczeń niepewna")) +
                  tr("\n     Diagnostyka sprzeczności łącznych\n     baz reguł i ograniczeń'"));
    enable_commands(s, {cmd_sprzecznosci(n)});
    return true;
}

bool informuj_nadmiar_2(Session& s, Niepewne n) {
    if (baza_sprzeczna(s)) return true;
    std::optional<std::string> type = nazwa_nadmiaru_2(s, n);
    if (!type) return true;
    const std::string name = s.kb.nazwa_re.name(), og = nazwa_og(s, n);
    const std::string kind_line = T(n, tr("\ni baza ograniczeń elementarna dokładna\n   "),
                                    tr("\ni baza ograniczeń elementarna niepewna\n   "));
    if (!n) {
        piszln(s, tr("Bazy reguł elementarnych niepewnych ") + name + tr(" i baza ograniczeń dokładnych ") +
                      og + tr("są diagnozowane na obecność nadmiarowości łącznych."));
    } else {
        piszln(s,
               tr(" Bazy reguł elementarna niepewna i baza ograniczeń elementarna niepewna są diagnozowane"));
        piszln(s, tr(" na obecność nadmiarowości niepewnych łącznych."));
    }
    if (wyznacz_nadmiar_2(s, n)) {
        if (!n) {
            piszln(s, tr("Baza reguł elementarnych niepewnych ") + name +
                          tr(" i baza ograniczeń dokładnych ") + og +
                          tr(" nie mają nadmiarowości łącznych!"));
        } else {
            piszln(s, tr("  Baza reguł elementarnych niepewnych:          ") + name);
            piszln(s, tr("  i baza ograniczeń niepewnych: ") + og);
            piszln(s, tr("  nie mają nadmiarowości niepewnych łącznych typu ") + *type);
        }
        s.ui.note(tr("Wynik diagnozowania nadmiarowości łącznych"),
                  tr("Baza reguł elementarna niepewna\n   ") + name + kind_line + og +
                      tr("\nnie mają nadmiarowości łącznych!"));
        disable_commands(s, {cmd_nadmiarowosci(n)});
        return true;
    }
    if (!n) {
        for (const std::string& l :
             {tr(" W  bazie reguł elementarnej niepewnej:  ") + name,
              tr("  bazie ograniczeń elementarnej dokładnej: ") + og,
              tr(" może być nadmiarowość łączna niepewna typu ") + *type,
              std::string(tr(" Sprawdź, czy zakwestionowany fragment bazy jest zamierzony.")),
              std::string(tr(" Załadowane bazy reguł i ograniczeń możesz stosować do wnioskowania,")),
              std::string(tr(" gdyż nadmiarowość nie zakłóca wnioskowania. Może jednak wydłużyć czas")),
              std::string(tr(" wnioskowania i uzależnić wynik wnioskowania od niepotrzebnych warunków.")),
              std::string(tr(
                  " Dlatego lepiej zbadać zakwestionowany fragment bazy i ewentualną nadmiarowość usunąć.")),
              std::string(tr(" W tym celu możesz kontynuować pracę z załadowaną bazą ograniczeń")),
              std::string(tr(" i  przejść do opcji:")), std::string(tr(" 'Baza ograniczeń dokładna")),
              std::string(tr("         Diagnostyka nadmiarowości łącznych baz reguł i ograniczeń' ")),
              std::string(tr(" gdzie dowiesz się o istocie wykrytej nadmiarowości."))})
            piszln(s, l);
        s.ui.note(tr("Być może wykryto nadmiarowość łączną"),
                  tr("Baza reguł elementarna niepewna\n   ") + name + kind_line + og +
                      tr("\nmogą zawierać nadmiarowość łączną niepewną typu ") + *type +
                      tr(". \n\nSprawdź sens zakwestionowanych fragmentów baz.") +
                      tr("\nZaładowane bazy reguł i ograniczeń możesz stosować ") +
                      tr("\ndo wnioskowania, gdyż nadmiarowość nie zakłóca  \nwnioskowania. Może jednak "
                         "wydłużyć czas "
                         "wnioskowania") +
                      tr("\ni uzależnić wynik wnioskowania od niepotrzebnych warunków.") +
                      tr("\nDlatego lepiej zbadać zakwestionowane fragmenty baz i \newentualną nadmiarowość "
                         "usunąć.") +
                      tr("\n\nW tym celu możesz kontynuować pracę z załadowaną ") +
                      tr("\nbazą ograniczeń i przejść do opcji:") +
                      tr("\n   'Baza ograniczeń dokładna\n     Diagnostyka nadmiarowości łącznych baz "
                         "reguł\n     i "
                         "ograniczeń'") +
                      tr(",\ngdzie dowiesz się o istocie wykrytej nadmiarowości."));
    } else {
        for (const std::string& l :
             {tr(" W  bazie reguł elementarnych niepewnych:      ") + name,
              tr(" i  bazie ograniczeń niepewnych ") + og,
              tr(" może być nadmiarowość łączna niepewna  typu ") + *type,
              std::string(tr(" Sprawdź, czy zakwestionowany fragment bazy jest zamierzony.")),
              std::string(tr(" Załadowaną bazę reguł i bazę ograniczeń niepewnych możesz stosować do ")),
              std::string(tr(
                  " wnioskowania, gdyż nadmiarowość niepewna łączna nie zakłóca wnioskowania. Może jednak")),
              std::string(tr(" uzależnić wynik wnioskowania od niepotrzebnych warunków.")),
              std::string(tr(
                  " Dlatego lepiej zbadać zakwestionowany fragment bazy i ewentualną nadmiarowość usunąć.")),
              std::string(
                  tr(" W tym celu możesz kontynuować pracę z załadowanymi bazami i przejść do opcji:")),
              std::string(tr(" 'Baza ograniczeń niepewnych")),
              std::string(tr("     Diagnostyka nadmiarowości łącznych baz reguł i ograniczeń niepewnych' ")),
              std::string(tr(" gdzie dowiesz się o istocie wykrytej nadmiarowości."))})
            piszln(s, l);
        s.ui.note(
            tr("Być może wykryto nadmiarowość łączną"),
            tr("W  bazie reguł elementarnej niepewnej\n   ") + name +
                tr("\ni bazie ograniczeń elementarnej niepewnej\n   ") + og +
                tr("\nmoże być nadmiarowość łączna niepewna typu ") + *type +
                tr(". \n\nSprawdź, czy zakwestionowany fragment bazy jest zamierzony.") +
                tr("\nZaładowane bazy reguł i ograniczeń możesz stosować do ") +
                tr("\nwnioskowania, gdyż nadmiarowość nie zakłóca wnioskowania. \nMoże jednak wydłużyć czas "
                   "wnioskowania ") +
                tr("\ni uzależnić wynik wnioskowania od niepotrzebnych warunków.") +
                tr("\nDlatego lepiej zbadać zakwestionowany fragment bazy i ewentualną nadmiarowość "
                   "usunąć.") +
                tr("\n\nW tym celu możesz kontynuować pracę z załadowaną ") +
                tr("\nbazą ograniczeń i przejść do opcji:") +
                tr("\n   'Baza ograniczeń niepewna\n     Diagnostyka nadmiarowości łącznych baz reguł\n     "
                   "i "
                   "ograniczeń'") +
                tr(",\ngdzie dowiesz się o istocie wykrytej nadmiarowości."));
    }
    enable_commands(s, {cmd_nadmiarowosci(n)});
    return true;
}

}  // namespace

bool testuj_sprzecznosc_2(Session& s, Niepewne n) {
    const std::string name = s.kb.nazwa_re.name(), og = nazwa_og(s, n);
    for (const char* line :
         {n ? tr("Baza reguł elementarna niepewna i baza ograniczeń elementarna niepewna mogą być "
                 "diagnozowane "
                 "na "
                 "obecność sprzeczności ")
            : tr("Baza reguł elementarna niepewna i baza ograniczeń elementarna dokładna mogą być "
                 "diagnozowane "
                 "na "
                 "obecność sprzeczności"),
          tr("łącznych. Diagnostyka sprzeczności łącznych dużych i silnie zagnieżdżonych"),
          tr("baz reguł i baz ograniczeń może trwać długo, gdyż wymaga ona spłaszczenia"),
          tr("diagnozowanej bazy reguł."), "",
          tr("Zaleca się diagnozowanie sprzecznosci łącznych baz nowych lub"), tr("zmodyfikowanych."),
          tr("Przy kolejnym stosowaniu tych baz można test sprzeczności łącznej "), tr("pominąć."), "",
          tr("Pamiętej, że sprzeczności łączne nie doprowadzą do 'zawieszenia się'"),
          tr("komputera, lecz mogą doprowadzić do niepoprawnych wniosków. "), ""})
        piszln(s, line);
    const std::string text =
        tr("Baza reguł elementarna niepewna\n   ") + name +
        T(n, tr("\ni baza ograniczeń elementarna dokładna\n   "),
          tr("\ni baza ograniczeń elementarna niepewna\n   ")) +
        og +
        tr("\nmogą być diagnozowane na obecność sprzeczności  łącznych. \n\nDiagnostyka sprzeczności "
           "łącznych "
           "dużych "
           "i silnie zagnieżdżonych \nbaz reguł i ograniczeń") +
        tr("\nmoże trwać długo, gdyż wymaga ona spłaszczenia diagnozowanej bazy reguł.") +
        tr("\nZaleca się diagnozowanie sprzeczności baz nowych lub zmodyfikowanych.\nPrzy kolejnym "
           "stosowaniu "
           "tych "
           "baz można test sprzeczności łącznych pominąć.\n") +
        tr("Pamiętej, że sprzeczności łączne nie doprowadzą do 'zawieszenia się' komputera, ") +
        tr("\nlecz mogą doprowadzić do niepoprawnych wniosków ") +
        T(n, tr("\nChcesz diagnozować bazę reguł i ograniczeń dokładną na obecność sprzeczności?"),
          tr("\nChcesz diagnozować bazę reguł i ograniczeń na obecność sprzeczności?"));
    if (s.ui.question(tr("Wybierz"), text, {tr("&Tak"), tr("&Nie")}) != 0) return true;
    return informuj_sprzecznosc_2(s, n);
}

bool testuj_nadmiar_2(Session& s, Niepewne n) {
    const std::string name = s.kb.nazwa_re.name(), og = nazwa_og(s, n);
    if (!n) {
        for (const char* line :
             {tr("Baza reguł i baza ograniczeń dokładnych mogą być diagnozowane na obecność nadmiarowości"),
              tr("łącznych. Diagnostyka nadmiarowości łącznych dużych i silnie zagnieżdżonych"),
              tr("baz reguł i baz ograniczeń może trwać długo.gdyż wymaga ona spłaszczenia"),
              tr("diagnozowanej bazy reguł."),
              tr("Zaleca się diagnozowanie nadmiarowości baz nowych lub zmodyfikowanych."),
              tr("Przy kolejnym stosowaniu tych baz można test nadmiarowości łącznych pominąć.")})
            piszln(s, line);
    } else {
        for (const char* line :
             {tr(" Baza reguł elementarnych niepewnych i baza ograniczeń niepewnych mogą być diagnozowane"),
              tr(" na obecność nadmiarowości niepewnych łącznych."),
              tr(" Diagnostyka nadmiarowości niepewnych łącznych dużych i silnie zagnieżdżonych"),
              tr(" baz reguł i baz ograniczeń może trwać długo."),
              tr(" Zaleca się diagnozowanie nadmiarowości baz nowych lub zmodyfikowanych."),
              tr(" Przy kolejnym stosowaniu tych baz można test nadmiarowości łącznych pominąć."),
              tr(" Chcesz diagnozować bazę reguł elementarnych niepewnych i ograniczeń niepewnych na "
                 "obecność "
                 "nadmiarowości?")})
            piszln(s, line);
    }
    const std::string text =
        tr("Baza reguł elementarna niepewna\n   ") + name +
        T(n, tr("\ni baza ograniczeń elementarna dokładna\n   "),
          tr("\ni baza ograniczeń elementarna niepewna\n   ")) +
        og +
        tr("\nmogą być diagnozowane na obecność nadmiarowości \nłącznych. \n\nDiagnostyka "
           "nadmiarowości łącznych "
           "dużych i silnie \nzagnieżdżonych baz reguł i baz ograniczeń może trwać") +
        tr("\ndługo, gdyż wymaga spłaszczenia diagnozowanej bazy reguł.\nZaleca się "
           "diagnozowanie nadmiarowości baz "
           "nowych \nlub zmodyfikowanych.\nPrzy kolejnym stosowaniu tych baz można test "
           "\nnadmiarowości łącznych "
           "pominąć.") +
        T(n,
          tr("\n\nChcesz diagnozować bazę reguł rozwiniętą \nniepewną i bazę ograniczeń "
             "rozwiniętą \ndokładną na "
             "obecność nadmiarowości?"),
          tr("\n\nChcesz diagnozować bazę reguł rozwiniętą niepewną \ni bazę ograniczeń "
             "rozwiniętą niepewną na obecność "
             "\nnadmiarowości?"));
    if (s.ui.question(tr("Wybierz"), text, {tr("&Tak"), tr("&Nie")}) != 0) return true;
    return informuj_nadmiar_2(s, n);
}

}  // namespace zuva
