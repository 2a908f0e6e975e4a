#include "ephedrine.h"

#include "CRecordset.h"
#include "books_rule.h"
#include "id_card.h"
#include "sql_text.h"

#include <cmath>

namespace ephedrine {

namespace {

constexpr int kNameLength = 50;
const QString kRepeatRule = QStringLiteral("麻黄碱七日内重复购买");
const QString kRefuse = QStringLiteral("拒绝销售");
const QString kWarn = QStringLiteral("仅提醒");

QString BoxText(double boxes) {
    return QString::number(boxes, 'g', 15);
}

} // namespace

CBuyer Normalized(const CBuyer& buyer) {
    return {buyer.name.trimmed(), idcard::Normalized(buyer.id)};
}

QString Problem(const CBuyer& typed, const QDate& today) {
    const CBuyer buyer = Normalized(typed);
    if (buyer.name.isEmpty())
        return QStringLiteral("请填写购买人姓名");
    if (buyer.name.size() > kNameLength)
        return QStringLiteral("购买人姓名最多 50 个字");
    return idcard::Problem(buyer.id, today);
}

double BoxesOf(bool splitPack, unsigned quantity, unsigned piecesPerBox) {
    if (!splitPack || piecesPerBox == 0)
        return quantity;
    return std::max(1.0, std::ceil(double(quantity) / piecesPerBox));
}

QString OverLimit(double before, double line) {
    if (before + line <= kBoxesPerSale)
        return {};
    return QStringLiteral("含麻黄碱类复方制剂每单最多销售 %1 盒（凭处方除外）：本单已售 %2 盒，"
                          "这次 %3 盒")
        .arg(BoxText(kBoxesPerSale), BoxText(before), BoxText(line));
}

QStringList Earlier(CDatabase& db, const QString& id, const QDateTime& since) {
    CRecordset rows(&db);
    // A sale reversed since is no purchase.
    rows.Open(
        QStringLiteral("SELECT r.时间, s.名称, s.数量, s.销售类型 FROM 麻黄碱登记 r JOIN 销 s ON "
                       "s.单号 = r.单号 WHERE r.身份证号 = ? AND r.时间 >= ? AND NOT EXISTS "
                       "(SELECT 1 FROM 销 c WHERE c.冲正单号 = r.单号) ORDER BY r.时间 DESC"),
        {idcard::Normalized(id), sqltext::Timestamp(since)});
    QStringList earlier;
    while (rows.Fetch()) {
        const QString time = rows.GetFieldValue(0).value_or(QString()).left(16);
        const QString name = rows.GetFieldValue(1).value_or(QString());
        const QString quantity =
            QString::number(rows.GetFieldValue(2).value_or(QString()).toDouble(), 'g', 6);
        const bool split = rows.GetFieldValue(3).value_or(QString()) == QStringLiteral("拆零销售");
        earlier << QStringLiteral("%1 %2 %3%4")
                       .arg(time, name, quantity,
                            split ? QStringLiteral(" 盒（拆零）") : QStringLiteral(" 盒"));
    }
    return earlier;
}

bool RepeatRefused(CDatabase& db) {
    return booksrule::Read(db, kRepeatRule) == kRefuse;
}

void SetRepeatRefused(CDatabase& db, bool refused, const QString& operatorName,
                      const QDateTime& now) {
    booksrule::Set(db, kRepeatRule, refused ? kRefuse : kWarn,
                   {QStringLiteral("麻黄碱登记设置"), kWarn}, operatorName, now);
}

QString RepeatText(const QStringList& earlier, bool refused) {
    const QString list = earlier.join(QStringLiteral("\n"));
    if (refused)
        return QStringLiteral(
                   "该身份证号 %1 天内已购买过含麻黄碱类复方制剂，按本店规定不再销售：\n%2")
            .arg(QString::number(kRepeatDays), list);
    return QStringLiteral(
               "该身份证号 %1 天内已购买过含麻黄碱类复方制剂：\n%2\n\n确定要继续销售吗？")
        .arg(QString::number(kRepeatDays), list);
}

} // namespace ephedrine
