// Forward inference over 10,000 generated silent rules (chains of 50 from declared facts)
// through the desktop program's port, against the answer-script port that the terminal
// program writes its transcript with. Run under QT_QPA_PLATFORM=offscreen.
//   terminal:       the answer-script port, transcript written to /dev/null
//   desktop port:   the task window and its helper window; dialogs answered at once
//   desktop dialogs: the same with every dialog shown and answered through its widgets
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <string>

#include "consult/forward.h"
#include "gui/qt_ui.h"
#include "gui/task_window.h"
#include "kb/askable_conditions.h"
#include "session/session.h"
#include "shell/handlers.h"
#include "store/list_helpers.h"
#include "ui/scripted_ui.h"

using namespace zuva;

namespace {

void generate(Session& s, int n) {
    auto& kb = s.kb;
    int number = 0;
    for (int k = 0; number < n; ++k) {
        std::string prev = "fakt_" + std::to_string(k);
        kb.rules.fakt.append({prev, "0.9"});
        for (int i = 0; i < 50 && number < n; ++i) {
            std::string next = "w" + std::to_string(k) + "_" + std::to_string(i);
            kb.rules.regula.append({++number, next, {prev}, 0, "0.95"});
            prev = next;
        }
    }
    kb.nazwa_re.short_name.append("REBENCH.BEN");
    kb.wyroznik.append("BENCH");
    // The askable conditions as the rule-base load finds them.
    pamietaj_liste_dopytywalnych(s, wyznacz_warunki_dopytywalne(s));
}

// The terminal's answer-script port with the usual answers given without script lines.
class TerminalPort : public ScriptedUi {
  public:
    int question(std::string_view t, std::string_view x, const std::vector<std::string>& b) override {
        block("question", t, x);
        return static_cast<int>(b.size()) - 1;
    }
    int radio(std::string_view d, std::string_view t, const std::vector<std::string>&, int) override {
        block("radio", d, t);
        return 1;
    }
    std::optional<std::string> input_text(std::string_view, std::string_view, std::string_view) override {
        return std::string();
    }
    std::string save_file(std::string_view, const std::vector<FileFilter>&, std::string_view) override {
        return "";
    }
    std::optional<int> choose_one(std::string_view, const std::vector<std::string>&) override {
        return std::nullopt;
    }
    std::optional<std::vector<int>> choose_many(std::string_view, const std::vector<std::string>&) override {
        return std::nullopt;
    }
};

// The desktop port with the modal dialogs answered before they are built.
class QuickQtUi : public QtUi {
  public:
    void note(std::string_view, std::string_view) override {}
    int question(std::string_view, std::string_view, const std::vector<std::string>& b) override {
        return static_cast<int>(b.size()) - 1;
    }
    int radio(std::string_view, std::string_view, const std::vector<std::string>&, int) override { return 1; }
    std::optional<std::string> input_text(std::string_view, std::string_view, std::string_view) override {
        return std::string();
    }
    bool explanation(std::string_view, const std::vector<std::string>&) override { return true; }
    std::string save_file(std::string_view, const std::vector<FileFilter>&, std::string_view) override {
        return "";
    }
};

// Presses the default answer of every dialog that opens.
void answer_dialogs() {
    auto* t = new QTimer(qApp);
    t->setInterval(0);
    QObject::connect(t, &QTimer::timeout, [] {
        QWidget* w = QApplication::activeModalWidget();
        if (w == nullptr || !w->isVisible()) return;
        if (auto* m = qobject_cast<QMessageBox*>(w)) {
            m->buttons().back()->click();
            return;
        }
        for (auto* b : w->findChildren<QPushButton*>())
            if (b->isDefault()) return b->click();
        if (auto* d = qobject_cast<QDialog*>(w)) d->accept();
    });
    t->start();
}

template <class F>
double seconds(F f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 10000;
    CommandRegistry r;
    install_handlers(r);

    FILE* null = std::fopen("/dev/null", "w");
    double terminal = 1e9;
    for (int k = 0; k < 3; ++k) {
        TerminalPort ui;
        ui.on_output = [null](std::string_view t) { std::fwrite(t.data(), 1, t.size(), null); };
        Session s(ui);
        generate(s, n);
        terminal = std::min(terminal, seconds([&] { wnioskowanie_w_przod(s); }));
    }

    double port = 1e9;
    for (int k = 0; k < 3; ++k) {
        QuickQtUi ui;
        Session s(ui);
        TaskWindow w(s, r);
        ui.attach(&w);
        w.start();
        w.show();
        w.close_intro();
        generate(s, n);
        port = std::min(port, seconds([&] {
                            wnioskowanie_w_przod(s);
                            QApplication::processEvents();
                        }));
    }

    answer_dialogs();
    QtUi ui;
    Session s(ui);
    TaskWindow w(s, r);
    ui.attach(&w);
    w.start();
    w.show();
    w.close_intro();
    generate(s, n);
    const double dialogs = seconds([&] { wnioskowanie_w_przod(s); });
    const auto shown = s.inference.wypadkowa_prbd.count();

    std::printf("%d silent rules, %zu resultants\n", n, static_cast<size_t>(shown));
    std::printf("terminal (answer-script port)   %8.4f s\n", terminal);
    std::printf("desktop port, helper window     %8.4f s   %.2f x terminal\n", port, port / terminal);
    std::printf("desktop, every dialog shown     %8.4f s   %.2f x terminal (%.3f ms a dialog)\n", dialogs,
                dialogs / terminal, 1000.0 * dialogs / static_cast<double>(shown));
    return 0;
}
