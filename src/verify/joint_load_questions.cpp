// The questions the constraint loads ask about the joint diagnoses, and what is told when
// the user chooses to run them: the verdict, and where the report is to be had.
#include <optional>
#include <string>

#include "report/report.h"
#include "session/enabling.h"
#include "session/session.h"
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
        piszln(s, "Bazy reguł elementarna niepewna" + name + " i baza ograniczeń elementarna dokładna " + og +
                      "są diagnozowane na obecność sprzeczności łącznych.");
        s.ui.note("Trwa diagnozowanie", "Baza reguł elementarna niepewna\n   " + name +
                                            "\ni baza ograniczeń elementarna dokładna\n    " + og +
                                            "\nsą diagnozowane na obecność sprzeczności łącznych.");
    } else {
        piszln(s, "Bazy reguł " + name + " i ograniczeń niepewnych " + og +
                      "są diagnozowane na obecność sprzeczności łącznych.");
        s.ui.note("Trwa diagnozowanie", "Baza reguł elementarna niepewna\n   " + name +
                                            "\ni baza ograniczeń elementarna niepewna\n   " + og +
                                            "\nsą diagnozowane na obecność sprzeczności łącznych.");
    }
    const std::string kind_line = T(n, "\ni baza ograniczeń elementarna dokładna\n   ",
                                    "\ni baza ograniczeń elementarna niepewna\n   ");
    if (wyznacz_sprzecznosc_2(s, n)) {
        piszln(s, n ? "Baza reguł elementarna niepewna" + name + " i baza ograniczeń elementarna niepewna  " +
                          og + " nie mają sprzeczności łącznych!"
                    : "Baza reguł elementarna niepewna " + name + " i baza ograniczeń dokładna " + og +
                          " nie mają sprzeczności łącznych!");
        s.ui.note("Wynik diagnozowania sprzeczności łącznych", "Baza reguł elementarna niepewna\n   " + name +
                                                                   kind_line + og +
                                                                   "\nnie mają sprzeczności łącznych!");
        return true;
    }
    piszln(s, " W  bazie reguł elementarej niepewnej                 " + name);
    piszln(s, T(n, " i  bazie ograniczeń dokładnej ", " i  bazie ograniczeń niepewnej ") + og);
    piszln(s, " jest sprzeczność łączna typu " + *type + ".");
    piszln(s, " Sprzeczność łączna może być żródłem błędów wnioskowania. Dlatego lepiej ją usunąć. ");
    piszln(s, " Wykonaj diagnozę  sprzeczności łącznych.");
    piszln(s, " W tym celu musisz przejść do opcji");
    piszln(s, T(n, " 'Baza ograniczeń dokładna", " 'Baza ograniczeń niepewnych"));
    piszln(s, "       Diagnostyka sprzeczności łącznych baz reguł i ograniczeń' ");
    s.ui.note("Informacja o sprzeczności",
              "Baza reguł elementarna niepewna\n   " + name + kind_line + og +
                  "\nzawierają co najmniej jedną sprzeczność łączną typu " + *type +
                  ".\n\nSprzeczność łączna może być żródłem błędów wnioskowania. " +
                  "\nDlatego lepiej ją usunąć." +
                  "\nWykonaj diagnozę sprzeczności łącznych. \nW tym celu musisz przejść do opcji" +
                  T(n, "\n'Baza ograniczeń dokładna", "\n'Baza ograniczeń niepewna") +
                  "\n     Diagnostyka sprzeczności łącznych\n     baz reguł i ograniczeń'");
    enable_commands(s, {cmd_sprzecznosci(n)});
    return true;
}

bool informuj_nadmiar_2(Session& s, Niepewne n) {
    if (baza_sprzeczna(s)) return true;
    std::optional<std::string> type = nazwa_nadmiaru_2(s, n);
    if (!type) return true;
    const std::string name = s.kb.nazwa_re.name(), og = nazwa_og(s, n);
    const std::string kind_line = T(n, "\ni baza ograniczeń elementarna dokładna\n   ",
                                    "\ni baza ograniczeń elementarna niepewna\n   ");
    if (!n) {
        piszln(s, "Bazy reguł elementarnych niepewnych " + name + " i baza ograniczeń dokładnych " + og +
                      "są diagnozowane na obecność nadmiarowości łącznych.");
    } else {
        piszln(s, " Bazy reguł elementarna niepewna i baza ograniczeń elementarna niepewna są diagnozowane");
        piszln(s, " na obecność nadmiarowości niepewnych łącznych.");
    }
    if (wyznacz_nadmiar_2(s, n)) {
        if (!n) {
            piszln(s, "Baza reguł elementarnych niepewnych " + name + " i baza ograniczeń dokładnych " + og +
                          " nie mają nadmiarowości łącznych!");
        } else {
            piszln(s, "  Baza reguł elementarnych niepewnych:          " + name);
            piszln(s, "  i baza ograniczeń niepewnych: " + og);
            piszln(s, "  nie mają nadmiarowości niepewnych łącznych typu " + *type);
        }
        s.ui.note("Wynik diagnozowania nadmiarowości łącznych", "Baza reguł elementarna niepewna\n   " +
                                                                    name + kind_line + og +
                                                                    "\nnie mają nadmiarowości łącznych!");
        disable_commands(s, {cmd_nadmiarowosci(n)});
        return true;
    }
    if (!n) {
        for (const std::string& l :
             {" W  bazie reguł elementarnej niepewnej:  " + name,
              "  bazie ograniczeń elementarnej dokładnej: " + og,
              " może być nadmiarowość łączna niepewna typu " + *type,
              std::string(" Sprawdź, czy zakwestionowany fragment bazy jest zamierzony."),
              std::string(" Załadowane bazy reguł i ograniczeń możesz stosować do wnioskowania,"),
              std::string(" gdyż nadmiarowość nie zakłóca wnioskowania. Może jednak wydłużyć czas"),
              std::string(" wnioskowania i uzależnić wynik wnioskowania od niepotrzebnych warunków."),
              std::string(
                  " Dlatego lepiej zbadać zakwestionowany fragment bazy i ewentualną nadmiarowość usunąć."),
              std::string(" W tym celu możesz kontynuować pracę z załadowaną bazą ograniczeń"),
              std::string(" i  przejść do opcji:"), std::string(" 'Baza ograniczeń dokładna"),
              std::string("         Diagnostyka nadmiarowości łącznych baz reguł i ograniczeń' "),
              std::string(" gdzie dowiesz się o istocie wykrytej nadmiarowości.")})
            piszln(s, l);
        s.ui.note(
            "Być może wykryto nadmiarowość łączną",
            "Baza reguł elementarna niepewna\n   " + name + kind_line + og +
                "\nmogą zawierać nadmiarowość łączną niepewną typu " + *type +
                ". \n\nSprawdź sens zakwestionowanych fragmentów baz." +
                "\nZaładowane bazy reguł i ograniczeń możesz stosować " +
                "\ndo wnioskowania, gdyż nadmiarowość nie zakłóca  \nwnioskowania. Może jednak wydłużyć czas "
                "wnioskowania" +
                "\ni uzależnić wynik wnioskowania od niepotrzebnych warunków." +
                "\nDlatego lepiej zbadać zakwestionowane fragmenty baz i \newentualną nadmiarowość usunąć." +
                "\n\nW tym celu możesz kontynuować pracę z załadowaną " +
                "\nbazą ograniczeń i przejść do opcji:" +
                "\n   'Baza ograniczeń dokładna\n     Diagnostyka nadmiarowości łącznych baz reguł\n     i "
                "ograniczeń'" +
                ",\ngdzie dowiesz się o istocie wykrytej nadmiarowości.");
    } else {
        for (const std::string& l :
             {" W  bazie reguł elementarnych niepewnych:      " + name,
              " i  bazie ograniczeń niepewnych " + og,
              " może być nadmiarowość łączna niepewna  typu " + *type,
              std::string(" Sprawdź, czy zakwestionowany fragment bazy jest zamierzony."),
              std::string(" Załadowaną bazę reguł i bazę ograniczeń niepewnych możesz stosować do "),
              std::string(
                  " wnioskowania, gdyż nadmiarowość niepewna łączna nie zakłóca wnioskowania. Może jednak"),
              std::string(" uzależnić wynik wnioskowania od niepotrzebnych warunków."),
              std::string(
                  " Dlatego lepiej zbadać zakwestionowany fragment bazy i ewentualną nadmiarowość usunąć."),
              std::string(" W tym celu możesz kontynuować pracę z załadowanymi bazami i przejść do opcji:"),
              std::string(" 'Baza ograniczeń niepewnych"),
              std::string("     Diagnostyka nadmiarowości łącznych baz reguł i ograniczeń niepewnych' "),
              std::string(" gdzie dowiesz się o istocie wykrytej nadmiarowości.")})
            piszln(s, l);
        s.ui.note(
            "Być może wykryto nadmiarowość łączną",
            "W  bazie reguł elementarnej niepewnej\n   " + name +
                "\ni bazie ograniczeń elementarnej niepewnej\n   " + og +
                "\nmoże być nadmiarowość łączna niepewna typu " + *type +
                ". \n\nSprawdź, czy zakwestionowany fragment bazy jest zamierzony." +
                "\nZaładowane bazy reguł i ograniczeń możesz stosować do " +
                "\nwnioskowania, gdyż nadmiarowość nie zakłóca wnioskowania. \nMoże jednak wydłużyć czas "
                "wnioskowania " +
                "\ni uzależnić wynik wnioskowania od niepotrzebnych warunków." +
                "\nDlatego lepiej zbadać zakwestionowany fragment bazy i ewentualną nadmiarowość usunąć." +
                "\n\nW tym celu możesz kontynuować pracę z załadowaną " +
                "\nbazą ograniczeń i przejść do opcji:" +
                "\n   'Baza ograniczeń niepewna\n     Diagnostyka nadmiarowości łącznych baz reguł\n     i "
                "ograniczeń'" +
                ",\ngdzie dowiesz się o istocie wykrytej nadmiarowości.");
    }
    enable_commands(s, {cmd_nadmiarowosci(n)});
    return true;
}

}  // namespace

bool testuj_sprzecznosc_2(Session& s, Niepewne n) {
    const std::string name = s.kb.nazwa_re.name(), og = nazwa_og(s, n);
    for (const char* line :
         {n ? "Baza reguł elementarna niepewna i baza ograniczeń elementarna niepewna mogą być diagnozowane "
              "na "
              "obecność sprzeczności "
            : "Baza reguł elementarna niepewna i baza ograniczeń elementarna dokładna mogą być diagnozowane "
              "na "
              "obecność sprzeczności",
          "łącznych. Diagnostyka sprzeczności łącznych dużych i silnie zagnieżdżonych",
          "baz reguł i baz ograniczeń może trwać długo, gdyż wymaga ona spłaszczenia",
          "diagnozowanej bazy reguł.", "", "Zaleca się diagnozowanie sprzecznosci łącznych baz nowych lub",
          "zmodyfikowanych.", "Przy kolejnym stosowaniu tych baz można test sprzeczności łącznej ",
          "pominąć.", "", "Pamiętej, że sprzeczności łączne nie doprowadzą do 'zawieszenia się'",
          "komputera, lecz mogą doprowadzić do niepoprawnych wniosków. ", ""})
        piszln(s, line);
    const std::string text =
        "Baza reguł elementarna niepewna\n   " + name +
        T(n, "\ni baza ograniczeń elementarna dokładna\n   ",
          "\ni baza ograniczeń elementarna niepewna\n   ") +
        og +
        "\nmogą być diagnozowane na obecność sprzeczności  łącznych. \n\nDiagnostyka sprzeczności łącznych "
        "dużych "
        "i silnie zagnieżdżonych \nbaz reguł i ograniczeń" +
        "\nmoże trwać długo, gdyż wymaga ona spłaszczenia diagnozowanej bazy reguł." +
        "\nZaleca się diagnozowanie sprzeczności baz nowych lub zmodyfikowanych.\nPrzy kolejnym stosowaniu "
        "tych "
        "baz można test sprzeczności łącznych pominąć.\n" +
        "Pamiętej, że sprzeczności łączne nie doprowadzą do 'zawieszenia się' komputera, " +
        "\nlecz mogą doprowadzić do niepoprawnych wniosków " +
        T(n, "\nChcesz diagnozować bazę reguł i ograniczeń dokładną na obecność sprzeczności?",
          "\nChcesz diagnozować bazę reguł i ograniczeń na obecność sprzeczności?");
    if (s.ui.question("Wybierz", text, {"&Tak", "&Nie"}) != 0) return true;
    return informuj_sprzecznosc_2(s, n);
}

bool testuj_nadmiar_2(Session& s, Niepewne n) {
    const std::string name = s.kb.nazwa_re.name(), og = nazwa_og(s, n);
    if (!n) {
        for (const char* line :
             {"Baza reguł i baza ograniczeń dokładnych mogą być diagnozowane na obecność nadmiarowości",
              "łącznych. Diagnostyka nadmiarowości łącznych dużych i silnie zagnieżdżonych",
              "baz reguł i baz ograniczeń może trwać długo.gdyż wymaga ona spłaszczenia",
              "diagnozowanej bazy reguł.",
              "Zaleca się diagnozowanie nadmiarowości baz nowych lub zmodyfikowanych.",
              "Przy kolejnym stosowaniu tych baz można test nadmiarowości łącznych pominąć."})
            piszln(s, line);
    } else {
        for (const char* line :
             {" Baza reguł elementarnych niepewnych i baza ograniczeń niepewnych mogą być diagnozowane",
              " na obecność nadmiarowości niepewnych łącznych.",
              " Diagnostyka nadmiarowości niepewnych łącznych dużych i silnie zagnieżdżonych",
              " baz reguł i baz ograniczeń może trwać długo.",
              " Zaleca się diagnozowanie nadmiarowości baz nowych lub zmodyfikowanych.",
              " Przy kolejnym stosowaniu tych baz można test nadmiarowości łącznych pominąć.",
              " Chcesz diagnozować bazę reguł elementarnych niepewnych i ograniczeń niepewnych na obecność "
              "nadmiarowości?"})
            piszln(s, line);
    }
    const std::string text = "Baza reguł elementarna niepewna\n   " + name +
                             T(n, "\ni baza ograniczeń elementarna dokładna\n   ",
                               "\ni baza ograniczeń elementarna niepewna\n   ") +
                             og +
                             "\nmogą być diagnozowane na obecność nadmiarowości \nłącznych. \n\nDiagnostyka "
                             "nadmiarowości łącznych "
                             "dużych i silnie \nzagnieżdżonych baz reguł i baz ograniczeń może trwać" +
                             "\ndługo, gdyż wymaga spłaszczenia diagnozowanej bazy reguł.\nZaleca się "
                             "diagnozowanie nadmiarowości baz "
                             "nowych \nlub zmodyfikowanych.\nPrzy kolejnym stosowaniu tych baz można test "
                             "\nnadmiarowości łącznych "
                             "pominąć." +
                             T(n,
                               "\n\nChcesz diagnozować bazę reguł rozwiniętą \nniepewną i bazę ograniczeń "
                               "rozwiniętą \ndokładną na "
                               "obecność nadmiarowości?",
                               "\n\nChcesz diagnozować bazę reguł rozwiniętą niepewną \ni bazę ograniczeń "
                               "rozwiniętą niepewną na obecność "
                               "\nnadmiarowości?");
    if (s.ui.question("Wybierz", text, {"&Tak", "&Nie"}) != 0) return true;
    return informuj_nadmiar_2(s, n);
}

}  // namespace zuva
