#include "row_digest.h"

#include "CRecordset.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <map>
#include <set>
#include <string_view>

namespace rowdigest {

namespace {

const QString kStockTable = QStringLiteral("存");

QString ChangeWord(CLoggedRow::Change change) {
    switch (change) {
    case CLoggedRow::Change::Added:
        return QStringLiteral("新");
    case CLoggedRow::Change::Changed:
        return QStringLiteral("改");
    case CLoggedRow::Change::Removed:
        return QStringLiteral("删");
    case CLoggedRow::Change::None:
        break;
    }
    return {};
}

CLoggedRow::Change ChangeOf(const QString& word) {
    if (word == QStringLiteral("新"))
        return CLoggedRow::Change::Added;
    if (word == QStringLiteral("改"))
        return CLoggedRow::Change::Changed;
    if (word == QStringLiteral("删"))
        return CLoggedRow::Change::Removed;
    return CLoggedRow::Change::None;
}

void AddField(QByteArray& text, std::string_view field) {
    text += QByteArray::number(qsizetype(field.size()));
    text += ':';
    text.append(field.data(), qsizetype(field.size()));
    text += '\n';
}

} // namespace

QStringList KeyColumns(const QString& table) {
    if (table == QStringLiteral("操作员"))
        return {QStringLiteral("用户名")};
    if (table == QStringLiteral("药品"))
        return {QStringLiteral("名称"), QStringLiteral("产地"), QStringLiteral("规格型号")};
    if (table == QStringLiteral("药品条码"))
        return {QStringLiteral("条形码")};
    if (table == QStringLiteral("追溯码"))
        return {QStringLiteral("追溯码")};
    if (table == QStringLiteral("账套设置"))
        return {QStringLiteral("名称")};
    if (table == QStringLiteral("执业药师"))
        return {QStringLiteral("用户名")};
    if (table == QStringLiteral("处方"))
        return {QStringLiteral("处方号")};
    if (table == QStringLiteral("处方销售"))
        return {QStringLiteral("单号")};
    if (table == kStockTable)
        return {QStringLiteral("名称"), QStringLiteral("产地"), QStringLiteral("规格型号"),
                QStringLiteral("有效截止日期")};
    return {QStringLiteral("单号")};
}

CStatement SelectRow(const QString& table, const QStringList& key) {
    const QStringList columns = KeyColumns(table);
    QStringList conditions;
    sqlparams::Values values;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        conditions << columns[i] + QStringLiteral("=?");
        values.emplace_back(key.value(i));
    }
    // Only so do the partial indexes on 单号 serve: without it SQLite reads every row.
    if (columns == QStringList{QStringLiteral("单号")})
        conditions << QStringLiteral("单号<>''");
    return {QStringLiteral("SELECT * FROM %1 WHERE %2").arg(table, conditions.join(" AND ")),
            values};
}

std::vector<short> Positions(const CRecordset& rows, const QStringList& columns) {
    std::vector<short> positions;
    for (const QString& column : columns) {
        short found = -1;
        for (short c = 0; c < rows.GetODBCFieldCount(); ++c)
            if (rows.GetODBCFieldInfo(c).m_strName == column)
                found = c;
        positions.push_back(found);
    }
    return positions;
}

QString Digest(CRecordset& rows, const std::vector<short>& wanted, QStringList* values) {
    if (values)
        *values = QStringList(qsizetype(wanted.size()));
    QByteArray text;
    for (short c = 0; c < rows.GetODBCFieldCount(); ++c) {
        AddField(text, rows.GetODBCFieldInfo(c).m_strName.toUtf8().toStdString());
        std::string_view value;
        if (rows.GetFieldUtf8(c, value))
            AddField(text, value);
        else
            text += "~\n"; // NULL, which no field text can be taken for
        for (size_t w = 0; values && w < wanted.size(); ++w)
            if (wanted[w] == c)
                (*values)[qsizetype(w)] = QString::fromUtf8(value.data(), qsizetype(value.size()));
    }
    return QString::fromLatin1(QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex());
}

namespace {

// A row as read back: its digest and its stock (of a card).
struct CRowRead {
    QString digest;
    QString stock;
};

// Reads the row `written` is on in one pass (its columns come in order): the digest, the stock,
// and the values of the columns at `keyAt` into `key`.
CRowRead ReadRow(CRecordset& written, const std::vector<short>& keyAt, QStringList* key) {
    std::vector<short> wanted = keyAt;
    wanted.push_back(Positions(written, {QStringLiteral("现有存货量")}).front());
    QStringList values;
    CRowRead read{Digest(written, wanted, &values), values.back()};
    if (key)
        *key = values.mid(0, qsizetype(keyAt.size()));
    return read;
}

// The mark of `row` as `read` back (nullopt: not there).
QString MarkOf(const CLoggedRow& row, const std::optional<CRowRead>& read) {
    QJsonObject mark{{QStringLiteral("表"), row.table},
                     {QStringLiteral("键"), QJsonArray::fromStringList(row.key)}};
    CLoggedRow::Change change = row.change;
    if (change != CLoggedRow::Change::Removed) {
        if (read) {
            mark.insert(QStringLiteral("校验"), read->digest);
            if (row.table == kStockTable)
                mark.insert(QStringLiteral("现有存货量"), read->stock.toDouble());
        } else {
            change = CLoggedRow::Change::Removed;
        }
    }
    mark.insert(QStringLiteral("变动"), ChangeWord(change));
    if (change == CLoggedRow::Change::Removed && !row.was.isEmpty()) {
        QJsonArray was;
        for (const auto& [column, value] : row.was)
            was.append(QJsonArray{column, value});
        mark.insert(QStringLiteral("原行"), was);
    }
    return QString::fromUtf8(QJsonDocument(mark).toJson(QJsonDocument::Compact));
}

QString KeyText(const QStringList& key) {
    return key.join(QChar(0x1e));
}

constexpr qsizetype kRowsAStatement = 100;

} // namespace

QString Mark(CDatabase& db, const CLoggedRow& row) {
    if (row.change == CLoggedRow::Change::None)
        return {};
    if (row.change == CLoggedRow::Change::Removed)
        return MarkOf(row, std::nullopt);
    CRecordset written(&db);
    const CStatement select = SelectRow(row.table, row.key);
    written.Open(select.sql, select.values);
    if (!written.Fetch())
        return MarkOf(row, std::nullopt);
    return MarkOf(row, ReadRow(written, {}, nullptr));
}

QStringList Marks(CDatabase& db, const std::vector<CLoggedRow>& rows) {
    QStringList marks(qsizetype(rows.size()));
    // Per table, the rows to read back, by key.
    std::map<QString, std::map<QString, std::vector<size_t>>> wanted;
    for (size_t i = 0; i < rows.size(); ++i) {
        const CLoggedRow& row = rows[i];
        if (row.change == CLoggedRow::Change::None)
            continue;
        if (row.change == CLoggedRow::Change::Removed)
            marks[qsizetype(i)] = MarkOf(row, std::nullopt);
        else
            wanted[row.table][KeyText(row.key)].push_back(i);
    }
    for (const auto& [table, byKey] : wanted) {
        const QStringList columns = KeyColumns(table);
        std::vector<QString> keys;
        for (const auto& entry : byKey)
            keys.push_back(entry.first);
        std::set<QString> found;
        for (size_t from = 0; from < keys.size(); from += size_t(kRowsAStatement)) {
            QStringList either;
            sqlparams::Values values;
            const size_t to = std::min(keys.size(), from + size_t(kRowsAStatement));
            for (size_t k = from; k < to; ++k) {
                const QStringList key = keys[k].split(QChar(0x1e));
                QStringList all;
                for (qsizetype c = 0; c < columns.size(); ++c) {
                    all << columns[c] + QStringLiteral("=?");
                    values.emplace_back(key.value(c));
                }
                either << QStringLiteral("(%1)").arg(all.join(QStringLiteral(" AND ")));
            }
            QString sql = QStringLiteral("SELECT * FROM %1 WHERE (%2)")
                              .arg(table, either.join(QStringLiteral(" OR ")));
            // Only so do the partial indexes on 单号 serve.
            if (columns == QStringList{QStringLiteral("单号")})
                sql += QStringLiteral(" AND 单号<>''");
            CRecordset written(&db);
            written.Open(sql, values);
            const std::vector<short> keyAt = Positions(written, columns);
            while (written.Fetch()) {
                QStringList key;
                const CRowRead read = ReadRow(written, keyAt, &key);
                const auto matched = byKey.find(KeyText(key));
                if (matched == byKey.end() || !found.insert(matched->first).second)
                    continue;
                for (const size_t i : matched->second)
                    marks[qsizetype(i)] = MarkOf(rows[i], read);
            }
        }
        for (const auto& [key, indexes] : byKey)
            if (!found.count(key))
                for (const size_t i : indexes)
                    marks[qsizetype(i)] = MarkOf(rows[i], std::nullopt);
    }
    return marks;
}

std::optional<CMark> ParseMark(const QString& text) {
    if (text.isEmpty())
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    CMark mark;
    mark.change = ChangeOf(object.value(QStringLiteral("变动")).toString());
    mark.table = object.value(QStringLiteral("表")).toString();
    for (const QJsonValue& part : object.value(QStringLiteral("键")).toArray())
        mark.key << part.toString();
    mark.digest = object.value(QStringLiteral("校验")).toString();
    if (object.contains(QStringLiteral("现有存货量")))
        mark.stock = object.value(QStringLiteral("现有存货量")).toDouble();
    for (const QJsonValue& pair : object.value(QStringLiteral("原行")).toArray())
        mark.was.append({pair.toArray().at(0).toString(), pair.toArray().at(1).toString()});
    if (mark.change == CLoggedRow::Change::None || mark.table.isEmpty())
        return std::nullopt;
    return mark;
}

} // namespace rowdigest
