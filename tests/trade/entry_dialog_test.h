#pragma once
// A test of one entry dialog on fresh books, on each backend: the dialog opened and active, its
// controls by id and what they show, and the messages it would have shown.
#include "CTestBooks.h"
#include "dialog_driver.h"
#include "recording_prompts.h"

#include <QComboBox>
#include <QLineEdit>
#include <memory>

template <class Dialog> class CEntryDialogTest : public CBooksTest {
protected:
    void Open() {
        m_dialog = std::make_unique<Dialog>(&Db());
        entrytest::ShowActive(m_dialog.get());
    }
    template <class T = QWidget> T* Control(int id) const {
        return m_dialog->template findChild<T*>(QString::number(id));
    }
    // What a combo box's edit or a line edit shows.
    QString Text(int id) const {
        if (auto* box = Control<QComboBox>(id))
            return box->currentText();
        return Control<QLineEdit>(id)->text();
    }
    bool FocusOn(int id) const { return entrytest::FocusIn(m_dialog.get(), id); }

    CRecordingPrompts m_prompts;
    std::unique_ptr<Dialog> m_dialog;
};
