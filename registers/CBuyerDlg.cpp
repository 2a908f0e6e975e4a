#include "CBuyerDlg.h"

#include "artwork.h"
#include "ok_cancel.h"
#include "prompts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CBuyerDlg::CBuyerDlg(QDate today, QWidget* parent) : QDialog(parent), m_today(today) {
    setWindowTitle(QStringLiteral("含麻黄碱药品购买登记"));
    setWindowIcon(ProgramIcon());
    m_pName = new QLineEdit(this);
    m_pName->setObjectName(QString::number(IdBuyerName));
    m_pName->setMaxLength(50);
    m_pId = new QLineEdit(this);
    m_pId->setObjectName(QString::number(IdBuyerId));
    m_pId->setMaxLength(20);

    auto* note =
        new QLabel(QStringLiteral("请核对购买人的居民身份证。每单最多 %1 盒（凭处方除外）。")
                       .arg(ephedrine::kBoxesPerSale),
                   this);
    note->setWordWrap(true);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("购买人姓名："), m_pName);
    form->addRow(QStringLiteral("身份证号："), m_pId);
    auto* buttons = AddOkCancel(this, [this] { OnOk(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addLayout(form);
    layout->addWidget(buttons);
    m_pName->setFocus();
}

ephedrine::CBuyer CBuyerDlg::Buyer() const {
    return ephedrine::Normalized({m_pName->text(), m_pId->text()});
}

void CBuyerDlg::OnOk() {
    if (const QString problem = ephedrine::Problem(Buyer(), m_today); !problem.isEmpty()) {
        Prompts().Tell(this, problem, CPrompts::Icon::Warning);
        m_pId->setFocus();
        return;
    }
    accept();
}
