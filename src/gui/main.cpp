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
#include <string>

#include "gui/qt_ui.h"
#include "gui/task_window.h"
#include "session/session.h"
#include "shell/handlers.h"

namespace {

const char* kUsage =
    "Użycie:\n"
    "  zuva-gui                 program okienkowy (okno zadań z menu, paskiem narzędzi i oknem pomocniczym)\n"
    "  zuva-gui --quit-at-idle  uruchamia program, wypisuje czas do bezczynnego okna i kończy pracę\n"
    "Program tekstowy: zuva.\n";

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    bool quit_at_idle = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (a == "--quit-at-idle") {
            quit_at_idle = true;
            continue;
        }
        if (a.rfind("-", 0) == 0 && a != "-platform" && a.rfind("-platform", 0) != 0) {
            std::fprintf(stderr, "zuva-gui: nieznany argument '%s'\n%s", a.c_str(), kUsage);
            return 1;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("zuva_EN");
    QTranslator qt_pl;
    if (qt_pl.load(QLocale(QLocale::Polish), "qtbase", "_",
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qt_pl);

    zuva::QtUi ui;
    zuva::Session s(ui);
    if (const char* owner = std::getenv("ZUVA_OWNER"); owner != nullptr && *owner != '\0')
        s.shell.owner = owner;
    else if (const char* user = std::getenv("USER"); user != nullptr)
        s.shell.owner = user;
    // The user guide beside the program: docs/ next to it (the build directory), in an
    // installation's share/doc/zuva, or the source tree's docs/ one level up.
    const QString dir = QCoreApplication::applicationDirPath();
    for (const QString& g :
         {dir + "/docs/pomoc.html", dir + "/../share/doc/zuva/pomoc.html", dir + "/../docs/pomoc.html"})
        if (QFileInfo(g).isFile()) {
            s.shell.user_guide = QFileInfo(g).canonicalFilePath().toStdString();
            break;
        }
    zuva::CommandRegistry r;
    zuva::install_handlers(r);
    zuva::prepare_session(s);
    zuva::TaskWindow w(s, r);
    ui.attach(&w);
    QObject::connect(&w, &zuva::TaskWindow::program_ended, &app, &QApplication::quit, Qt::QueuedConnection);
    w.start();
    w.show();
    if (quit_at_idle)
        QTimer::singleShot(0, &app, [&] {
            std::printf("zuva-gui: okno gotowe po %.3f s\n", static_cast<double>(clock.nsecsElapsed()) / 1e9);
            std::fflush(stdout);
            QApplication::exit(0);
        });
    return app.exec();
}
