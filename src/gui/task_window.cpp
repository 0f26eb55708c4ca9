// The task window. A command runs to completion inside the slot of its menu action; its
// modal dialogs run their own event loops. The confirmed end of the program arrives as
// ProgramExit and is caught here, never inside Qt.
#include "gui/task_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <iterator>

#include "gui/child_windows.h"
#include "gui/helper_window.h"
#include "session/enabling.h"
#include "session/session.h"
#include "shell/commands.h"
#include "shell/shell.h"
#include "text/i18n.h"
#include "ui/ui.h"

namespace zuva {
namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The toolbar: the commands reached for most, with a short label and the menu text as tooltip.
struct Tool {
    int id;
    const char* label;
    QStyle::StandardPixmap icon;
    const char* shortcut;
};
const Tool kTools[] = {
    {10064, N_("Reguły"), QStyle::SP_DialogOpenButton, "Ctrl+R"},
    {10077, N_("Modele"), QStyle::SP_DialogOpenButton, "Ctrl+M"},
    {10093, N_("Ogr. dokładne"), QStyle::SP_DialogOpenButton, ""},
    {10103, N_("Ogr. niepewne"), QStyle::SP_DialogOpenButton, ""},
    {10113, N_("Rady"), QStyle::SP_DialogOpenButton, ""},
    {10124, N_("Grafika"), QStyle::SP_DialogOpenButton, ""},
    {10134, N_("Dźwięki"), QStyle::SP_DialogOpenButton, ""},
    {10164, N_("W przód"), QStyle::SP_MediaSeekForward, "F5"},
    {10165, N_("Wstecz"), QStyle::SP_MediaSeekBackward, "F6"},
    {10151, N_("Raport"), QStyle::SP_FileDialogContentsView, "Ctrl+O"},
    {10167, N_("Okno pomocnicze"), QStyle::SP_FileDialogNewFolder, "Ctrl+H"},
};

// A menu title with a shortcut letter that its siblings do not use: the first free
// initial of its words, else its first free letter.
QString with_mnemonic(const QString& title, QString& used) {
    std::vector<int> order;
    for (int i = 0; i < title.size(); ++i)
        if (title[i].isLetter() && (i == 0 || title[i - 1] == ' ')) order.push_back(i);
    for (int i = 0; i < title.size(); ++i)
        if (title[i].isLetter()) order.push_back(i);
    for (int i : order) {
        QChar c = title[i].toLower();
        if (used.contains(c)) continue;
        used += c;
        QString t = title;
        t.insert(i, '&');
        return t;
    }
    return title;
}

}  // namespace

TaskWindow::TaskWindow(Session& s, const CommandRegistry& r) : s_(s), r_(r) {
    setObjectName("task_win");
    area_ = new QMdiArea(this);
    area_->setObjectName("mdi");
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->installEventFilter(this);
    setCentralWidget(area_);
    build_menu();
    build_toolbar();
    QSize want(1280, 820);
    if (QScreen* sc = QGuiApplication::primaryScreen())
        want = want.boundedTo(sc->availableGeometry().size() * 0.95);
    resize(want);
}

void TaskWindow::build_menu() {
    std::function<void(QMenu*, const MenuNode&)> fill = [&](QMenu* menu, const MenuNode& node) {
        QString used;
        for (const auto& ch : node.children)
            if (ch.is_command()) {
                int amp = qs(zuva::tr(ch.title)).indexOf('&');
                if (amp >= 0 && amp + 1 < qs(zuva::tr(ch.title)).size())
                    used += qs(zuva::tr(ch.title))[amp + 1].toLower();
            }
        for (const auto& ch : node.children) {
            if (!ch.is_command()) {
                fill(menu->addMenu(with_mnemonic(qs(zuva::tr(ch.title)), used)), ch);
                continue;
            }
            QAction* a = menu->addAction(qs(zuva::tr(ch.title)));
            a->setData(ch.id);
            a->setEnabled(false);
            const int id = ch.id;
            connect(a, &QAction::triggered, this, [this, id] { run_command(id); });
            if (id == cmd::pomoc) a->setShortcut(QKeySequence(Qt::Key_F1));
            menu_actions_[id] = a;
        }
    };
    QString used;
    QMenu* first = nullptr;
    for (const auto& top : main_menu()) {
        QMenu* m = menuBar()->addMenu(with_mnemonic(qs(zuva::tr(top.title)), used));
        if (first == nullptr) first = m;
        fill(m, top);
    }
    // Narrow items, so that every menu is in the bar of a 1280-pixel screen (fit_menu_bar
    // makes the letters smaller where even that is not enough).
    menuBar()->setStyleSheet("QMenuBar { spacing: 1px; } QMenuBar::item { padding: 3px 4px; }");
    menu_font_ = menuBar()->font();
    // The end of the program, as closing the task window: the question comes first.
    if (first != nullptr) {
        first->addSeparator()->setObjectName("przed_zakonczeniem");
        QAction* quit = first->addAction(zuva::tr("Zakończ program"));
        quit->setObjectName("zakonczenie_programu");
        quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
        quit->setShortcutContext(Qt::ApplicationShortcut);
        connect(quit, &QAction::triggered, this, [this] {
            if (!busy_) close();
        });
    }
}

// The status bar names the loaded bases.
void TaskWindow::show_loaded_bases() {
    if (bases_ == nullptr) {
        bases_ = new QLabel(this);
        bases_->setObjectName("zaladowane_bazy");
        statusBar()->addPermanentWidget(bases_, 1);
    }
    const KnowledgeBase& kb = s_.kb;
    const std::pair<const char*, const BaseName*> kinds[] = {
        {N_("Reguły"), &kb.nazwa_re},        {N_("Modele"), &kb.nazwa_mo},
        {N_("Ogr. dokładne"), &kb.nazwa_og}, {N_("Ogr. niepewne"), &kb.nazwa_op},
        {N_("Rady"), &kb.nazwa_ra},          {N_("Grafika"), &kb.nazwa_gr},
        {N_("Dźwięki"), &kb.nazwa_me},       {N_("Teksty"), &kb.nazwa_te}};
    QStringList parts;
    for (const auto& [label, name] : kinds)
        if (name->loaded()) parts << QString(zuva::tr(label)) + ": " + qs(name->name());
    bases_->setText(parts.isEmpty() ? QString(zuva::tr("Nie załadowano żadnej bazy")) : parts.join("   "));
}

void TaskWindow::build_toolbar() {
    toolbar_ = addToolBar(zuva::tr("Pasek narzędzi"));
    toolbar_->setObjectName("pasek_narzedzi");
    toolbar_->setMovable(false);
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    for (const auto& t : kTools) {
        const CommandInfo* c = find_command(t.id);
        QAction* a = toolbar_->addAction(style()->standardIcon(t.icon), zuva::tr(t.label));
        a->setToolTip(qs(menu_label(zuva::tr(c->text))));
        a->setStatusTip(qs(menu_label(zuva::tr(c->text))));
        a->setData(t.id);
        a->setEnabled(false);
        if (*t.shortcut) a->setShortcut(QKeySequence(t.shortcut));
        const int id = t.id;
        connect(a, &QAction::triggered, this, [this, id] { run_command(id); });
        tool_actions_.emplace_back(t.id, a);
    }
}

QAction* TaskWindow::action(int id) const {
    auto it = menu_actions_.find(id);
    return it == menu_actions_.end() ? nullptr : it->second;
}

void TaskWindow::start() {
    start_program(s_);
    auto* view = new IntroView;
    intro_ = add_child(view, "zuva_EN", QSize(640, 400));
    intro_->setObjectName("win_wstep");
    intro_->on_close_request = [this] {
        zuva::close_intro(s_);
        refresh_commands();
        return true;
    };
    connect(view, &IntroView::close_wanted, intro_, &QMdiSubWindow::close);
    view->setFocus();
    // The picture fills most of the area once the task window has its size.
    QTimer::singleShot(0, this, [this] {
        if (!intro_) return;
        QRect a = area_->viewport()->rect();
        intro_->setGeometry(a.adjusted(a.width() / 10, a.height() / 12, -a.width() / 10, -a.height() / 12));
    });
    refresh_commands();
}

bool TaskWindow::intro_open() const {
    return s_.shell.intro_open;
}

void TaskWindow::close_intro() {
    if (intro_) intro_->close();
}

bool TaskWindow::run_command(int id) {
    if (busy_ || ended_ || !command_available(s_, r_, id)) return false;
    busy_ = true;
    try {
        dispatch_command(s_, r_, id);
    } catch (const ProgramExit&) {
        busy_ = false;
        end_program();
        return true;
    }
    busy_ = false;
    if (helper_) helper_->flush();
    refresh_commands();
    static constexpr int loads[] = {cmd::ladowanie_bazy_regul, cmd::ladowanie_bazy_modeli,
                                    cmd::ladowanie_bazy_ograniczen, cmd::ladowanie_bazy_ograniczen_n};
    if (std::find(std::begin(loads), std::end(loads), id) != std::end(loads)) emit bases_loaded();
    return true;
}

void TaskWindow::refresh_commands() {
    refresh_scheduled_ = false;
    for (auto& [id, a] : menu_actions_)
        a->setEnabled(!busy_ && command_available(s_, r_, id));
    for (auto& [id, a] : tool_actions_)
        a->setEnabled(!busy_ && command_available(s_, r_, id));
    show_loaded_bases();
}

void TaskWindow::schedule_refresh() {
    if (refresh_scheduled_) return;
    refresh_scheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        if (refresh_scheduled_ && !busy_) refresh_commands();
        refresh_scheduled_ = false;
    });
}

HelperWindow* TaskWindow::helper() const {
    return helper_;
}

TaskWindow::~TaskWindow() {
    ended_ = true;
    std::vector<QPointer<QMdiSubWindow>> windows;
    for (QMdiSubWindow* w : area_->subWindowList())
        windows.emplace_back(w);
    for (const auto& w : windows)
        delete w.data();  // a hook may have taken another window with it: QPointer is then null
}

void TaskWindow::recreate_helper(int capacity) {
    if (ended_) return;  // no new window while the program ends
    if (helper_frame_) {
        helper_frame_->on_closed = nullptr;
        helper_frame_->close();
    }
    helper_ = new HelperWindow(capacity);
    auto* frame = new ChildWindow;
    frame->setObjectName("okno_pomocnicze_ramka");
    frame->setWidget(helper_);
    frame->setWindowTitle(zuva::tr("Okno pomocnicze"));
    frame->on_closed = [this, h = helper_] {
        if (helper_ == h) helper_ = nullptr;
    };
    area_->addSubWindow(frame);
    helper_frame_ = frame;
    place_helper();
    frame->show();
}

// The helper window takes the lower part of the area, across its whole width.
void TaskWindow::place_helper() {
    if (!helper_frame_) return;
    QSize a = area_->viewport()->size();
    int h = std::max(120, a.height() * 2 / 5);
    helper_frame_->setGeometry(0, std::max(0, a.height() - h), a.width(), h);
}

ChildWindow* TaskWindow::add_child(QWidget* content, const QString& title, QSize size) {
    auto* frame = new ChildWindow;
    frame->setWidget(content);
    frame->setWindowTitle(title);
    area_->addSubWindow(frame);
    QSize a = area_->viewport()->size();
    // An empty size: the window fits its content (a picture at its own size) with the
    // frame's border and title bar around it.
    if (!size.isValid()) {
        const int border = frame->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, frame);
        const int title = frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frame);
        size = content->sizeHint().expandedTo(QSize(160, 60)) + QSize(2 * border, title + 2 * border);
    }
    QSize sz = size.boundedTo(QSize(std::max(200, a.width() - 20), std::max(150, a.height() - 20)));
    int step = 24 * (children_placed_++ % 8);
    frame->setGeometry(10 + step, 10 + step, sz.width(), sz.height());
    frame->show();
    frame->raise();
    area_->setActiveSubWindow(frame);
    return frame;
}

// Every menu stays in the bar: when the bar is too narrow for them, its letters get smaller
// (down to 7 points) rather than some menus hiding behind the bar's "more" button.
void TaskWindow::fit_menu_bar() {
    QMenuBar* bar = menuBar();
    QFont f = menu_font_;
    bar->setFont(f);
    if (f.pointSizeF() <= 0) return;  // a font sized in pixels is left as it is
    const int width = bar->width() > 0 ? bar->width() : this->width();
    while (bar->sizeHint().width() > width && f.pointSizeF() > 7.0) {
        f.setPointSizeF(f.pointSizeF() - 0.5);
        bar->setFont(f);
    }
}

void TaskWindow::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    fit_menu_bar();
}

bool TaskWindow::eventFilter(QObject* o, QEvent* e) {
    if (o == area_ && e->type() == QEvent::Resize) QTimer::singleShot(0, this, [this] { place_helper(); });
    return QMainWindow::eventFilter(o, e);
}

void TaskWindow::end_program() {
    ended_ = true;
    area_->closeAllSubWindows();
    close();
    emit program_ended();
}

void TaskWindow::closeEvent(QCloseEvent* e) {
    if (ended_) {
        e->accept();
        return;
    }
    if (busy_) {
        e->ignore();
        return;
    }
    try {
        close_request(s_);
    } catch (const ProgramExit&) {
        ended_ = true;
        area_->closeAllSubWindows();
        e->accept();
        emit program_ended();
        return;
    }
    e->ignore();
}

}  // namespace zuva
