#pragma once
// 药师在岗 / 药师离岗: a pharmacist proves who they are with their password, as the login checks
// it, and the log says who was on duty when, under the operator logged in at the counter.
#include <QDateTime>
#include <QString>

class CDatabase;

namespace pharmacistduty {

// `pharmacist` comes on duty after `current` (empty when nobody is; replaced and logged off
// first, both rows in one transaction). Empty when on duty now, otherwise what to tell the
// user; nothing is logged then. The same pharmacist again stays on duty without a new row.
QString GoOnDuty(CDatabase* db, const QString& pharmacist, const QString& password,
                 const QString& current, const QString& operatorName, const QDateTime& now);
// Logs `pharmacist` off duty. Empty when logged, otherwise why not.
QString GoOffDuty(CDatabase* db, const QString& pharmacist, const QString& operatorName,
                  const QDateTime& now);

extern const QString kWrongPassword;
extern const QString kNoPharmacists;

} // namespace pharmacistduty
