#include "CDateRangeDlg.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>

CDateRangeDlg::CDateRangeDlg(const Texts& texts, QWidget* parent, QWidget* bottomLeft)
    : CConditionDlg(texts.id, texts.caption, parent) {
    m_pStart = MakeDatePicker(QStringLiteral("1047"));
    m_pEnd = MakeDatePicker(QStringLiteral("1048"));
    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(texts.startLabel, this), 0, 0);
    fields->addWidget(m_pStart, 0, 1);
    fields->addWidget(new QLabel(texts.endLabel, this), 1, 0);
    fields->addWidget(m_pEnd, 1, 1);
    if (bottomLeft)
        bottomLeft->setParent(this);
    BuildFrame(texts.prompt, fields, texts.okText, bottomLeft);
}

void CDateRangeDlg::SetRange(const QDateTime& start, const QDateTime& end) {
    m_start = start;
    m_end = end;
    UpdateData(false);
}

void CDateRangeDlg::UpdateData(bool save) {
    if (save) {
        m_start.setDate(m_pStart->date());
        m_end.setDate(m_pEnd->date());
    } else {
        m_pStart->setDate(m_start.date());
        m_pEnd->setDate(m_end.date());
    }
}

void CDateRangeDlg::OnOK() {
    m_strStart = m_pStart->text();
    m_strEnd = m_pEnd->text();
    UpdateData(true);
    accept();
}
