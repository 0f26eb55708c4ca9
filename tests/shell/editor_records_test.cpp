// The editor's file operations (code page and line ends kept, a failed save that loses
// nothing, the messages, what saving does to the menu) and the record windows of the
// answer-script mode.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "kb/record_windows.h"
#include "session/enabling.h"
#include "session/session.h"
#include "shell/editor_files.h"
#include "support/temp_dir.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "ui/scripted_ui.h"

namespace zuva {
namespace {

namespace fs = std::filesystem;

class EditorFiles : public testing_support::TempDirTest {
  protected:
    EditorFiles() : TempDirTest("zuva-editor") {}
    static bool has(const std::string& hay, const std::string& needle) {
        return hay.find(needle) != std::string::npos;
    }
};

TEST_F(EditorFiles, Windows1250FileComesBackInItsCodePageAndLineEnds) {
    const std::string file = path("REPL.BEN");
    ASSERT_TRUE(write_file_bytes(
        file, *utf8_to_cp1250("reguła(1,\"żółw\",[\"a\"],1,\"1\")\r\nfakt(\"a\",\"1\")\r\n")));
    std::string error;
    auto t = read_for_editor(file, error);
    ASSERT_TRUE(t) << error;
    EXPECT_FALSE(t->format.utf8);
    EXPECT_TRUE(t->format.crlf);
    EXPECT_EQ(t->text, "reguła(1,\"żółw\",[\"a\"],1,\"1\")\nfakt(\"a\",\"1\")\n");

    ScriptedUi ui;
    Session s(ui);
    int w = editor_opened(s, file);
    EXPECT_EQ(editor_file(s, w), file);
    ASSERT_TRUE(editor_save(s, w, t->text + "fakt(\"ćma\",\"0.5\")\n", t->format));
    EXPECT_EQ(*read_file_bytes(file),
              *utf8_to_cp1250(
                  "reguła(1,\"żółw\",[\"a\"],1,\"1\")\r\nfakt(\"a\",\"1\")\r\nfakt(\"ćma\",\"0.5\")\r\n"));
    EXPECT_TRUE(has(ui.transcript(), "Plik : " + file + " został zapisany\n"));
    EXPECT_TRUE(has(ui.transcript(), "[note] Uwaga!\nPlik " + file + " został zapisany.\n"));
    // No temporary file is left beside it.
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir))
        ++files;
    EXPECT_EQ(files, 1);
    editor_closed(s, w, true);
    EXPECT_EQ(editor_file(s, w), "");
    EXPECT_FALSE(has(ui.transcript(), "[new-helper]"));
}

TEST_F(EditorFiles, Utf8FileStaysUtf8AndAMissingFileIsEmpty) {
    const std::string file = path("OPIS.OPI");
    ASSERT_TRUE(write_file_bytes(file, "Zażółć gęślą jaźń\n"));
    std::string error;
    auto t = read_for_editor(file, error);
    ASSERT_TRUE(t);
    EXPECT_TRUE(t->format.utf8);
    EXPECT_EQ(write_from_editor(file, t->text + "€ dalej\n", t->format), "");
    EXPECT_EQ(*read_file_bytes(file), "Zażółć gęślą jaźń\n€ dalej\n");
    auto none = read_for_editor(path("NOWY.BEN"), error);
    ASSERT_TRUE(none);
    EXPECT_EQ(none->text, "");
    // A Windows-1250 file cannot take a character the code page lacks; nothing is written.
    const std::string cp = path("RECP.BEN");
    ASSERT_TRUE(write_file_bytes(cp, "abc\n"));
    EXPECT_NE(write_from_editor(cp, "abc 日\n", EditorFormat{}), "");
    EXPECT_EQ(*read_file_bytes(cp), "abc\n");
}

TEST_F(EditorFiles, FailedSaveSaysWhyAndKeepsTheFile) {
    ScriptedUi ui;
    Session s(ui);
    // A directory that does not exist, and (for an ordinary user) a read-only one.
    std::vector<std::string> targets = {path("brak/REX.BEN")};
    const std::string ro = path("ro");
    fs::create_directory(ro);
    ASSERT_TRUE(write_file_bytes(ro + "/REX.BEN", "stary\n"));
    fs::permissions(ro, fs::perms::owner_read | fs::perms::owner_exec);
    if (geteuid() != 0) targets.push_back(ro + "/REX.BEN");
    for (const auto& t : targets) {
        EXPECT_FALSE(save_from_editor(s, t, "nowy\n", EditorFormat{}, EditorSave::Save)) << t;
        EXPECT_TRUE(has(ui.transcript(), "[note] Uwaga błąd!\nPlik " + t + " nie został zapisany:\n")) << t;
        EXPECT_FALSE(has(ui.transcript(), "został zapisany.")) << ui.transcript();
    }
    fs::permissions(ro, fs::perms::owner_all);
    EXPECT_EQ(*read_file_bytes(ro + "/REX.BEN"), "stary\n");
}

TEST_F(EditorFiles, CloseQuestionAndWhatItDoesToTheMenu) {
    const std::string file = path("RECL.BEN");
    ASSERT_TRUE(write_file_bytes(file, "x\n"));
    ScriptedUi ui({"&NIE", "&TAK"});
    Session s(ui);
    enable_commands(s, {10067, 10068, 10069});
    int w = editor_opened(s, file);
    // "&NIE": nothing written, the menu as it was, a new helper window when it goes away.
    EXPECT_EQ(editor_close_request(s, w, "y\n", EditorFormat{}), EditorClose::Discarded);
    editor_closed(s, w, false);
    EXPECT_TRUE(has(ui.transcript(), "[question] Zapis pliku\nCzy zapisać aktualną postać pliku ?\n"));
    EXPECT_TRUE(has(ui.transcript(), "[new-helper] 100\n"));
    EXPECT_EQ(*read_file_bytes(file), "x\n");
    for (int id : {10067, 10068, 10069})
        EXPECT_TRUE(is_enabled(s, id)) << id;
    // "&TAK": saved with the close question's messages.
    w = editor_opened(s, file);
    EXPECT_EQ(editor_close_request(s, w, "y\n", EditorFormat{}), EditorClose::Saved);
    EXPECT_EQ(*read_file_bytes(file), "y\n");
    EXPECT_TRUE(has(ui.transcript(), "Plik: " + file + " został zapisany\n"));
    EXPECT_TRUE(has(ui.transcript(), "[note] Uwaga!\nPlik: " + file + " został zapisany.\n"));
}

const char* const kRules = "reguła(7,\"b\",[\"a\",\"c\"],1,\"0.5\")\n";

TEST_F(EditorFiles, SavingTheLoadedRuleFileChangesNoLoadedRule) {
    const std::string file = path("REED.BEN");
    ASSERT_TRUE(write_file_bytes(file, *utf8_to_cp1250(kRules)));
    ScriptedUi ui;
    Session s(ui);
    s.kb.nazwa_re.short_name.append("REED.BEN");
    s.kb.nazwa_re.full_path.append(file);
    s.kb.rules.regula.append({7, "b", {"a"}, 1, "1"});
    enable_commands(s, {10067, 10068, 10069});
    int w = editor_opened(s, file);
    ASSERT_TRUE(editor_save(s, w, "reguła(1,\"z\",[\"y\"],1,\"1\")\n", EditorFormat{}));
    EXPECT_EQ(s.kb.rules.regula.count(), 1u);
    EXPECT_EQ(s.kb.rules.regula.rows()[0].conclusion, "b");
    // The browsing commands showed the loaded rules, which no longer match the file.
    for (int id : {10067, 10068, 10069})
        EXPECT_FALSE(is_enabled(s, id)) << id;
}

TEST(RecordWindows, ScriptedWindowClosesOnAnyLineThatIsNoPosition) {
    ScriptedUi ui({"2", "10164"});
    Session s(ui);
    s.kb.exact.ograniczenie.append({4, {"a", "b"}});
    s.kb.exact.ograniczenie.append({5, {"c", "d", "e"}});
    ui.browse_records(constraint_record_window(s, false));
    EXPECT_NE(
        ui.transcript().find("[records] Przegląd ograniczeń dokładnych\nSumaryczna liczba ograniczeń: 2\n"
                             "Nr ograniczenia:\n1. 4\n2. 5\nanswer: 2\n"
                             "[record] Nr ograniczenia 5\nWarunki wzajemnie się wykluczające:\n"
                             "    c\n    d\n    e\nanswer: \n[new-helper] 100\n"),
        std::string::npos)
        << ui.transcript();
    // The line that closed it is the next answer.
    EXPECT_EQ(ui.next_answer().text, "10164");
}

TEST(RecordWindows, ModelWindowsShowEveryFieldAndTheFourCounts) {
    ScriptedUi ui;
    Session s(ui);
    auto& g = s.kb.models;
    g.model.append({1, "w", "y", "a", "+", "b", 1, "0.9"});
    g.model_r.append({2, "w", "r", "max", {"p", "q"}, 0, "1"});
    g.model_liniowy.append({3, "w", "l", {"2", "3"}, {"x1", "x2"}, 1, "1"});
    g.model_wielomianowy.append({4, "w", "v", "x", {"1", "2"}, {0, 1}, 1, "1"});
    g.model_wielomianowy.append({4, "w2", "v2", "x", {"5"}, {3}, 1, "1"});
    struct Case {
        ModelKind kind;
        std::vector<std::string> fields;
    };
    for (const auto& c : {Case{ModelKind::Basic, {"y", "a", "+", "b", "1", "0.9"}},
                          Case{ModelKind::Extended, {"r", "max", "0", "p", "q"}},
                          Case{ModelKind::Linear, {"l", "2", "3", "x1", "x2"}},
                          Case{ModelKind::Polynomial, {"v", "x", "1", "2", "0"}}}) {
        RecordWindow w = model_record_window(s, c.kind);
        ASSERT_EQ(w.counts.size(), 4u);
        EXPECT_EQ(w.counts[3].second, 2u);
        EXPECT_EQ(w.counts[0].first, "Liczba modeli podstawowych");
        std::string shown;
        for (const auto& f : w.fields(0)) {
            shown += f.label + "=" + f.value;
            for (const auto& i : f.items)
                shown += "|" + i;
            shown += ";";
        }
        for (const auto& v : c.fields)
            EXPECT_NE(shown.find(v), std::string::npos) << shown << " lacks " << v;
        EXPECT_NE(shown.find("Warunek stosowania=w;"), std::string::npos) << shown;
        EXPECT_TRUE(w.fields(w.numbers.size()).empty());
    }
    RecordWindow poly = model_record_window(s, ModelKind::Polynomial);
    EXPECT_EQ(poly.numbers, (std::vector<std::string>{"4", "4"}));
    EXPECT_EQ(poly.fields(1)[0].value, "w2");  // the second record with number 4
    EXPECT_EQ(poly.headings, (std::vector<std::string>{"MODEL WIELOMIANOWY", "y=a0+a1*x+a2*x^2+...+an*x^n"}));
    // The window keeps what it showed when the base changes under it.
    g.model_wielomianowy.clear();
    EXPECT_EQ(poly.fields(1)[0].value, "w2");
}

}  // namespace
}  // namespace zuva
