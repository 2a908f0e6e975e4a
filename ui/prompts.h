#pragma once
// The one way the program shows a message box or asks for a file name. Tests install their
// own CPrompts to read what would have been shown and to answer it.
#include <QString>

class QWidget;

class CPrompts {
public:
    enum class Icon { None, Information, Warning, Critical, Question };
    // YesNoDefaultNo: a question whose safe answer is No (Enter answers No).
    enum class Buttons { Ok, YesNo, YesNoDefaultNo };
    enum class Answer { Ok, Yes, No };

    virtual ~CPrompts() = default;
    // Caption: the application title "apricot".
    virtual Answer Message(QWidget* owner, const QString& text, Icon icon, Buttons buttons) = 0;
    // A save-file dialog with one filter (for example "HTM Files (*.HTM)") that asks before an
    // existing file is overwritten; empty when cancelled. `suggested`: the folder and name it
    // opens with (none: the platform's choice).
    virtual QString SaveFileName(QWidget* owner, const QString& filter,
                                 const QString& suggested = QString()) = 0;

    // Shortcut for the common case: the text, an OK button.
    void Tell(QWidget* owner, const QString& text, Icon icon = Icon::None) {
        Message(owner, text, icon, Buttons::Ok);
    }
    // A failure that logic reported as text, shown as the record grid shows its own: the
    // warning icon, an OK button. Nothing when the text is empty.
    void TellFailure(QWidget* owner, const QString& failure) {
        if (!failure.isEmpty())
            Tell(owner, failure, Icon::Warning);
    }
};

// The prompts in use: real dialogs unless a test installed others.
CPrompts& Prompts();
// Installs `prompts` (not owned) for as long as it lives; nullptr restores the dialogs.
void SetPrompts(CPrompts* prompts);

inline const QString& ApplicationTitle() {
    static const QString title = QStringLiteral("apricot");
    return title;
}
