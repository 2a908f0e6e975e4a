#pragma once
// The prescription a prescription drug is sold on, as the register keeps it, and what makes one
// acceptable at the counter.
#include <QDate>
#include <QString>

namespace prescription {

// A prescription is valid on the day it was written and, where the doctor says so, up to 3 days
// after; an older one is not dispensed.
constexpr int kValidDays = 3;

struct CPrescription {
    QString number;      // 处方号: its own number, given when it is first written
    QString patient;     // 患者姓名
    QString sex;         // 性别: 男 or 女
    QString age;         // 年龄, whole years as typed
    QString doctor;      // 处方医师
    QString institution; // 医疗机构
    QDate date;          // 处方日期
    QString pharmacist;  // 审方药师: the pharmacist on duty who reviewed it
    QString dispenser;   // 调配人: the operator at the counter
};

// The first field of `p` that cannot be registered on `today`, said for the user; empty when
// every one can. Texts are taken without the blanks around them.
QString Problem(const CPrescription& p, const QDate& today);
// `p` with the blanks around its texts dropped, as the books keep it.
CPrescription Trimmed(const CPrescription& p);

} // namespace prescription
