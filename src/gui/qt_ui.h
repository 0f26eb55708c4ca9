// The desktop port: every dialog of the Ui port as a modal Qt dialog over the task window;
// the helper, browse and picture windows as children of its multiple-document area.
#pragma once
#include <QPointer>
#include <string>

#include "ui/ui.h"

class QSoundEffect;
class QWidget;

namespace zuva {

struct GraphNode;
class RecordBrowser;
class TaskWindow;
class ChildWindow;

class QtUi : public Ui {
  public:
    QtUi() = default;
    void attach(TaskWindow* w) { window_ = w; }

    void helper_write(std::string_view text) override;
    void helper_clear() override;
    void helper_recreate(int capacity) override;
    void set_title(std::string_view title) override;
    void note(std::string_view title, std::string_view text) override;
    int question(std::string_view title, std::string_view text,
                 const std::vector<std::string>& buttons) override;
    EndAnswer end_question(bool consultation) override;
    std::string open_file(std::string_view mask, const std::vector<FileFilter>& filters,
                          std::string_view title) override;
    std::string save_file(std::string_view mask, const std::vector<FileFilter>& filters,
                          std::string_view title) override;
    std::string save_file_unchecked(std::string_view mask, const std::vector<FileFilter>& filters,
                                    std::string_view title) override;
    std::string save_file_appending(std::string_view mask, const std::vector<FileFilter>& filters,
                                    std::string_view title) override;
    int radio(std::string_view dialog, std::string_view text, const std::vector<std::string>& options,
              int initial) override;
    std::optional<std::string> input_text(std::string_view title, std::string_view prompt,
                                          std::string_view initial) override;
    std::optional<std::string> value_dialog(std::string_view dialog, std::string_view title,
                                            std::string_view name) override;
    ValueReply value_dialog_why(std::string_view dialog, std::string_view title,
                                std::string_view name) override;
    bool explanation(std::string_view title, const std::vector<std::string>& lines) override;
    void read_text(std::string_view title, std::string_view text) override;
    std::optional<int> choose_one(std::string_view title, const std::vector<std::string>& items) override;
    std::optional<int> choose_one_prompted(std::string_view title, std::string_view prompt,
                                           const std::vector<std::string>& items) override;
    std::optional<std::vector<int>> choose_many(std::string_view title,
                                                const std::vector<std::string>& items) override;
    std::optional<std::vector<int>> choose_many_prompted(std::string_view title, std::string_view prompt,
                                                         const std::vector<std::string>& items) override;
    void show_lists(std::string_view title, const std::vector<LabelledList>& lists) override;
    void browse_text(std::string_view title, std::string_view text, bool wrap) override;
    void browse_list(std::string_view title, const std::vector<std::string>& items) override;
    void browse_records(const RecordWindow& w) override;
    void open_editor(std::string_view path, bool wrap) override;
    void open_document(std::string_view path) override;
    MediaOutcome show_picture(std::string_view path) override;
    MediaOutcome play_sound(std::string_view path) override;
    void commands_changed() override;
    void show_knowledge_graph(std::string_view rule_base) override;

  private:
    RecordBrowser* open_record_window(const RecordWindow& w);
    // The parent of a modal dialog; the helper window's text is shown first.
    QWidget* dialog_parent();
    // `ask_replacing`: whether a save dialog asks before it returns an existing file.
    std::string file_dialog(bool save, std::string_view mask, const std::vector<FileFilter>& filters,
                            std::string_view title, bool ask_replacing = true);

    TaskWindow* window_ = nullptr;
    // The help window on the HTML user guide; one, brought forward when asked again.
    void show_help(const QString& path);
    // The reason to show in the value dialog asked next for `refused_for_` (see value_hint.h).
    std::string value_reason(std::string_view name) const;
    void note_value(std::string_view name, const std::string& typed);

    // The sound being played; a new one replaces it.
    QSoundEffect* sound_ = nullptr;
    QPointer<ChildWindow> help_;
    // The graph window; one, brought forward and drawn again when asked again.
    QPointer<ChildWindow> graph_;
    // The record window of a rule, model or constraint of the graph, at that record.
    void open_graph_record(const GraphNode& n);
    std::string refused_value_, refused_for_;
};

}  // namespace zuva
