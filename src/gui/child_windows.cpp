// The child windows of the multiple-document area.
#include "gui/child_windows.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

#include "text/i18n.h"

namespace zuva {

ChildWindow::ChildWindow(QWidget* parent) : QMdiSubWindow(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
}

ChildWindow::~ChildWindow() {
    closed();
}

void ChildWindow::closed() {
    if (closed_) return;
    closed_ = true;
    if (on_closed) on_closed();
}

void ChildWindow::closeEvent(QCloseEvent* e) {
    if (on_close_request && !on_close_request()) {
        e->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(e);
    if (e->isAccepted()) closed();
}

PictureView::PictureView(QPixmap picture, QWidget* parent) : QWidget(parent), picture_(std::move(picture)) {
    setMinimumSize(32, 32);
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    if (picture_.isNull()) return;
    QSize s = picture_.size().scaled(size(), Qt::KeepAspectRatio);
    QRect target(QPoint((width() - s.width()) / 2, (height() - s.height()) / 2), s);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(target, picture_);
}

IntroView::IntroView(QWidget* parent) : PictureView(QPixmap(":/zuva/wstep.png"), parent) {
    setObjectName("win_wstep");
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

CloseHelpRow make_close_help_row(QWidget* parent) {
    CloseHelpRow row{new QHBoxLayout, new QPushButton(zuva::tr("&Zamknij"), parent),
                     new QPushButton(zuva::tr("&Pomoc"), parent)};
    row.layout->addStretch(1);
    row.layout->addWidget(row.close);
    row.layout->addWidget(row.help);
    return row;
}

QPlainTextEdit* make_text_view(const QString& text, bool wrap, QWidget* parent) {
    auto* v = new QPlainTextEdit(parent);
    v->setReadOnly(true);
    v->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    v->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    v->setPlainText(text);
    v->moveCursor(QTextCursor::Start);
    return v;
}

}  // namespace zuva
