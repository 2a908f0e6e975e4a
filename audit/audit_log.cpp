#include "audit_log.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CRecordset.h"
#include "CTransaction.h"
#include "row_digest.h"
#include "sql_text.h"

#include <QCryptographicHash>

namespace auditlog {

namespace {

void AddField(QByteArray& text, const QByteArray& field) {
    text += QByteArray::number(field.size());
    text += ':';
    text += field;
    text += '\n';
}

} // namespace

QByteArray RowText(const QString& previousHash, long long number, const QDateTime& time,
                   const CLogEntry& entry) {
    QByteArray text;
    AddField(text, previousHash.toUtf8());
    AddField(text, QByteArray::number(number));
    AddField(text, sqltext::Timestamp(time).toUtf8());
    AddField(text, entry.operatorName.toUtf8());
    AddField(text, entry.action.toUtf8());
    AddField(text, entry.object.toUtf8());
    AddField(text, entry.content.toUtf8());
    if (!entry.entryNumber.isEmpty() || !entry.rowMark.isEmpty())
        AddField(text, entry.entryNumber.toUtf8());
    if (!entry.rowMark.isEmpty())
        AddField(text, entry.rowMark.toUtf8());
    return text;
}

QString ChainHash(const QString& previousHash, long long number, const QDateTime& time,
                  const CLogEntry& entry) {
    return QString::fromLatin1(QCryptographicHash::hash(RowText(previousHash, number, time, entry),
                                                        QCryptographicHash::Sha256)
                                   .toHex());
}

namespace {

// The log's last two rows: the last one's 序号 and 校验, and the 校验 of the one before (0 and
// empty where there is no such row).
struct CLastRows {
    long long number = 0;
    QString hash;
    QString previousHash;
};
CLastRows LastRows(CDatabase& db) {
    CLastRows rows;
    CRecordset last(&db);
    last.Open(QStringLiteral("SELECT 序号, 校验 FROM 日志 ORDER BY 序号 DESC LIMIT 2"));
    if (!last.Fetch())
        return rows;
    rows.number = last.GetFieldValue(0).value_or(QString()).toLongLong();
    rows.hash = last.GetFieldValue(1).value_or(QString());
    if (last.Fetch()) {
        last.GetFieldValue(0);
        rows.previousHash = last.GetFieldValue(1).value_or(QString());
    }
    return rows;
}

// The columns past 校验 that the entry fills: 单号 only where it has one, 行校验 only where it
// marks a row; books from before have no such columns.
QStringList LaterColumns(const CLogEntry& entry) {
    QStringList columns;
    if (!entry.entryNumber.isEmpty() || !entry.rowMark.isEmpty())
        columns << QStringLiteral("单号");
    if (!entry.rowMark.isEmpty())
        columns << QStringLiteral("行校验");
    return columns;
}

QString InsertRow(const CLogEntry& entry, const QString& head) {
    QString later;
    for (const QString& column : LaterColumns(entry))
        later += QStringLiteral(", ") + column;
    return QStringLiteral("INSERT INTO 日志 (序号, 时间, 操作员, 动作, 对象, 内容, 校验%1) %2")
        .arg(later, head);
}

void AddLaterValues(const CLogEntry& entry, sqlparams::Values& values) {
    for (const QString& column : LaterColumns(entry))
        values.emplace_back(column == QStringLiteral("单号") ? entry.entryNumber : entry.rowMark);
}

} // namespace

void Append(CDatabase& db, const CLogEntry& logged, const QDateTime& now) {
    CTransaction transaction(db);
    CLogEntry entry = logged;
    // Read before the log is locked: the row is the entry's own, already written.
    if (entry.rowMark.isEmpty())
        entry.rowMark = rowdigest::Mark(db, entry.row);
    sqlparams::Values values{sqltext::Timestamp(now), entry.operatorName, entry.action,
                             entry.object, entry.content};
    const QString numberMark = QStringLiteral(", ?").repeated(LaterColumns(entry).size());
    if (db.GetDialect() == CDatabase::Dialect::PostgreSQL) {
        // Locked, the last row is read and the new one written whole: the fewest statements
        // while the lock is held, since every counter's entry waits for it.
        transaction.Execute(QStringLiteral("LOCK TABLE 日志 IN EXCLUSIVE MODE"));
        const CLastRows last = LastRows(db);
        const long long number = last.number + 1;
        values.insert(values.begin(), number);
        values.emplace_back(ChainHash(last.hash, number, now, entry));
        AddLaterValues(entry, values);
        transaction.Execute(
            InsertRow(entry, QStringLiteral("VALUES (?, ?, ?, ?, ?, ?, ?%1)").arg(numberMark)),
            values);
        (void)transaction.Commit();
        return;
    }
    // SQLite: written first with an empty 校验, so that the number and the write lock come in
    // one statement; a transaction that read first could not take the lock after another's.
    AddLaterValues(entry, values);
    transaction.Execute(
        InsertRow(entry, QStringLiteral("SELECT COALESCE(MAX(序号), 0) + 1, ?, ?, ?, ?, ?, ''%1 "
                                        "FROM 日志")
                             .arg(numberMark)),
        values);
    const CLastRows written = LastRows(db);
    if (written.number == 0)
        throw CDBException(QStringLiteral("写入的日志行读不回来。\n"));
    transaction.Execute(
        QStringLiteral("UPDATE 日志 SET 校验 = ? WHERE 序号 = ?"),
        {ChainHash(written.previousHash, written.number, now, entry), written.number});
    // Committed is committed: a failure to switch auto-commit back on is retried by the guard.
    (void)transaction.Commit();
}

void AppendAll(CDatabase& db, std::vector<CLogEntry> entries, const QDateTime& now) {
    if (entries.empty())
        return;
    CTransaction transaction(db);
    std::vector<CLoggedRow> rows;
    for (const CLogEntry& entry : entries)
        rows.push_back(entry.rowMark.isEmpty() ? entry.row : CLoggedRow{});
    const QStringList marks = rowdigest::Marks(db, rows);
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].rowMark.isEmpty())
            entries[i].rowMark = marks[qsizetype(i)];
    // The first row the way every entry appends it: on SQLite that takes the write lock, on
    // PostgreSQL the log's lock; both are held to the commit, so the rest follow on from it.
    Append(db, entries.front(), now);
    CLastRows last = LastRows(db);
    constexpr size_t kRowsAStatement = 50;
    size_t next = 1;
    while (next < entries.size()) {
        // Rows that fill the same columns go in one statement.
        const QStringList later = LaterColumns(entries[next]);
        QStringList rowsText;
        sqlparams::Values values;
        const QString marksText = QStringLiteral("(?, ?, ?, ?, ?, ?, ?%1)")
                                      .arg(QStringLiteral(", ?").repeated(later.size()));
        const CLogEntry& first = entries[next];
        while (next < entries.size() && rowsText.size() < qsizetype(kRowsAStatement) &&
               LaterColumns(entries[next]) == later) {
            const CLogEntry& entry = entries[next];
            const long long number = last.number + 1;
            const QString hash = ChainHash(last.hash, number, now, entry);
            values.insert(values.end(), {number, sqltext::Timestamp(now), entry.operatorName,
                                         entry.action, entry.object, entry.content, hash});
            AddLaterValues(entry, values);
            rowsText << marksText;
            last.previousHash = last.hash;
            last.hash = hash;
            last.number = number;
            ++next;
        }
        transaction.Execute(
            InsertRow(first, QStringLiteral("VALUES ") + rowsText.join(QStringLiteral(", "))),
            values);
    }
    (void)transaction.Commit();
}

} // namespace auditlog
