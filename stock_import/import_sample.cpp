#include "import_sample.h"
#include "ean13.h"

#include <QStringEncoder>
#include <QStringList>

#include <iterator>

namespace importsample {

namespace {

const char* const kNames[] = {"阿莫西林胶囊", "布洛芬缓释胶囊",   "头孢克肟分散片",
                              "板蓝根颗粒",   "复方甘草片",       "维生素C片",
                              "感冒灵颗粒",   "蒙脱石散",         "盐酸左氧氟沙星片",
                              "氯雷他定片",   "奥美拉唑肠溶胶囊", "连花清瘟胶囊"};
const char* const kMakers[] = {"华北制药股份有限公司",       "中美天津史克制药有限公司",
                               "广州白云山制药股份有限公司", "修正药业集团股份有限公司",
                               "哈药集团制药总厂",           "石药集团欧意药业有限公司"};
const char* const kModels[] = {"0.25g*24粒", "0.3g*20粒", "0.1g*12片",
                               "10g*20袋",   "100片/瓶",  "3g*10袋"};
const char* const kClasses[] = {"处方药", "甲类非处方药", "乙类非处方药", "其他"};

// A cheap, repeatable spread of figures.
class CDice {
public:
    unsigned Next(unsigned below) {
        m_state = m_state * 6364136223846793005ull + 1442695040888963407ull;
        return unsigned(m_state >> 33) % below;
    }

private:
    unsigned long long m_state = 20240601;
};

QString Expiry(int row, CDice& dice) {
    const int year = 2027 + int(dice.Next(3));
    const int month = 1 + int(dice.Next(12));
    const int day = 1 + int(dice.Next(28));
    switch (row % 5) {
    case 0:
        return QString::asprintf("%04d-%02d-%02d", year, month, day);
    case 1:
        return QString::asprintf("%04d/%d/%d", year, month, day);
    case 2:
        return QString::asprintf("%04d.%02d.%02d", year, month, day);
    case 3:
        return QString::asprintf("%04d%02d%02d", year, month, day);
    default:
        return QString::asprintf("%04d-%02d", year, month);
    }
}

QString Barcode(int drug) {
    const QString first12 = QString::asprintf("69%010d", 1000 + drug);
    return first12 + QString::number(ean13::CheckDigit(first12).value_or(0));
}

} // namespace

QByteArray SampleCsv(int batches, int drugs, const QList<int>& faultyLines) {
    const int drugCount = drugs > 0 ? drugs : 1;
    CDice dice;
    QString text = QStringLiteral(
        "药品名称,生产企业,规格,批号,有效期至,数量,进价,零售价,条形码,批准文号,类别,每盒总量\r\n");
    for (int row = 0; row < batches; ++row) {
        const int line = row + 2;
        const int drug = row % drugCount;
        const int kinds = int(std::size(kNames));
        const QString name =
            QString::fromUtf8(kNames[drug % kinds]) + QString::number(drug / kinds + 1);
        const QString maker = QString::fromUtf8(kMakers[drug % int(std::size(kMakers))]);
        const QString model = QString::fromUtf8(kModels[drug % int(std::size(kModels))]);
        const int cents = 150 + int(dice.Next(20000));
        const QString expiry =
            faultyLines.contains(line) ? QStringLiteral("2027-13-01") : Expiry(row, dice);
        const QStringList cells{
            name,
            maker,
            model,
            QString::asprintf("B%06d", 100000 + row),
            expiry,
            QString::number(1 + dice.Next(200)),
            QString::asprintf("%d.%02d", cents / 100, cents % 100),
            QString::asprintf("%d.%02d", cents * 13 / 1000, cents * 13 / 10 % 100),
            Barcode(drug),
            QString::asprintf("国药准字H%08d", 20000000 + drug),
            QString::fromUtf8(kClasses[drug % int(std::size(kClasses))]),
            QString::number(10 + 2 * int(drug % 12)),
        };
        text += cells.join(u',') + QStringLiteral("\r\n");
    }
    QStringEncoder gb18030("GB18030");
    return gb18030.encode(text);
}

} // namespace importsample
