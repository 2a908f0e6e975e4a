#include "CDrugCodesDlg.h"

#include "CDBException.h"
#include "drug_codes.h"
#include "drug_lookup.h"
#include "prompts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CDrugCodesDlg::CDrugCodesDlg(CDatabase* db, const QStringList& drug, const QString& operatorName,
                             bool mayChange, QWidget* owner)
    : QDialog(owner), m_pDatabase(db), m_drug(drug), m_strOperator(operatorName) {
    setWindowTitle(QStringLiteral("条码"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("%1 %2 %3").arg(drug.value(0), drug.value(1), drug.value(2)), this));
    m_pFirst = new QLabel(this);
    layout->addWidget(m_pFirst);
    layout->addWidget(new QLabel(QStringLiteral("其他条形码："), this));
    m_pCodes = new QListWidget(this);
    layout->addWidget(m_pCodes);

    auto* row = new QHBoxLayout;
    m_pCode = new QLineEdit(this);
    m_pCode->setPlaceholderText(QStringLiteral("扫码或键入，回车添加"));
    m_pCode->setMaxLength(50);
    auto* add = new QPushButton(QStringLiteral("添加"), this);
    auto* remove = new QPushButton(QStringLiteral("删除"), this);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    for (QPushButton* button : {add, remove, close})
        button->setAutoDefault(false);
    row->addWidget(m_pCode, 1);
    row->addWidget(add);
    row->addWidget(remove);
    row->addWidget(close);
    layout->addLayout(row);

    connect(m_pCode, &QLineEdit::returnPressed, this, &CDrugCodesDlg::OnAdd);
    connect(add, &QPushButton::clicked, this, &CDrugCodesDlg::OnAdd);
    connect(remove, &QPushButton::clicked, this, &CDrugCodesDlg::OnRemove);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    for (QWidget* part : std::initializer_list<QWidget*>{m_pCode, add, remove})
        part->setEnabled(mayChange);
    resize(460, 300);
    // Ready for the scanner: its Enter adds the code.
    if (mayChange)
        m_pCode->setFocus();
    Reload();
}

void CDrugCodesDlg::Reload() {
    m_pCodes->clear();
    QString failure;
    const std::optional<CDrug> drug = druglookup::ByName(
        m_pDatabase, m_drug.value(0), m_drug.value(1), m_drug.value(2), &failure);
    // The first code is changed in the catalogue's grid; an added code may have become it.
    const QString first = drug ? drug->barcode : QString();
    m_pFirst->setText(QStringLiteral("第一个条形码：%1（在维护药品目录的表格中修改）")
                          .arg(first.isEmpty() ? QStringLiteral("无") : first));
    Prompts().TellFailure(this, failure);
    try {
        m_pCodes->addItems(drugcatalogue::FurtherCodes(*m_pDatabase, m_drug.value(0),
                                                       m_drug.value(1), m_drug.value(2)));
    } catch (const CDBException& e) {
        Prompts().TellFailure(this, e.ErrorText());
    }
}

void CDrugCodesDlg::OnAdd() {
    const QString failure =
        drugcatalogue::AddCode(*m_pDatabase, m_drug.value(0), m_drug.value(1), m_drug.value(2),
                               m_pCode->text(), m_strOperator, QDateTime::currentDateTime());
    Prompts().TellFailure(this, failure);
    // A refused code stays to be corrected; one written makes room for the next scan.
    if (failure.isEmpty())
        m_pCode->clear();
    Reload();
}

void CDrugCodesDlg::OnRemove() {
    const QListWidgetItem* item = m_pCodes->currentItem();
    if (!item) {
        Prompts().Tell(this, QStringLiteral("请先在列表中选中要删除的条形码"),
                       CPrompts::Icon::Information);
        return;
    }
    if (Prompts().Message(this, QStringLiteral("删除条形码 %1？").arg(item->text()),
                          CPrompts::Icon::Question,
                          CPrompts::Buttons::YesNoDefaultNo) != CPrompts::Answer::Yes)
        return;
    Prompts().TellFailure(this, drugcatalogue::RemoveCode(
                                    *m_pDatabase, m_drug.value(0), m_drug.value(1), m_drug.value(2),
                                    item->text(), m_strOperator, QDateTime::currentDateTime()));
    Reload();
}
