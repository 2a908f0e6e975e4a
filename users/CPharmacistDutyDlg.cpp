#include "CPharmacistDutyDlg.h"

#include "artwork.h"
#include "ok_cancel.h"
#include "pharmacist_duty.h"
#include "pharmacists.h"
#include "prompts.h"

#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CPharmacistDutyDlg::CPharmacistDutyDlg(CDatabase* db, const QStringList& pharmacists,
                                       QString current, QString operatorName, QWidget* parent)
    : QDialog(parent), m_pDatabase(db), m_strCurrent(std::move(current)),
      m_strOperator(std::move(operatorName)) {
    setWindowTitle(QStringLiteral("药师在岗"));
    setWindowIcon(ProgramIcon());
    m_pPharmacist = new QComboBox(this);
    m_pPharmacist->setObjectName(QString::number(IdPharmacist));
    m_pPharmacist->addItems(pharmacists);
    m_pPharmacist->setMinimumWidth(160);
    // Most often the pharmacist is the one at the counter.
    if (pharmacists.contains(m_strOperator))
        m_pPharmacist->setCurrentText(m_strOperator);
    m_pPassword = new QLineEdit(this);
    m_pPassword->setObjectName(QString::number(IdPassword));
    m_pPassword->setEchoMode(QLineEdit::Password);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("在岗药师："),
                 new QLabel(m_strCurrent.isEmpty() ? QStringLiteral("无") : m_strCurrent, this));
    form->addRow(QStringLiteral("执业药师："), m_pPharmacist);
    form->addRow(QStringLiteral("药师密码："), m_pPassword);
    auto* buttons = AddOkCancel(this, [this] { OnOk(); });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    m_pPassword->setFocus();
}

void CPharmacistDutyDlg::OnOk() {
    const QString pharmacist = m_pPharmacist->currentText();
    const QString refused =
        pharmacistduty::GoOnDuty(m_pDatabase, pharmacist, m_pPassword->text(), m_strCurrent,
                                 m_strOperator, QDateTime::currentDateTime());
    if (!refused.isEmpty()) {
        m_pPassword->clear();
        Prompts().Tell(this, refused, CPrompts::Icon::Warning);
        m_pPassword->setFocus();
        return;
    }
    m_strOnDuty = pharmacist;
    accept();
}

std::optional<QString> CPharmacistDutyDlg::Run(CDatabase* db, const QString& current,
                                               const QString& operatorName, QWidget* parent) {
    QString failure;
    const std::optional<QStringList> names = pharmacists::List(db, &failure);
    if (!names) {
        Prompts().Tell(
            parent,
            QStringLiteral("读不出执业药师：%1")
                .arg(failure.isEmpty() ? QStringLiteral("没有连接到数据库。") : failure.trimmed()),
            CPrompts::Icon::Warning);
        return std::nullopt;
    }
    if (names->isEmpty()) {
        Prompts().Tell(parent, pharmacistduty::kNoPharmacists, CPrompts::Icon::Information);
        return std::nullopt;
    }
    CPharmacistDutyDlg dialog(db, *names, current, operatorName, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.OnDuty();
}
