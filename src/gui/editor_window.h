// The editor child window on a text file: its edit menu (undo, redo, cut, copy, paste,
// delete, save as, save) and the close question; the file itself is read and written by
// the shell's editor operations.
#pragma once
#include <QWidget>
#include <functional>
#include <string>

class QPlainTextEdit;
class QMenuBar;

namespace zuva {

class EditorWindow : public QWidget {
    Q_OBJECT
  public:
    EditorWindow(const QString& text, bool wrap, QWidget* parent = nullptr);
    QPlainTextEdit* edit() const { return edit_; }
    QMenuBar* menu() const { return menu_; }
    QAction* command(int id) const;
    std::string text_utf8() const;

    // "Zapisz" and "Zapisz jako"; true when the file was written (the window then closes).
    std::function<bool()> on_save;
    std::function<bool()> on_save_as;

  signals:
    void close_wanted();

  private:
    QPlainTextEdit* edit_;
    QMenuBar* menu_;
};

}  // namespace zuva
