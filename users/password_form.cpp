#include "password_form.h"

#include "artwork.h"

#include "ok_cancel.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

std::vector<QLineEdit*> BuildPasswordForm(QDialog* dialog, const QString& title,
                                          const QString& name,
                                          std::initializer_list<std::pair<const char*, int>> boxes,
                                          std::function<void()> onOk) {
    dialog->setWindowTitle(title);
    dialog->setWindowIcon(ProgramIcon());
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("操作员："), new QLabel(name, dialog));
    std::vector<QLineEdit*> edits;
    for (const auto& [label, id] : boxes) {
        auto* box = new QLineEdit(dialog);
        box->setEchoMode(QLineEdit::Password);
        box->setObjectName(QString::number(id));
        form->addRow(QString::fromUtf8(label), box);
        edits.push_back(box);
    }
    auto* buttons = AddOkCancel(dialog, std::move(onOk));
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);
    return edits;
}
