// Keeping a consultation as a test case from the desktop program's menu "Raporty i
// podsumowania": enabled once the summary is saved, it asks for the test-case file and the
// case's name and appends a case that passes.
#include <QAction>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QtTest>

#include "dialog_driver.h"
#include "gui_program.h"
#include "testing/case_file.h"
#include "testing/case_run.h"
#include "testing/record_case.h"

using zuva_test::DialogDriver;
using zuva_test::Program;
using zuva_test::seen_with;
using zuva_test::usual_answer;
using namespace zuva;

class KeepCaseGuiTest : public QObject {
    Q_OBJECT
  private slots:
    void a_saved_summary_becomes_a_case_of_the_suite();
};

void KeepCaseGuiTest::a_saved_summary_becomes_a_case_of_the_suite() {
    Program p;
    p.s.shell.keep_case = testing::keep_case;
    p.s.shell.keep_log = testing::keep_log;
    p.open();
    QAction* keep = p.w->action(cmd::przypadek_testowy);
    QVERIFY(keep != nullptr);
    QVERIFY(!keep->isEnabled());
    // The command and the log's are the last items of "Raporty i podsumowania".
    QAction* log = p.w->action(cmd::dziennik_konsultacji);
    QVERIFY(log != nullptr && !log->isEnabled());
    bool last_of_reports = false;
    for (QAction* top : p.w->menuBar()->actions())
        if (top->menu() != nullptr && top->text().remove('&') == "Raporty i podsumowania") {
            const auto items = top->menu()->actions();
            last_of_reports = items.size() >= 2 && items[items.size() - 2] == keep && items.back() == log;
        }
    QVERIFY(last_of_reports);

    const QString summary = p.bases() + "P.txt";
    {
        DialogDriver d;
        p.load_rules(d);
    }
    // The bases of the same name that a case is run with: the consultation runs with them too
    // (with the exact constraints a CF of 0.5 is refused where the case would refuse it).
    const std::pair<int, const char*> siblings[] = {{cmd::ladowanie_bazy_modeli, "MOAUTO.BEN"},
                                                    {cmd::ladowanie_bazy_ograniczen, "OGAUTO.BEN"},
                                                    {cmd::ladowanie_bazy_ograniczen_n, "ONAUTO.BEN"}};
    for (const auto& [id, file] : siblings) {
        DialogDriver d;
        d.file(p.bases() + file);
        d.fallback = usual_answer;
        QVERIFY(p.w->run_command(id));
    }
    {
        DialogDriver d;
        d.click("&OK");   // the description of the base
        d.radio(1);       // detail level
        d.click("&NIE");  // no labels
        d.click("OK");    // the loaded bases
        d.radio(1);       // facts from the menu of facts
        d.fallback = [summary](QWidget* w) {
            auto* m = qobject_cast<QMessageBox*>(w);
            if (m != nullptr && m->text() == "Zachować podsumowanie wnioskowania?")
                return DialogDriver::press(w, "&TAK");
            if (auto* f = qobject_cast<QFileDialog*>(w)) {
                auto* e = f->findChild<QLineEdit*>("fileNameEdit");
                QVERIFY(e != nullptr);
                e->setText(summary);
                QTest::keyClick(e, Qt::Key_Return);
                if (f->isVisible()) static_cast<QDialog*>(f)->accept();  // QFileDialog hides it
                return;
            }
            // A member of an exact constraint takes -1 or 1 only.
            if (w->objectName() == "dlg_wartosc") {
                bool exact = false;
                for (auto* l : w->findChildren<QLabel*>())
                    exact = exact || l->text().contains("równe -1.0 lub 1.0") ||
                            l->text().contains("CF =1 lub -1");
                if (exact) {
                    auto* e = w->findChild<QLineEdit*>("wartosc");
                    QVERIFY(e != nullptr);
                    e->clear();
                    QTest::keyClicks(e, "-1");
                    return DialogDriver::press(w, "&OK");
                }
            }
            usual_answer(w);
        };
        QVERIFY(p.w->run_command(cmd::wnioskowanie_w_przod));
    }
    QVERIFY(QFileInfo::exists(summary));
    QVERIFY(keep->isEnabled());

    // The sample suite is an existing file: the case goes to its end, the cases before stay
    // byte for byte, and the dialog does not offer to replace the file.
    const QString suite_path = p.bases() + "AUTO.TST";
    QByteArray before;
    {
        QFile f(suite_path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        before = f.readAll();
    }
    QVERIFY(!before.isEmpty());
    testing::CaseFileError before_error;
    auto old_suite = testing::read_case_file(suite_path.toStdString(), before_error);
    QVERIFY2(old_suite.has_value(), before_error.text().c_str());

    DialogDriver k;
    k.file(suite_path);
    k.type("z pulpitu");
    k.click("OK");
    QVERIFY(p.w->run_command(cmd::przypadek_testowy));
    QVERIFY(k.done());
    // The file dialog, the name and the closing note: no question in between.
    QStringList kinds;
    for (const auto& d : k.seen())
        kinds << d.kind + " " + d.title + " " + d.text;
    QVERIFY2(seen_with(k, "Przypadek testowy", "został dopisany do pliku AUTO.TST"),
             qPrintable(kinds.join("; ")));
    QVERIFY2(k.unexpected.isEmpty(), qPrintable(k.unexpected.join("; ")));
    QVERIFY2(k.seen().size() == 3, qPrintable(kinds.join("; ")));
    QCOMPARE(k.seen().front().kind, QString("dlg_zapis_pliku"));
    {
        QFile f(suite_path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray after = f.readAll();
        QVERIFY(after.size() > before.size());
        QVERIFY(after.startsWith(before));
    }

    // The suite now ends with the new case, and it passes.
    testing::CaseFileError e;
    auto suite = testing::read_case_file((p.bases() + "AUTO.TST").toStdString(), e);
    QVERIFY2(suite.has_value(), e.text().c_str());
    QCOMPARE(suite->cases.size(), old_suite->cases.size() + 1);
    for (std::size_t i = 0; i < old_suite->cases.size(); ++i)
        QCOMPARE(QString::fromStdString(suite->cases[i].name),
                 QString::fromStdString(old_suite->cases[i].name));
    QCOMPARE(QString::fromStdString(suite->cases.back().name), QString("z pulpitu"));
    testing::OpenedBases bases;
    const testing::CaseOutcome o = testing::run_case(suite->cases.back(), bases);
    QVERIFY2(o.passed, o.differences.empty() ? "" : o.differences.front().c_str());

    // The log beside the summary, said in one note (the driver of the case answers it).
    QVERIFY(log->isEnabled());
    k.click("OK");
    QVERIFY(p.w->run_command(cmd::dziennik_konsultacji));
    QVERIFY(seen_with(k, "Dziennik konsultacji", "został zapisany w pliku P.json"));
    QVERIFY(QFileInfo::exists(p.bases() + "P.json"));
}

int run_keep_case_gui_tests(int argc, char** argv) {
    KeepCaseGuiTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "gui_keep_case_test.moc"
