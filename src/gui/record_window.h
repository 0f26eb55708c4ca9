// The record-by-record browse window: the list of record numbers with the counts, the
// fields of the selected record, "&Zamknij" and "&Pomoc".
#pragma once
#include <QWidget>
#include <functional>

#include "ui/ui.h"

class QListView;
class QVBoxLayout;

namespace zuva {

class RecordBrowser : public QWidget {
    Q_OBJECT
  public:
    explicit RecordBrowser(RecordWindow w, QWidget* parent = nullptr);
    QListView* numbers() const { return numbers_; }
    // Shows the fields of the record at a position of the list.
    void show_record(int position);
    // The label and text of each field now shown, one line per list element.
    QStringList shown() const;

    std::function<void()> on_help;

  signals:
    void close_wanted();

  private:
    RecordWindow w_;
    QListView* numbers_ = nullptr;
    QWidget* fields_ = nullptr;
    QVBoxLayout* fields_layout_ = nullptr;
};

}  // namespace zuva
