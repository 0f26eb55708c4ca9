// The window "Graf bazy wiedzy" over the sample bases: its command in "Analiza bazy wiedzy",
// the SVG picture, nodes found under the pointer, a double click that opens the record of a
// rule, a model and a constraint, a focus typed, zooming, and drawing again after a load.
#include <QAction>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSvgRenderer>
#include <QSvgWidget>
#include <QtTest>

#include "dialog_driver.h"
#include "gui/graph_window.h"
#include "gui/record_window.h"
#include "gui_program.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "verify/graph_dot.h"

using zuva_test::DialogDriver;
using zuva_test::Program;
using zuva_test::usual_answer;
using namespace zuva;

class GraphGuiTest : public QObject {
    Q_OBJECT
  private slots:
    void the_window_draws_the_bases_and_opens_records();
    void the_comparison_shows_the_changes_from_a_chosen_version();
};

namespace {

// The position in the view of the node that shows `name` ("reguła 3", a statement).
std::optional<std::size_t> node_named(const GraphView& v, const std::string& name) {
    for (std::size_t i = 0; i < v.nodes.size(); ++i)
        if (graph_node_name(v.nodes[i]) == name) return i;
    return std::nullopt;
}

std::vector<RecordBrowser*> record_windows(const Program& p) {
    std::vector<RecordBrowser*> out;
    for (QMdiSubWindow* w : p.w->area()->subWindowList())
        if (auto* b = qobject_cast<RecordBrowser*>(w->widget())) out.push_back(b);
    return out;
}

}  // namespace

void GraphGuiTest::the_window_draws_the_bases_and_opens_records() {
    Program p;
    p.open();
    {
        DialogDriver d;
        p.load_rules(d);
    }
    for (const auto& [id, file] : {std::pair{cmd::ladowanie_bazy_modeli, "MOAUTO.BEN"},
                                   std::pair{cmd::ladowanie_bazy_ograniczen, "OGAUTO.BEN"}}) {
        DialogDriver d;
        d.file(p.bases() + file);
        d.fallback = usual_answer;
        QVERIFY(p.w->run_command(id));
    }
    QAction* a = p.w->action(cmd::graf_bazy_wiedzy);
    QVERIFY(a != nullptr && a->isEnabled());
    bool in_analysis = false;
    for (QAction* top : p.w->menuBar()->actions())
        if (top->menu() != nullptr && top->text().remove('&') == "Analiza bazy wiedzy")
            in_analysis = top->menu()->actions().contains(a);
    QVERIFY(in_analysis);

    QVERIFY(p.w->run_command(cmd::graf_bazy_wiedzy));
    auto* g = p.w->findChild<GraphWindow*>();
    QVERIFY(g != nullptr);
    QVERIFY(g->picture()->renderer()->isValid());
    QVERIFY(!g->picture()->renderer()->defaultSize().isEmpty());
    QVERIFY(!g->view().overview);
    QVERIFY(g->view().focus.empty());
    // Asked again, the one window is drawn again rather than a second one opened.
    const int drawn = g->drawings();
    QVERIFY(p.w->run_command(cmd::graf_bazy_wiedzy));
    QCOMPARE(p.w->findChildren<GraphWindow*>().size(), 1);
    QCOMPARE(g->drawings(), drawn + 1);
    g->zoom_by(2.0);  // nodes large enough to hit in the offscreen window

    // A double click on a node opens the record window of its kind at its record.
    struct Case {
        const char* node;
        const char* title;
        const char* number;
    };
    const Case cases[] = {{"reguła 2", "Przegląd reguł", "2"},
                          {"model 2", "Przegląd modeli liniowych", "2"},
                          {"model 4", "Przegląd modeli podstawowych", "4"},
                          {"ograniczenie dokładne 1", "Przegląd ograniczeń dokładnych", "1"}};
    for (const Case& c : cases) {
        const auto node = node_named(g->view(), c.node);
        QVERIFY2(node.has_value(), c.node);
        const auto centre = g->node_centre(*node);
        QVERIFY2(centre.has_value(), c.node);
        QCOMPARE(g->node_at(*centre), node);
        const std::size_t before = record_windows(p).size();
        QTest::mouseDClick(g->picture(), Qt::LeftButton, {}, centre->toPoint());
        const auto windows = record_windows(p);
        QVERIFY2(windows.size() == before + 1, c.node);
        RecordBrowser* b = windows.back();
        QString title;
        for (QMdiSubWindow* w : p.w->area()->subWindowList())
            if (w->widget() == b) title = w->windowTitle();
        QVERIFY2(title.startsWith(c.title), qPrintable(title));
        QCOMPARE(b->numbers()->currentIndex().data().toString(), QString(c.number));
        QVERIFY2(!b->shown().isEmpty(), c.node);
    }

    // A click on a node: its neighbourhood, once no second click made it a double one.
    const std::size_t whole = g->view().nodes.size();
    const auto constraint = node_named(g->view(), "ograniczenie dokładne 1");
    QTest::mouseClick(g->picture(), Qt::LeftButton, {}, g->node_centre(*constraint)->toPoint());
    QTRY_COMPARE(QString::fromStdString(g->view().focus), QString("ograniczenie dokładne 1"));
    QVERIFY(g->view().nodes.size() < whole);
    QVERIFY(node_named(g->view(), "rozrusznik_kreci_wolno").has_value());

    // A name typed: its neighbourhood; a name the network lacks leaves the picture.
    g->name_field()->setText("brak_paliwa");
    QTest::keyClick(g->name_field(), Qt::Key_Return);
    QCOMPARE(QString::fromStdString(g->view().focus), QString("brak_paliwa"));
    QVERIFY(g->view().nodes.size() < whole);
    QVERIFY(node_named(g->view(), "reguła 1").has_value());
    QVERIFY(!g->focus_on("nie_ma_takiej_nazwy"));
    QCOMPARE(QString::fromStdString(g->view().focus), QString("brak_paliwa"));

    const int width = g->picture()->width();
    g->zoom_by(2.0);
    QVERIFY(std::abs(g->picture()->width() - 2 * width) <= 2);

    // Loading the rule base again draws the window again, around the same name.
    const int drawings = g->drawings();
    {
        DialogDriver d;
        p.load_rules(d);
    }
    QCOMPARE(g->drawings(), drawings + 1);
    QCOMPARE(QString::fromStdString(g->view().focus), QString("brak_paliwa"));
    QVERIFY(g->picture()->renderer()->isValid());
}

// "Porównanie baz wiedzy" in the same menu: the file dialog for the other version, then the
// changes from it to the loaded base in a browse window.
void GraphGuiTest::the_comparison_shows_the_changes_from_a_chosen_version() {
    Program p;
    p.open();
    QAction* compare = p.w->action(10186);
    QVERIFY(compare != nullptr);
    QVERIFY(!compare->isEnabled());
    {
        DialogDriver d;
        p.load_rules(d);
    }
    QVERIFY(compare->isEnabled());
    QMenu* analysis = nullptr;
    for (QAction* top : p.w->menuBar()->actions())
        if (top->menu() != nullptr && top->text().remove('&') == "Analiza bazy wiedzy")
            analysis = top->menu();
    QVERIFY(analysis != nullptr && analysis->actions().contains(compare));

    // The older version: rule 1 with another CF, in a folder of its own.
    const QString old_dir = p.dir.path() + "/STARE/";
    QVERIFY(QDir().mkpath(old_dir));
    std::string text = *cp1250_to_utf8(*read_file_bytes((p.bases() + "REAUTO.BEN").toStdString()));
    const std::string from = "\"wskaznik_paliwa_na_zero\"],1,\"0.8\"";
    text.replace(text.find(from), from.size(), "\"wskaznik_paliwa_na_zero\"],1,\"0.7\"");
    QVERIFY(write_file_bytes((old_dir + "REAUTO.BEN").toStdString(), utf8_to_cp1250_lossy(text)));
    {
        DialogDriver d;
        d.file(old_dir + "REAUTO.BEN");
        QVERIFY(p.w->run_command(10186));
    }
    QPlainTextEdit* view = nullptr;
    QString title;
    for (QMdiSubWindow* w : p.w->area()->subWindowList())
        if (auto* t = w->findChild<QPlainTextEdit*>()) {
            view = t;
            title = w->windowTitle();
        }
    QVERIFY(view != nullptr);
    QVERIFY2(title.contains("Porównanie baz wiedzy"), qPrintable(title));
    const QString shown = view->toPlainText();
    QVERIFY2(shown.contains("REAUTO.BEN:12: zmieniony rekord reguła 1: CF 0.7 → 0.8"), qPrintable(shown));
    if (const char* shot = std::getenv("ZUVA_GUI_SCREENSHOT_DIR"))
        p.w->grab().save(QString(shot) + "/zuva-gui-porownanie.png");
}

int run_graph_gui_tests(int argc, char** argv) {
    GraphGuiTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "gui_graph_test.moc"
