#include "prompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {

class CDialogPrompts final : public CPrompts {
public:
    Answer Message(QWidget* owner, const QString& text, Icon icon, Buttons buttons) override {
        QMessageBox box(owner);
        box.setWindowTitle(ApplicationTitle());
        box.setText(text);
        switch (icon) {
        case Icon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case Icon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case Icon::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case Icon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case Icon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        }
        if (buttons != Buttons::Ok) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            if (buttons == Buttons::YesNoDefaultNo)
                box.setDefaultButton(QMessageBox::No);
            return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
        }
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return Answer::Ok;
    }

    QString SaveFileName(QWidget* owner, const QString& filter, const QString& suggested) override {
        // The platform dialog asks before overwriting; no default suffix.
        return QFileDialog::getSaveFileName(owner, ApplicationTitle(), suggested, filter);
    }
};

CPrompts* g_installed = nullptr;

} // namespace

CPrompts& Prompts() {
    static CDialogPrompts dialogs;
    return g_installed ? *g_installed : dialogs;
}

void SetPrompts(CPrompts* prompts) {
    g_installed = prompts;
}
