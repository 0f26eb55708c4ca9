// The desktop program: the Qt port and the task window wired to one Session.
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gui/qt_ui.h"
#include "gui/task_window.h"
#include "kb/sibling_bases.h"
#include "session/session.h"
#include "shell/base_group.h"
#include "shell/handlers.h"
#include "testing/record_case.h"
#include "text/i18n.h"

namespace {

const char* kUsage = N_(
    "Użycie:\n"
    "  zuva-gui                 program okienkowy (okno zadań z menu, paskiem narzędzi i oknem pomocniczym)\n"
    "  zuva-gui PLIK            ładuje bazę reguł bazy wiedzy PLIKU i jej pozostałe bazy obok niej\n"
    "  zuva-gui --version       wersja programu\n"
    "  zuva-gui --quit-at-idle  uruchamia program, wypisuje czas do bezczynnego okna i kończy pracę\n"
    "Program tekstowy: zuva.\n");

// Started on a file (a double click on a base): each load's file dialog is answered with
// the file given here; all other dialogs are the user's.
class OpeningUi : public zuva::QtUi {
  public:
    std::string preset;
    std::string open_file(std::string_view mask, const std::vector<zuva::FileFilter>& filters,
                          std::string_view title) override {
        if (preset.empty()) return QtUi::open_file(mask, filters, title);
        return std::exchange(preset, std::string());
    }
};

// The rule base of the file's knowledge base is loaded as its menu command loads it, then
// the other bases of the same distinguishing name beside it.
void open_knowledge_base(zuva::TaskWindow& w, OpeningUi& ui, const std::string& file) {
    w.close_intro();
    std::string rules = file;
    if (auto r = zuva::sibling_base(file, zuva::BaseKind::Rules)) rules = *r;
    ui.preset = rules;
    w.run_command(10064);
    ui.preset.clear();
    if (!w.session().kb.nazwa_re.loaded()) return;
    for (const auto& [command, kind] : zuva::kSiblingLoads)
        if (auto sibling = zuva::sibling_base(rules, kind)) {
            ui.preset = *sibling;
            w.run_command(command);
            ui.preset.clear();
        }
}

}  // namespace

int main(int argc, char** argv) {
    // The texts in the language of the environment (LANGUAGE, LC_ALL, LC_MESSAGES, LANG).
    zuva::use_environment_language();
    QElapsedTimer clock;
    clock.start();
    bool quit_at_idle = false;
    std::string file;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(zuva::tr(kUsage), stdout);
            return 0;
        }
        if (a == "--version") {
            std::printf("zuva-gui %s\n", ZUVA_VERSION);
            return 0;
        }
        if (a == "--quit-at-idle") {
            quit_at_idle = true;
            continue;
        }
        if (a == "-platform" && i + 1 < argc) {
            ++i;
            continue;
        }
        if (a.rfind("-", 0) == 0 && a.rfind("-platform", 0) != 0) {
            std::fprintf(stderr, zuva::tr("zuva-gui: nieznany argument '%s'\n%s"), a.c_str(),
                         zuva::tr(kUsage));
            return 1;
        }
        if (!file.empty()) {
            std::fprintf(stderr, zuva::tr("zuva-gui: tylko jeden plik bazy '%s'\n%s"), a.c_str(),
                         zuva::tr(kUsage));
            return 1;
        }
        file = std::filesystem::absolute(a).lexically_normal().string();
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("zuva_EN");
    // Qt's own texts (standard buttons and dialogs) in Polish unless the program runs in English.
    QTranslator qt_pl;
    if (zuva::current_language() == zuva::Language::polish &&
        qt_pl.load(QLocale(QLocale::Polish), "qtbase", "_",
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qt_pl);

    OpeningUi ui;
    zuva::Session s(ui);
    if (const char* owner = std::getenv("ZUVA_OWNER"); owner != nullptr && *owner != '\0')
        s.shell.owner = owner;
    else if (const char* user = std::getenv("USER"); user != nullptr)
        s.shell.owner = user;
    // The user guide beside the program: docs/ next to it (the build directory), in an
    // installation's share/doc/zuva, or the source tree's docs/ one level up.
    // The English guide first when the program runs in English.
    const QString dir = QCoreApplication::applicationDirPath();
    QStringList guides = {"pomoc.html"};
    if (zuva::current_language() == zuva::Language::english) guides.prepend("help-en.html");
    for (const QString& guide : guides) {
        for (const QString& g :
             {dir + "/docs/" + guide, dir + "/../share/doc/zuva/" + guide, dir + "/../docs/" + guide})
            if (QFileInfo(g).isFile()) {
                s.shell.user_guide = QFileInfo(g).canonicalFilePath().toStdString();
                break;
            }
        if (!s.shell.user_guide.empty()) break;
    }
    s.shell.keep_case = zuva::testing::keep_case;
    s.shell.keep_log = zuva::testing::keep_log;
    zuva::CommandRegistry r;
    zuva::install_handlers(r);
    zuva::prepare_session(s);
    zuva::TaskWindow w(s, r);
    ui.attach(&w);
    QObject::connect(&w, &zuva::TaskWindow::program_ended, &app, &QApplication::quit, Qt::QueuedConnection);
    w.start();
    w.show();
    if (!file.empty()) QTimer::singleShot(0, &w, [&] { open_knowledge_base(w, ui, file); });
    if (quit_at_idle)
        QTimer::singleShot(0, &app, [&] {
            std::printf("zuva-gui: okno gotowe po %.3f s\n", static_cast<double>(clock.nsecsElapsed()) / 1e9);
            std::fflush(stdout);
            QApplication::exit(0);
        });
    return app.exec();
}
