#include "card_lookup.h"

#include "drug_pinyin.h"
#include "entry_fields.h"
#include "picker_list.h"
#include "result_loader.h"
#include "text_forms.h"

#include <algorithm>

namespace {

const QString kStockTable = QStringLiteral("存");

} // namespace

CStockCard CCardLookup::Stored(const CStockCard& typed) {
    using textforms::WithoutTrailingBlanks;
    return {WithoutTrailingBlanks(typed.name), WithoutTrailingBlanks(typed.origin),
            WithoutTrailingBlanks(typed.packModel), WithoutTrailingBlanks(typed.expiry)};
}

CStatement CCardLookup::PickerStatement(const CStockCard& typed) {
    CStatement statement{QStringLiteral("SELECT 名称,产地,规格型号,有效截止日期 FROM 存"), {}};
    const CStockCard card = Stored(typed);
    if (!card.name.isEmpty()) {
        statement.sql += QStringLiteral(" WHERE 名称=?");
        statement.values.emplace_back(card.name);
    }
    return statement;
}

CStatement CCardLookup::CardsOfDrug(const QString& name, const QString& origin,
                                    const QString& packModel) {
    return {QStringLiteral("SELECT 有效截止日期,现有存货量 FROM 存 WHERE 名称=? AND 产地=? AND "
                           "规格型号=? ORDER BY 有效截止日期"),
            {name, origin, packModel}};
}

QString CCardLookup::BoxesText(const QString& stock) {
    bool ok = false;
    const double boxes = stock.toDouble(&ok);
    if (!ok)
        return stock;
    QString text = QString::number(boxes, 'f', 2);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

bool CCardLookup::HasStock(const QString& stock) {
    return stock.toDouble() >= entryfields::kFinestBox / 2;
}

QDate CCardLookup::DateOf(const QString& text) {
    return QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
}

bool CCardLookup::IsInitials(const QString& typed) {
    const QString text = typed.trimmed();
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
               (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
    });
}

QStringList CCardLookup::NamesByInitials(const QString& initials, int limit,
                                         QString* failure) const {
    CPickerList names;
    for (const drugpinyin::CMatch& match :
         drugpinyin::Search(m_pDatabase, initials, limit, failure))
        names.Add(match.name);
    return names.Items();
}

QString CCardLookup::CardHint(const CStockCard& typed, const QDate& today) const {
    const CStockCard card = Stored(typed);
    if (card.name.isEmpty() || card.origin.isEmpty() || card.packModel.isEmpty() ||
        card.expiry.isEmpty())
        return {};
    const std::optional<CResultTable> rows =
        RunStatement(m_pDatabase, kStockTable, CardsOfDrug(card.name, card.origin, card.packModel));
    if (!rows)
        return {};
    QString hint;
    QString firstOut, firstOutStock;
    for (int row = 0; row < rows->RowCount(); ++row) {
        const QString expiry = rows->CellText(row, 0);
        const QString stock = rows->CellText(row, 1);
        if (expiry == card.expiry) {
            hint = QStringLiteral("库存 %1 盒 · %2 到期").arg(BoxesText(stock), expiry);
            if (const QDate date = DateOf(expiry); date.isValid()) {
                const qint64 days = today.daysTo(date);
                hint += days >= 0 ? QStringLiteral("（还有 %1 天）").arg(days)
                                  : QStringLiteral("（已过期 %1 天）").arg(-days);
            }
            continue;
        }
        const QDate date = DateOf(expiry);
        if (date.isValid() && date >= today && HasStock(stock) &&
            (firstOut.isEmpty() || date < DateOf(firstOut))) {
            firstOut = expiry;
            firstOutStock = stock;
        }
    }
    const QDate chosen = DateOf(card.expiry);
    if (!hint.isEmpty() && !firstOut.isEmpty() && (!chosen.isValid() || DateOf(firstOut) < chosen))
        hint += QStringLiteral(" · 先售 %1 批（余 %2 盒）").arg(firstOut, BoxesText(firstOutStock));
    return hint;
}

std::optional<CCardLookup::Lists> CCardLookup::PickerLists(const CStockCard& typed,
                                                           QString* failure) const {
    const CStockCard card = Stored(typed);
    // The cards of the typed name give the three lists after it; the names come from all.
    const std::optional<CResultTable> rows =
        RunStatement(m_pDatabase, kStockTable, PickerStatement(card), failure);
    if (!rows)
        return std::nullopt;
    Lists lists;
    if (rows->RowCount() == 0 && IsInitials(card.name)) {
        lists.names = NamesByInitials(card.name, 20, failure);
        if (failure && !failure->isEmpty())
            return std::nullopt;
    } else if (card.name.isEmpty()) {
        lists.names = CPickerList::FromColumn(*rows, 0);
    } else {
        const std::optional<CResultTable> names =
            RunStatement(m_pDatabase, kStockTable,
                         {QStringLiteral("SELECT DISTINCT 名称 FROM 存"), {}}, failure);
        if (!names)
            return std::nullopt;
        lists.names = CPickerList::FromColumn(*names, 0);
    }
    CPickerList origins, packModels, expiries;
    for (int row = 0; row < rows->RowCount(); ++row) {
        origins.Add(rows->CellText(row, 1));
        if (!card.origin.isEmpty() && rows->CellText(row, 1) != card.origin)
            continue;
        packModels.Add(rows->CellText(row, 2));
        if (card.packModel.isEmpty() || rows->CellText(row, 2) == card.packModel)
            expiries.Add(rows->CellText(row, 3));
    }
    lists.origins = origins.Items();
    lists.packModels = packModels.Items();
    lists.expiries = expiries.Items();
    return lists;
}
