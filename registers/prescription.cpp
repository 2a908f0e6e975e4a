#include "prescription.h"

namespace prescription {

namespace {

constexpr int kNameLength = 50;
constexpr int kInstitutionLength = 100;
constexpr int kOldestAge = 150;

QString Required(const QString& value, const QString& field, int longest) {
    if (value.isEmpty())
        return QStringLiteral("请填写%1").arg(field);
    if (value.size() > longest)
        return QStringLiteral("%1最多 %2 个字").arg(field, QString::number(longest));
    return {};
}

} // namespace

CPrescription Trimmed(const CPrescription& p) {
    CPrescription trimmed = p;
    for (QString* text : {&trimmed.patient, &trimmed.sex, &trimmed.age, &trimmed.doctor,
                          &trimmed.institution, &trimmed.pharmacist, &trimmed.dispenser})
        *text = text->trimmed();
    return trimmed;
}

QString Problem(const CPrescription& typed, const QDate& today) {
    const CPrescription p = Trimmed(typed);
    if (QString problem = Required(p.patient, QStringLiteral("患者姓名"), kNameLength);
        !problem.isEmpty())
        return problem;
    if (p.sex != QStringLiteral("男") && p.sex != QStringLiteral("女"))
        return QStringLiteral("请选择性别");
    bool isNumber = false;
    const int age = p.age.toInt(&isNumber);
    if (!isNumber || age < 0 || age > kOldestAge)
        return QStringLiteral("年龄应为 0 到 150 的整数（周岁，不满 1 岁填 0）");
    if (QString problem = Required(p.doctor, QStringLiteral("处方医师"), kNameLength);
        !problem.isEmpty())
        return problem;
    if (QString problem = Required(p.institution, QStringLiteral("医疗机构"), kInstitutionLength);
        !problem.isEmpty())
        return problem;
    if (!p.date.isValid())
        return QStringLiteral("请填写处方日期");
    if (p.date > today)
        return QStringLiteral("处方日期 %1 晚于今天").arg(p.date.toString(Qt::ISODate));
    if (p.date.daysTo(today) > kValidDays)
        return QStringLiteral("处方开具于 %1，已超过 %2 天有效期，不能调配")
            .arg(p.date.toString(Qt::ISODate), QString::number(kValidDays));
    if (p.pharmacist.isEmpty())
        return QStringLiteral("药师不在岗，处方无人审核");
    return {};
}

} // namespace prescription
