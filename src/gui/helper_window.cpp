// Writes of a long operation arrive in many small pieces while no event is handled; they
// are kept as bytes and cut to the window's capacity before Qt sees them, so the window
// costs the same whatever an operation writes.
#include "gui/helper_window.h"

#include <QFontDatabase>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>

#include "text/i18n.h"

namespace zuva {

HelperWindow::HelperWindow(int capacity, QWidget* parent)
    : QPlainTextEdit(parent), capacity_(capacity > 0 ? capacity : 100) {
    setObjectName("okno_pomocnicze");
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // One block more than the capacity: the empty block after the last line end.
    setMaximumBlockCount(capacity_ + 1);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setWindowTitle(zuva::tr("Okno pomocnicze"));
}

void HelperWindow::write(std::string_view text) {
    if (text.empty()) return;
    pending_.append(text);
    if (pending_.size() > 64 * 1024) trim_pending();
    if (!scheduled_) {
        scheduled_ = true;
        QTimer::singleShot(0, this, &HelperWindow::flush);
    }
}

// Keeps only the last `capacity_` line ends of the pending text and what follows them;
// when something was cut, the pending text replaces the window's content.
void HelperWindow::trim_pending() {
    int ends = 0;
    for (size_t i = pending_.size(); i-- > 0;) {
        if (pending_[i] != '\n') continue;
        if (++ends > capacity_) {
            pending_.erase(0, i + 1);
            replace_ = true;
            return;
        }
    }
}

void HelperWindow::clear_text() {
    pending_.clear();
    replace_ = false;
    clear();
}

void HelperWindow::flush() {
    scheduled_ = false;
    if (pending_.empty()) return;
    trim_pending();
    const QString text = QString::fromUtf8(pending_.data(), static_cast<qsizetype>(pending_.size()));
    pending_.clear();
    if (replace_) {
        setPlainText(text);
        replace_ = false;
    } else {
        QTextCursor c(document());
        c.movePosition(QTextCursor::End);
        c.insertText(text);
    }
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

QStringList HelperWindow::lines() {
    flush();
    QStringList out;
    for (QTextBlock b = document()->firstBlock(); b.isValid(); b = b.next())
        out << b.text();
    if (!out.isEmpty() && out.back().isEmpty()) out.pop_back();
    return out;
}

}  // namespace zuva
