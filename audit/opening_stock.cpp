#include "opening_stock.h"

#include "CRecordset.h"
#include "row_digest.h"
#include "sql_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace openingstock {

namespace {

const QChar kSeparator(0x1f);
const QString kAction = QStringLiteral("期初");
const QStringList kMovementTables{QStringLiteral("进"), QStringLiteral("销"), QStringLiteral("损")};

long long Count(CDatabase& db, const QString& table) {
    CRecordset count(&db);
    count.Open(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table));
    return count.Fetch() ? count.GetFieldValue(0).value_or(QString()).toLongLong() : 0;
}

} // namespace

QString CardKey(const QStringList& card) {
    return card.join(kSeparator);
}

QStringList CardOf(const QString& key) {
    return key.split(kSeparator);
}

CLogEntry Entry(CDatabase& db, const QString& operatorName, const QString& number) {
    QJsonArray cards;
    double total = 0;
    {
        CRecordset stock(&db);
        stock.Open(QStringLiteral("SELECT 名称,产地,规格型号,有效截止日期,现有存货量 FROM 存 "
                                  "ORDER BY 名称,产地,规格型号,有效截止日期"));
        while (stock.Fetch()) {
            QJsonArray card;
            for (short c = 0; c < 4; ++c)
                card.append(stock.GetFieldValue(c).value_or(QString()));
            const double boxes = stock.GetFieldValue(4).value_or(QString()).toDouble();
            card.append(boxes);
            total += boxes;
            cards.append(card);
        }
    }
    QJsonObject operators;
    {
        CRecordset rows(&db);
        rows.Open(QStringLiteral("SELECT * FROM 操作员"));
        const std::vector<short> name = rowdigest::Positions(rows, {QStringLiteral("用户名")});
        while (rows.Fetch()) {
            QStringList values;
            const QString digest = rowdigest::Digest(rows, name, &values);
            operators.insert(values.value(0), digest);
        }
    }
    QJsonObject earlier;
    for (const QString& table : kMovementTables)
        earlier.insert(table, Count(db, table));
    const QJsonObject opening{{QStringLiteral("界"), number},
                              {QStringLiteral("存"), cards},
                              {QStringLiteral("操作员"), operators},
                              {QStringLiteral("早于日志"), earlier}};
    const QString content =
        QStringLiteral("期初：库存卡 %1 张，现有存货量合计 %2 盒；在此之前的记录：进 %3 行、销 %4 "
                       "行、损 %5 行；操作员 %6 个\n%7")
            .arg(QString::number(cards.size()), sqltext::Exact(total),
                 QString::number(earlier.value(QStringLiteral("进")).toInteger()),
                 QString::number(earlier.value(QStringLiteral("销")).toInteger()),
                 QString::number(earlier.value(QStringLiteral("损")).toInteger()),
                 QString::number(operators.size()),
                 QString::fromUtf8(QJsonDocument(opening).toJson(QJsonDocument::Compact)));
    return {operatorName, kAction, QStringLiteral("存"), content, number};
}

std::optional<COpening> Read(CDatabase& db) {
    CRecordset row(&db);
    row.Open(QStringLiteral("SELECT 序号, 内容 FROM 日志 WHERE 动作=? ORDER BY 序号 LIMIT 1"),
             {kAction});
    if (!row.Fetch())
        return std::nullopt;
    COpening opening;
    opening.logNumber = row.GetFieldValue(0).value_or(QString()).toLongLong();
    const QString content = row.GetFieldValue(1).value_or(QString());
    const QJsonObject object =
        QJsonDocument::fromJson(content.mid(content.indexOf(QLatin1Char('\n')) + 1).toUtf8())
            .object();
    opening.boundary = object.value(QStringLiteral("界")).toString();
    for (const QJsonValue& value : object.value(QStringLiteral("存")).toArray()) {
        const QJsonArray card = value.toArray();
        QStringList texts;
        for (int c = 0; c < 4; ++c)
            texts << card.at(c).toString();
        opening.stock[CardKey(texts)] = card.at(4).toDouble();
    }
    const QJsonObject operators = object.value(QStringLiteral("操作员")).toObject();
    for (auto it = operators.begin(); it != operators.end(); ++it)
        opening.operators[it.key()] = it.value().toString();
    const QJsonObject earlier = object.value(QStringLiteral("早于日志")).toObject();
    for (auto it = earlier.begin(); it != earlier.end(); ++it)
        opening.earlierRows[it.key()] = it.value().toInteger();
    return opening;
}

} // namespace openingstock
