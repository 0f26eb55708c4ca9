// The help window: the HTML user guide in a text browser of the program itself, so help
// works where no document opener is installed. Links within the guide are followed in the
// window; links to the web go to the system's browser.
#include <QFileInfo>
#include <QMdiArea>
#include <QTextBrowser>
#include <QUrl>

#include "gui/child_windows.h"
#include "gui/qt_ui.h"
#include "gui/task_window.h"
#include "text/i18n.h"

namespace zuva {

void QtUi::show_help(const QString& path) {
    if (window_ == nullptr) return;
    const QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (help_) {
        if (auto* view = help_->findChild<QTextBrowser*>("win_pomoc")) view->setSource(url);
        help_->showNormal();
        window_->area()->setActiveSubWindow(help_);
        return;
    }
    auto* view = new QTextBrowser;
    view->setObjectName("win_pomoc");
    view->setOpenExternalLinks(true);
    view->setSource(url);
    help_ = window_->add_child(view, zuva::tr("Pomoc: ") + QFileInfo(path).fileName(), QSize(860, 620));
}

}  // namespace zuva
