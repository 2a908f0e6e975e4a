#include "pharmacist_on_duty.h"

#include "pharmacist_duty.h"

const QString CPharmacistOnDuty::kNobodyOnDuty = QStringLiteral("药师不在岗");

QString CPharmacistOnDuty::GoOff(CDatabase* db, const QString& operatorName, const QDateTime& now) {
    if (!IsOnDuty())
        return {};
    const QString failure = pharmacistduty::GoOffDuty(db, m_strName, operatorName, now);
    m_strName.clear();
    return failure;
}

QString CPharmacistOnDuty::PaneText() const {
    return IsOnDuty() ? QStringLiteral("在岗药师：%1").arg(m_strName) : kNobodyOnDuty;
}
