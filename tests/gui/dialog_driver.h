// Answers the modal dialogs of the desktop program in tests: each step handles the next
// dialog that opens, through its real widgets (typing, clicking).
#pragma once
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>

namespace zuva_test {

struct Seen {
    QString kind;   // the dialog's object name
    QString title;  // its window title
    QString text;   // message text or the dialog's labels
};

class DialogDriver : public QObject {
  public:
    using Step = std::function<void(QWidget*)>;

    DialogDriver() {
        timer_.setInterval(2);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        timer_.start();
    }

    void then(Step s) { steps_.push_back(std::move(s)); }
    bool done() const { return steps_.empty(); }
    const std::vector<Seen>& seen() const { return seen_; }
    QStringList unexpected;  // dialogs that came when no step was left
    // Answers every dialog once the steps ran out, when set.
    Step fallback;

    // Steps for the usual dialogs.
    void click(const QString& button) {
        then([button](QWidget* w) { press(w, button); });
    }
    void type(const QString& text, const QString& button = "&OK") {
        then([text, button](QWidget* w) {
            auto* e = w->findChild<QLineEdit*>();
            QVERIFY2(e != nullptr, "no text field in the dialog");
            e->clear();
            QTest::keyClicks(e, text);
            press(w, button);
        });
    }
    // A file dialog: the name typed into its name field and Enter.
    void file(const QString& path) {
        then([path](QWidget* w) {
            auto* e = w->findChild<QLineEdit*>("fileNameEdit");
            QVERIFY2(e != nullptr, "no file name field");
            e->setText(path);
            QTest::keyClick(e, Qt::Key_Return);
            if (w->isVisible()) static_cast<QDialog*>(w)->accept();
        });
    }
    void radio(int position) {
        then([position](QWidget* w) {
            auto radios = w->findChildren<QRadioButton*>();
            QVERIFY(position >= 1 && position <= radios.size());
            QTest::mouseClick(radios[position - 1], Qt::LeftButton);
            press(w, "&OK");
        });
    }
    void pick(int row) {
        then([row](QWidget* w) {
            auto* l = w->findChild<QListWidget*>();
            QVERIFY(l != nullptr);
            l->setCurrentRow(row);
            press(w, "&OK");
        });
    }

    static void press(QWidget* w, const QString& text) {
        for (auto* b : w->findChildren<QAbstractButton*>()) {
            if (b->text() == text && b->isVisible()) {
                QTest::mouseClick(b, Qt::LeftButton);
                return;
            }
        }
        QFAIL(qPrintable("no button " + text + " in " + w->windowTitle()));
    }

    // Runs the event loop until every step was used (or the time runs out).
    bool wait(int ms = 10000) {
        QElapsedTimer t;
        t.start();
        while ((!steps_.empty() || scheduled_) && t.elapsed() < ms)
            QTest::qWait(5);
        return steps_.empty();
    }

  private:
    // The step runs from its own event, so a dialog that it opens in turn is answered by
    // the next step while this one waits.
    void tick() {
        QWidget* w = QApplication::activeModalWidget();
        if (w == nullptr || !w->isVisible() || scheduled_) return;
        Seen s{w->objectName(), w->windowTitle(), {}};
        if (auto* m = qobject_cast<QMessageBox*>(w)) s.text = m->text();
        if (auto* l = w->findChild<QListWidget*>("dane_str"))
            for (int i = 0; i < l->count(); ++i)
                s.text += l->item(i)->text() + "\n";
        if (auto* n = w->findChild<QLabel*>("nazwa")) s.text = n->text();
        seen_.push_back(s);
        if (steps_.empty() && fallback) {
            Step step = fallback;
            scheduled_ = true;
            QPointer<QWidget> target(w);
            QTimer::singleShot(0, [this, step, target] {
                scheduled_ = false;
                if (target) step(target);
            });
            return;
        }
        if (steps_.empty()) {
            unexpected << (s.kind + ": " + s.title + " " + s.text);
            if (unexpected.size() > 30)
                qFatal("too many unexpected dialogs: %s", qPrintable(unexpected.join("; ")));
            if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
            return;
        }
        Step step = std::move(steps_.front());
        steps_.pop_front();
        scheduled_ = true;
        QPointer<QWidget> target(w);
        QTimer::singleShot(0, [this, step, target] {
            scheduled_ = false;
            if (target) step(target);
        });
    }

    QTimer timer_;
    std::deque<Step> steps_;
    std::vector<Seen> seen_;
    bool scheduled_ = false;
};

}  // namespace zuva_test
