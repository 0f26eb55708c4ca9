// Dialog layouts: a text or list above a row of buttons; the first button is the default.
#include "gui/dialogs.h"

#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "text/i18n.h"

namespace zuva {
namespace {

QLabel* text_label(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(false);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QPushButton* add_button(QDialogButtonBox* box, const QString& text, QDialogButtonBox::ButtonRole role) {
    QPushButton* b = box->addButton(text, role);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

void note_box(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(parent);
    box.setObjectName("dlg_komunikat");
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setIcon(QMessageBox::Information);
    QPushButton* ok = box.addButton("OK", QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

int question_box(QWidget* parent, const QString& title, const QString& text, const QStringList& buttons) {
    QMessageBox box(parent);
    box.setObjectName("dlg_pytanie");
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setIcon(QMessageBox::Question);
    std::vector<QAbstractButton*> made;
    // One role for all keeps the buttons in the order given.
    for (const auto& b : buttons)
        made.push_back(box.addButton(b, QMessageBox::ActionRole));
    if (made.empty()) made.push_back(box.addButton("OK", QMessageBox::ActionRole));
    box.setDefaultButton(qobject_cast<QPushButton*>(made.front()));
    box.setEscapeButton(made.back());
    box.exec();
    for (size_t i = 0; i < made.size(); ++i)
        if (box.clickedButton() == made[i]) return static_cast<int>(i);
    return static_cast<int>(made.size()) - 1;
}

int radio_dialog(QWidget* parent, const QString& title, const QString& text, const QStringList& options,
                 int initial) {
    QDialog d(parent);
    d.setObjectName("dlg_radio");
    d.setWindowTitle(title);
    auto* lay = new QVBoxLayout(&d);
    if (!text.isEmpty()) lay->addWidget(text_label(text, &d));
    QButtonGroup group(&d);
    for (int i = 0; i < options.size(); ++i) {
        auto* r = new QRadioButton(options[i], &d);
        group.addButton(r, i + 1);
        lay->addWidget(r);
    }
    int start = initial >= 1 && initial <= options.size() ? initial : 1;
    if (auto* b = group.button(start)) b->setChecked(true);
    auto* box = new QDialogButtonBox(&d);
    QPushButton* ok = add_button(box, "&OK", QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    QObject::connect(box, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    lay->addWidget(box);
    d.exec();
    int chosen = group.checkedId();
    return chosen >= 1 ? chosen : start;
}

std::optional<QString> input_dialog(QWidget* parent, const QString& title, const QString& prompt,
                                    const QString& initial) {
    QDialog d(parent);
    d.setObjectName("dlg_tekst");
    d.setWindowTitle(title);
    auto* lay = new QVBoxLayout(&d);
    lay->addWidget(text_label(prompt, &d));
    auto* edit = new QLineEdit(initial, &d);
    lay->addWidget(edit);
    auto* box = new QDialogButtonBox(&d);
    add_button(box, "&OK", QDialogButtonBox::AcceptRole)->setDefault(true);
    add_button(box, zuva::tr("&Anuluj"), QDialogButtonBox::RejectRole);
    QObject::connect(box, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    lay->addWidget(box);
    d.resize(420, d.sizeHint().height());
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    return edit->text();
}

int end_question_box(QWidget* parent, bool consultation) {
    QMessageBox box(parent);
    box.setObjectName("dlg_pytanie");
    box.setWindowTitle(zuva::tr("Uwaga!"));
    box.setTextFormat(Qt::PlainText);
    box.setText(zuva::tr("Czy na pewno chcesz zakończyć program ?"));
    box.setIcon(QMessageBox::Question);
    QAbstractButton* yes = box.addButton(zuva::tr("&Tak"), QMessageBox::ActionRole);
    QAbstractButton* no = box.addButton(zuva::tr("&Nie"), QMessageBox::ActionRole);
    QAbstractButton* stop = nullptr;
    if (consultation) {
        stop = box.addButton(zuva::tr("Zakończ tylko &konsultację"), QMessageBox::ActionRole);
        box.setInformativeText(
            zuva::tr("Zakończ tylko konsultację: wnioskowanie kończy się jak zwykle "
                     "(wnioski, podsumowanie, rady, raport), a program działa dalej."));
    }
    // Enter and Esc keep the program going: ending it takes a click on "Tak".
    box.setDefaultButton(qobject_cast<QPushButton*>(no));
    box.setEscapeButton(no);
    box.exec();
    if (box.clickedButton() == yes) return 0;
    if (stop != nullptr && box.clickedButton() == stop) return 1;
    return 2;
}

std::optional<QString> value_dialog(QWidget* parent, const QString& dialog, const QString& title,
                                    const QString& name, const std::function<void(QWidget*)>* why,
                                    const QString& reason) {
    QDialog d(parent);
    d.setObjectName("dlg_wartosc");
    d.setWindowTitle(dialog);
    auto* lay = new QVBoxLayout(&d);
    lay->addWidget(text_label(title, &d));
    if (!name.isEmpty()) {
        auto* n = text_label(name, &d);
        n->setObjectName("nazwa");
        QFont f = n->font();
        f.setBold(true);
        n->setFont(f);
        lay->addWidget(n);
    }
    if (!reason.isEmpty()) {
        auto* r = text_label(reason, &d);
        r->setObjectName("powod");
        r->setStyleSheet("color: #b00000;");
        lay->addWidget(r);
    }
    auto* edit = new QLineEdit(&d);
    edit->setObjectName("wartosc");
    lay->addWidget(edit);
    auto* box = new QDialogButtonBox(&d);
    add_button(box, "&OK", QDialogButtonBox::AcceptRole)->setDefault(true);
    if (why != nullptr && *why) {
        QPushButton* w = add_button(box, zuva::tr("&Dlaczego?"), QDialogButtonBox::ActionRole);
        QObject::connect(w, &QPushButton::clicked, &d, [&d, why] { (*why)(&d); });
    }
    QObject::connect(box, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    lay->addWidget(box);
    d.resize(std::max(360, d.sizeHint().width()), d.sizeHint().height());
    edit->setFocus();
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    return edit->text();
}

bool explanation_dialog(QWidget* parent, const QString& title, const QStringList& lines) {
    QDialog d(parent);
    d.setObjectName("dlg_start_wnioskowania");
    d.setWindowTitle(title);
    auto* lay = new QVBoxLayout(&d);
    auto* list = new QListWidget(&d);
    list->setObjectName("dane_str");
    list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list->addItems(lines);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    lay->addWidget(list);
    auto* box = new QDialogButtonBox(&d);
    QPushButton* go = add_button(box, zuva::tr("&Kontynuuj"), QDialogButtonBox::AcceptRole);
    go->setDefault(true);
    add_button(box, zuva::tr("Zakończ"), QDialogButtonBox::RejectRole);
    QObject::connect(box, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    lay->addWidget(box);
    int w = list->sizeHintForColumn(0) + 40;
    d.resize(std::clamp(w, 420, 900), std::clamp(static_cast<int>(lines.size()) * 20 + 110, 200, 600));
    go->setFocus();
    return d.exec() == QDialog::Accepted;
}

void read_dialog(QWidget* parent, const QString& title, const QString& text) {
    QDialog d(parent);
    d.setObjectName("dlg_czytanie");
    d.setWindowTitle(title);
    auto* lay = new QVBoxLayout(&d);
    auto* view = new QPlainTextEdit(&d);
    view->setReadOnly(true);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view->setPlainText(text);
    lay->addWidget(view);
    auto* box = new QDialogButtonBox(&d);
    QPushButton* ok = add_button(box, "&OK", QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    QObject::connect(box, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    lay->addWidget(box);
    d.resize(620, 420);
    ok->setFocus();
    d.exec();
}

namespace {

QDialog* list_frame(QWidget* parent, const QString& title, const QString& prompt, const QStringList& items,
                    bool multi, QListWidget*& list) {
    auto* d = new QDialog(parent);
    d->setObjectName(multi ? "dlg_lista_wielokrotna" : "dlg_lista");
    d->setWindowTitle(title);
    auto* lay = new QVBoxLayout(d);
    if (!prompt.isEmpty()) {
        auto* p = text_label(prompt, d);
        p->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        lay->addWidget(p);
    }
    list = new QListWidget(d);
    list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list->setUniformItemSizes(true);
    list->addItems(items);
    list->setSelectionMode(multi ? QAbstractItemView::MultiSelection : QAbstractItemView::SingleSelection);
    if (!multi && !items.isEmpty()) list->setCurrentRow(0);
    lay->addWidget(list);
    auto* box = new QDialogButtonBox(d);
    add_button(box, "&OK", QDialogButtonBox::AcceptRole)->setDefault(true);
    add_button(box, zuva::tr("&Anuluj"), QDialogButtonBox::RejectRole);
    QObject::connect(box, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, d, &QDialog::reject);
    if (!multi) QObject::connect(list, &QListWidget::itemDoubleClicked, d, &QDialog::accept);
    lay->addWidget(box);
    d->resize(std::clamp(list->sizeHintForColumn(0) + 60, 380, 900), 440);
    return d;
}

}  // namespace

std::optional<int> list_dialog(QWidget* parent, const QString& title, const QString& prompt,
                               const QStringList& items) {
    QListWidget* list = nullptr;
    std::unique_ptr<QDialog> d(list_frame(parent, title, prompt, items, false, list));
    if (d->exec() != QDialog::Accepted) return std::nullopt;
    auto sel = list->selectedItems();
    if (sel.isEmpty()) return std::nullopt;
    return list->row(sel.front());
}

std::optional<std::vector<int>> multi_list_dialog(QWidget* parent, const QString& title,
                                                  const QString& prompt, const QStringList& items) {
    QListWidget* list = nullptr;
    std::unique_ptr<QDialog> d(list_frame(parent, title, prompt, items, true, list));
    if (d->exec() != QDialog::Accepted) return std::nullopt;
    std::vector<int> rows;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected()) rows.push_back(i);
    if (rows.empty()) return std::nullopt;
    return rows;
}

void lists_dialog(QWidget* parent, const QString& title,
                  const std::vector<std::pair<QString, QStringList>>& lists) {
    QDialog d(parent);
    d.setObjectName("dlg_listy");
    d.setWindowTitle(title);
    auto* lay = new QVBoxLayout(&d);
    auto* row = new QHBoxLayout;
    int width = 0;
    for (const auto& [label, items] : lists) {
        auto* column = new QVBoxLayout;
        column->addWidget(text_label(label, &d));
        auto* list = new QListWidget(&d);
        list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        list->setUniformItemSizes(true);
        list->setSelectionMode(QAbstractItemView::NoSelection);
        list->addItems(items);
        column->addWidget(list);
        row->addLayout(column);
        width += std::clamp(list->sizeHintForColumn(0) + 40, 200, 500);
    }
    lay->addLayout(row);
    auto* box = new QDialogButtonBox(&d);
    QPushButton* ok = add_button(box, "&OK", QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    QObject::connect(box, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    lay->addWidget(box);
    d.resize(std::clamp(width, 420, 1100), 440);
    ok->setFocus();
    d.exec();
}

}  // namespace zuva
