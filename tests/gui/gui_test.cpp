// The desktop program driven through its real widgets under the offscreen platform: the
// menu tree, enabling, a consultation answered in the dialogs, the helper window's
// capacity, the browse window and the close question.
#include <QAction>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "dialog_driver.h"
#include "gui/child_windows.h"
#include "gui/editor_window.h"
#include "gui/helper_window.h"
#include "gui/qt_ui.h"
#include "gui/record_window.h"
#include "gui/task_window.h"
#include "gui_program.h"
#include "kb/record_windows.h"
#include "session/enabling.h"
#include "session/session.h"
#include "shell/commands.h"
#include "shell/handlers.h"
#include "shell/shell.h"
#include "text/codec.h"
#include "text/file_io.h"

using namespace zuva;
using zuva_test::DialogDriver;

namespace {

using zuva_test::Program;
using zuva_test::qs;
using zuva_test::seen_with;
using zuva_test::usual_answer;

QString qs_of(const QModelIndex& i) {
    return i.data().toString();
}

// The offscreen platform says on every window that it keeps no size hints.
QtMessageHandler g_next = nullptr;
void quiet(QtMsgType type, const QMessageLogContext& ctx, const QString& msg) {
    if (msg.contains("propagateSizeHints")) return;
    if (g_next) g_next(type, ctx, msg);
}

}  // namespace

class GuiTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { g_next = qInstallMessageHandler(quiet); }
    void menu_tree_is_the_command_table();
    void commands_wait_for_the_introductory_window();
    void rule_base_load_enables_its_commands();
    void forward_consultation_through_the_dialogs();
    void explanation_end_asks_and_can_end_the_program();
    void helper_window_keeps_its_capacity();
    void text_browse_window_sets_the_title_back();
    void close_question_keeps_or_ends_the_program();
    void startup_is_quick();
    void rule_window_shows_the_chosen_rule();
    void record_window_over_a_large_base_opens_at_once();
    void editor_saves_asks_and_keeps_the_menu();
    void picture_window_sound_and_the_why_button();
    void prompted_choice_and_labelled_lists();
    void texts_base_words_the_questions();
};

void GuiTest::menu_tree_is_the_command_table() {
    Program p;
    QList<QAction*> tops = p.w->menuBar()->actions();
    const auto& menu = main_menu();
    QCOMPARE(tops.size(), static_cast<qsizetype>(menu.size()));
    std::set<int> ids;
    std::function<void(QMenu*, const MenuNode&)> walk = [&](QMenu* m, const MenuNode& node) {
        QList<QAction*> acts = m->actions();
        // The front end's own end of the program closes the first menu.
        acts.removeIf([](QAction* a) {
            return a->objectName() == "przed_zakonczeniem" || a->objectName() == "zakonczenie_programu";
        });
        QCOMPARE(acts.size(), static_cast<qsizetype>(node.children.size()));
        for (int i = 0; i < acts.size(); ++i) {
            const MenuNode& ch = node.children[static_cast<size_t>(i)];
            if (ch.is_command()) {
                QCOMPARE(acts[i]->data().toInt(), ch.id);
                QCOMPARE(acts[i]->text(), qs(find_command(ch.id)->text));
                QVERIFY(ids.insert(ch.id).second);
            } else {
                // Menus get a shortcut letter of their own.
                QCOMPARE(qs(menu_label(acts[i]->text().toStdString())), qs(ch.title));
                QVERIFY(acts[i]->text().contains('&'));
                QVERIFY(acts[i]->menu() != nullptr);
                walk(acts[i]->menu(), ch);
            }
        }
    };
    for (int i = 0; i < tops.size(); ++i) {
        QCOMPARE(qs(menu_label(tops[i]->text().toStdString())), qs(menu[static_cast<size_t>(i)].title));
        walk(tops[i]->menu(), menu[static_cast<size_t>(i)]);
    }
    // Every command of the table is in the menu exactly once.
    QCOMPARE(ids.size(), all_commands().size());
    // The mnemonic of a command works like its menu text says.
    QCOMPARE(p.w->action(10064)->text(), QString("Ładowanie bazy &reguł"));
    // Toolbar buttons carry the menu text as their tooltip.
    for (QAction* a : p.w->toolbar()->actions())
        QCOMPARE(a->toolTip(), qs(menu_label(find_command(a->data().toInt())->text)));
}

void GuiTest::commands_wait_for_the_introductory_window() {
    Program p;
    QCOMPARE(p.w->windowTitle(), QString(kProgramTitle));
    for (const auto& c : all_commands())
        QVERIFY2(!p.w->action(c.id)->isEnabled(), qPrintable(QString::number(c.id)));
    QVERIFY(p.w->helper() == nullptr);
    auto* intro = p.w->area()->findChild<PictureView*>("win_wstep");
    QVERIFY(intro != nullptr);
    QVERIFY(!intro->picture().isNull());
    // A click on the picture closes it like its close button.
    QTest::mouseClick(intro, Qt::LeftButton);
    QTRY_VERIFY(p.w->helper() != nullptr);
    QCOMPARE(p.w->helper()->capacity(), kHelperCapacity);
    QVERIFY(!p.s.shell.intro_open);
    for (int id : intro_closed_set())
        QCOMPARE(p.w->action(id)->isEnabled(), command_available(p.s, p.r, id));
    QVERIFY(p.w->action(10064)->isEnabled());
    QVERIFY(!p.w->action(10164)->isEnabled());
    QVERIFY(!p.w->action(10074)->isEnabled());
}

void GuiTest::rule_base_load_enables_its_commands() {
    Program p;
    p.open();
    DialogDriver d;
    p.load_rules(d);
    QVERIFY(d.done());
    QVERIFY2(d.unexpected.isEmpty(), qPrintable(d.unexpected.join("\n")));
    QCOMPARE(p.w->windowTitle(), QString("zuva_EN wnioskuje dla bazy wiedzy auto"));
    for (int id : rules_loaded_set())
        QCOMPARE(p.w->action(id)->isEnabled(), command_available(p.s, p.r, id));
    QVERIFY(p.w->action(10164)->isEnabled());
    QVERIFY(p.w->action(10067)->isEnabled());
    QVERIFY(p.helper_lines().join("\n").contains("Baza reguł REAUTO.BEN"));
    // The toolbar follows the menu.
    for (QAction* a : p.w->toolbar()->actions())
        QCOMPARE(a->isEnabled(), p.w->action(a->data().toInt())->isEnabled());
}

void GuiTest::forward_consultation_through_the_dialogs() {
    Program p;
    p.open();
    DialogDriver d;
    p.load_rules(d);
    d.click("&OK");   // the description of the base
    d.radio(1);       // detail level
    d.click("&NIE");  // no labels
    d.click("OK");    // the loaded bases
    d.radio(1);       // facts from the menu of facts
    d.click("&Kontynuuj");
    d.type("1.5");  // refused: asked again
    d.click("OK");
    d.type("0.8");
    d.click("&Kontynuuj");
    d.fallback = usual_answer;
    QVERIFY(p.w->run_command(cmd::wnioskowanie_w_przod));
    QVERIFY2(d.unexpected.isEmpty(), qPrintable(d.unexpected.join("\n")));
    // The first question came twice, the refused value in between.
    int asked = 0;
    for (const auto& s : d.seen())
        if (s.kind == "dlg_wartosc" && s.text == "wskaznik_paliwa_na_zero") ++asked;
    QCOMPARE(asked, 2);
    // 0.8 with rule 1 (CF 0.8) gives 0.64.
    QVERIFY(seen_with(d, "Wyjaśnienie reguły", "brak_paliwa(0.64)"));
    // Every other question got 0.5 and the run reached its end.
    QVERIFY(seen_with(d, "Wypadkowe CF wniosku reguł kumulatywnych (pojedynczej reguły)", "brak_paliwa"));
    QVERIFY(!p.helper_lines().isEmpty());
    QVERIFY(p.w->action(10164)->isEnabled());
    QVERIFY(!p.w->ended());
}

void GuiTest::explanation_end_asks_and_can_end_the_program() {
    Program p;
    p.open();
    DialogDriver d;
    p.load_rules(d);
    d.click("&OK");
    d.radio(1);
    d.click("&NIE");
    d.click("OK");
    d.radio(1);
    d.click("Zakończ");  // the facts
    d.then([](QWidget* w) {
        QCOMPARE(w->windowTitle(), QString("Uwaga!"));
        QCOMPARE(static_cast<QMessageBox*>(w)->text(), QString("Czy na pewno chcesz zakończyć program ?"));
        DialogDriver::press(w, "&Nie");
    });
    d.click("Zakończ");  // the same explanation again
    d.click("&Tak");
    QVERIFY(p.w->run_command(cmd::wnioskowanie_w_przod));
    QVERIFY(d.done());
    QVERIFY(p.w->ended());
    int facts = 0;
    for (const auto& s : d.seen())
        if (s.title == "W bazie reguł są następujące fakty:") ++facts;
    QCOMPARE(facts, 2);
}

void GuiTest::helper_window_keeps_its_capacity() {
    Program p;
    p.open();
    for (int i = 1; i <= 250; ++i)
        p.ui.helper_write("wiersz " + std::to_string(i) + "\n");
    p.ui.helper_write("nie");
    p.ui.helper_write("dokończony");
    QStringList lines = p.helper_lines();
    QCOMPARE(lines.size(), 101);
    QCOMPARE(lines.front(), QString("wiersz 151"));
    QCOMPARE(lines[99], QString("wiersz 250"));
    QCOMPARE(lines.back(), QString("niedokończony"));
    // A large block written at once keeps the same last lines.
    std::string block;
    for (int i = 1; i <= 100000; ++i)
        block += "blok " + std::to_string(i) + "\n";
    p.ui.helper_write(block);
    lines = p.helper_lines();
    QCOMPARE(lines.size(), 100);
    QCOMPARE(lines.front(), QString("blok 99901"));
    QCOMPARE(lines.back(), QString("blok 100000"));
    // 10167 replaces it by an empty one.
    QVERIFY(p.w->run_command(cmd::nowe_okno_pomocnicze));
    QVERIFY(p.helper_lines().isEmpty());
    p.ui.helper_clear();
    QVERIFY(p.helper_lines().isEmpty());
}

void GuiTest::text_browse_window_sets_the_title_back() {
    Program p;
    p.open();
    DialogDriver d;
    p.load_rules(d);
    d.click("&Nie");  // do not wrap
    QVERIFY(p.w->run_command(cmd::przeglad_wszystkich_regul));
    QVERIFY(d.done());
    QCOMPARE(p.w->windowTitle(), QString("zuva_EN Przegląd pliku bazy: REAUTO.BEN"));
    auto* view = p.w->area()->findChild<QPlainTextEdit*>("win_przeglad");
    QVERIFY(view != nullptr);
    QVERIFY(view->isReadOnly());
    QCOMPARE(view->lineWrapMode(), QPlainTextEdit::NoWrap);
    QVERIFY(view->toPlainText().contains("brak_paliwa"));
    QCOMPARE(view->textCursor().position(), 0);
    auto* frame = qobject_cast<QMdiSubWindow*>(view->parentWidget());
    QVERIFY(frame != nullptr);
    frame->close();
    QCOMPARE(p.w->windowTitle(), QString("zuva_EN"));
}

void GuiTest::close_question_keeps_or_ends_the_program() {
    Program p;
    p.open();
    DialogDriver d;
    d.then([](QWidget* w) {
        QCOMPARE(w->windowTitle(), QString("Uwaga!"));
        QCOMPARE(static_cast<QMessageBox*>(w)->text(), QString("Czy na pewno chcesz zakończyć program ?"));
        DialogDriver::press(w, "&Nie");
    });
    QVERIFY(!p.w->close());
    QVERIFY(p.w->isVisible());
    QVERIFY(!p.w->ended());
    d.click("&Tak");
    QVERIFY(p.w->close());
    QVERIFY(p.w->ended());
}

void GuiTest::startup_is_quick() {
    QProcess proc;
    proc.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer t;
    t.start();
    proc.start(ZUVA_GUI_BINARY, {"--quit-at-idle"});
    QVERIFY(proc.waitForFinished(10000));
    QCOMPARE(proc.exitCode(), 0);
    QVERIFY(proc.readAll().contains("okno gotowe po"));
    qInfo("start-up to an idle window and exit: %lld ms", static_cast<long long>(t.elapsed()));
}

void GuiTest::rule_window_shows_the_chosen_rule() {
    Program p;
    p.open();
    // Two rules with one number: both are in the list and both can be shown.
    p.s.kb.rules.regula.append(
        {5, "brak_paliwa", {"samochod_nie_zapala", "wskaznik_paliwa_na_zero"}, 1, "0.8"});
    p.s.kb.rules.regula.append({5, "koniec", {"brak_paliwa"}, 1, "1.0"});
    p.ui.browse_records(rule_record_window(p.s));
    auto* w = p.w->area()->findChild<RecordBrowser*>("win_przegląd_reguł");
    QVERIFY(w != nullptr);
    QCOMPARE(w->numbers()->model()->rowCount(), 2);
    QCOMPARE(qs_of(w->numbers()->model()->index(1, 0)), QString("5"));
    QVERIFY(w->shown().isEmpty());
    w->numbers()->setCurrentIndex(w->numbers()->model()->index(0, 0));
    QCOMPARE(w->shown(),
             (QStringList{"Wniosek z reguły", "brak_paliwa", " Lista warunków ", "samochod_nie_zapala",
                          "wskaznik_paliwa_na_zero", "Współczynnik pewności", "0.8"}));
    w->numbers()->setCurrentIndex(w->numbers()->model()->index(1, 0));
    QCOMPARE(w->shown(), (QStringList{"Wniosek z reguły", "koniec", " Lista warunków ", "brak_paliwa",
                                      "Współczynnik pewności", "1.0"}));
    auto* count = w->findChild<QLineEdit*>("liczba");
    QVERIFY(count != nullptr);
    QCOMPARE(count->text(), QString("2"));
    // "&Zamknij" closes it and the helper window starts again empty.
    p.ui.helper_write("przed zamknięciem\n");
    HelperWindow* before = p.w->helper();
    DialogDriver::press(w, "&Zamknij");
    QTRY_VERIFY(p.w->area()->findChild<RecordBrowser*>("win_przegląd_reguł") == nullptr);
    QVERIFY(p.w->helper() != nullptr);
    QVERIFY(p.w->helper() != before);
    QVERIFY(p.helper_lines().isEmpty());
}

void GuiTest::record_window_over_a_large_base_opens_at_once() {
    Program p;
    p.open();
    for (int i = 1; i <= 100000; ++i)
        p.s.kb.rules.regula.append({i, "w" + std::to_string(i), {"a" + std::to_string(i), "b"}, 1, "0.5"});
    QElapsedTimer t;
    t.start();
    p.ui.browse_records(rule_record_window(p.s));
    auto* w = p.w->area()->findChild<RecordBrowser*>("win_przegląd_reguł");
    QVERIFY(w != nullptr);
    QApplication::processEvents();
    const qint64 open_ms = t.elapsed();
    w->numbers()->scrollToBottom();
    w->numbers()->setCurrentIndex(w->numbers()->model()->index(99999, 0));
    QApplication::processEvents();
    QCOMPARE(w->shown()[1], QString("w100000"));
    qInfo("record window over 100,000 rules: open %lld ms, open and scroll to the end %lld ms",
          static_cast<long long>(open_ms), static_cast<long long>(t.elapsed()));
}

void GuiTest::editor_saves_asks_and_keeps_the_menu() {
    Program p;
    p.open();
    DialogDriver d;
    p.load_rules(d);
    const QString file = p.bases() + "REAUTO.BEN";
    const auto original = *read_file_bytes(file.toStdString());
    const size_t rules = p.s.kb.rules.regula.count();
    // Two editor windows on the rule file; the first is closed with "&NIE".
    p.ui.open_editor(file.toStdString(), false);
    p.ui.open_editor(file.toStdString(), true);
    auto editors = p.w->area()->findChildren<EditorWindow*>();
    QCOMPARE(editors.size(), 2);
    QCOMPARE(p.s.shell.dla_zapisu.size(), size_t{2});
    EditorWindow* first = editors[0];
    QVERIFY(first->edit()->toPlainText().contains("reguła(1,\"brak_paliwa\""));
    auto* frame = qobject_cast<QMdiSubWindow*>(first->parentWidget());
    QCOMPARE(frame->windowTitle(), QString("Edycja pliku: REAUTO.BEN"));
    QTest::keyClicks(first->edit(), "x");
    d.then([](QWidget* w) {
        QCOMPARE(w->windowTitle(), QString("Zapis pliku"));
        QCOMPARE(static_cast<QMessageBox*>(w)->text(), QString("Czy zapisać aktualną postać pliku ?"));
        DialogDriver::press(w, "&NIE");
    });
    frame->close();
    QTRY_COMPARE(p.w->area()->findChildren<EditorWindow*>().size(), 1);
    QCOMPARE(*read_file_bytes(file.toStdString()), original);
    QVERIFY(p.w->action(10067)->isEnabled());
    QVERIFY(p.w->action(10068)->isEnabled());
    // The second saves its changed text in Windows-1250.
    EditorWindow* second = p.w->area()->findChildren<EditorWindow*>().front();
    second->edit()->moveCursor(QTextCursor::End);
    // Typed keys carry only Latin-1; the Polish letters come as pasted text.
    QTest::keyClicks(second->edit(), "rem_regu");
    second->edit()->insertPlainText("ła(\"żółta uwaga\")");
    QTest::keyClick(second->edit(), Qt::Key_Return);
    d.click("OK");
    second->command(10061)->trigger();
    QTRY_COMPARE(p.w->area()->findChildren<EditorWindow*>().size(), 0);
    QVERIFY(d.done());
    const auto saved = *read_file_bytes(file.toStdString());
    QVERIFY(saved.find(*utf8_to_cp1250("rem_reguła(\"żółta uwaga\")\n")) != std::string::npos);
    QVERIFY(p.helper_lines().join("\n").contains("został zapisany"));
    // The loaded rules stay as they were loaded.
    QCOMPARE(p.s.kb.rules.regula.count(), rules);
    QVERIFY(p.s.shell.dla_zapisu.empty());
    // A save that fails says why and keeps the window with its text.
    const QString gone = p.bases() + "brak/RENOWY.BEN";
    p.ui.open_editor(gone.toStdString(), false);
    EditorWindow* third = p.w->area()->findChildren<EditorWindow*>().front();
    QTest::keyClicks(third->edit(), "tekst");
    d.then([](QWidget* w) {
        QCOMPARE(w->windowTitle(), QString("Uwaga błąd!"));
        QVERIFY(static_cast<QMessageBox*>(w)->text().contains("nie został zapisany"));
        DialogDriver::press(w, "OK");
    });
    third->command(10061)->trigger();
    QVERIFY(d.done());
    QCOMPARE(p.w->area()->findChildren<EditorWindow*>().size(), 1);
    QCOMPARE(third->edit()->toPlainText(), QString("tekst"));
    QVERIFY(d.unexpected.isEmpty());
}

// A picture opens in its own window at its size; a file that is no picture, or a sound that
// cannot be read, is refused with a reason and opens nothing. "&Dlaczego?" in a value dialog
// answers that the user asked why.
void GuiTest::picture_window_sound_and_the_why_button() {
    Program p;
    p.open();
    const QString bmp = p.dir.path() + "/obraz.bmp";
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(bmp, "BMP"));
    MediaOutcome shown = p.ui.show_picture(bmp.toStdString());
    QVERIFY2(shown.ok, shown.reason.c_str());
    auto* view = p.w->area()->findChild<PictureView*>("win_grafika");
    QVERIFY(view != nullptr);
    QCOMPARE(view->picture().size(), QSize(40, 30));
    QCOMPARE(qobject_cast<QMdiSubWindow*>(view->parentWidget())->windowTitle(), QString("obraz.bmp"));

    const QString text = p.dir.path() + "/tekst.bmp";
    {
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("to nie jest obraz");
    }
    MediaOutcome refused = p.ui.show_picture(text.toStdString());
    QVERIFY(!refused.ok);
    QVERIFY(!refused.reason.empty());
    QCOMPARE(p.w->area()->findChildren<PictureView*>("win_grafika").size(), 1);
    MediaOutcome missing = p.ui.play_sound((p.dir.path() + "/brak.wav").toStdString());
    QVERIFY(!missing.ok);
    QCOMPARE(missing.reason, std::string("nie można odczytać pliku"));

    DialogDriver d;
    d.then([](QWidget* w) {
        QCOMPARE(w->objectName(), QString("dlg_wartosc"));
        DialogDriver::press(w, "&Dlaczego?");
    });
    d.type("0.5");
    Ui::ValueReply why = p.ui.value_dialog_why("Wartość", "Podaj CF", "brak_paliwa");
    QVERIFY(why.kind == Ui::ValueReply::Kind::Why);
    Ui::ValueReply typed = p.ui.value_dialog_why("Wartość", "Podaj CF", "brak_paliwa");
    QVERIFY(typed.kind == Ui::ValueReply::Kind::Text);
    QCOMPARE(typed.text, std::string("0.5"));
    QVERIFY(d.done());
    QVERIFY(d.unexpected.isEmpty());
}

// The multiple choice shows its prompt above the list and returns the rows clicked; the
// labelled lists show each list under its own label.
void GuiTest::prompted_choice_and_labelled_lists() {
    Program p;
    p.open();
    DialogDriver d;
    QString prompt_seen;
    d.then([&](QWidget* w) {
        for (auto* l : w->findChildren<QLabel*>())
            prompt_seen += l->text();
        auto* list = w->findChild<QListWidget*>();
        QVERIFY(list != nullptr);
        QCOMPARE(list->count(), 3);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
        DialogDriver::press(w, "&OK");
    });
    QStringList labels;
    QList<int> counts;
    d.then([&](QWidget* w) {
        for (auto* l : w->findChildren<QLabel*>())
            labels << l->text();
        for (auto* l : w->findChildren<QListWidget*>())
            counts << l->count();
        DialogDriver::press(w, "&OK");
    });
    auto chosen = p.ui.choose_many_prompted("Wybór", "Wybierz wnioski!", {"1  a", "2  b", "3  c"});
    QVERIFY(chosen.has_value());
    QCOMPARE(*chosen, (std::vector<int>{0, 2}));
    QCOMPARE(prompt_seen, QString("Wybierz wnioski!"));
    p.ui.show_lists("Import", {{"Reguły:", {"r1", "r2"}}, {"Modele:", {"m1"}}});
    QCOMPARE(labels, (QStringList{"Reguły:", "Modele:"}));
    QCOMPARE(counts, (QList<int>{2, 1}));
    QVERIFY(d.done());
    QVERIFY(d.unexpected.isEmpty());
}

// The texts base loaded by its command: the value dialogs ask in the base's words, the
// identifier still under them, and the status bar names the texts base.
void GuiTest::texts_base_words_the_questions() {
    Program p;
    p.open();
    DialogDriver d;
    p.load_rules(d);
    d.file(p.bases() + "TEAUTO.BEN");
    d.click("OK");  // the texts base was loaded
    QVERIFY(p.w->run_command(10190));
    QVERIFY(p.w->statusBar()->findChild<QLabel*>("zaladowane_bazy")->text().contains("Teksty: TEAUTO.BEN"));
    QStringList asked;
    d.fallback = [&](QWidget* w) {
        if (w->objectName() == "dlg_wartosc") {
            QStringList labels;
            for (auto* l : w->findChildren<QLabel*>())
                labels << l->text();
            asked << labels.join("|");
        }
        usual_answer(w);
    };
    QVERIFY(p.w->run_command(cmd::wnioskowanie_w_przod));
    QVERIFY2(d.unexpected.isEmpty(), qPrintable(d.unexpected.join("\n")));
    QVERIFY(!asked.isEmpty());
    QVERIFY2(asked.first().contains("Czy wskaźnik paliwa pokazuje zero?") &&
                 asked.first().contains("wskaznik_paliwa_na_zero"),
             qPrintable(asked.first()));
}

int run_new_user_gui_tests(int argc, char** argv);
int run_keep_case_gui_tests(int argc, char** argv);
int run_graph_gui_tests(int argc, char** argv);

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    GuiTest t;
    int status = QTest::qExec(&t, argc, argv);
    status |= run_new_user_gui_tests(argc, argv);
    status |= run_keep_case_gui_tests(argc, argv);
    status |= run_graph_gui_tests(argc, argv);
    return status;
}
#include "gui_test.moc"
