// The task window: the main menu built from the shell's command table, the toolbar, the
// multiple-document area with the introductory window, the helper window and the child
// windows, and the close question. Every command goes to the shell's dispatch.
#pragma once
#include <QFont>
#include <QMainWindow>
#include <QPointer>
#include <map>
#include <vector>

#include "session/command_registry.h"

class QMdiArea;
class QMdiSubWindow;
class QLabel;
class QToolBar;

namespace zuva {

struct Session;
class ChildWindow;
class HelperWindow;

class TaskWindow : public QMainWindow {
    Q_OBJECT
  public:
    TaskWindow(Session& s, const CommandRegistry& r);
    // The child windows go first, as at the end of the program, while their closing hooks
    // still find a whole task window that says it has ended.
    ~TaskWindow() override;

    Session& session() { return s_; }
    // Program start: the long title and the introductory window; nothing is enabled.
    void start();
    bool intro_open() const;
    // The introductory window's close request: the starting commands, the helper window.
    void close_intro();

    // Runs a main-menu command as if chosen; false when it is not available now.
    bool run_command(int id);
    bool busy() const { return busy_; }
    // Menu and toolbar enabling after the shell's state.
    void refresh_commands();
    void schedule_refresh();

    QMdiArea* area() const { return area_; }
    QToolBar* toolbar() const { return toolbar_; }
    // The menu action of a command (nullptr for an id that is not in the menu).
    QAction* action(int id) const;
    HelperWindow* helper() const;
    void recreate_helper(int capacity);
    // Adds a child window with the given content; it is shown at once.
    ChildWindow* add_child(QWidget* content, const QString& title, QSize size);

    // Ends the program without another question (the user already confirmed).
    void end_program();
    bool ended() const { return ended_; }

  signals:
    // The user confirmed the end of the program.
    void program_ended();
    // A command that loads a base (of any kind) has run.
    void bases_loaded();

  protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    void build_menu();
    void build_toolbar();
    void place_helper();
    void show_loaded_bases();
    void fit_menu_bar();

    Session& s_;
    const CommandRegistry& r_;
    QMdiArea* area_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    QLabel* bases_ = nullptr;  // the status bar's list of loaded bases
    QFont menu_font_;          // the menu bar's own font, before fit_menu_bar
    std::map<int, QAction*> menu_actions_;
    std::vector<std::pair<int, QAction*>> tool_actions_;
    QPointer<ChildWindow> intro_;
    QPointer<ChildWindow> helper_frame_;
    HelperWindow* helper_ = nullptr;
    bool busy_ = false;
    bool ended_ = false;
    bool refresh_scheduled_ = false;
    int children_placed_ = 0;
};

}  // namespace zuva
