// The desktop port. Texts cross into Qt as UTF-8; the helper window's text is shown
// before every modal dialog, so the user sees what led to the question.
#include "gui/qt_ui.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMdiArea>
#include <QPixmap>
#include <QPushButton>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <memory>

#include "gui/child_windows.h"
#include "gui/dialogs.h"
#include "gui/editor_window.h"
#include "gui/graph_window.h"
#include "gui/helper_window.h"
#include "gui/record_window.h"
#include "gui/task_window.h"
#include "kb/record_windows.h"
#include "session/enabling.h"
#include "session/session.h"
#include "shell/commands.h"
#include "shell/editor_files.h"
#include "shell/shell.h"
#include "text/i18n.h"
#include "ui/file_names.h"
#include "ui/value_hint.h"

namespace zuva {
namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::string utf8(const QString& s) {
    return s.toUtf8().toStdString();
}

QStringList qlist(const std::vector<std::string>& v) {
    QStringList out;
    out.reserve(static_cast<qsizetype>(v.size()));
    for (const auto& s : v)
        out << qs(s);
    return out;
}

// A Qt name filter for a mask; file names match without regard to case.
QString filter_text(const QString& description, const QString& mask) {
    QString patterns = mask;
    if (mask.toLower() != mask) patterns += " " + mask.toLower();
    if (mask.toUpper() != mask) patterns += " " + mask.toUpper();
    QString d = description;
    const QString own = "(" + mask + ")";
    if (d.endsWith(own)) d.chop(own.size());
    d = d.trimmed();
    if (d.isEmpty()) d = mask;
    return d + " (" + patterns + ")";
}

}  // namespace

QWidget* QtUi::dialog_parent() {
    if (window_ == nullptr) return nullptr;
    if (HelperWindow* h = window_->helper()) h->flush();
    QWidget* active = QApplication::activeModalWidget();
    return active != nullptr ? active : window_;
}

void QtUi::helper_write(std::string_view text) {
    if (window_ != nullptr)
        if (HelperWindow* h = window_->helper()) h->write(text);
}

void QtUi::helper_clear() {
    if (window_ != nullptr)
        if (HelperWindow* h = window_->helper()) h->clear_text();
}

void QtUi::helper_recreate(int capacity) {
    if (window_ != nullptr) window_->recreate_helper(capacity);
}

void QtUi::set_title(std::string_view title) {
    if (window_ != nullptr) window_->setWindowTitle(qs(title));
}

void QtUi::note(std::string_view title, std::string_view text) {
    note_box(dialog_parent(), qs(title), qs(text));
}

int QtUi::question(std::string_view title, std::string_view text, const std::vector<std::string>& buttons) {
    return question_box(dialog_parent(), qs(title), qs(text), qlist(buttons));
}

std::string QtUi::file_dialog(bool save, std::string_view mask, const std::vector<FileFilter>& filters,
                              std::string_view title, bool ask_replacing) {
    QWidget* parent = dialog_parent();
    QFileDialog d(parent, qs(title));
    d.setObjectName(save ? "dlg_zapis_pliku" : "dlg_otwarcie_pliku");
    d.setOption(QFileDialog::DontUseNativeDialog);
    if (!ask_replacing) d.setOption(QFileDialog::DontConfirmOverwrite);
    d.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    d.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (window_ != nullptr) d.setDirectory(qs(window_->session().current_dir));
    QStringList names;
    QString selected;
    const QString qmask = qs(mask);
    for (const auto& f : filters) {
        names << filter_text(qs(f.description), qs(f.mask));
        if (selected.isEmpty() && qs(f.mask) == qmask) selected = names.back();
    }
    if (selected.isEmpty() && !qmask.isEmpty()) {
        names.prepend(filter_text(qmask, qmask));
        selected = names.front();
    }
    if (!names.isEmpty()) {
        d.setNameFilters(names);
        d.selectNameFilter(selected);
    }
    // A name typed without an extension gets the chosen filter's (the dialog's own question
    // about an existing file then asks about the whole name).
    std::vector<QString> masks;
    for (const auto& f : filters)
        masks.push_back(qs(f.mask));
    if (names.size() > static_cast<qsizetype>(masks.size())) masks.insert(masks.begin(), qmask);
    auto mask_of = [&](const QString& filter) {
        const qsizetype i = names.indexOf(filter);
        return i >= 0 && i < static_cast<qsizetype>(masks.size()) ? masks[static_cast<std::size_t>(i)]
                                                                  : qmask;
    };
    auto suffix_for = [&](const QString& filter) { return qs(mask_extension(utf8(mask_of(filter)))).mid(1); };
    if (save) {
        d.setDefaultSuffix(suffix_for(d.selectedNameFilter()));
        QObject::connect(&d, &QFileDialog::filterSelected, &d,
                         [&](const QString& f) { d.setDefaultSuffix(suffix_for(f)); });
    }
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return "";
    std::string chosen = utf8(QDir::toNativeSeparators(d.selectedFiles().front()));
    if (save) chosen = with_mask_extension(chosen, utf8(mask_of(d.selectedNameFilter())));
    return chosen;
}

std::string QtUi::open_file(std::string_view mask, const std::vector<FileFilter>& filters,
                            std::string_view title) {
    return file_dialog(false, mask, filters, title);
}

std::string QtUi::save_file(std::string_view mask, const std::vector<FileFilter>& filters,
                            std::string_view title) {
    return file_dialog(true, mask, filters, title);
}

// The operation asks its own question about an existing file (the summary): the dialog
// leaves it out, or the user would be asked twice.
std::string QtUi::save_file_unchecked(std::string_view mask, const std::vector<FileFilter>& filters,
                                      std::string_view title) {
    return file_dialog(true, mask, filters, title, false);
}

// The file is appended to: an existing name is taken as it is, the dialog asks nothing.
std::string QtUi::save_file_appending(std::string_view mask, const std::vector<FileFilter>& filters,
                                      std::string_view title) {
    return file_dialog(true, mask, filters, title, false);
}

int QtUi::radio(std::string_view dialog, std::string_view text, const std::vector<std::string>& options,
                int initial) {
    return radio_dialog(dialog_parent(), qs(dialog), qs(text), qlist(options), initial);
}

std::optional<std::string> QtUi::input_text(std::string_view title, std::string_view prompt,
                                            std::string_view initial) {
    auto r = input_dialog(dialog_parent(), qs(title), qs(prompt), qs(initial));
    if (!r) return std::nullopt;
    return utf8(*r);
}

std::optional<std::string> QtUi::value_dialog(std::string_view dialog, std::string_view title,
                                              std::string_view name) {
    auto r =
        zuva::value_dialog(dialog_parent(), qs(dialog), qs(title), qs(name), nullptr, qs(value_reason(name)));
    if (!r) return std::nullopt;
    note_value(name, utf8(*r));
    return utf8(*r);
}

// "&Dlaczego?" closes the dialog with its own result; the core explains and asks again.
Ui::ValueReply QtUi::value_dialog_why(std::string_view dialog, std::string_view title,
                                      std::string_view name) {
    bool asked_why = false;
    std::function<void(QWidget*)> why = [&asked_why](QWidget* d) {
        asked_why = true;
        static_cast<QDialog*>(d)->reject();
    };
    auto r =
        zuva::value_dialog(dialog_parent(), qs(dialog), qs(title), qs(name), &why, qs(value_reason(name)));
    if (asked_why) return {ValueReply::Kind::Why, {}};
    if (!r) return {ValueReply::Kind::Closed, {}};
    note_value(name, utf8(*r));
    return {ValueReply::Kind::Text, utf8(*r)};
}

bool QtUi::explanation(std::string_view title, const std::vector<std::string>& lines) {
    return explanation_dialog(dialog_parent(), qs(title), qlist(lines));
}

void QtUi::read_text(std::string_view title, std::string_view text) {
    read_dialog(dialog_parent(), qs(title), qs(text));
}

std::optional<int> QtUi::choose_one(std::string_view title, const std::vector<std::string>& items) {
    return list_dialog(dialog_parent(), qs(title), "", qlist(items));
}

std::optional<int> QtUi::choose_one_prompted(std::string_view title, std::string_view prompt,
                                             const std::vector<std::string>& items) {
    return list_dialog(dialog_parent(), qs(title), qs(prompt), qlist(items));
}

std::optional<std::vector<int>> QtUi::choose_many(std::string_view title,
                                                  const std::vector<std::string>& items) {
    return multi_list_dialog(dialog_parent(), qs(title), "", qlist(items));
}

std::optional<std::vector<int>> QtUi::choose_many_prompted(std::string_view title, std::string_view prompt,
                                                           const std::vector<std::string>& items) {
    return multi_list_dialog(dialog_parent(), qs(title), qs(prompt), qlist(items));
}

void QtUi::show_lists(std::string_view title, const std::vector<LabelledList>& lists) {
    std::vector<std::pair<QString, QStringList>> shown;
    shown.reserve(lists.size());
    for (const auto& l : lists)
        shown.emplace_back(qs(l.label), qlist(l.items));
    lists_dialog(dialog_parent(), qs(title), shown);
}

// The text browse window; when it goes away the task window's title is set back.
void QtUi::browse_text(std::string_view title, std::string_view text, bool wrap) {
    if (window_ == nullptr) return;
    QPlainTextEdit* view = make_text_view(qs(text), wrap);
    view->setObjectName("win_przeglad");
    ChildWindow* w = window_->add_child(view, qs(title), QSize(720, 420));
    TaskWindow* tw = window_;
    w->on_closed = [tw] {
        if (!tw->ended()) browse_window_closed(tw->session());
    };
}

// The askable-items window: its title above the list; closing it, as closing any record
// window, replaces the helper window.
void QtUi::browse_list(std::string_view title, const std::vector<std::string>& items) {
    if (window_ == nullptr) return;
    auto* box = new QWidget;
    box->setObjectName("win_przeg_war_arg_dopyt");
    auto* lay = new QVBoxLayout(box);
    auto* label = new QLabel(qs(title), box);
    label->setTextFormat(Qt::PlainText);
    lay->addWidget(label);
    auto* list = new QListWidget(box);
    list->setUniformItemSizes(true);
    list->addItems(qlist(items));
    lay->addWidget(list, 1);
    const CloseHelpRow buttons = make_close_help_row(box);
    lay->addLayout(buttons.layout);
    TaskWindow* tw = window_;
    ChildWindow* w = tw->add_child(box, qs(title), QSize(560, 420));
    QObject::connect(buttons.close, &QPushButton::clicked, w, &QMdiSubWindow::close);
    QObject::connect(buttons.help, &QPushButton::clicked, w, [tw] { tw->run_command(cmd::pomoc); });
    w->on_closed = [tw] {
        if (!tw->ended()) record_window_closed(tw->session());
    };
}

void QtUi::browse_records(const RecordWindow& rw) {
    open_record_window(rw);
}

RecordBrowser* QtUi::open_record_window(const RecordWindow& rw) {
    if (window_ == nullptr) return nullptr;
    auto* view = new RecordBrowser(rw);
    TaskWindow* tw = window_;
    ChildWindow* w = tw->add_child(view, qs(rw.title), QSize(780, 500));
    QObject::connect(view, &RecordBrowser::close_wanted, w, &QMdiSubWindow::close);
    view->on_help = [tw] { tw->run_command(cmd::pomoc); };
    w->on_closed = [tw] {
        if (!tw->ended()) record_window_closed(tw->session());
    };
    return view;
}

void QtUi::show_knowledge_graph(std::string_view) {
    if (window_ == nullptr) return;
    TaskWindow* tw = window_;
    if (graph_) {
        static_cast<GraphWindow*>(graph_->widget())->reload();
        tw->area()->setActiveSubWindow(graph_);
        return;
    }
    auto* view = new GraphWindow(tw->session());
    view->on_open_record = [this](const GraphNode& n) { open_graph_record(n); };
    graph_ = tw->add_child(view, zuva::tr("Graf bazy wiedzy"), QSize(900, 620));
    graph_->setObjectName("okno_grafu");
    QObject::connect(tw, &TaskWindow::bases_loaded, view, &GraphWindow::reload);
    // Most of the area is the picture's; it fits the window once the window has its size.
    const QRect a = tw->area()->viewport()->rect();
    if (a.width() > 400 && a.height() > 300) graph_->setGeometry(a.adjusted(8, 8, -8, -8));
    QTimer::singleShot(0, view, &GraphWindow::fit);
}

// A rule, model or constraint of the graph in the record window of its kind, chosen in the
// list by its number (the first record of that number).
void QtUi::open_graph_record(const GraphNode& n) {
    if (window_ == nullptr) return;
    const Session& s = window_->session();
    const ModelGroup& m = s.kb.models;
    auto has = [&n](const auto& table) {
        return std::any_of(table.begin(), table.end(),
                           [&n](const auto& r) { return r.model_number == n.number; });
    };
    RecordWindow rw;
    switch (n.kind) {
        case GraphNode::Kind::Rule:
            rw = rule_record_window(s);
            break;
        case GraphNode::Kind::Model:
            rw = model_record_window(s, n.detail == "liniowy"     ? ModelKind::Linear
                                        : n.detail == "wielomian" ? ModelKind::Polynomial
                                        : has(m.model)            ? ModelKind::Basic
                                                                  : ModelKind::Extended);
            break;
        case GraphNode::Kind::Exact:
        case GraphNode::Kind::Uncertain:
            rw = constraint_record_window(s, n.kind == GraphNode::Kind::Uncertain);
            break;
        default:
            return;
    }
    RecordBrowser* b = open_record_window(rw);
    const auto at = std::find(rw.numbers.begin(), rw.numbers.end(), std::to_string(n.number));
    if (b == nullptr || at == rw.numbers.end()) return;
    const QModelIndex i = b->numbers()->model()->index(static_cast<int>(at - rw.numbers.begin()), 0);
    b->numbers()->setCurrentIndex(i);
}

// The editor window: the shell reads and writes its file and keeps its `dla_zapisu`
// record; several may be open at once.
void QtUi::open_editor(std::string_view path_view, bool wrap) {
    if (window_ == nullptr) return;
    const std::string path(path_view);
    TaskWindow* tw = window_;
    std::string error;
    auto text = read_for_editor(path, error);
    if (!text) {
        note(zuva::tr("Uwaga błąd!"), error);
        return;
    }
    const EditorFormat format = text->format;
    auto* view = new EditorWindow(qs(text->text), wrap);
    const int id = editor_opened(tw->session(), path);
    ChildWindow* w = tw->add_child(view, "zuva_EN", QSize(780, 520));
    w->setWindowTitle(zuva::tr("Edycja pliku: ") + QFileInfo(qs(path)).fileName());
    auto saved = std::make_shared<bool>(false);
    view->on_save = [tw, id, view, format, saved] {
        *saved = editor_save(tw->session(), id, view->text_utf8(), format);
        return *saved;
    };
    view->on_save_as = [tw, id, view, format, saved] {
        *saved = editor_save_as(tw->session(), id, view->text_utf8(), format);
        return *saved;
    };
    QObject::connect(view, &EditorWindow::close_wanted, w, [w] {
        w->on_close_request = nullptr;  // saved already: no question
        w->close();
    });
    w->on_close_request = [tw, id, view, format, saved] {
        if (tw->ended() && !view->edit()->document()->isModified()) return true;
        EditorClose c = editor_close_request(tw->session(), id, view->text_utf8(), format);
        if (c == EditorClose::Keep) return false;
        *saved = c == EditorClose::Saved;
        return true;
    };
    w->on_closed = [tw, id, saved] { editor_closed(tw->session(), id, *saved || tw->ended()); };
}

// An HTML document (the user guide) is shown in the program's own help window; any other
// goes to the system's opener, and where there is none the user guide is shown instead.
void QtUi::open_document(std::string_view path) {
    const QString p = qs(path);
    const QString lower = p.toLower();
    if (lower.endsWith(".html") || lower.endsWith(".htm")) return show_help(p);
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(p))) return;
    const std::string guide = window_ != nullptr ? window_->session().shell.user_guide : std::string();
    if (!guide.empty() && QFileInfo::exists(qs(guide))) return show_help(qs(guide));
    note(zuva::tr("Uwaga!"), zuva::tr("Nie można otworzyć dokumentu\n   ") + std::string(path) +
                                 zuva::tr("\n(brak programu, który go otwiera)."));
}

void QtUi::commands_changed() {
    if (window_ != nullptr) window_->schedule_refresh();
}

}  // namespace zuva

namespace zuva {

// The picture window: the bitmap at its own size (as far as the area allows), scaled with
// the window afterwards; it stays open on its own.
MediaOutcome QtUi::show_picture(std::string_view path) {
    QFile file(qs(path));
    if (!file.open(QIODevice::ReadOnly)) return {false, zuva::tr("nie można odczytać pliku")};
    QImageReader reader(&file);
    QImage image = reader.read();
    if (image.isNull()) return {false, zuva::tr("plik nie jest obrazem, który można wyświetlić")};
    if (window_ == nullptr) return {true, ""};
    auto* view = new PictureView(QPixmap::fromImage(image));
    view->setObjectName("win_grafika");
    window_->add_child(view, QFileInfo(qs(path)).fileName(), QSize());
    return {true, ""};
}

// A wave file is played in the background; the call returns once the file has been read,
// so a file that cannot be played is reported at once.
MediaOutcome QtUi::play_sound(std::string_view path) {
    QString file = qs(path);
    if (!QFileInfo(file).isReadable()) return {false, zuva::tr("nie można odczytać pliku")};
    if (sound_ != nullptr) {
        sound_->stop();
        sound_->deleteLater();
    }
    sound_ = new QSoundEffect(window_);
    sound_->setSource(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
    QEventLoop wait;
    QObject::connect(sound_, &QSoundEffect::statusChanged, &wait, &QEventLoop::quit);
    QTimer::singleShot(3000, &wait, &QEventLoop::quit);
    if (sound_->status() == QSoundEffect::Loading || sound_->status() == QSoundEffect::Null)
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    if (sound_->status() != QSoundEffect::Ready)
        return {false, zuva::tr("plik nie jest odtwarzalnym plikiem dźwięku")};
    sound_->play();
    return {true, ""};
}

}  // namespace zuva
