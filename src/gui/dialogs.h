// The modal dialogs of the desktop program. Each function builds its dialog, runs it and
// returns the answer; the buttons carry the texts the core gives, '&' marks included.
#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace zuva {

void note_box(QWidget* parent, const QString& title, const QString& text);
// Returns the 0-based index of the button; closing the box counts as the last button.
int question_box(QWidget* parent, const QString& title, const QString& text, const QStringList& buttons);
// Returns the position from 1; closing keeps the option marked.
int radio_dialog(QWidget* parent, const QString& title, const QString& text, const QStringList& options,
                 int initial);
std::optional<QString> input_dialog(QWidget* parent, const QString& title, const QString& prompt,
                                    const QString& initial);
// A value asked of the user. `why` (when set) is offered as the button "&Dlaczego?":
// it is called with the dialog open and the question stays.
// `reason`, when not empty, says above the field why the value typed last was refused.
std::optional<QString> value_dialog(QWidget* parent, const QString& dialog, const QString& title,
                                    const QString& name, const std::function<void(QWidget*)>* why = nullptr,
                                    const QString& reason = QString());
// The question whether the program ends: 0 the program ends, 1 only the consultation ends
// (offered when `consultation`), 2 nothing ends. "&Nie" is the default and the Esc button.
int end_question_box(QWidget* parent, bool consultation);
// True for "&Kontynuuj", false for "Zakończ" (and for closing the dialog).
bool explanation_dialog(QWidget* parent, const QString& title, const QStringList& lines);
void read_dialog(QWidget* parent, const QString& title, const QString& text);
std::optional<int> list_dialog(QWidget* parent, const QString& title, const QString& prompt,
                               const QStringList& items);
std::optional<std::vector<int>> multi_list_dialog(QWidget* parent, const QString& title,
                                                  const QString& prompt, const QStringList& items);
// Several read-only lists side by side, each under its label, with "&OK".
void lists_dialog(QWidget* parent, const QString& title,
                  const std::vector<std::pair<QString, QStringList>>& lists);

}  // namespace zuva
