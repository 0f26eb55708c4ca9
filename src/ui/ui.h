// The Ui port: everything the core asks of a windowing toolkit. The core calls only
// these; a front end implements them. Modal calls return the user's answer.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/i18n.h"

namespace zuva {

struct FileFilter {
    std::string description;
    std::string mask;
};

// What became of a picture to show or a sound to play; `reason` says why not, for the user.
struct MediaOutcome {
    bool ok = false;
    std::string reason;
};

// A list shown under its label in a dialog of several lists.
struct LabelledList {
    std::string label;
    std::vector<std::string> items;
};

// The user confirmed that the program ends; caught by the front end's main loop.
struct ProgramExit {};

// The helper window's line capacity in every front end.
inline constexpr int kHelperWindowLines = 100;

// One field of a record in a record window: a value, or a list shown one element a line.
struct RecordField {
    std::string label;
    std::string value;
    std::vector<std::string> items;
    bool is_list = false;
    // Shown in the record windows but left out of the answer-script transcript, whose
    // record blocks keep the fields they always had.
    bool not_in_transcript = false;
};

// A record-by-record browse window: the numbers of the records in table order (one entry
// per record, so records that share a number stay apart), the counts shown beside them,
// and the fields of the record at a position of the list. `fields` reads the window's own
// copy of the records, so the window may outlive the call that opened it.
struct RecordWindow {
    std::string name;  // the window's name (win_przegląd_reguł, ...)
    std::string title;
    std::vector<std::string> headings;  // lines above the list: the kind of model, its formula
    std::string number_label;           // "Nr reguły", "Nr modelu", "Nr ograniczenia"
    std::vector<std::pair<std::string, std::size_t>> counts;
    std::vector<std::string> numbers;
    std::function<std::vector<RecordField>(std::size_t)> fields;
};

// The question a save dialog asks (title "Zapisz jako", buttons "&Tak" and "&Nie") before it
// replaces an existing file; the name as the user gave it.
inline std::string overwrite_question(std::string_view name) {
    return tr("Plik ") + std::string(name) + tr(" już istnieje.\nCzy zastąpić?");
}

// What the next dialog of a consultation is for. The core names it just before it opens the
// dialog, so that a port that answers dialogs on its own (the session API) knows which one it
// is without reading its texts; a port that shows its dialogs ignores it.
enum class Asking : std::uint8_t {
    DetailLevel,      // radio: the detail level of messages and reports
    LabelsQuestion,   // question: keep labels of the run?
    LabelText,        // input: one label
    NextLabel,        // question: another label?
    FactMode,         // radio: how facts are declared
    HypothesisType,   // radio: narrow or broad hypothesis
    Hypothesis,       // list: the hypothesis to test
    ConditionCf,      // value: the CF of a condition
    ExactMemberCf,    // value: the CF of a member of an exact constraint, -1 or 1 only
    ArgumentValue,    // value: the value of a model argument
    ConclusionCf,     // value: the CF of a conclusion
    WhyAsked,         // read: why the value is asked ("Dlaczego pytam?")
    SummaryQuestion,  // question: keep the summary?
    AdviceQuestion,   // question: advice after a forward run
    AdviceList,       // list: the advice texts of the applied rules
    AdviceOffer,      // question: the advice of a tested hypothesis
    AdviceText,       // read: an advice text (subject: its file)
    PictureOffer,     // question: show the picture of a conclusion
    SoundOffer,       // question: play the sound of a conclusion
    ReportQuestion,   // question: keep the report?
};

class Ui {
  public:
    virtual ~Ui() = default;

    // The purpose of the dialog that opens next, with what it is about when that is no
    // part of the dialog's own arguments (the file of an advice text).
    void asking(Asking what, std::string_view subject = {}) { on_asking(what, subject); }
    virtual void on_asking(Asking what, std::string_view subject) {
        (void)what;
        (void)subject;
    }

    // Helper window: text is shown as it is written; '\n' starts a new line.
    virtual void helper_write(std::string_view text) = 0;
    virtual void helper_clear() = 0;
    // Closes the helper window and opens a new, empty one with the given line capacity.
    virtual void helper_recreate(int capacity) = 0;

    virtual void set_title(std::string_view title) = 0;

    // Note box: a title, a text and one "OK" button.
    virtual void note(std::string_view title, std::string_view text) = 0;
    // Question box with named buttons; returns the 0-based index of the chosen button.
    virtual int question(std::string_view title, std::string_view text,
                         const std::vector<std::string>& buttons) = 0;

    // "Zakończ" of a dialog: whether the program ends ("Czy na pewno chcesz zakończyć program ?").
    // Inside a consultation (`consultation`) a front end may also offer to stop only the
    // consultation, which then ends as every consultation does. The plain question box
    // answers with "&Tak" (the program ends) or "&Nie" (nothing ends).
    enum class EndAnswer { Program, Consultation, Nothing };
    virtual EndAnswer end_question(bool consultation) {
        (void)consultation;
        return question(tr("Uwaga!"), tr("Czy na pewno chcesz zakończyć program ?"),
                        {tr("&Tak"), tr("&Nie")}) == 0
                   ? EndAnswer::Program
                   : EndAnswer::Nothing;
    }

    // File dialogs; the empty text means the user cancelled.
    virtual std::string open_file(std::string_view mask, const std::vector<FileFilter>& filters,
                                  std::string_view title) = 0;
    // A save dialog asks before it returns the name of a file that exists.
    virtual std::string save_file(std::string_view mask, const std::vector<FileFilter>& filters,
                                  std::string_view title) = 0;
    // The same for an operation that asks its own question about an existing file (the
    // summary): a front end that asks in its save dialog leaves the question out here.
    virtual std::string save_file_unchecked(std::string_view mask, const std::vector<FileFilter>& filters,
                                            std::string_view title) {
        return save_file(mask, filters, title);
    }
    // A save dialog for a file the operation appends to (an existing file keeps what it
    // holds), so no front end may ask about replacing it. Ports that never ask about an
    // existing file here behave as for the unchecked dialog.
    virtual std::string save_file_appending(std::string_view mask, const std::vector<FileFilter>& filters,
                                            std::string_view title) {
        return save_file_unchecked(mask, filters, title);
    }

    // Radio dialog: a text above the options; returns the chosen position from 1.
    virtual int radio(std::string_view dialog, std::string_view text, const std::vector<std::string>& options,
                      int initial) = 0;
    // One-line text input with a prompt; nullopt when the box was closed.
    virtual std::optional<std::string> input_text(std::string_view title, std::string_view prompt,
                                                  std::string_view initial) = 0;
    // A value dialog (a CF, an argument value): the dialog's name, its title and the name
    // of what is asked about; returns the text as typed (nullopt when closed).
    virtual std::optional<std::string> value_dialog(std::string_view dialog, std::string_view title,
                                                    std::string_view name) = 0;
    // A value dialog of a consultation, which can also be asked why the value is needed
    // ("&Dlaczego?"): the text as typed, or that the dialog was closed, or the question why.
    // A front end without such a button answers as value_dialog does.
    struct ValueReply {
        enum class Kind { Text, Closed, Why } kind = Kind::Closed;
        std::string text;
    };
    virtual ValueReply value_dialog_why(std::string_view dialog, std::string_view title,
                                        std::string_view name) {
        auto typed = value_dialog(dialog, title, name);
        if (!typed) return {ValueReply::Kind::Closed, {}};
        return {ValueReply::Kind::Text, *typed};
    }
    // Explanation dialog: lines under a title with "&Kontynuuj" and "Zakończ";
    // true for "&Kontynuuj".
    virtual bool explanation(std::string_view title, const std::vector<std::string>& lines) = 0;
    // A dialog that shows a text to read ("&OK").
    virtual void read_text(std::string_view title, std::string_view text) = 0;
    // A dialog that shows several lists, each under its label ("&OK"); a front end without
    // such a dialog shows them as one text, the items indented under their labels.
    virtual void show_lists(std::string_view title, const std::vector<LabelledList>& lists) {
        std::string text;
        for (const auto& l : lists) {
            text += l.label + "\n";
            for (const auto& i : l.items)
                text += "   " + i + "\n";
        }
        read_text(title, text);
    }

    // Single- and multiple-choice lists; positions from 0; nullopt when nothing was chosen.
    virtual std::optional<int> choose_one(std::string_view title, const std::vector<std::string>& items) = 0;
    // The same with a prompt line above the list; a front end without a place for the
    // prompt shows the plain list.
    virtual std::optional<int> choose_one_prompted(std::string_view title, std::string_view prompt,
                                                   const std::vector<std::string>& items) {
        (void)prompt;
        return choose_one(title, items);
    }
    virtual std::optional<std::vector<int>> choose_many(std::string_view title,
                                                        const std::vector<std::string>& items) = 0;
    // A multiple-choice list with a prompt line, shown as choose_one_prompted shows its own.
    virtual std::optional<std::vector<int>> choose_many_prompted(std::string_view title,
                                                                 std::string_view prompt,
                                                                 const std::vector<std::string>& items) {
        (void)prompt;
        return choose_many(title, items);
    }

    // Browse windows live on their own in the front end once opened.
    virtual void browse_text(std::string_view title, std::string_view text, bool wrap) = 0;
    virtual void browse_list(std::string_view title, const std::vector<std::string>& items) = 0;

    // A record window; it lives on its own once opened. Closing it replaces the helper
    // window by a new one. Without a window of its own a front end shows the numbers.
    virtual void browse_records(const RecordWindow& w) { browse_list(w.title, w.numbers); }

    // Editor window on a text file; it loads and saves the file on its own.
    virtual void open_editor(std::string_view path, bool wrap) = 0;

    // Opens a document with the system's document opener.
    virtual void open_document(std::string_view path) = 0;

    // Picture window on a bitmap file, scaled to the window; it lives on its own once
    // opened. Fails, with the reason, when the file cannot be read as a picture.
    virtual MediaOutcome show_picture(std::string_view path) {
        (void)path;
        return {false, tr("ten program nie wyświetla grafiki")};
    }
    // Plays a wave file. Fails, with the reason, when it cannot be read or played.
    virtual MediaOutcome play_sound(std::string_view path) {
        (void)path;
        return {false, tr("ten program nie odtwarza dźwięków")};
    }

    // A window with the picture of the network of the loaded bases (`rule_base` is the path
    // of the rule base); it lives on its own once opened and follows later loads. A front end
    // that draws no pictures says where the picture is made.
    virtual void show_knowledge_graph(std::string_view rule_base) {
        note("Graf bazy wiedzy",
             "Ten program nie rysuje grafu bazy wiedzy; rysunek daje polecenie\nzuva graph " +
                 std::string(rule_base));
    }

    // The set of enabled commands changed.
    virtual void commands_changed() {}

    // True when the port shows a person the texts the knowledge base gives its names (the
    // questions in the base's own words, "text (name)" in lists); false for a port that hands
    // the dialogs to a program as data, which gives those texts beside the names instead.
    virtual bool shows_display_texts() const { return true; }

    // True when browse windows are closed before the call that opens them returns (the
    // terminal and the answer scripts): what their closing does is then done by the caller.
    virtual bool browse_windows_close_at_once() const { return false; }
};

}  // namespace zuva
