#include "CDayReportDlg.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>

CDayReportDlg::CDayReportDlg(const QDateTime& now, QWidget* parent)
    : CConditionDlg(QStringLiteral("209"), QStringLiteral("日销售报表－汇总条件"), parent),
      m_date(now) {
    m_pDate = MakeDatePicker(QStringLiteral("1047"));
    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("日期："), this), 0, 0);
    fields->addWidget(m_pDate, 0, 1);
    BuildFrame(QStringLiteral("请在下面输入要查看的销售报表的日期：(默认为当天)"), fields,
               QStringLiteral("查看"));
    UpdateData(false);
}

void CDayReportDlg::UpdateData(bool save) {
    if (save)
        m_date.setDate(m_pDate->date());
    else
        m_pDate->setDate(m_date.date());
}

void CDayReportDlg::OnOK() {
    m_strDate = m_pDate->text();
    UpdateData(true);
    accept();
}
