// What a new user of the desktop program met: help that opened nothing, "Zakończ" and Esc
// that led to the end of the program by Enter, values refused without a word, reports saved
// without their extension, a menu bar cut off at 1280 pixels and tiny picture windows.
#include <QAction>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTextBrowser>
#include <QtTest>

#include "dialog_driver.h"
#include "gui/record_window.h"
#include "gui_program.h"
#include "kb/record_windows.h"

using zuva_test::DialogDriver;
using zuva_test::Program;
using zuva_test::seen_with;
using zuva_test::usual_answer;
using namespace zuva;

namespace {

// Starts a forward run of the sample up to the presentation of its declared facts.
void start_forward(Program& p, DialogDriver& d) {
    p.load_rules(d);
    d.click("&OK");   // the description of the base
    d.radio(1);       // detail level
    d.click("&NIE");  // no labels
    d.click("OK");    // the loaded bases
    d.radio(1);       // facts from the menu of facts
}

int help_windows(Program& p) {
    int n = 0;
    for (QMdiSubWindow* w : p.w->area()->subWindowList())
        if (w->findChild<QTextBrowser*>("win_pomoc") != nullptr) ++n;
    return n;
}

}  // namespace

class NewUserGuiTest : public QObject {
    Q_OBJECT
  private slots:
    void help_shows_the_user_guide_in_its_own_window();
    void end_question_defaults_to_no_and_can_stop_only_the_consultation();
    void refused_values_say_why();
    void save_dialog_adds_the_filters_extension();
    void summary_dialog_leaves_the_existing_file_question_to_the_program();
    void menu_bar_fits_1280_pixels_with_quit_and_status_bar();
    void picture_window_opens_at_the_pictures_size();
};

void NewUserGuiTest::help_shows_the_user_guide_in_its_own_window() {
    Program p;
    p.open();
    p.s.shell.user_guide = std::string(ZUVA_EXAMPLES) + "/../docs/pomoc.html";
    QVERIFY(p.w->run_command(cmd::pomoc));
    QCOMPARE(help_windows(p), 1);
    auto* view = p.w->area()->findChild<QTextBrowser*>("win_pomoc");
    QVERIFY(view != nullptr);
    QVERIFY(view->toPlainText().contains("przewodnik użytkownika"));
    // Asked again (here by the "Pomoc" button of a record window) the same window comes forward.
    p.s.kb.rules.regula.append({1, "w", {"a"}, 1, "0.8"});
    p.ui.browse_records(rule_record_window(p.s));
    auto* records = p.w->area()->findChild<RecordBrowser*>("win_przegląd_reguł");
    QVERIFY(records != nullptr);
    DialogDriver::press(records, "&Pomoc");
    QCOMPARE(help_windows(p), 1);
    QCOMPARE(p.w->area()->activeSubWindow()->widget(), view);
}

void NewUserGuiTest::end_question_defaults_to_no_and_can_stop_only_the_consultation() {
    Program p;
    p.open();
    DialogDriver d;
    start_forward(p, d);
    d.click("Zakończ");  // the declared facts
    d.then([](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box != nullptr);
        QCOMPARE(box->text(), QString("Czy na pewno chcesz zakończyć program ?"));
        QCOMPARE(box->defaultButton()->text(), QString("&Nie"));
        QCOMPARE(box->escapeButton()->text(), QString("&Nie"));
        QTest::keyClick(w, Qt::Key_Escape);  // Esc keeps the program and the consultation
    });
    d.click("Zakończ");  // the same facts again
    d.click("Zakończ tylko &konsultację");
    d.fallback = usual_answer;
    QVERIFY(p.w->run_command(cmd::wnioskowanie_w_przod));
    QVERIFY(!p.w->ended());
    // The consultation ended as every one does, without asking for any symptom.
    QVERIFY(seen_with(d, "Koniec wnioskowania w przód", "To już wszystko"));
    for (const auto& s : d.seen())
        QVERIFY2(s.kind != "dlg_wartosc", qPrintable(s.title));
    QVERIFY(p.w->action(10164)->isEnabled());
}

void NewUserGuiTest::refused_values_say_why() {
    Program p;
    p.open();
    DialogDriver d;
    start_forward(p, d);
    d.click("&Kontynuuj");
    d.then([](QWidget* w) {
        QVERIFY(w->findChild<QLabel*>("powod") == nullptr);
        QTest::keyClicks(w->findChild<QLineEdit*>("wartosc"), "0,5");
        DialogDriver::press(w, "&OK");
    });
    d.then([](QWidget* w) {
        auto* why = w->findChild<QLabel*>("powod");
        QVERIFY(why != nullptr);
        QCOMPARE(why->text(),
                 QString("'0,5' nie jest liczbą: część dziesiętną oddziela się kropką, np. 0.8."));
        QTest::keyClicks(w->findChild<QLineEdit*>("wartosc"), "abc");
        DialogDriver::press(w, "&OK");
    });
    d.then([](QWidget* w) {
        auto* why = w->findChild<QLabel*>("powod");
        QVERIFY(why != nullptr);
        QCOMPARE(why->text(), QString("'abc' nie jest liczbą. Wpisz liczbę, np. 0.8 lub -1."));
        QTest::keyClicks(w->findChild<QLineEdit*>("wartosc"), " 0.8 ");
        DialogDriver::press(w, "&OK");
    });
    d.fallback = usual_answer;
    QVERIFY(p.w->run_command(cmd::wnioskowanie_w_przod));
    // " 0.8 " was taken: rule 1 (CF 0.8) gives 0.64.
    QVERIFY(seen_with(d, "Wyjaśnienie reguły", "brak_paliwa(0.64)"));
}

void NewUserGuiTest::save_dialog_adds_the_filters_extension() {
    Program p;
    p.open();
    DialogDriver d;
    d.file(p.bases() + "wynik");
    const std::string report =
        p.ui.save_file("*.RPT", {{"Raport (*.RPT)", "*.RPT"}}, "Podaj nazwę nowego pliku raportu");
    QCOMPARE(QString::fromStdString(report), p.bases() + "wynik.RPT");
    d.file(p.bases() + "podsumowanie");
    const std::string summary = p.ui.save_file_unchecked("*.txt", {}, "Podaj nazwę pliku podsumowania");
    QCOMPARE(QString::fromStdString(summary), p.bases() + "podsumowanie.txt");
    // A name with an extension stays as typed.
    d.file(p.bases() + "wynik.log");
    QCOMPARE(QString::fromStdString(p.ui.save_file("*.RPT", {}, "Zapis")), p.bases() + "wynik.log");
    QVERIFY(d.done());
    QVERIFY(d.unexpected.isEmpty());
}

// The summary command asks itself whether an existing summary may be replaced; its file
// dialog must not ask too (the user would be asked twice).
void NewUserGuiTest::summary_dialog_leaves_the_existing_file_question_to_the_program() {
    Program p;
    p.open();
    const QString existing = p.bases() + "stare.txt";
    {
        QFile f(existing);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("poprzednie podsumowanie\n");
    }
    DialogDriver d;
    d.file(existing);
    const std::string summary = p.ui.save_file_unchecked("*.txt", {}, "Podaj nazwę pliku podsumowania");
    QCOMPARE(QString::fromStdString(summary), existing);
    QVERIFY(d.done());
    QVERIFY2(d.unexpected.isEmpty(), qPrintable(d.unexpected.join("; ")));
}

void NewUserGuiTest::menu_bar_fits_1280_pixels_with_quit_and_status_bar() {
    Program p;
    p.w->resize(1280, 800);
    QTest::qWait(20);
    QMenuBar* bar = p.w->menuBar();
    const QList<QAction*> tops = bar->actions();
    QVERIFY(!tops.isEmpty());
    qInfo("menu bar: width %d, needs %d", bar->width(), bar->sizeHint().width());
    for (QAction* a : tops) {
        const QRect r = bar->actionGeometry(a);
        QVERIFY2(r.isValid() && r.right() < bar->width(), qPrintable(a->text()));
    }
    QAction* quit = p.w->findChild<QAction*>("zakonczenie_programu");
    QVERIFY(quit != nullptr);
    QCOMPARE(quit->text(), QString("Zakończ program"));
    QCOMPARE(quit->shortcut(), QKeySequence("Ctrl+Q"));
    auto* bases = p.w->statusBar()->findChild<QLabel*>("zaladowane_bazy");
    QVERIFY(bases != nullptr);
    QCOMPARE(bases->text(), QString("Nie załadowano żadnej bazy"));
    p.open();
    DialogDriver d;
    p.load_rules(d);
    QCOMPARE(bases->text(), QString("Reguły: REAUTO.BEN"));
    // Ctrl+Q asks first; "Nie" keeps the program.
    d.click("&Nie");
    quit->trigger();
    QVERIFY(d.done());
    QVERIFY(!p.w->ended());
}

void NewUserGuiTest::picture_window_opens_at_the_pictures_size() {
    Program p;
    p.open();
    const std::string picture = p.dir.path().toStdString() + "/obraz.bmp";
    QImage made(320, 200, QImage::Format_RGB32);
    made.fill(Qt::darkCyan);
    QVERIFY(made.save(QString::fromStdString(picture), "BMP"));
    QVERIFY(p.ui.show_picture(picture).ok);
    QVERIFY(p.ui.show_picture(picture).ok);
    QList<QMdiSubWindow*> frames;
    for (QMdiSubWindow* w : p.w->area()->subWindowList())
        if (w->widget() != nullptr && w->widget()->objectName() == "win_grafika") frames << w;
    QCOMPARE(frames.size(), 2);
    const QImage image(QString::fromStdString(picture));
    // The window shows the picture at (about) its own size, not at a thumbnail's.
    QVERIFY2(frames[0]->widget()->width() >= std::min(image.width(), p.w->area()->width() - 60) * 9 / 10,
             qPrintable(QString::number(frames[0]->widget()->width())));
    QVERIFY2(frames[0]->widget()->height() >= std::min(image.height(), p.w->area()->height() - 80) * 9 / 10,
             qPrintable(QString::number(frames[0]->widget()->height())));
    // Cascaded, not piled up.
    QVERIFY(frames[0]->pos() != frames[1]->pos());
}

int run_new_user_gui_tests(int argc, char** argv) {
    NewUserGuiTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "gui_new_user_test.moc"
