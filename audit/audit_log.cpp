#include "audit_log.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CRecordset.h"
#include "CTransaction.h"
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
    if (!entry.entryNumber.isEmpty())
        AddField(text, entry.entryNumber.toUtf8());
    return text;
}

QString ChainHash(const QString& previousHash, long long number, const QDateTime& time,
                  const CLogEntry& entry) {
    return QString::fromLatin1(QCryptographicHash::hash(RowText(previousHash, number, time, entry),
                                                        QCryptographicHash::Sha256)
                                   .toHex());
}

void Append(CDatabase& db, const CLogEntry& entry, const QDateTime& now) {
    CTransaction transaction(db);
    if (db.GetDialect() == CDatabase::Dialect::PostgreSQL)
        transaction.Execute(QStringLiteral("LOCK TABLE 日志 IN EXCLUSIVE MODE"));
    // Written first with an empty 校验: the number and the write lock come in one statement.
    // Books from before numbers existed have no 单号; only an entry names it.
    sqlparams::Values values{sqltext::Timestamp(now), entry.operatorName, entry.action,
                             entry.object, entry.content};
    if (entry.entryNumber.isEmpty()) {
        transaction.Execute(
            QStringLiteral("INSERT INTO 日志 (序号, 时间, 操作员, 动作, 对象, 内容, 校验) "
                           "SELECT COALESCE(MAX(序号), 0) + 1, ?, ?, ?, ?, ?, '' FROM 日志"),
            values);
    } else {
        values.emplace_back(entry.entryNumber);
        transaction.Execute(
            QStringLiteral("INSERT INTO 日志 (序号, 时间, 操作员, 动作, 对象, 内容, 校验, 单号) "
                           "SELECT COALESCE(MAX(序号), 0) + 1, ?, ?, ?, ?, ?, '', ? FROM 日志"),
            values);
    }

    long long number = 0;
    QString previousHash;
    {
        CRecordset last(&db);
        last.Open(QStringLiteral("SELECT 序号, 校验 FROM 日志 ORDER BY 序号 DESC LIMIT 2"));
        if (!last.Fetch())
            throw CDBException(QStringLiteral("写入的日志行读不回来。\n"));
        number = last.GetFieldValue(0).value_or(QString()).toLongLong();
        if (last.Fetch()) {
            last.GetFieldValue(0);
            previousHash = last.GetFieldValue(1).value_or(QString());
        }
    }
    transaction.Execute(QStringLiteral("UPDATE 日志 SET 校验 = ? WHERE 序号 = ?"),
                        {ChainHash(previousHash, number, now, entry), number});
    // Committed is committed: a failure to switch auto-commit back on is retried by the guard.
    (void)transaction.Commit();
}

} // namespace auditlog
