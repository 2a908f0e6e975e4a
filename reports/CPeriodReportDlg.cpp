#include "CPeriodReportDlg.h"

#include <QLabel>

namespace {

QLabel* MakeHintLabel() {
    auto* hint = new QLabel;
    hint->setObjectName(QStringLiteral("1063"));
    return hint;
}

} // namespace

CPeriodReportDlg::CPeriodReportDlg(QWidget* parent) : CPeriodReportDlg(parent, MakeHintLabel()) {}

CPeriodReportDlg::CPeriodReportDlg(QWidget* parent, QLabel* hint)
    : CDateRangeDlg({QStringLiteral("210"), QStringLiteral("报表－汇总条件"),
                     QStringLiteral("请在下面输入要查看的报表的起始日期和结束日期："),
                     QStringLiteral("起始日期："), QStringLiteral("结束日期："),
                     QStringLiteral("查看")},
                    parent, hint),
      m_pHint(hint) {}

void CPeriodReportDlg::SetDates(const QDateTime& start, const QDateTime& end) {
    SetRange(start, end);
}

void CPeriodReportDlg::SetHint(const QString& hint) {
    m_strHint = hint;
    m_pHint->setText(m_strHint);
}
