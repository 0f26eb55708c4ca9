// Whole consultations driven through the terminal program by answer files, over the knowledge
// bases of tests/data/e2e and the bundled sample base. Each test checks the exact order of the
// dialogs (the block headers and the answers taken) and, where a run leaves files, their exact
// bytes in Windows-1250.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "script_run.h"
#include "support/sample_base.h"
#include "text/codec.h"
#include "text/file_io.h"

namespace zuva {
namespace {

namespace fs = std::filesystem;

const std::string kData = std::string(ZUVA_TEST_DATA) + "/e2e";
using testing_support::kExamples;
// The first sample knowledge base, kept as it was for the tests written against it.
const std::string kFirstSample = std::string(ZUVA_TEST_DATA) + "/sample-1";

// The report lines that list the loaded bases at the start of a run; only a rule base loaded,
// and only loaded kinds are listed.
std::string bases_header(const std::string& direction, const std::string& rules, bool backward) {
    (void)backward;
    return "Wnioskowanie elementarne niepewne " + direction + " dla bazy reguł " + rules + "\n\n";
}

// The report record of a saved report: the text quoted, line feeds as \n.
std::string report_record(const std::string& text) {
    std::string quoted;
    for (char c : text) {
        if (c == '\n')
            quoted += "\\n";
        else if (c == '"' || c == '\\')
            quoted += std::string("\\") + c;
        else
            quoted += c;
    }
    return utf8_to_cp1250_lossy("tekst_raportu(\"" + quoted + "\")");
}

class E2eScript : public testing_support::AnswerScriptTest {
  protected:
    E2eScript() : AnswerScriptTest("zuva-e2e") {}
    void copy_in(const std::string& from_dir, const std::string& name) {
        fs::copy_file(fs::path(from_dir) / name, fs::path(dir) / name, fs::copy_options::overwrite_existing);
    }
    // The sample base as it is shipped: BAZY with the bases (the program runs there) and
    // OPISY with the description.
    void copy_sample(const std::string& from = kFirstSample) {
        fs::create_directories(fs::path(dir) / "BAZY");
        fs::create_directories(fs::path(dir) / "OPISY");
        for (const char* name : {"REAUTO.BEN", "MOAUTO.BEN"})
            fs::copy_file(fs::path(from) / "BAZY" / name, fs::path(dir) / "BAZY" / name);
        fs::copy_file(fs::path(from) / "OPISY" / "AUTO.OPI", fs::path(dir) / "OPISY" / "AUTO.OPI");
        sub = "BAZY";
    }
};

const std::vector<std::string> kLoadTest = {
    "[command] 10064 Ładowanie bazy &reguł",
    "[open-file] Wybierz nazwę bazy reguł:",
    "answer: RETEST.BEN",
    "[clear]",
    "[title] zuva_EN wnioskuje dla bazy wiedzy test",
    "[note] Wynik ładowania bazy reguł",
    "[question] Wybierz",
    "answer: &Nie",
    "[question] Wybierz",
    "answer: &Nie",
};

std::vector<std::string> join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A forward run that asks b (a word, then an out-of-range number, then 0.5) and e, applies
// two cumulative rules of c and two disjunctive rules of d, keeps two labels, saves the
// summary over an existing file (refused once) and the report.
TEST_F(E2eScript, ForwardRunWithLabelsSummaryAndReport) {
    copy_in(kData, "RETEST.BEN");
    ASSERT_TRUE(write_file_bytes(path("SUM.txt"), "stare\n"));
    EXPECT_EQ(run({"10064", "RETEST.BEN", "Nie", "Nie",     "10164", "1",   "TAK",      "etykieta ż1",
                   "TAK",   "druga",      "NIE", "1",       "abc",   "2",   "0.5",      "0.6",
                   "TAK",   "SUM.txt",    "NIE", "SUM.txt", "TAK",   "Tak", "WYNIK.RPT"}),
              0)
        << err;
    const std::vector<std::string> expected =
        join(kLoadTest, {
                            "[command] 10164 Wnioskowanie elementarne niepewne w przód",
                            "[clear]",
                            "[radio] Poziom szczegółowości",
                            "answer: 1",
                            "[question] Tworzenie etykiet",
                            "answer: &TAK",
                            "[input] Tworzenie etykiety",
                            "answer: etykieta ż1",
                            "[question]",
                            "answer: &TAK",
                            "[input] Tworzenie etykiety",
                            "answer: druga",
                            "[question]",
                            "answer: &NIE",
                            "[note] Wnioskowanie elementarne niepewne w przód",
                            "[radio] Wybierz tryb deklaracji faktów!",
                            "answer: 1",
                            "[explanation] W bazie reguł są następujące fakty:",
                            "answer: &Kontynuuj",
                            // b: a word is asked again silently, 2 is refused with a note.
                            "[value] Określ wartość CF",
                            "answer: abc",
                            "[value] Określ wartość CF",
                            "answer: 2",
                            "[note]",
                            "[value] Określ wartość CF",
                            "answer: 0.5",
                            "[explanation] Wyjaśnienie reguły",  // rule 1
                            "answer: &Kontynuuj",
                            "[value] Określ wartość CF",  // e
                            "answer: 0.6",
                            "[explanation] Wyjaśnienie reguły",  // rule 2
                            "answer: &Kontynuuj",
                            "[explanation] Wyjaśnienie reguły",  // rule 4: c has no resultant yet
                            "answer: &Kontynuuj",
                            "[explanation] Wypadkowe CF wniosku reguł kumulatywnych (pojedynczej reguły)",
                            "answer: &Kontynuuj",
                            "[explanation] Wyjaśnienie reguły",  // rule 3
                            "answer: &Kontynuuj",
                            "[explanation] Wypadkowe CF wniosku reguł dysjunktywnych",
                            "answer: &Kontynuuj",
                            "[note] Uwaga!",
                            "[explanation] Dane są następujące fakty:",
                            "answer: &Kontynuuj",
                            "[explanation] Dane są wartości następujących argumentów:",
                            "answer: &Kontynuuj",
                            "[note] Koniec wnioskowania w przód",
                            "[question] Plik podsumowania",
                            "answer: &TAK",
                            "[save-file] Podaj nazwę pliku podsumowania",
                            "answer: SUM.txt",
                            "[question] Plik podsumowania",
                            "answer: &NIE",
                            "[save-file] Podaj nazwę pliku podsumowania",
                            "answer: SUM.txt",
                            "[question] Plik podsumowania",
                            "answer: &TAK",
                            "[note]",
                            "[note] Podsumowanie",
                            "[question] Raport wnioskowania/diagnostyki",
                            "answer: &Tak",
                            "[save-file] Podaj nazwę nowego pliku raportu",
                            "answer: WYNIK.RPT",
                            "[note] Uwaga!",
                        });
    EXPECT_EQ(dialogs(), expected) << out;
    EXPECT_TRUE(
        has("[question] Plik podsumowania\nPodsumowanie o nazwie SUM.txtjuż istnieje.\n"
            "Czy chcesz zapisać go nową treścią?\n"));
    EXPECT_TRUE(has("[note]\nIstniejące podsumowanie SUM.txt\nzostało skasowane!\n"));

    const std::string report =
        bases_header("w przód", "RETEST.BEN", false) +
        "W bazie reguł są następujące fakty:\n"
        "    a(1.0)\n"
        "Zadeklaruj CF warunku \n   b\nz przedziału [-1, 1]\n"
        "     Źle! Musi być -1 <= CF <= 1 ! \n"
        "   CF(b) = 0.5\n\n"
        "\nStosuję regułę 1 o postaci:\nJeżeli\n    a\n    b\nto z współczynnikiem CF = 0.8\n    c\n"
        "Stąd wynika wniosek: \n    c(0.4)\n\n"
        "Zadeklaruj CF warunku \n   e\nz przedziału [-1, 1]\n"
        "   CF(e) = 0.6\n\n"
        "\nStosuję regułę 2 o postaci:\nJeżeli\n    e\nto z współczynnikiem CF = -0.5\n    c\n"
        "Stąd wynika wniosek: \n    c(-0.3)\n\n"
        "\nStosuję regułę 4 o postaci:\nJeżeli\n    b\nto z współczynnikiem CF = 0.6\n    d\n"
        "Stąd wynika wniosek: \n    d(0.3)\n\n"
        "\nZ wszystkich reguł kumulatywnych (z pojedynczej reguły) dla wniosku: \n    c\nwynika:\n"
        "    c(0.14)\n\n"
        "\nStosuję regułę 3 o postaci:\nJeżeli\n    c\nto z współczynnikiem CF = 0.9\n    d\n"
        "Stąd wynika wniosek: \n    d(0.13)\n\n"
        "Z wszystkich reguł dysjunktywnych dla wniosku: \n    d\nwynika:\n    d(0.3)\n\n"
        "\nBrak możliwości dalszego wnioskowania!\n\n"
        "\nDane są następujące fakty:\n    a(1)\n    b(0.5)\n    e(0.6)\n    c(0.14)\n    d(0.3)\n"
        "\n"
        "Dane są wartości następujących argumentów:\n\n"
        "\n"
        "To już wszystko, co wynika z bazy wiedzy TEST,\nz zadeklarowanych faktów i wartości argumentów.\n\n"
        "Koniec wnioskowania ekspertowego.\n\n"
        "Koniec wnioskowania w przód\n\n";
    EXPECT_EQ(file("WYNIK.RPT"), report_record(report) + "\n");
    // Windows-1250 bytes, not UTF-8: "w przód" and "reguł".
    EXPECT_NE(file("WYNIK.RPT")
                  .find("w prz\xF3"
                        "d dla bazy regu\xB3 RETEST.BEN"),
              std::string::npos);

    const std::string summary =
        "Etykiety wnioskowania: \n    etykieta \xBF"
        "1\n    druga\n"
        "Podsumowanie wnioskowania: fakty\n"
        "    a(1)\n    b(0.5)\n    e(0.6)\n    c(0.14)\n    d(0.3)\n"
        "Podsumowanie wnioskowania: warto\x9C"
        "ci argument\xF3w\n";
    EXPECT_EQ(file("SUM.txt"), summary);
}

// A positive contribution to the disjunctive "koniec" ends the rules at once (no explanation
// of the "koniec" rule), and the run ends as every run: the resultant of the conclusion its
// applied rule contributed to, the final listing, the summary and the report questions.
TEST_F(E2eScript, ForwardRunEndsOnKoniec) {
    copy_in(kData, "REKONIEC.BEN");
    EXPECT_EQ(
        run({"10064", "REKONIEC.BEN", "Nie", "Nie", "10164", "1", "NIE", "1", "0.8", "NIE", "Nie", "10170"}),
        0)
        << err;
    const std::vector<std::string> tail = {
        "[radio] Wybierz tryb deklaracji faktów!",
        "answer: 1",
        "[explanation] W bazie reguł są następujące fakty:",
        "answer: &Kontynuuj",
        "[value] Określ wartość CF",
        "answer: 0.8",
        "[explanation] Wyjaśnienie reguły",  // rule 2 comes first: cumulative rules are tried first
        "answer: &Kontynuuj",
        "[note] Uwaga - koniec!",
        "[explanation] Wypadkowe CF wniosku reguł kumulatywnych (pojedynczej reguły)",
        "answer: &Kontynuuj",
        "[note] Uwaga!",
        "[explanation] Dane są następujące fakty:",
        "answer: &Kontynuuj",
        "[explanation] Dane są wartości następujących argumentów:",
        "answer: &Kontynuuj",
        "[note] Koniec wnioskowania w przód",
        "[question] Plik podsumowania",
        "answer: &NIE",
        "[question] Raport wnioskowania/diagnostyki",
        "answer: &Nie",
        "[command] 10170 &O programie",
    };
    std::vector<std::string> seq = dialogs();
    ASSERT_GE(seq.size(), tail.size() + 1) << out;
    EXPECT_EQ(std::vector<std::string>(seq.end() - static_cast<long>(tail.size()) - 1, seq.end() - 1), tail)
        << out;
    EXPECT_TRUE(
        has("Reguła z wnioskiem 'koniec' kończy wnioskowanie.\n[note] Uwaga - koniec!\n"
            "Reguła z wnioskiem 'koniec' kończy wnioskowanie.\n"));
    EXPECT_FALSE(has("Stosuję regułę 1 "));
}

// The sample rule base with its model base: the askable conditions are asked in rule order,
// the model arguments only when no rule can go on, and the model conclusion is never asked.
TEST_F(E2eScript, ForwardRunOverTheSampleBaseWithModels) {
    copy_sample();
    EXPECT_EQ(run({"10064", "REAUTO.BEN", "Nie", "Nie", "Nie", "10077", "MOAUTO.BEN", "10164", "1",
                   "NIE",   "1",          "-1",  "0.5", "0.8", "0.9",   "0.7",        "0.2",   "-1",
                   "0.3",   "0.4",        "0.1", "0.2", "0.3", "12.6",  "10.2",       "NIE",   "Nie"}),
              0)
        << err;
    std::vector<std::string> asked;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("name: ", 0) == 0) asked.push_back(line.substr(6));
    const std::vector<std::string> expected = {
        "wskaznik_paliwa_na_zero",
        "zapach_paliwa_przy_rozruchu",
        "rozrusznik_kreci_wolno",
        "kontrolki_gasna_przy_rozruchu",
        "akumulator_starszy_niz_piec_lat",
        "silny_mroz",
        "klemy_skorodowane_lub_luzne",
        "rozrusznik_nie_kreci",
        "slychac_klikanie",
        "silnik_kreci_ale_nie_zapala",
        "jest_iskra_na_swiecy",
        "slychac_pompe_paliwa",
        "napiecie_spoczynkowe",
        "napiecie_podczas_rozruchu",
    };
    EXPECT_EQ(asked, expected) << out;
    // 12.6 V at rest: 125 * 12.6 - 1487.5 = 87.5 %, not discharged (CF -1, so its CF text is
    // never asked); a drop of 2.4 V is no large drop either.
    EXPECT_TRUE(has("    stopien_naladowania = 87.5\n"));
    EXPECT_TRUE(
        has("Dane są wartości następujących argumentów:\n    napiecie_spoczynkowe=12.6\n"
            "    napiecie_podczas_rozruchu=10.2\n    spadek_napiecia=2.4\n"
            "    stopien_naladowania=87.5\n    stopien_naladowania_zaokraglony=88\n"));
    EXPECT_TRUE(has("    brak_paliwa(-0.86)\n"));
    EXPECT_TRUE(has("    akumulator_rozladowany(-1)\n"));
    // Rules 4 and 6 give 0.64 and 0.12, rule 5 gives -0.9: (0.6832 - 0.9) / (1 - 0.6832).
    EXPECT_TRUE(has("    uszkodzony_akumulator(-0.68)\n"));
    EXPECT_TRUE(has("    uszkodzony_rozrusznik(0.48)\n"));
    EXPECT_TRUE(has("    duzy_spadek_napiecia_przy_rozruchu(-1)\n"));
    EXPECT_TRUE(has("To już wszystko, co wynika z bazy wiedzy AUTO,\n"));
    EXPECT_TRUE(has("[question] Raport wnioskowania/diagnostyki\n"));
}

// Backward, narrow sense: the only candidate d; the conditions are followed depth first and
// each answer is asked once.
TEST_F(E2eScript, BackwardRunInTheNarrowSense) {
    copy_in(kData, "RETEST.BEN");
    EXPECT_EQ(run({"10064", "RETEST.BEN", "Nie", "Nie", "10165", "1", "NIE", "1", "1", "0.5", "0.6", "NIE",
                   "Tak", "WST.RPT"}),
              0)
        << err;
    const std::vector<std::string> expected =
        join(kLoadTest, {
                            "[command] 10165 Wnioskowanie elementarne niepewne wstecz",
                            "[clear]",
                            "[radio] Poziom szczegółowości",
                            "answer: 1",
                            "[question] Tworzenie etykiet",
                            "answer: &NIE",
                            "[note] Wnioskowanie elementarne niepewne wstecz",
                            "[radio] Hipoteza wybór",
                            "answer: 1",
                            "[list] Hipoteza w sensie wąskim",
                            "answer: 1",
                            "[note] Uwaga!",
                            "[explanation] W bazie reguł są następujące fakty:",
                            "answer: &Kontynuuj",
                            "[note] Określenie CF dla warunku",
                            "[value] Określ wartość CF",
                            "answer: 0.5",
                            "[note] Hipoteza pomocnicza",
                            "[explanation] Wyjaśnienie reguły",
                            "answer: &Kontynuuj",
                            "[note] Określenie CF dla warunku",
                            "[value] Określ wartość CF",
                            "answer: 0.6",
                            "[note] Hipoteza pomocnicza",
                            "[explanation] Wyjaśnienie reguły",
                            "answer: &Kontynuuj",
                            "[note] Hipoteza główna",
                            "[explanation] Wyjaśnienie reguły",
                            "answer: &Kontynuuj",
                            "[note] Hipoteza główna",
                            "[explanation] Wyjaśnienie reguły",
                            "answer: &Kontynuuj",
                            "[explanation] Wynik wnioskowania wstecz:",
                            "answer: &Kontynuuj",
                            "[note] Uwaga!",
                            "[explanation] Dane są następujące fakty:",
                            "answer: &Kontynuuj",
                            "[explanation] Dane są wartości następujących argumentów:",
                            "answer: &Kontynuuj",
                            "[note] Koniec wnioskowania wstecz",
                            "[question] Plik podsumowania",
                            "answer: &NIE",
                            "[question] Raport wnioskowania/diagnostyki",
                            "answer: &Tak",
                            "[save-file] Podaj nazwę nowego pliku raportu",
                            "answer: WST.RPT",
                            "[note] Uwaga!",
                        });
    EXPECT_EQ(dialogs(), expected) << out;
    EXPECT_TRUE(has("[list] Hipoteza w sensie wąskim\nWybierz hipotezę w sensie wąskim!\n1. d\nanswer: 1\n"));
    EXPECT_TRUE(
        has("[explanation] Wynik wnioskowania wstecz:\nZ bazy wiedzy TEST\n"
            "z zadeklarowanych faktów i z wartości argumentów\nwynika hipoteza w sensie wąskim:\n"
            "  d(0.3)\n"));
    EXPECT_TRUE(
        has("[note] Koniec wnioskowania wstecz\nTo już wszystko, co wynikło z bazy wiedzy  \n     TEST\n"
            "z zadeklarowanych faktów i wartości argumentów\nw trakcie testowania hipotezy:\n    d\n"));

    const std::string rule = "\nStosuję regułę ";
    const std::string report =
        bases_header("wstecz", "RETEST.BEN", true) +
        "Testuję hipotezę w sensie wąskim:  \nd\n\n"
        "W bazie reguł są następujące fakty:\n    a(1.0)\n"
        "Zadeklaruj CF warunku \n   b\nz przedziału [-1, 1]\n   CF(b) = 0.5\n\n"
        "Hipoteza pomocnicza c jest testowana.\n" +
        rule +
        "1 o postaci:\nJeżeli\n    a\n    b\nto z współczynnikiem CF = 0.8\n    c\n"
        "Stąd wynika wniosek: \n    c(0.4)\n\n"
        "Zadeklaruj CF warunku \n   e\nz przedziału [-1, 1]\n   CF(e) = 0.6\n\n"
        "Hipoteza pomocnicza c jest testowana.\n" +
        rule +
        "2 o postaci:\nJeżeli\n    e\nto z współczynnikiem CF = -0.5\n    c\n"
        "Stąd wynika wniosek: \n    c(-0.3)\n\n"
        "Z wszystkich reguł kumulatywnych (z pojedynczej reguły) dla hipotezy:\n    c\nwynika:\n    "
        "c(0.14)\n\n"
        "Hipoteza główna  d jest testowana.\n" +
        rule +
        "3 o postaci:\nJeżeli\n    c\nto z współczynnikiem CF = 0.9\n    d\n"
        "Stąd wynika wniosek: \n    d(0.13)\n\n"
        "Hipoteza główna  d jest testowana.\n" +
        rule +
        "4 o postaci:\nJeżeli\n    b\nto z współczynnikiem CF = 0.6\n    d\n"
        "Stąd wynika wniosek: \n    d(0.3)\n\n"
        "Z wszystkich reguł dysjunktywnych dla hipotezy:\n    d\nwynika:\n    CF(d)  = 0.3\n\n"
        "Dla testowanej hipotezy jest:\nCF(d) = 0.3\n\n"
        "\nDane są następujące fakty:\n    a(1)\n    b(0.5)\n    e(0.6)\n    c(0.14)\n    d(0.3)\n"
        "\n"
        "Dane są wartości następujących argumentów:\n\n"
        "\n"
        "To już wszystko, co wynikło z bazy wiedzy TEST\nz zadeklarowanych faktów i wartości argumentów\n"
        "w trakcie testowania hipotezy:\nd\n";
    EXPECT_EQ(file("WST.RPT"), report_record(report) + "\n");
}

// Backward, broad sense, over the sample bases: every rule conclusion and every relational
// model conclusion is a candidate; a cumulative auxiliary hypothesis is evaluated once.
TEST_F(E2eScript, BackwardRunInTheBroadSense) {
    copy_sample();
    // uszkodzony_rozrusznik: rules 8 (asks two conditions) and 9 (uszkodzony_akumulator,
    // through rules 4 to 6 and the voltage models).
    EXPECT_EQ(run({"10064", "REAUTO.BEN", "Nie",  "Nie", "Nie", "10077", "MOAUTO.BEN", "10165",
                   "1",     "NIE",        "2",    "8",   "-1",  "-1",    "0.8",        "0.9",
                   "0.5",   "0.5",        "12.6", "0.7", "0.2", "NIE",   "Nie"}),
              0)
        << err;
    EXPECT_TRUE(
        has("[list] Hipoteza w sensie szerokim\nWybierz hipotezę w sensie szerokim!\n"
            "1. akumulator_rozladowany\n2. brak_paliwa\n3. duzy_spadek_napiecia_przy_rozruchu\n"
            "4. naladuj_lub_wymien_akumulator\n5. sprawdz_bezpieczniki\n6. uszkodzona_pompa_paliwa\n"
            "7. uszkodzony_akumulator\n8. uszkodzony_rozrusznik\n9. uszkodzony_zaplon\n"
            "10. wezwij_pomoc_drogowa\n11. zle_polaczenie_akumulatora\nanswer: 8\n"))
        << out;
    std::vector<std::string> asked;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("name: ", 0) == 0) asked.push_back(line.substr(6));
    // The "koniec" rule is tried first (brak_paliwa: two questions), then the hypothesis.
    const std::vector<std::string> expected = {
        "wskaznik_paliwa_na_zero", "zapach_paliwa_przy_rozruchu", "rozrusznik_nie_kreci",
        "slychac_klikanie",        "rozrusznik_kreci_wolno",      "kontrolki_gasna_przy_rozruchu",
    };
    ASSERT_GE(asked.size(), expected.size()) << out;
    EXPECT_EQ(std::vector<std::string>(asked.begin(), asked.begin() + 6), expected) << out;
    EXPECT_TRUE(has("Testuję hipotezę w sensie szerokim: \nuszkodzony_rozrusznik\n\n"));
    // uszkodzony_akumulator: 0.4 and 0.12 against -0.9 give -0.81; rule 9 then 0.41, rule 8
    // 0.56, combined 0.74.
    EXPECT_TRUE(has("    uszkodzony_akumulator(-0.81)\n"));
    EXPECT_TRUE(has("wynika hipoteza w sensie szerokim:\n  uszkodzony_rozrusznik(0.74)\n"));
    EXPECT_TRUE(has("Dla testowanej hipotezy jest:\nCF(uszkodzony_rozrusznik) = 0.74\n"));
}

// A syntax error: the error report, the hint, the title "zuva"; the inference command stays
// disabled, which ends the script with status 2 naming the line.
TEST_F(E2eScript, LoadWithASyntaxError) {
    copy_in(kData, "REBLAD.BEN");
    EXPECT_EQ(run({"10064", "REBLAD.BEN", "10164"}), 2);
    const std::vector<std::string> expected = {
        "[command] 10064 Ładowanie bazy &reguł",
        "[open-file] Wybierz nazwę bazy reguł:",
        "answer: REBLAD.BEN",
        "[clear]",
        "[note] Obsługa błędu",
        "[note] Błąd",
        "[title] zuva",
        "[error] wiersz 3",
    };
    EXPECT_EQ(dialogs(), expected) << out;
    EXPECT_TRUE(has("Błąd syntaksu w pliku " + path("REBLAD.BEN") + "\nreguła(2,\"d\" [\"c\"],1,\"0.9\")\n"));
    EXPECT_TRUE(
        has("[note] Błąd\nPrzejdź do 'Bazy reguł niepewnej' i wybierz opcję 'Edycja bazy reguł',\n"
            "wybierz błędną bazę i usuń błąd.\n"));
    EXPECT_NE(err.find("wiersz 3"), std::string::npos) << err;
}

// Repeated rule numbers after a good load: the load stops after the numbering report, and the
// inference commands, still enabled, refuse silently.
TEST_F(E2eScript, RepeatedRuleNumbersRefuseInference) {
    copy_in(kData, "RETEST.BEN");
    copy_in(kData, "RENUMER.BEN");
    EXPECT_EQ(run({"10064", "RETEST.BEN", "Nie", "Nie", "10064", "RENUMER.BEN", "10164", "10165", "10170"}),
              0)
        << err;
    const std::vector<std::string> expected =
        join(kLoadTest, {
                            "[command] 10064 Ładowanie bazy &reguł",
                            "[open-file] Wybierz nazwę bazy reguł:",
                            "answer: RENUMER.BEN",
                            "[clear]",
                            "[title] zuva_EN wnioskuje dla bazy wiedzy numer",
                            "[note] Wynik ładowania bazy reguł",
                            "[note] Błąd bazy reguł",
                            "[command] 10164 Wnioskowanie elementarne niepewne w przód",
                            "[clear]",
                            "[note] Uwaga!",
                            "[command] 10165 Wnioskowanie elementarne niepewne wstecz",
                            "[clear]",
                            "[note] Uwaga!",
                            "[command] 10170 &O programie",
                            "[note] O programie",
                        });
    EXPECT_EQ(dialogs(), expected) << out;
    EXPECT_TRUE(has("W bazie reguł RENUMER.BEN występuje \nconajmniej dwukrotnie reguła o numerze 1.\n"));
    // Each refusal says why.
    EXPECT_TRUE(
        has("[note] Uwaga!\nNumery reguł, modeli lub ograniczeń załadowanej bazy wiedzy powtarzają się.\n"
            "Wnioskowanie nie może być rozpoczęte."));
}

// The external-contradiction test accepted on a circular base: the load stops (no redundancy
// question), and the report command writes the remembered pairs; the report is saved.
TEST_F(E2eScript, CircularBaseIsContradictoryAndReported) {
    copy_in(kData, "REKOLO.BEN");
    copy_in(kData, "RETEST.BEN");
    EXPECT_EQ(run({"10064", "REKOLO.BEN", "Tak", "10073", "Tak", "KOLO.RPT", "10164"}), 2) << err;
    const std::vector<std::string> expected = {
        "[command] 10064 Ładowanie bazy &reguł",
        "[open-file] Wybierz nazwę bazy reguł:",
        "answer: REKOLO.BEN",
        "[clear]",
        "[title] zuva_EN wnioskuje dla bazy wiedzy kolo",
        "[note] Wynik ładowania bazy reguł",
        "[question] Wybierz",
        "answer: &Tak",
        "[note] Informacja o sprzeczności",
        "[command] 10073 Diagnostyka sprzeczności zewnętrznych bazy reguł",
        "[note] Diagnostyka sprzeczności zewnętrzych bazy reguł elementarnej niepewnej",
        "[note] Diagnostyka sprzeczności zewnętrzych bazy reguł",
        "[note] Diagnostyka sprzeczności zewnętrzych bazy reguł",
        "[note] Diagnostyka sprzeczności zewnętrzych bazy reguł",
        "[note] Diagnostyka sprzeczności zewnętrzych bazy reguł",
        "[question] Raport wnioskowania/diagnostyki",
        "answer: &Tak",
        "[save-file] Podaj nazwę nowego pliku raportu",
        "answer: KOLO.RPT",
        "[note] Uwaga!",
        "[error] wiersz 7",  // the load failed: inference was never enabled
    };
    EXPECT_EQ(dialogs(), expected) << out;
    EXPECT_TRUE(
        has("Reguła 1 jest zewnętrznie bezpośrednio SEN1-sprzeczna z regułą 2.\n"
            "Można to wykazać podstawiając 2 do 1.\n"));
    const std::string report =
        " Raport diagnostyki sprzeczności zewnętrznych bazy reguł \n REKOLO.BEN\n\n"
        " Następujące reguły są SEN1-sprzeczne: \n\n"
        " Reguła 1 jest zewnętrznie bezpośrednio SEN1-sprzeczna z regułą 2.\n"
        " Można to wykazać podstawiając 2 ==> 1\n\n\n"
        " Reguła 2 jest zewnętrznie bezpośrednio SEN1-sprzeczna z regułą 1.\n"
        " Można to wykazać podstawiając 1 ==> 2\n\n\n"
        "\n Koniec raportu diagnostyki sprzeczności zewnętrznych bazy reguł \n REKOLO.BEN.";
    EXPECT_EQ(file("KOLO.RPT"), report_record(report) + "\n");
}

// The redundancy test accepted: the note names the type, the load goes on and the redundancy
// report command lists the pair.
TEST_F(E2eScript, RedundancyTestAccepted) {
    copy_in(kData, "RENADM.BEN");
    EXPECT_EQ(run({"10064", "RENADM.BEN", "Nie", "Tak", "10075", "Nie", "10164", "1", "NIE", "1"}), 0) << err;
    EXPECT_TRUE(
        has("[note] Uwaga:\nBaza reguł elementarna niepewna\n   RENADM.BEN\n"
            "zawiera reguły nadmiarowe typu NEN1.\n"))
        << out;
    EXPECT_TRUE(has(" Reguły 1 i 2 zawierają nadmiar typu NEN1.\n"));
    // Redundancy does not block inference.
    EXPECT_TRUE(has("[radio] Wybierz tryb deklaracji faktów!\n"));
}

// Cancelled dialogs: the summary and report save dialogs end their step with nothing written;
// cancelling the open dialog unloads every base.
TEST_F(E2eScript, CancelledDialogs) {
    copy_in(kData, "RETEST.BEN");
    EXPECT_EQ(run({"10064", "RETEST.BEN", "Nie", "Nie", "10164", "1", "NIE", "1", "0.5", "0.6", "TAK", "",
                   "Tak", "", "10064", "", "10164", "10165"}),
              0)
        << err;
    std::vector<std::string> seq = dialogs();
    const std::vector<std::string> tail = {
        "[question] Plik podsumowania",
        "answer: &TAK",
        "[save-file] Podaj nazwę pliku podsumowania",
        "answer:",
        "[question] Raport wnioskowania/diagnostyki",
        "answer: &Tak",
        "[save-file] Podaj nazwę nowego pliku raportu",
        "answer:",
        "[command] 10064 Ładowanie bazy &reguł",
        "[open-file] Wybierz nazwę bazy reguł:",
        "answer:",
        "[title] zuva",
        "[command] 10164 Wnioskowanie elementarne niepewne w przód",
        "[clear]",
        "[note] Uwaga!",
        "[command] 10165 Wnioskowanie elementarne niepewne wstecz",
        "[clear]",
        "[note] Uwaga!",
    };
    ASSERT_GE(seq.size(), tail.size()) << out;
    EXPECT_EQ(std::vector<std::string>(seq.end() - static_cast<long>(tail.size()), seq.end()), tail) << out;
    EXPECT_TRUE(has("[note] Uwaga!\nProszę załadować bazę reguł!\n"));
    std::size_t files = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string n = e.path().filename().string();
        if (n != "RETEST.BEN" && n != "odp.txt" && n != "out.txt" && n != "err.txt") ++files;
    }
    EXPECT_EQ(files, 0u);
}

}  // namespace
}  // namespace zuva

namespace zuva {
namespace {

// Rule 4 says 1 and rule 5 says -1 of k: resultant 0. Disjunctive d: rule 3 has both CFs
// negative and is skipped with a note; the signs of the condition CFs differ, so only the
// contribution of rule 1 (positive conditions) counts.
TEST_F(E2eScript, OpposedCumulativeRulesAndMixedDisjunctiveSigns) {
    copy_in(kData, "REZNAKI.BEN");
    EXPECT_EQ(run({"10064", "REZNAKI.BEN", "Nie", "Nie", "10164", "1", "NIE", "2", "1", "1", "0.6", "-0.5",
                   "-0.4", "NIE", "Nie"}),
              0)
        << err;
    std::vector<std::string> seq = dialogs();
    auto from = std::find(seq.begin(), seq.end(), "[radio] Wybierz tryb deklaracji faktów!");
    ASSERT_NE(from, seq.end()) << out;
    const std::vector<std::string> expected = {
        "[radio] Wybierz tryb deklaracji faktów!",
        "answer: 2",
        "[value] Określ wartość CF",  // w
        "answer: 1",
        "[value] Określ wartość CF",  // v
        "answer: 1",
        "[explanation] Wyjaśnienie reguły",  // rule 4
        "answer: &Kontynuuj",
        "[explanation] Wyjaśnienie reguły",  // rule 5
        "answer: &Kontynuuj",
        "[value] Określ wartość CF",  // x
        "answer: 0.6",
        "[explanation] Wyjaśnienie reguły",  // rule 1
        "answer: &Kontynuuj",
        "[value] Określ wartość CF",  // y
        "answer: -0.5",
        "[explanation] Wyjaśnienie reguły",  // rule 2: the rule CF is positive
        "answer: &Kontynuuj",
        "[value] Określ wartość CF",  // z
        "answer: -0.4",
        "[note] Uwaga!",  // rule 3 skipped
        "[explanation] Wypadkowe CF wniosku reguł kumulatywnych (pojedynczej reguły)",
        "answer: &Kontynuuj",
        "[explanation] Wypadkowe CF wniosku reguł dysjunktywnych",
        "answer: &Kontynuuj",
        "[note] Uwaga!",
        "[explanation] Dane są następujące fakty:",
        "answer: &Kontynuuj",
        "[explanation] Dane są wartości następujących argumentów:",
        "answer: &Kontynuuj",
        "[note] Koniec wnioskowania w przód",
        "[question] Plik podsumowania",
        "answer: &NIE",
        "[question] Raport wnioskowania/diagnostyki",
        "answer: &Nie",
    };
    EXPECT_EQ(std::vector<std::string>(from, seq.end()), expected) << out;
    EXPECT_TRUE(
        has("Stosuję regułę dysjunktywną 3\nz ujemnym CF listy warunków, równym -0.4\n"
            "i z ujemnym CF reguły, równym -0.9\nReguła ta zostanie pominięta przy dalszym wnioskowaniu.\n\n"
            "[note] Uwaga!\n"));
    EXPECT_TRUE(has("dla wniosku: \n    k\nwynika:\n    k(0)\n\n"));
    EXPECT_TRUE(has("Z wszystkich reguł dysjunktywnych dla wniosku: \n    d\nwynika:\n    d(0.3)\n\n"));
}

// Backward over the sample base: the "koniec" rule is tried before the hypothesis; once it
// fires, the hypothesis gets CF 0 without any of its own questions.
TEST_F(E2eScript, BackwardRunStoppedByKoniec) {
    copy_sample();
    EXPECT_EQ(run({"10064", "REAUTO.BEN", "Nie", "Nie", "Nie", "10165", "1", "NIE", "1", "1", "1", "-1",
                   "NIE", "Nie"}),
              0)
        << err;
    EXPECT_TRUE(
        has("[list] Hipoteza w sensie wąskim\nWybierz hipotezę w sensie wąskim!\n"
            "1. naladuj_lub_wymien_akumulator\n2. sprawdz_bezpieczniki\n3. wezwij_pomoc_drogowa\n"))
        << out;
    std::size_t asked = 0;
    for (std::size_t p = out.find("\nname: "); p != std::string::npos; p = out.find("\nname: ", p + 1))
        ++asked;
    EXPECT_EQ(asked, 2u) << out;  // wskaznik_paliwa_na_zero and zapach_paliwa_przy_rozruchu
    EXPECT_TRUE(
        has("    brak_paliwa(0.92)\n\nReguła z wnioskiem 'koniec' kończy wnioskowanie.\n"
            "[note] Uwaga - koniec!\n"));
    EXPECT_TRUE(has("Dla testowanej hipotezy jest:\nCF(naladuj_lub_wymien_akumulator) = 0\n\n"));
    EXPECT_TRUE(has("[note] Koniec wnioskowania wstecz\n"));
}

}  // namespace
}  // namespace zuva
