// The helper window: a read-only text window that shows what operations write and keeps
// only its last lines (its capacity). Writes are gathered and shown in blocks.
#pragma once
#include <QPlainTextEdit>
#include <string>
#include <string_view>

namespace zuva {

class HelperWindow : public QPlainTextEdit {
    Q_OBJECT
  public:
    HelperWindow(int capacity, QWidget* parent = nullptr);

    int capacity() const { return capacity_; }
    // Appends text; it is shown at the next flush (the event loop, a dialog or a read).
    void write(std::string_view text);
    void clear_text();
    // Shows what was written so far.
    void flush();
    // The complete lines now kept (at most the capacity), and the unfinished last line.
    QStringList lines();

  private:
    void trim_pending();

    int capacity_;
    std::string pending_;
    bool replace_ = false;  // pending_ alone fills the window
    bool scheduled_ = false;
};

}  // namespace zuva
