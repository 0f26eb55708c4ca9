// The number list is a view over the window's own texts, filled in one piece, so a base
// of any size opens and scrolls at once.
#include "gui/record_window.h"

#include <QAbstractListModel>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "gui/child_windows.h"

namespace zuva {
namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

class NumberModel : public QAbstractListModel {
  public:
    explicit NumberModel(const std::vector<std::string>& numbers, QObject* parent)
        : QAbstractListModel(parent), numbers_(numbers) {}
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(numbers_.size());
    }
    QVariant data(const QModelIndex& i, int role) const override {
        if (role != Qt::DisplayRole || !i.isValid()) return {};
        return qs(numbers_[static_cast<size_t>(i.row())]);
    }

  private:
    const std::vector<std::string>& numbers_;
};

}  // namespace

RecordBrowser::RecordBrowser(RecordWindow w, QWidget* parent) : QWidget(parent), w_(std::move(w)) {
    setObjectName(qs(w_.name));
    auto* top = new QVBoxLayout(this);
    for (const auto& h : w_.headings) {
        auto* l = new QLabel(qs(h), this);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        top->addWidget(l);
    }
    auto* body = new QHBoxLayout;
    top->addLayout(body, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(qs(w_.number_label), this));
    numbers_ = new QListView(this);
    numbers_->setObjectName("numery");
    numbers_->setUniformItemSizes(true);
    numbers_->setModel(new NumberModel(w_.numbers, numbers_));
    numbers_->setMaximumWidth(160);
    left->addWidget(numbers_, 1);
    auto* counts = new QFormLayout;
    for (const auto& [label, n] : w_.counts) {
        auto* c = new QLineEdit(QString::number(static_cast<qulonglong>(n)), this);
        c->setReadOnly(true);
        c->setObjectName("liczba");
        c->setMaximumWidth(90);
        counts->addRow(qs(label), c);
    }
    left->addLayout(counts);
    body->addLayout(left);

    fields_ = new QWidget(this);
    fields_->setObjectName("pola");
    fields_layout_ = new QVBoxLayout(fields_);
    fields_layout_->setContentsMargins(0, 0, 0, 0);
    body->addWidget(fields_, 1);

    const CloseHelpRow buttons = make_close_help_row(this);
    top->addLayout(buttons.layout);
    connect(buttons.close, &QPushButton::clicked, this, &RecordBrowser::close_wanted);
    connect(buttons.help, &QPushButton::clicked, this, [this] {
        if (on_help) on_help();
    });
    connect(numbers_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& i) { show_record(i.isValid() ? i.row() : -1); });
    show_record(-1);
}

void RecordBrowser::show_record(int position) {
    while (QLayoutItem* item = fields_layout_->takeAt(0)) {
        if (QWidget* wd = item->widget()) {
            wd->hide();
            wd->deleteLater();
        }
        delete item;
    }
    std::vector<RecordField> fields;
    if (position >= 0 && w_.fields) fields = w_.fields(static_cast<size_t>(position));
    if (fields.empty()) {
        // The detail fields stay empty until a record is chosen.
        fields_layout_->addStretch(1);
        return;
    }
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (const auto& f : fields) {
        auto* label = new QLabel(qs(f.label), fields_);
        fields_layout_->addWidget(label);
        if (f.is_list) {
            auto* l = new QListWidget(fields_);
            l->setObjectName("lista");
            l->setFont(fixed);
            for (const auto& it : f.items)
                l->addItem(qs(it));
            fields_layout_->addWidget(l, 1);
        } else {
            auto* e = new QLineEdit(qs(f.value), fields_);
            e->setObjectName("pole");
            e->setReadOnly(true);
            e->setFont(fixed);
            e->setCursorPosition(0);
            fields_layout_->addWidget(e);
        }
    }
    bool any_list = false;
    for (const auto& f : fields)
        any_list = any_list || f.is_list;
    if (!any_list) fields_layout_->addStretch(1);
}

QStringList RecordBrowser::shown() const {
    QStringList out;
    for (int i = 0; i < fields_layout_->count(); ++i) {
        QWidget* wd = fields_layout_->itemAt(i)->widget();
        if (wd == nullptr) continue;
        if (auto* l = qobject_cast<QLabel*>(wd)) out << l->text();
        if (auto* e = qobject_cast<QLineEdit*>(wd)) out << e->text();
        if (auto* lw = qobject_cast<QListWidget*>(wd))
            for (int k = 0; k < lw->count(); ++k)
                out << lw->item(k)->text();
    }
    return out;
}

}  // namespace zuva
