// The desktop program over a copy of the sample knowledge base, as the Qt tests drive it,
// and the usual answers to its dialogs.
#pragma once
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "dialog_driver.h"
#include "gui/helper_window.h"
#include "gui/qt_ui.h"
#include "gui/task_window.h"
#include "session/session.h"
#include "shell/commands.h"
#include "shell/handlers.h"
#include "shell/shell.h"

namespace zuva_test {

using namespace zuva;

inline QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// One desktop program over a copy of the sample knowledge base.
struct Program {
    QTemporaryDir dir;
    QtUi ui;
    Session s{ui};
    CommandRegistry r;
    std::unique_ptr<TaskWindow> w;

    Program() {
        namespace fs = std::filesystem;
        fs::copy(ZUVA_EXAMPLES, dir.path().toStdString(), fs::copy_options::recursive);
        s.current_dir = (fs::path(dir.path().toStdString()) / "BAZY").string();
        install_handlers(r);
        prepare_session(s);
        w = std::make_unique<TaskWindow>(s, r);
        ui.attach(w.get());
        w->start();
        w->show();
    }
    QString bases() const { return dir.path() + "/BAZY/"; }
    void open() { w->close_intro(); }
    // Loads the sample rule base, declining the three load-time questions.
    void load_rules(DialogDriver& d) {
        d.file(bases() + "REAUTO.BEN");
        d.click("OK");
        d.click("&Nie");
        d.click("&Nie");
        d.click("&Nie");
        d.click("OK");  // what to do with a tautology
        QVERIFY(w->run_command(cmd::ladowanie_bazy_regul));
    }
    QStringList helper_lines() { return w->helper() ? w->helper()->lines() : QStringList(); }
};

// The usual answer to any dialog: OK, the last button of a question, a CF of 0.5.
inline void usual_answer(QWidget* w) {
    const QString kind = w->objectName();
    if (kind == "dlg_komunikat") return DialogDriver::press(w, "OK");
    if (kind == "dlg_start_wnioskowania") return DialogDriver::press(w, "&Kontynuuj");
    if (kind == "dlg_wartosc") {
        auto* e = w->findChild<QLineEdit*>("wartosc");
        QTest::keyClicks(e, "0.5");
        return DialogDriver::press(w, "&OK");
    }
    if (kind == "dlg_pytanie") {
        auto buttons = static_cast<QMessageBox*>(w)->buttons();
        QTest::mouseClick(buttons.back(), Qt::LeftButton);
        return;
    }
    if (kind == "dlg_radio" || kind == "dlg_czytanie") return DialogDriver::press(w, "&OK");
    if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
}

inline bool seen_with(const DialogDriver& d, const QString& title, const QString& text) {
    for (const auto& s : d.seen())
        if (s.title == title && s.text.contains(text)) return true;
    return false;
}

}  // namespace zuva_test
