// The reader of test-case files: every kind of record and expectation, the file-wide
// defaults, both code pages, and errors placed at FILE:LINE:COLUMN.
#include "testing/case_file.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace zuva::testing {
namespace {

using support = zuva::testing_support::TempDirTest;

class CaseFileReader : public support {
  protected:
    CaseFileReader() : support("zuva-cases") {}

    // The error of a file that must not be read.
    CaseFileError error_of(const std::string& name, const std::string& utf8) {
        CaseFileError e;
        EXPECT_FALSE(read_case_file(write(name, utf8), e)) << utf8;
        return e;
    }
};

const char* const kSuite =
    "rem(\"Wspólne dla wszystkich przypadków\")\n"
    "baza(\"RETEST.BEN\")\n"
    "odpowiedź(\"mróz\",\"-1\")\n"
    "odpowiedz(\"napiecie\",\"12.7\")\n"
    "\n"
    "przypadek(\"żółty alarm\")\n"
    "odpowiedź(\"mróz\",\"0.8\")\n"
    "etykieta(\"zima\")\n"
    "import(\"fakt\",\"klemy_luzne\",\"0,7\")\n"
    "import(\"argument_znany\",\"temperatura\",\"-12\")\n"
    "wniosek(\"akumulator\",\"0.72\")\n"
    "wniosek(\"rozrusznik\",\"0.5..0.8\")\n"
    "wniosek(\"zaplon\",\"brak\")\n"
    "wartość(\"spadek\",\"2.8\")\n"
    "wartosc(\"stopien\",\"30..40\")\n"
    "rady([\"paliwo.hlp\",\"klemy.hlp\"])\n"
    "grafiki([])\n"
    "dźwięki([\"syrena\"])\n"
    "\n"
    "przypadek(\"wstecz\")\n"
    "baza(\"INNA/REINNA.BEN\")\n"
    "wstecz(\"uszkodzony_akumulator\")\n"
    "werdykt(\"brak\")\n"
    "dzwieki([\"w_porzadku\"])\n"
    "\n"
    "przypadek(\"odmowa\")\n"
    "odmowa(\"sprzeczn\")\n";

void expect_suite(const CaseFile& f, const std::string& dir) {
    ASSERT_EQ(f.cases.size(), 3u);
    const TestCase& a = f.cases[0];
    EXPECT_EQ(a.name, "żółty alarm");
    EXPECT_EQ(a.line, 6);
    EXPECT_EQ(a.rule_base, "RETEST.BEN");
    EXPECT_EQ(a.rule_path, dir + "/RETEST.BEN");
    EXPECT_TRUE(a.hypothesis.empty());
    // The case's own answer replaces the file's, in the file's place; the rest stay.
    ASSERT_EQ(a.answers.size(), 2u);
    EXPECT_EQ(a.answers[0], (std::pair<std::string, std::string>{"mróz", "0.8"}));
    EXPECT_EQ(a.answers[1], (std::pair<std::string, std::string>{"napiecie", "12.7"}));
    EXPECT_EQ(a.labels, std::vector<std::string>{"zima"});
    ASSERT_EQ(a.imported.size(), 2u);
    EXPECT_EQ(a.imported[0].kind, "fakt");
    EXPECT_EQ(a.imported[0].name, "klemy_luzne");
    EXPECT_EQ(a.imported[0].value, "0,7");
    EXPECT_EQ(a.imported[1].kind, "argument_znany");

    ASSERT_EQ(a.conclusions.size(), 3u);
    EXPECT_EQ(a.conclusions[0].name, "akumulator");
    EXPECT_EQ(a.conclusions[0].line, 11);
    EXPECT_EQ(a.conclusions[0].expected.kind, Expected::Kind::Exact);
    EXPECT_EQ(a.conclusions[1].expected.kind, Expected::Kind::Range);
    EXPECT_EQ(a.conclusions[2].expected.kind, Expected::Kind::None);
    ASSERT_EQ(a.values.size(), 2u);
    EXPECT_EQ(a.values[0].name, "spadek");
    EXPECT_EQ(a.values[1].expected.kind, Expected::Kind::Range);
    EXPECT_EQ(a.advice, (std::vector<std::string>{"paliwo.hlp", "klemy.hlp"}));
    ASSERT_TRUE(a.pictures);  // an empty list expects that nothing is offered
    EXPECT_TRUE(a.pictures->empty());
    EXPECT_EQ(a.sounds, std::vector<std::string>{"syrena"});
    EXPECT_FALSE(a.verdict);
    EXPECT_FALSE(a.refused);

    const TestCase& b = f.cases[1];
    EXPECT_EQ(b.rule_path, dir + "/INNA/REINNA.BEN");
    EXPECT_EQ(b.hypothesis, "uszkodzony_akumulator");
    ASSERT_TRUE(b.verdict);
    EXPECT_EQ(b.verdict->kind, Expected::Kind::None);
    EXPECT_EQ(b.answers.size(), 2u);
    EXPECT_FALSE(b.advice);  // not given: not checked
    EXPECT_EQ(b.sounds, std::vector<std::string>{"w_porzadku"});

    const TestCase& c = f.cases[2];
    EXPECT_EQ(c.rule_base, "RETEST.BEN");
    EXPECT_EQ(c.refused, std::string("sprzeczn"));
}

TEST_F(CaseFileReader, ReadsEveryRecordInWindows1250AndInUtf8Alike) {
    CaseFileError e;
    auto cp = read_case_file(write_cp1250("cp1250/A.TST", kSuite), e);
    ASSERT_TRUE(cp) << e.text();
    expect_suite(*cp, dir + "/cp1250");
    auto utf = read_case_file(write("utf8/A.TST", kSuite), e);
    ASSERT_TRUE(utf) << e.text();
    expect_suite(*utf, dir + "/utf8");
    // Windows line ends read the same.
    std::string crlf;
    for (const char* p = kSuite; *p; ++p) {
        if (*p == '\n') crlf += '\r';
        crlf += *p;
    }
    auto windows = read_case_file(write_cp1250("crlf/A.TST", crlf), e);
    ASSERT_TRUE(windows) << e.text();
    expect_suite(*windows, dir + "/crlf");
}

TEST_F(CaseFileReader, ExpectationsMatchToThePrintedTwoDecimalsOrWithinTheRange) {
    CaseFileError e;
    auto file = parse_case_text(path("A.TST"),
                                "przypadek(\"a\")\nbaza(\"R.BEN\")\nwniosek(\"x\",\"0.72\")\n"
                                "wniosek(\"y\",\"-0.5..0.25\")\nwniosek(\"z\",\"brak\")\n",
                                e);
    ASSERT_TRUE(file) << e.text();
    const auto& c = file->cases[0].conclusions;
    EXPECT_TRUE(c[0].expected.matches(0.7249));
    EXPECT_TRUE(c[0].expected.matches(0.715));
    EXPECT_FALSE(c[0].expected.matches(0.7251));
    EXPECT_FALSE(c[0].expected.matches(std::nullopt));
    EXPECT_EQ(c[0].expected.text(), "CF 0.72");
    EXPECT_TRUE(c[1].expected.matches(-0.5));
    EXPECT_TRUE(c[1].expected.matches(0.25));
    EXPECT_FALSE(c[1].expected.matches(0.26));
    EXPECT_EQ(c[1].expected.text(), "CF z przedziału [-0.5, 0.25]");
    EXPECT_TRUE(c[2].expected.matches(std::nullopt));
    EXPECT_FALSE(c[2].expected.matches(0.0));
    EXPECT_EQ(c[2].expected.text(), "brak CF");
}

TEST_F(CaseFileReader, ErrorsArePlacedAtTheirFileLineAndColumn) {
    struct Bad {
        const char* text;
        int line, column;
        const char* message;  // a part of it; "" for the reader's own syntax messages
    };
    const Bad cases[] = {
        // A syntax error: the column of the character where the record breaks.
        {"przypadek(\"a\")\nbaza(\"R.BEN\"\n", 2, 13, ""},
        {"przypadek(\"a\")\nniewiadomo(\"x\")\n", 2, 11, ""},
        // Fields that make no sense: the column of the field, in characters (Polish letters
        // count one each).
        {"przypadek(\"a\")\nbaza(\"R.BEN\")\nwniosek(\"x\",\"dużo\")\n", 3, 13,
         "Oczekiwane CF musi być liczbą"},
        {"przypadek(\"a\")\nbaza(\"R.BEN\")\nwartość(\"x\",\"brak\")\n", 3, 13,
         "Oczekiwana wartość musi być"},
        {"przypadek(\"a\")\nbaza(\"R.BEN\")\nwerdykt(\"1..0\")\n", 3, 9, "Werdykt musi być"},
        {"przypadek(\"a\")\nbaza(\"R.BEN\")\nimport(\"fakty\",\"x\",\"1\")\n", 3, 8,
         "fakt albo argument_znany"},
        {"wniosek(\"x\",\"0.5\")\n", 1, 1, "przed pierwszym przypadkiem"},
        {"baza(\"R.BEN\")\nprzypadek(\"a\")\n\nprzypadek(\"a\")\n", 4, 11, "jest już w wierszu 2"},
        {"baza(\"R.BEN\")\nprzypadek(\"a\")\nodpowiedź(\"x\",\"1\")\nodpowiedź(\"x\",\"0\")\n", 4, 11,
         "jest już podana"},
        {"baza(\"R.BEN\")\nodpowiedź(\"x\",\"1\")\nodpowiedz(\"x\",\"0\")\n", 3, 11, "jest już podana"},
        {"baza(\"R.BEN\")\nprzypadek(\"a\")\nwstecz(\"h\")\nwstecz(\"g\")\n", 4, 8, "ma już hipotezę"},
        {"przypadek(\"a\")\nwniosek(\"x\",\"1\")\n", 1, 1, "nie ma bazy reguł"},
        {"przypadek(\"\")\n", 1, 11, "musi mieć nazwę"},
    };
    int n = 0;
    for (const auto& b : cases) {
        const std::string name = "E" + std::to_string(++n) + ".TST";
        const CaseFileError e = error_of(name, b.text);
        SCOPED_TRACE(b.text);
        EXPECT_EQ(e.file, path(name));
        EXPECT_EQ(e.line, b.line);
        EXPECT_EQ(e.column, b.column);
        EXPECT_FALSE(e.message.empty());
        EXPECT_NE(e.message.find(b.message), std::string::npos) << e.message;
        EXPECT_EQ(e.text(), path(name) + ":" + std::to_string(b.line) + ":" + std::to_string(b.column) +
                                ": " + e.message);
    }
}

TEST_F(CaseFileReader, AFileThatIsNoTextOrIsMissingIsAnErrorOfItsFirstLine) {
    CaseFileError e;
    EXPECT_FALSE(read_case_file(path("BRAK.TST"), e));
    EXPECT_EQ(e.line, 1);
    EXPECT_EQ(e.message, "Nie można odczytać pliku.");
    // 0x98 is no character of Windows-1250 and no UTF-8 either: placed at its line.
    EXPECT_FALSE(read_case_file(write("BIN.TST", "przypadek(\"a\")\nbaza(\"R.BEN\")\nrem(\"\x98\")\n"), e));
    EXPECT_EQ(e.line, 3);
    EXPECT_NE(e.message.find("Windows-1250"), std::string::npos);
}

}  // namespace
}  // namespace zuva::testing
