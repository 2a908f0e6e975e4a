#pragma once
// The digest of one row of the books as written: every column, name and value, in one canonical
// text, hashed by SHA-256. A log row of an entry carries it (行校验) as a short JSON mark, so a
// checker can hold each row of 进, 销, 损 and 操作员 against the log, and each card of 存 against
// the stock its last logged change left.
#include "audit_log.h"
#include "sql_params.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class CDatabase;
class CRecordset;

namespace rowdigest {

// The columns that find one row of `table`: 单号; 用户名 for 操作员; the card's four texts for 存.
QStringList KeyColumns(const QString& table);
// "SELECT * FROM table WHERE <key>", the key bound.
CStatement SelectRow(const QString& table, const QStringList& key);

// The positions of `columns` among those of `rows`, by name (-1 where missing).
std::vector<short> Positions(const CRecordset& rows, const QStringList& columns);
// The lower-case hexadecimal SHA-256 of the current row of `rows` (opened on SELECT *); the
// values at `wanted` positions go into `values`, since each value can be read only once.
QString Digest(CRecordset& rows, const std::vector<short>& wanted = {},
               QStringList* values = nullptr);

// What a 行校验 says.
struct CMark {
    CLoggedRow::Change change = CLoggedRow::Change::None;
    QString table;
    QStringList key;
    QString digest;                         // empty for Removed
    std::optional<double> stock;            // 存: the card's 现有存货量 after the change
    QList<std::pair<QString, QString>> was; // Removed: the row as it was
};

// The mark of `row`, its digest read back on `db` inside the entry's transaction; for a row
// that is not there (any more), the mark of a removal. Throws CDBException.
QString Mark(CDatabase& db, const CLoggedRow& row);
// The marks of `rows`, each as Mark gives it, the rows of a table read together (a hundred a
// statement), so that an entry of thousands of rows reads them in few round trips.
QStringList Marks(CDatabase& db, const std::vector<CLoggedRow>& rows);
// nullopt for an empty or unreadable mark.
std::optional<CMark> ParseMark(const QString& text);

} // namespace rowdigest
