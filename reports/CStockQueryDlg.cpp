#include "CStockQueryDlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

CStockQueryDlg::CStockQueryDlg(QWidget* parent)
    : CConditionDlg(QStringLiteral("191"), QStringLiteral("采购库存"), parent) {
    m_pName = MakeEdit(QStringLiteral("1061"));
    m_pOrigin = MakeEdit(QStringLiteral("1053"));
    m_pPackModel = MakeEdit(QStringLiteral("1054"));
    m_pExpiry = MakeEdit(QStringLiteral("1055"));

    auto* fields = new QGridLayout;
    const struct {
        const char16_t* label;
        QLineEdit* edit;
    } rows[] = {{u"名称：", m_pName},
                {u"产地：", m_pOrigin},
                {u"规格型号：", m_pPackModel},
                {u"有效截止日期：", m_pExpiry}};
    int row = 0;
    for (const auto& r : rows) {
        fields->addWidget(new QLabel(QString::fromUtf16(r.label), this), row, 0);
        fields->addWidget(r.edit, row, 1);
        ++row;
    }
    fields->addWidget(new QLabel(QStringLiteral("格式:1990-01-20"), this), 3, 2);
    BuildFrame(QStringLiteral("请在下面输入要检索的库存记录的信息，然后按【搜索】按钮进行搜索: "
                              "(支持模糊匹配)"),
               fields, QStringLiteral("搜索"));
    UpdateData(false);
}

QLineEdit* CStockQueryDlg::MakeEdit(const QString& id) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(id);
    return edit;
}

void CStockQueryDlg::UpdateData(bool save) {
    if (save) {
        m_patterns.name = m_pName->text();
        m_patterns.origin = m_pOrigin->text();
        m_patterns.packModel = m_pPackModel->text();
        m_patterns.expiry = m_pExpiry->text();
    } else {
        m_pName->setText(m_patterns.name);
        m_pOrigin->setText(m_patterns.origin);
        m_pPackModel->setText(m_patterns.packModel);
        m_pExpiry->setText(m_patterns.expiry);
    }
}

void CStockQueryDlg::OnOK() {
    UpdateData(true);
    accept();
}
