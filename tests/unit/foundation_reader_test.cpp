// The base-file reader: records, escapes, numbers, and the code and column of every error.
#include <gtest/gtest.h>

#include <filesystem>

#include "kb/base_file_reader.h"
#include "kb/base_files.h"
#include "session/session.h"
#include "support/temp_dir.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "ui/scripted_ui.h"

using namespace zuva;

namespace {

std::optional<ReadError> parse_rules(KnowledgeBase& kb, std::string_view text) {
    return parse_base_text(kb, BaseKind::Rules, text);
}

std::string temp_file(const std::string& name, std::string_view bytes) {
    auto p = (std::filesystem::path(testing_support::scratch_dir("reader")) / name).string();
    write_file_bytes(p, bytes);
    return p;
}

}  // namespace

TEST(Reader, ReadsRuleRecordsInFileOrder) {
    KnowledgeBase kb;
    auto err = parse_rules(kb,
                           "reguła(1,\"C\",[\"A\",\"B\"],1,\"0.9\")\r\n"
                           "  reguła( 2 , \"D\" , [ ] , 0 , \"-1\" )  \n"
                           "fakt(\"A\",\"1\")\n"
                           "reguła_dysjunktywna(\"D\")\n"
                           "rem_reguła(\"komentarz\")\n"
                           "_reguła(3,\"E\",[\"A\"],1,\"1\")\n");
    ASSERT_FALSE(err) << err->code << " at " << err->position;
    ASSERT_EQ(kb.rules.regula.count(), 2u);
    const auto& r = kb.rules.regula[0];
    EXPECT_EQ(r.rule_number, 1);
    EXPECT_EQ(r.conclusion, "C");
    EXPECT_EQ(r.conditions, (TextList{"A", "B"}));
    EXPECT_EQ(r.display_flag, 1);
    EXPECT_EQ(r.cf_text, "0.9");
    EXPECT_TRUE(kb.rules.regula[1].conditions.empty());
    EXPECT_EQ(kb.rules.fakt.count(), 1u);
    EXPECT_EQ(kb.rules.regula_dysjunktywna.count(), 1u);
    // Comment and disabled records are kept apart and never become rules.
    EXPECT_EQ(kb.rules.inactive.size(), 2u);
    EXPECT_EQ(kb.rules.inactive[1].table, "_reguła");
}

TEST(Reader, EscapesInTexts) {
    KnowledgeBase kb;
    ASSERT_FALSE(parse_rules(kb, R"(fakt("a\nb\tc\\d\"e\rf","1"))"));
    EXPECT_EQ(kb.rules.fakt[0].fact_text, "a\nb\\tc\\d\"e\rf");
}

TEST(Reader, IntegersInThreeBasesAndTheirRange) {
    KnowledgeBase kb;
    ASSERT_FALSE(parse_rules(kb,
                             "reguła(0x1F,\"a\",[],1,\"1\")\n"
                             "reguła(0o17,\"a\",[],1,\"1\")\n"
                             "reguła(-2147483648,\"a\",[],1,\"1\")\n"
                             "reguła(2147483647,\"a\",[],1,\"1\")\n"));
    EXPECT_EQ(kb.rules.regula[0].rule_number, 31);
    EXPECT_EQ(kb.rules.regula[1].rule_number, 15);
    EXPECT_EQ(kb.rules.regula[2].rule_number, INT32_MIN);
    EXPECT_EQ(kb.rules.regula[3].rule_number, INT32_MAX);
    auto err = parse_rules(kb, "reguła(2147483648,\"a\",[],1,\"1\")");
    ASSERT_TRUE(err);
    EXPECT_EQ(err->code, kErrIntRange);
    EXPECT_EQ(err->position, 7);
    err = parse_rules(kb, "reguła(0x100000000,\"a\",[],1,\"1\")");
    ASSERT_TRUE(err);
    EXPECT_EQ(err->code, kErrIntRange);
}

TEST(Reader, RealsOfKnownArguments) {
    KnowledgeBase kb;
    ASSERT_FALSE(parse_base_text(
        kb, BaseKind::Models,
        "argument_znany(\"u\",12.5)\nargument_znany(\"v\",-3)\nargument_znany(\"w\",1.5e-2)\n"));
    EXPECT_DOUBLE_EQ(kb.models.argument_znany[0].value, 12.5);
    EXPECT_DOUBLE_EQ(kb.models.argument_znany[1].value, -3);
    EXPECT_DOUBLE_EQ(kb.models.argument_znany[2].value, 0.015);
    auto err = parse_base_text(kb, BaseKind::Models, "argument_znany(\"u\",x)");
    ASSERT_TRUE(err);
    EXPECT_EQ(err->code, kErrReal);
    EXPECT_EQ(err->position, 19);
    // A decimal comma splits the number: the record then lacks its closing parenthesis.
    err = parse_base_text(kb, BaseKind::Models, "argument_znany(\"u\",12,5)");
    ASSERT_TRUE(err);
    EXPECT_EQ(err->code, kErrFieldEnd);
}

struct ErrorCase {
    const char* line;
    int code;
    int position;
};

TEST(Reader, EveryErrorCodeWithItsColumn) {
    const ErrorCase cases[] = {
        {"reguła(x,\"C\",[],1,\"1\")", kErrInteger, 7},
        {"reguła(1,C,[],1,\"1\")", kErrText, 9},
        {"reguła(1,\"C\",\"A\",1,\"1\")", kErrListStart, 13},
        {"reguła(1,\"C\",[\"A\" \"B\"],1,\"1\")", kErrListElement, 18},
        {"regula(1,\"C\",[],1,\"1\")", kErrTableName, 6},
        {"  reguła (1,\"C\",[],1,\"1\")", kErrTableName, 9},
        {"reguła", kErrOpenParen, 6},
        {"reguła(1 \"C\",[],1,\"1\")", kErrFieldEnd, 9},
        {"reguła(1,\"C\",[],1,\"1\"", kErrFieldEnd, 21},
        {"reguła(1,\"C\",[],1,\"1\") x", kErrTrailing, 23},
        {"reguła(99999999999,\"C\",[],1,\"1\")", kErrIntRange, 7},
        {"model(1,\"a\",\"b\",\"c\",\"+\",\"d\",1,\"1\")", kErrTableName, 5},
        {"   ", kErrTableName, 3},
        {"", kErrTableName, 0},
        {"(reguła)", kErrTableName, 0},
    };
    for (const auto& c : cases) {
        KnowledgeBase kb;
        std::string text = std::string("fakt(\"a\",\"1\")\n") + c.line + "\n";
        auto err = parse_rules(kb, text);
        ASSERT_TRUE(err) << c.line;
        EXPECT_EQ(err->code, c.code) << c.line;
        EXPECT_EQ(err->position, c.position) << c.line;
        EXPECT_EQ(err->line_number, 2) << c.line;
        EXPECT_EQ(err->line_text, c.line);
        // Records before the failing line stay appended.
        EXPECT_EQ(kb.rules.fakt.count(), 1u);
    }
}

TEST(Reader, ColumnsCountCharactersNotBytes) {
    KnowledgeBase kb;
    auto err = parse_rules(kb, "fakt(\"żółć\" \"1\")");
    ASSERT_TRUE(err);
    EXPECT_EQ(err->code, kErrFieldEnd);
    EXPECT_EQ(err->position, 12);
}

TEST(Reader, EmptyLinesAndEmptyFiles) {
    KnowledgeBase kb;
    EXPECT_FALSE(parse_rules(kb, ""));
    auto err = parse_rules(kb, "fakt(\"a\",\"1\")\n\n");
    ASSERT_TRUE(err);
    EXPECT_EQ(err->code, kErrTableName);
    EXPECT_EQ(err->position, 0);
    EXPECT_EQ(err->line_number, 2);
    EXPECT_FALSE(parse_rules(kb, "fakt(\"a\",\"1\")\n"));
}

TEST(Reader, FilesInWindows1250AndUtf8) {
    std::string utf8 = "reguła(1,\"świeca\",[\"żarówka\"],1,\"1\")\n";
    ScriptedUi ui;
    Session s(ui);
    auto p1 = temp_file("RE1250.BEN", *utf8_to_cp1250(utf8));
    ASSERT_FALSE(read_base_file(s, BaseKind::Rules, p1));
    auto p2 = temp_file("REUTF.BEN", utf8);
    ASSERT_FALSE(read_base_file(s, BaseKind::Rules, p2));
    ASSERT_EQ(s.kb.rules.regula.count(), 2u);
    EXPECT_EQ(s.kb.rules.regula[0].conclusion, "świeca");
    EXPECT_EQ(s.kb.rules.regula[1].conditions[0], "żarówka");

    auto err = read_base_file(s, BaseKind::Rules, "/nonexistent/dir/REX.BEN");
    ASSERT_TRUE(err);
    EXPECT_EQ(err->code, kErrCannotOpen);
    // 0x98 is not a character of Windows-1250.
    auto p3 = temp_file("REBAD.BEN", "fakt(\"a\",\"1\")\nfakt(\"\x98\",\"1\")\n");
    err = read_base_file(s, BaseKind::Rules, p3);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->code, kErrEncoding);
    EXPECT_NE(err->detail.find("wierszu 2"), std::string::npos);
}

TEST(Reader, SyntaxErrorReportTexts) {
    ScriptedUi ui;
    Session s(ui);
    ReadError e{kErrTableName, 1, "regula(1)", 6, {}};
    EXPECT_FALSE(obsluga_bledu_konsultacji(s, e, "/x/REA.BEN"));
    EXPECT_EQ(ui.helper_text(),
              "\nBłąd syntaksu w pliku /x/REA.BEN\nregula(1)\n6^\nNieznana nazwa tabeli.\n\n");
    EXPECT_NE(ui.transcript().find("[note] Obsługa błędu\nBłąd syntaksu w pliku REA.BEN\n\nregula(1)\n6\n"),
              std::string::npos);
    ASSERT_FALSE(s.kb.blad.empty());
    EXPECT_EQ(*s.kb.blad.first(), "błąd");

    // Position 0 is left to the empty-lines branch: nothing is reported here.
    ScriptedUi ui2;
    Session s2(ui2);
    EXPECT_FALSE(obsluga_bledu_konsultacji(s2, ReadError{kErrTableName, 3, "", 0, {}}, "/x/REA.BEN"));
    EXPECT_EQ(ui2.transcript(), "");
    EXPECT_TRUE(s2.kb.blad.empty());
}
