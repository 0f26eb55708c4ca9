// Child windows of the task window's multiple-document area: the frame with its close
// hook, the introductory picture, the text browse window, the list browse window and the
// picture window.
#pragma once
#include <QMdiSubWindow>
#include <QPixmap>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QHBoxLayout;
class QPushButton;

class QPlainTextEdit;

namespace zuva {

// A child window whose close request and destruction the task window hears of.
class ChildWindow : public QMdiSubWindow {
    Q_OBJECT
  public:
    explicit ChildWindow(QWidget* parent = nullptr);
    ~ChildWindow() override;
    // Asked on a close request; false keeps the window open.
    std::function<bool()> on_close_request;
    // Called once when the window goes away.
    std::function<void()> on_closed;

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    void closed();
    bool closed_ = false;
};

// Draws a picture scaled to the widget, keeping its proportions.
class PictureView : public QWidget {
    Q_OBJECT
  public:
    explicit PictureView(QPixmap picture, QWidget* parent = nullptr);
    const QPixmap& picture() const { return picture_; }
    QSize sizeHint() const override { return picture_.size(); }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    QPixmap picture_;
};

// The introductory picture; a click or a key closes it like its close button.
class IntroView : public PictureView {
    Q_OBJECT
  public:
    explicit IntroView(QWidget* parent = nullptr);
  signals:
    void close_wanted();

  protected:
    void mousePressEvent(QMouseEvent*) override { emit close_wanted(); }
    void keyPressEvent(QKeyEvent*) override { emit close_wanted(); }
};

// The button row of the record windows: "&Zamknij" and "&Pomoc" at the right.
struct CloseHelpRow {
    QHBoxLayout* layout;
    QPushButton* close;
    QPushButton* help;
};
CloseHelpRow make_close_help_row(QWidget* parent);

// A read-only text window with the caret at the start of the text.
QPlainTextEdit* make_text_view(const QString& text, bool wrap, QWidget* parent = nullptr);

}  // namespace zuva
