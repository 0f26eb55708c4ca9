// The editing commands act on this window's text; the menu carries the ids 10054-10061.
#include "gui/editor_window.h"

#include <QAction>
#include <QFontDatabase>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "text/i18n.h"

namespace zuva {

EditorWindow::EditorWindow(const QString& text, bool wrap, QWidget* parent) : QWidget(parent) {
    setObjectName("win_edycja");
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    menu_ = new QMenuBar(this);
    lay->setMenuBar(menu_);
    edit_ = new QPlainTextEdit(this);
    edit_->setObjectName("tekst");
    edit_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    edit_->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    edit_->setPlainText(text);
    edit_->document()->setModified(false);
    edit_->moveCursor(QTextCursor::Start);
    lay->addWidget(edit_);

    QMenu* m = menu_->addMenu(zuva::tr("&Edycja"));
    struct Item {
        int id;
        const char* text;
        QKeySequence keys;
        std::function<void()> run;
    };
    const Item items[] = {
        {10054, zuva::tr("Cofnij"), QKeySequence::Undo, [this] { edit_->undo(); }},
        {10055, zuva::tr("Ponów"), QKeySequence::Redo, [this] { edit_->redo(); }},
        {10056, zuva::tr("Wytnij"), QKeySequence::Cut, [this] { edit_->cut(); }},
        {10057, zuva::tr("Kopiuj"), QKeySequence::Copy, [this] { edit_->copy(); }},
        {10058, zuva::tr("Wklej"), QKeySequence::Paste, [this] { edit_->paste(); }},
        {10059, zuva::tr("Usuń"), QKeySequence::Delete, [this] { edit_->textCursor().removeSelectedText(); }},
        {10060, zuva::tr("Zapisz jako"), QKeySequence::SaveAs,
         [this] {
             if (on_save_as && on_save_as()) emit close_wanted();
         }},
        {10061, zuva::tr("Zapisz"), QKeySequence::Save,
         [this] {
             if (on_save && on_save()) emit close_wanted();
         }},
    };
    for (const auto& it : items) {
        if (it.id == 10060) m->addSeparator();
        QAction* a = m->addAction(it.text);
        a->setData(it.id);
        // The text field handles its own editing keys; only the saving keys belong to the window.
        if (it.id >= 10060) {
            a->setShortcut(it.keys);
            a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            addAction(a);
        }
        connect(a, &QAction::triggered, this, it.run);
    }
}

QAction* EditorWindow::command(int id) const {
    for (QAction* a : menu_->actions().front()->menu()->actions())
        if (a->data().toInt() == id) return a;
    return nullptr;
}

std::string EditorWindow::text_utf8() const {
    return edit_->toPlainText().toUtf8().toStdString();
}

}  // namespace zuva
