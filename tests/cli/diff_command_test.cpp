// `zuva diff` on a copy of the sample with five edits reports exactly those five, as text and
// as JSON that parses; equal versions are exit 0, an unreadable one exit 2 with its place; and
// `git diff` with the documented set-up shows a changed record as UTF-8 text.
#include "cli/diff_command.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "support/sample_base.h"
#include "support/temp_dir.h"
#include "text/codec.h"
#include "text/file_io.h"

namespace zuva {
namespace {

namespace fs = std::filesystem;
using testing_support::kExamples;
using testing_support::TempDir;

// Replaces `from` by `to` in a Windows-1250 base file; the edit must find its text.
void edit(const std::string& path, const std::string& from, const std::string& to) {
    std::string text = *decode_file_text(*read_file_bytes(path));
    const auto at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
    ASSERT_TRUE(write_file_bytes(path, utf8_to_cp1250_lossy(text)));
}

int run(const std::vector<std::string>& args, std::string& out, std::string& err) {
    std::ostringstream o, e;
    const int status = diff_command(args, o, e);
    out = o.str();
    err = e.str();
    return status;
}

TEST(DiffCommand, FiveEditsOfTheSampleAreTheFiveChanges) {
    TempDir dir("zuva-diff");
    fs::copy(kExamples, dir.path("new"), fs::copy_options::recursive);
    const std::string old_bases = kExamples + "/BAZY", bases = dir.path("new/BAZY");
    edit(bases + "/REAUTO.BEN", "\"brak_zapachu_paliwa_przy_rozruchu\"],1,\"0.4\")",
         "\"brak_zapachu_paliwa_przy_rozruchu\"],1,\"0.5\")");
    edit(bases + "/REAUTO.BEN", "reguła(3,\"koniec\",[\"brak_paliwa\"]",
         "reguła(3,\"koniec\",[\"brak_paliwa\",\"silny_mroz\"]");
    edit(bases + "/REAUTO.BEN", "reguła(19,", "reguła(21,");
    edit(bases + "/MOAUTO.BEN", "\"<\",\"50\"", "\">\",\"50\"");
    edit(bases + "/OGAUTO.BEN", ",\"silnik_kreci_ale_nie_zapala\"])", "])");

    std::string out, err;
    ASSERT_EQ(run({old_bases, bases, "--no-check"}, out, err), 1) << err;
    std::vector<std::string> heads;
    std::istringstream lines(out);
    for (std::string l; std::getline(lines, l);)
        if (l.rfind("  ", 0) != 0) heads.push_back(l);
    const std::vector<std::string> expected = {
        "REAUTO.BEN:13: zmieniony rekord reguła 2: CF 0.4 → 0.5",
        "REAUTO.BEN:14: zmieniony rekord reguła 3: warunki: +\"silny_mroz\"",
        "REAUTO.BEN:35: przeniesiony rekord reguła 19 → 21",
        "MOAUTO.BEN:7: zmieniony rekord model 4: operacja < → >",
        "OGAUTO.BEN:3: zmieniony rekord ograniczenie 1: warunki: -\"silnik_kreci_ale_nie_zapala\"",
    };
    EXPECT_EQ(heads, expected) << out;

    // With the findings: the rule with one condition that the edit gave a second one.
    ASSERT_EQ(run({old_bases, bases, "--format", "json"}, out, err), 1) << err;
    EXPECT_NE(out.find("\"findings_disappeared\":[\"REAUTO.BEN: ostrzeżenie [single-condition-rule]"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\"findings_appeared\":[]"), std::string::npos) << out;
    const std::string json = dir.write("diff.json", out);
    EXPECT_EQ(std::system(("python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); "
                           "assert len(d[\"changes\"]) == 5 and not d[\"equal\"]' " +
                           json)
                              .c_str()),
              0);

    // Equal in meaning: conditions reordered, a CF written otherwise, comments.
    fs::copy(kExamples, dir.path("same"), fs::copy_options::recursive);
    const std::string same = dir.path("same/BAZY");
    edit(same + "/REAUTO.BEN",
         "[\"silnik_kreci_ale_nie_zapala\",\"brak_zapachu_paliwa_przy_rozruchu\"],1,\"0.4\"",
         "[\"brak_zapachu_paliwa_przy_rozruchu\",\"silnik_kreci_ale_nie_zapala\"],1,\"0.40\"");
    edit(same + "/REAUTO.BEN", "rem_reguła(\"Baza reguł: ", "rem_reguła(\"Baza reguł (nowa): ");
    EXPECT_EQ(run({old_bases, same}, out, err), 0) << out << err;

    // An unreadable version: its file, line and column.
    edit(same + "/MOAUTO.BEN", "model(4,", "model(4,,");
    EXPECT_EQ(run({old_bases, same}, out, err), 2);
    EXPECT_NE(err.find("MOAUTO.BEN:7:9: "), std::string::npos) << err;
    EXPECT_EQ(run({old_bases}, out, err), 2);
    EXPECT_EQ(run({old_bases, bases, "--format", "xml"}, out, err), 2);
}

// The sample suite run on both versions: exactly the cases whose conclusions moved, with both
// CFs, the rules whose contributions changed, and passing turned failing; none for an edit
// that changes no result.
TEST(DiffCommand, CasesWhoseResultsMovedAreListed) {
    struct Row {
        std::string from, to;
        int changed;
        std::vector<std::string> lines;  // lines the text output must hold
    };
    const std::vector<Row> rows = {
        {"\"wskaznik_paliwa_na_zero\"],1,\"0.8\"",
         "\"wskaznik_paliwa_na_zero\"],1,\"0.6\"",
         10,
         {":27: przypadek \"pusty bak kończy konsultację\": przechodził, teraz nie przechodzi (brak_paliwa: "
          "oczekiwano CF 0.67, otrzymano CF 0.33",
          "\n  wniosek brak_paliwa: CF 0.67 → CF 0.33\n  reguły o zmienionym wkładzie: 1, 3\n",
          ":34: przypadek \"rozładowany akumulator: rozrusznik kręci wolno, kontrolki gasną, niskie "
          "napięcie\": przechodzi w obu wersjach\n  wniosek brak_paliwa: CF -0.88 → CF -0.76\n"}},
        {"rem_reguła(\"Baza reguł: ", "rem_reguła(\"Baza reguł (nowa): ", 0, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.to);
        TempDir dir("zuva-diff-cases");
        fs::copy(kExamples, dir.path("new"), fs::copy_options::recursive);
        const std::string bases = dir.path("new/BAZY");
        edit(bases + "/REAUTO.BEN", row.from, row.to);
        std::string out, err;
        ASSERT_EQ(run({kExamples + "/BAZY", bases, "--no-check", "--cases", bases + "/AUTO.TST"}, out, err),
                  row.changed ? 1 : 0)
            << err;
        EXPECT_NE(out.find("Przypadki testowe: uruchomione na obu wersjach 11, ze zmienionymi wynikami " +
                           std::to_string(row.changed) + ".\n"),
                  std::string::npos)
            << out;
        for (const auto& l : row.lines)
            EXPECT_NE(out.find(l), std::string::npos) << l << "\n" << out;
        // The refused hypothesis gives no conclusion in either version: never listed.
        EXPECT_EQ(out.find("hipoteza spoza bazy"), std::string::npos) << out;
        ASSERT_EQ(run({kExamples + "/BAZY", bases, "--no-check", "--format", "json", "--cases",
                       bases + "/AUTO.TST"},
                      out, err),
                  row.changed ? 1 : 0);
        const std::string json = dir.write("diff.json", out);
        EXPECT_EQ(std::system(("python3 -c 'import json,sys; d=json.load(open(sys.argv[1]))[\"cases\"]; "
                               "assert d[\"run\"] == 11 and len(d[\"changed\"]) == " +
                               std::to_string(row.changed) + "' " + json)
                                  .c_str()),
                  0)
            << out;
    }
    // A suite that cannot be read: its place, exit 2.
    TempDir dir("zuva-diff-cases");
    const std::string bad = dir.write("BAD.TST", "przypadek(\"a\"\n");
    std::string out, err;
    EXPECT_EQ(run({kExamples + "/BAZY", kExamples + "/BAZY", "--cases", bad}, out, err), 2);
    EXPECT_NE(err.find("BAD.TST:1:"), std::string::npos) << err;
}

TEST(DiffCommand, GitDiffShowsTheChangedRecordAsUtf8) {
    TempDir dir("zuva-git");
    const std::string repo = dir.path("repo");
    fs::create_directories(repo);
    fs::copy_file(kExamples + "/BAZY/REAUTO.BEN", repo + "/REAUTO.BEN");
    fs::copy_file(kExamples + "/BAZY/.gitattributes", repo + "/.gitattributes");
    const std::string git = "cd '" + repo + "' && git -c user.name=t -c user.email=t@t ";
    ASSERT_EQ(
        std::system((git + "init -q && " + git + "config diff.zuva.textconv '" ZUVA_BINARY " show' && " +
                     git + "add -A && " + git + "commit -qm v1")
                        .c_str()),
        0);
    edit(repo + "/REAUTO.BEN", "reguła(3,\"koniec\",[\"brak_paliwa\"],1,\"1.0\")",
         "reguła(3,\"koniec\",[\"brak_paliwa\"],1,\"0.9\")");
    ASSERT_EQ(std::system((git + "diff > ../diff.txt").c_str()), 0);
    const std::string diff = *read_file_bytes(dir.path("diff.txt"));
    EXPECT_NE(diff.find("\n-reguła(3,\"koniec\",[\"brak_paliwa\"],1,\"1.0\")"), std::string::npos) << diff;
    EXPECT_NE(diff.find("\n+reguła(3,\"koniec\",[\"brak_paliwa\"],1,\"0.9\")"), std::string::npos) << diff;
    EXPECT_EQ(diff.find("Binary"), std::string::npos) << diff;
}

}  // namespace
}  // namespace zuva
