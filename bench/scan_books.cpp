#include "scan_books.h"

#include "ean13.h"

#include <QStringList>
#include <algorithm>

namespace scanbooks {

namespace {

constexpr long long kFirstCode = 692000000000LL; // twelve digits, "69…" as codes in China
constexpr int kCodeStep = 7919;
constexpr int kSalesPart = 100000;

// What the two dialects write differently.
struct Dialect {
    bool postgres;

    // Put before an INSERT … SELECT that reads i from n; binds the first and the last i.
    QString Numbers() const {
        return postgres ? QString()
                        : QStringLiteral("WITH RECURSIVE n(i) AS (SELECT ? UNION ALL SELECT i + 1 "
                                         "FROM n WHERE i < ?) ");
    }
    QString From() const {
        return postgres ? QStringLiteral("generate_series(?, ?) AS n(i)") : QStringLiteral("n");
    }
    QString TwoDigits(const QString& number) const {
        return postgres ? QStringLiteral("lpad((%1)::text, 2, '0')").arg(number)
                        : QStringLiteral("substr('0' || (%1), -2)").arg(number);
    }
    // Sale t of the history: one every five minutes from 2003 on.
    QString Stamp(const QString& t) const {
        return postgres ? QStringLiteral("TIMESTAMP '2003-01-01 08:00:00' + %1 * INTERVAL "
                                         "'5 minutes'")
                              .arg(t)
                        : QStringLiteral("strftime('%Y-%m-%d %H:%M:%S', '2003-01-01 08:00:00', "
                                         "'+' || (%1 * 300) || ' seconds')")
                              .arg(t);
    }
    // Drug i's card of `year`.
    QString Expiry(int year, const QString& i) const {
        return QStringLiteral("'%1-' || %2 || '-' || %3")
            .arg(QString::number(year), TwoDigits(QStringLiteral("1 + %1 % 12").arg(i)),
                 TwoDigits(QStringLiteral("1 + %1 % 28").arg(i)));
    }
    CStatement Fill(const QString& insert, int from, int count) const {
        return {Numbers() + insert.arg(From()), {qlonglong(from), qlonglong(from + count - 1)}};
    }
};

// Three cards a drug: one long expired (with a few boxes for every other drug), the next one
// empty for every third drug, the last always in stock. FEFO has to pass over the first two.
struct Batch {
    int year;
    const char* stock;
};
constexpr Batch kBatches[] = {{2021, "CASE WHEN i % 2 = 0 THEN 5 ELSE 0 END"},
                              {2097, "CASE WHEN i % 3 = 0 THEN 0 ELSE 1000 END"},
                              {2099, "1000"}};

const QString kDrugKey = QStringLiteral("'扫码药' || i, '制药厂' || (i % 13), '0.25g*24粒'");

// The EAN-13 check digit of b, twelve digits: weights 1 and 3 from the left.
QString CheckDigitOf(const QString& b) {
    QStringList terms;
    long long power = 100000000000LL;
    for (int position = 0; position < 12; ++position, power /= 10)
        terms << QStringLiteral("%1 / %2 % 10 * %3")
                     .arg(b, QString::number(power), QString::number(position % 2 ? 3 : 1));
    return QStringLiteral("(10 - (%1) % 10) % 10").arg(terms.join(QStringLiteral(" + ")));
}

} // namespace

std::vector<CStatement> FillStatements(CDatabase::Dialect dialect, int sales) {
    const Dialect d{dialect == CDatabase::Dialect::PostgreSQL};
    std::vector<CStatement> statements;
    statements.push_back(d.Fill(
        QStringLiteral("INSERT INTO 药品 (名称, 产地, 规格型号, 条形码, 批准文号, 类别, 每盒总量, "
                       "拆零单位, 零售价, 拆零价) SELECT ") +
            kDrugKey + QStringLiteral(", CAST(b AS TEXT) || CAST(") +
            CheckDigitOf(QStringLiteral("b")) +
            QStringLiteral(" AS TEXT), '国药准字H' || (20000000 + i), CASE i % 4 WHEN 0 THEN "
                           "'处方药' WHEN 1 THEN '甲类非处方药' WHEN 2 THEN '乙类非处方药' ELSE "
                           "'其他' END, 24, '粒', 12.5 + i % 40, 0.6 FROM (SELECT i, ") +
            QString::number(kFirstCode) + QStringLiteral(" + i * ") + QString::number(kCodeStep) +
            QStringLiteral(" AS b FROM %1) AS d"),
        0, kDrugs));
    for (const Batch& batch : kBatches)
        statements.push_back(d.Fill(
            QStringLiteral("INSERT INTO 存 (名称, 产地, 规格型号, 有效截止日期, 平均成本单价, "
                           "现有存货量) SELECT ") +
                kDrugKey + QStringLiteral(", ") + d.Expiry(batch.year, QStringLiteral("i")) +
                QStringLiteral(", 2.5 + i % 50, ") + QString::fromUtf8(batch.stock) +
                QStringLiteral(" FROM %1"),
            0, kDrugs));
    // Sale t of drug i (a permutation of t, so that neighbours are far apart), from its
    // cards in turn; every fifth a split pack. In parts: each statement must end within the
    // connection's query time-out.
    const QString sale =
        QStringLiteral(
            "INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, 数量, "
            "销售类型, 实收金额, 坏帐) SELECT ") +
        d.Stamp(QStringLiteral("t")) + QStringLiteral(", ") + kDrugKey +
        QStringLiteral(", CASE t % 3 WHEN 0 THEN ") +
        d.Expiry(kBatches[0].year, QStringLiteral("i")) + QStringLiteral(" WHEN 1 THEN ") +
        d.Expiry(kBatches[1].year, QStringLiteral("i")) + QStringLiteral(" ELSE ") +
        d.Expiry(kBatches[2].year, QStringLiteral("i")) +
        QStringLiteral(" END, 12.5 + i % 40, CASE WHEN t % 5 = 0 THEN 0.25 ELSE 1 END, "
                       "CASE WHEN t % 5 = 0 THEN '拆零销售' ELSE '整盒销售' END, "
                       "CASE WHEN t % 5 = 0 THEN 3.6 ELSE 12.5 + i % 40 END, 0 "
                       "FROM (SELECT i AS t, i % ") +
        QString::number(kDrugs) + QStringLiteral(" * 7919 % ") + QString::number(kDrugs) +
        QStringLiteral(" AS i FROM %1) AS s");
    for (int from = 0; from < sales; from += kSalesPart)
        statements.push_back(d.Fill(sale, from, std::min(kSalesPart, sales - from)));
    return statements;
}

QString NameOf(int drug) {
    return QStringLiteral("扫码药%1").arg(drug);
}

QString CodeOf(int drug) {
    const QString first12 = QString::number(kFirstCode + qlonglong(drug) * kCodeStep);
    return first12 + QString::number(ean13::CheckDigit(first12).value_or(0));
}

QString FirstOutExpiryOf(int drug) {
    const int year = drug % 3 == 0 ? kBatches[2].year : kBatches[1].year;
    return QString::asprintf("%d-%02d-%02d", year, 1 + drug % 12, 1 + drug % 28);
}

} // namespace scanbooks
