#pragma once
// The log: one row in 日志 for each change the program makes, written in the change's own
// transaction. Each row's 校验 is a SHA-256 over the 校验 of the row before and this row's other
// columns, so that a row changed, removed or inserted afterwards breaks the chain.
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

class CDatabase;

// The row of 进, 销, 损, 操作员 or 存 that a log row's entry wrote, changed or removed. Its
// digest goes into the log row (行校验), so the books can be held against their log.
struct CLoggedRow {
    enum class Change { None, Added, Changed, Removed };
    Change change = Change::None;
    QString table;
    // What finds the row: its 单号 (进, 销, 损), the 用户名 (操作员), the card's four texts (存).
    QStringList key;
    // For Removed: the row as it was, column by column, so the log keeps what was deleted.
    QList<std::pair<QString, QString>> was;
};

// What one log row says; 序号, 时间 and 校验 are added by Append.
struct CLogEntry {
    QString operatorName; // who was logged in; "" or "系统" for the program itself
    QString action;       // "升级", "销售", ...
    QString object;       // what was changed: a table, "账套", an operator
    QString content;      // plain Chinese a person can read
    // The number (单号) of the entry this row records, by which the entry is looked up after a
    // lost reply; empty for a row that records no entry.
    QString entryNumber = {};
    // The row the entry wrote; Append reads it back and stores its digest in 行校验.
    CLoggedRow row = {};
    // 行校验 as stored: filled by Append from `row`, or read back by a checker.
    QString rowMark = {};
};

namespace auditlog {

// The text a row's 校验 is computed over. Fields in this order: the previous row's 校验 (empty
// for the first row), 序号 in decimal, 时间 as "YYYY-MM-DD HH:MM:SS", 操作员, 动作, 对象, 内容.
// Each field is written as its length in UTF-8 bytes in decimal, ':', its UTF-8 bytes, then
// '\n'; a length can never be taken for content, so no two rows share a text. A row with a
// 单号 adds it as an eighth field, so rows from before numbers existed keep their 校验; a row
// with a 行校验 adds the 单号 (even empty) and then it as a ninth.
QByteArray RowText(const QString& previousHash, long long number, const QDateTime& time,
                   const CLogEntry& entry);
// The lower-case hexadecimal SHA-256 of RowText.
QString ChainHash(const QString& previousHash, long long number, const QDateTime& time,
                  const CLogEntry& entry);

// Appends the row of `entry` at `now` (to the second) inside the transaction open on `db`, or
// in a transaction of its own when `db` is in auto-commit. On SQLite the row is written before
// the last one is read, so that the transaction holds the write lock from that moment; on
// PostgreSQL the log is locked first, so that counters appending at once still form one chain,
// and the row is then written whole. The lock is held until the caller's commit, so a caller's
// transaction should write everything else before it appends. Throws CDBException.
void Append(CDatabase& db, const CLogEntry& entry, const QDateTime& now);
// Appends the rows of `entries` in their order, as Append would one by one, for an entry of
// thousands of rows (an import): their rows read back together, the log locked and its last row
// read once, the rows written many a statement. Marks are taken when this is called, so the
// entries' rows are marked as the whole entry left them. Throws CDBException.
void AppendAll(CDatabase& db, std::vector<CLogEntry> entries, const QDateTime& now);

} // namespace auditlog
