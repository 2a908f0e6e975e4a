#include "write_back.h"

#include "ascii_digit.h"
#include "row_digest.h"

#include "audit_log.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CTransaction.h"
#include "column_kinds.h"
#include "entry_number.h"
#include "prompts.h"
#include "sort_keys.h"
#include "text_forms.h"

#include <QDateTime>

namespace writeback {

namespace {

qsizetype SkipDigits(const QString& text, qsizetype i) {
    while (i < text.size() && IsAsciiDigit(text[i]))
        ++i;
    return i;
}

// name1=?<separator>name2=?..., each mark's value added to `values`: as typed (`stored`: to be
// stored) or as the table holds them.
QString Pairs(const std::vector<CResultColumn>& columns, const QStringList& cells,
              const QString& separator, bool stored, sqlparams::Values& values) {
    QString out;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i > 0)
            out += separator;
        const short type = columns[i].m_nSQLType;
        const QString cell = cells.value(static_cast<qsizetype>(i));
        out += sortkeys::ColumnName(columns[i].m_strName) + QStringLiteral("=?");
        values.push_back(Bound(stored ? StoredText(cell, type) : cell, type));
    }
    return out;
}

// The WHERE of the row `oldValues`: its 单号 where it has one, else every column.
QString RowWhere(const std::vector<CResultColumn>& columns, const QStringList& oldValues,
                 sqlparams::Values& values) {
    const int key = NumberColumn(columns);
    const QString number = key < 0 ? QString() : oldValues.value(key);
    if (number.isEmpty())
        return Pairs(columns, oldValues, QStringLiteral(" AND "), false, values);
    values.push_back(number);
    return entrynumber::ByNumber();
}

} // namespace

bool IsNumberText(const QString& text) {
    // What SQLite and PostgreSQL both read as a number: no hex, no "inf" or "nan".
    const QString t = text.trimmed();
    if (t.isEmpty())
        return true;
    qsizetype i = 0;
    if (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))
        ++i;
    const qsizetype intStart = i;
    i = SkipDigits(t, i);
    bool digits = i > intStart;
    if (i < t.size() && t[i] == QLatin1Char('.')) {
        const qsizetype fracStart = ++i;
        i = SkipDigits(t, i);
        digits = digits || i > fracStart;
    }
    if (!digits)
        return false;
    if (i < t.size() && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        ++i;
        if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
            ++i;
        const qsizetype expStart = i;
        i = SkipDigits(t, i);
        if (i == expStart)
            return false;
    }
    return i == t.size();
}

QString StoredText(const QString& text, short sqlType) {
    if (columnkinds::IsSqlNumeric(sqlType) && IsNumberText(text)) {
        const QString number = text.trimmed();
        return number.isEmpty() ? QStringLiteral("0") : number;
    }
    // A midnight stamp shows as its date and a blank, and is read back as a date-time anyway.
    if (columnkinds::IsTimestamp(sqlType))
        return text;
    return textforms::WithoutTrailingBlanks(text);
}

sqlparams::Value Bound(const QString& text, short sqlType) {
    if (!columnkinds::IsSqlNumeric(sqlType) || !IsNumberText(text))
        return text;
    const QString number = StoredText(text, sqlType);
    bool whole = false;
    const long long count = number.toLongLong(&whole);
    if (whole)
        return count;
    return number.toDouble();
}

// The row a change acted on, as its log row marks it; unmarked where the grid lacks its key.
CLoggedRow MarkedRow(const QString& table, CLoggedRow::Change change,
                     const std::vector<CResultColumn>& columns, const QStringList& values) {
    CLoggedRow row{change, table, {}, {}};
    for (const QString& keyColumn : rowdigest::KeyColumns(table)) {
        int found = -1;
        for (size_t i = 0; i < columns.size(); ++i)
            if (sortkeys::ColumnName(columns[i].m_strName) == keyColumn)
                found = static_cast<int>(i);
        if (found < 0)
            return {};
        row.key << values.value(found);
    }
    if (change == CLoggedRow::Change::Removed)
        for (size_t i = 0; i < columns.size(); ++i)
            row.was.append({sortkeys::ColumnName(columns[i].m_strName),
                            values.value(static_cast<qsizetype>(i))});
    return row;
}

int NumberColumn(const std::vector<CResultColumn>& columns) {
    for (size_t i = 0; i < columns.size(); ++i) {
        if (sortkeys::ColumnName(columns[i].m_strName) == kNumberColumn)
            return static_cast<int>(i);
    }
    return -1;
}

CStatement InsertStatement(const QString& table, const std::vector<CResultColumn>& columns,
                           const QStringList& newValues) {
    QStringList names;
    QStringList marks;
    sqlparams::Values values;
    for (size_t i = 0; i < columns.size(); ++i) {
        names << sortkeys::ColumnName(columns[i].m_strName);
        marks << QStringLiteral("?");
        const short type = columns[i].m_nSQLType;
        values.push_back(Bound(StoredText(newValues.value(static_cast<qsizetype>(i)), type), type));
    }
    return {QStringLiteral("INSERT INTO %1(").arg(table) + names.join(QLatin1Char(',')) +
                QStringLiteral(") VALUES(") + marks.join(QLatin1Char(',')) + QLatin1Char(')'),
            std::move(values)};
}

CStatement UpdateStatement(const QString& table, const std::vector<CResultColumn>& columns,
                           const QStringList& newValues, const QStringList& oldValues) {
    // The marks' values go in the order of the text: SET first, then WHERE.
    CStatement statement;
    statement.sql = QStringLiteral("UPDATE %1 SET ").arg(table);
    statement.sql += Pairs(columns, newValues, QStringLiteral(","), true, statement.values);
    statement.sql += QStringLiteral(" WHERE ");
    statement.sql += RowWhere(columns, oldValues, statement.values);
    return statement;
}

CStatement DeleteStatement(const QString& table, const std::vector<CResultColumn>& columns,
                           const QStringList& oldValues) {
    CStatement statement;
    statement.sql = QStringLiteral("DELETE FROM %1 WHERE ").arg(table) +
                    RowWhere(columns, oldValues, statement.values);
    return statement;
}

QString RowContent(const std::vector<CResultColumn>& columns, const QStringList& values) {
    QStringList parts;
    for (size_t i = 0; i < columns.size(); ++i)
        parts << sortkeys::ColumnName(columns[i].m_strName) + QStringLiteral("：") +
                     values.value(static_cast<qsizetype>(i));
    return parts.join(QStringLiteral("；"));
}

QString ChangeContent(const std::vector<CResultColumn>& columns, const QStringList& oldValues,
                      const QStringList& newValues) {
    QStringList parts;
    for (size_t i = 0; i < columns.size(); ++i) {
        const auto at = static_cast<qsizetype>(i);
        if (oldValues.value(at) != newValues.value(at))
            parts << sortkeys::ColumnName(columns[i].m_strName) + QStringLiteral("：") +
                         oldValues.value(at) + QStringLiteral(" → ") + newValues.value(at);
    }
    return parts.isEmpty() ? QStringLiteral("没有改变任何值") : parts.join(QStringLiteral("；"));
}

} // namespace writeback

namespace {

QString Shortened(const QString& text) {
    constexpr qsizetype kMax = 40;
    return text.size() <= kMax ? text : text.left(kMax) + QStringLiteral("…");
}

QString NoRowText(const QString& action, const QString& number) {
    if (!number.isEmpty())
        return QStringLiteral("没有%1任何记录：表中已没有单号为 %2 的记录。它可能在载入后被删除了。"
                              "表中的数据没有改变，请按“更新”重新载入后再%1。")
            .arg(action, number);
    return QStringLiteral("没有%1任何记录：表中已没有与这一行完全相同的记录。它可能在载入后被修改"
                          "或删除了，或者某个值与库中存储的不完全一致。表中的数据没有改变，请按"
                          "“更新”重新载入后再%1。")
        .arg(action);
}

} // namespace

namespace writeback {

bool CWriter::IsConnected() const {
    return m_pDatabase && m_pDatabase->IsOpen();
}

CWriteOutcome CWriter::CheckNumbers(const std::vector<CResultColumn>& columns,
                                    const QStringList& values) const {
    for (size_t i = 0; i < columns.size(); ++i) {
        const QString text = values.value(static_cast<qsizetype>(i));
        if (columnkinds::IsSqlNumeric(columns[i].m_nSQLType) && !IsNumberText(text))
            return {false, QStringLiteral("“%1”列的值“%2”不是数字，没有写入数据库。")
                               .arg(sortkeys::ColumnName(columns[i].m_strName), Shortened(text))};
    }
    return {true, {}};
}

CWriteOutcome CWriter::Insert(const QString& table, const std::vector<CResultColumn>& columns,
                              const QStringList& newValues) const {
    if (!IsConnected())
        return {};
    const std::vector<CResultColumn> written = Written(columns);
    const QStringList values = Written(columns, newValues);
    if (CWriteOutcome checked = CheckNumbers(written, values); !checked.ok)
        return checked;
    QStringList inserted = newValues;
    while (inserted.size() < static_cast<qsizetype>(columns.size()))
        inserted << QString();
    for (size_t i = 0; i < columns.size(); ++i) {
        if (IsShownOnly(columns[i]))
            inserted[static_cast<qsizetype>(i)] = QString();
    }
    // A new entry gets its own number, as every entry does; one typed in is kept.
    QString newNumber;
    const int key = NumberColumn(written);
    if (key >= 0 && StoredText(values.value(key), written[key].m_nSQLType).isEmpty()) {
        newNumber = entrynumber::Next();
        inserted[NumberColumn(columns)] = newNumber;
    }
    QStringList stored;
    for (size_t i = 0; i < written.size(); ++i)
        stored << StoredText(i == size_t(key) && !newNumber.isEmpty()
                                 ? newNumber
                                 : values.value(static_cast<qsizetype>(i)),
                             written[i].m_nSQLType);
    try {
        CTransaction transaction(*m_pDatabase);
        m_pDatabase->ExecuteSQL(InsertStatement(table, columns, inserted));
        Log(QStringLiteral("添加"), table, RowContent(written, stored),
            key >= 0 ? stored.value(key) : QString(),
            MarkedRow(table, CLoggedRow::Change::Added, written, stored));
        (void)transaction.Commit();
    } catch (const CDBException& e) {
        return Failed(e, QStringLiteral("添加"));
    }
    return {true, {}, false, newNumber};
}

CWriteOutcome CWriter::Update(const QString& table, const std::vector<CResultColumn>& columns,
                              const QStringList& oldValues, const QStringList& newValues) const {
    if (!IsConnected())
        return {};
    const std::vector<CResultColumn> written = Written(columns);
    const QStringList newWritten = Written(columns, newValues);
    const QStringList oldWritten = Written(columns, oldValues);
    if (CWriteOutcome checked = CheckNumbers(written, newWritten); !checked.ok)
        return checked;
    if (CWriteOutcome checked = CheckNumbers(written, oldWritten); !checked.ok)
        return checked;
    return ChangeOneRow(table, written, oldWritten, &newWritten);
}

CWriteOutcome CWriter::Delete(const QString& table, const std::vector<CResultColumn>& columns,
                              const QStringList& oldValues) const {
    if (!IsConnected())
        return {};
    const std::vector<CResultColumn> written = Written(columns);
    const QStringList oldWritten = Written(columns, oldValues);
    if (CWriteOutcome checked = CheckNumbers(written, oldWritten); !checked.ok)
        return checked;
    return ChangeOneRow(table, written, oldWritten, nullptr);
}

bool CWriter::IsShownOnly(const CResultColumn& column) const {
    return m_context.shownOnly.contains(sortkeys::ColumnName(column.m_strName));
}

std::vector<CResultColumn> CWriter::Written(const std::vector<CResultColumn>& columns) const {
    std::vector<CResultColumn> out;
    for (const CResultColumn& column : columns) {
        if (!IsShownOnly(column))
            out.push_back(column);
    }
    return out;
}

QStringList CWriter::Written(const std::vector<CResultColumn>& columns,
                             const QStringList& values) const {
    QStringList out;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (!IsShownOnly(columns[i]))
            out << values.value(static_cast<qsizetype>(i));
    }
    return out;
}

CLogWords CWriter::Worded(const std::vector<CResultColumn>& columns, const QStringList& oldValues,
                          const QStringList& newValues) const {
    if (m_context.wording) {
        QStringList names;
        for (const CResultColumn& column : columns)
            names << sortkeys::ColumnName(column.m_strName);
        if (std::optional<CLogWords> words = m_context.wording(names, oldValues, newValues))
            return *words;
    }
    return {QStringLiteral("修改"), ChangeContent(columns, oldValues, newValues)};
}

void CWriter::Log(const QString& action, const QString& table, const QString& content,
                  const QString& entryNumber, const CLoggedRow& row) const {
    auditlog::Append(*m_pDatabase,
                     CLogEntry{m_context.operatorName, action, table, content, entryNumber, row},
                     QDateTime::currentDateTime());
}

CWriteOutcome CWriter::ChangeOneRow(const QString& table, const std::vector<CResultColumn>& columns,
                                    const QStringList& oldValues,
                                    const QStringList* newValues) const {
    // A row with a 单号 is found by it. Any other has no key: the statement hits every row equal
    // to the one acted on. Where it hit several, the copies the user did not act on are put
    // back, so exactly one row changes.
    const int key = NumberColumn(columns);
    const QString number = key < 0 ? QString() : oldValues.value(key);
    bool matched = true;
    try {
        CTransaction transaction(*m_pDatabase);
        long long changed = m_pDatabase->ExecuteSQL(
            newValues ? UpdateStatement(table, columns, *newValues, oldValues)
                      : DeleteStatement(table, columns, oldValues));
        if (changed > 1 && newValues) {
            // Every copy took the new values; undo that and replace one copy instead.
            transaction.Undo();
            changed = m_pDatabase->ExecuteSQL(DeleteStatement(table, columns, oldValues));
            if (changed > 0)
                m_pDatabase->ExecuteSQL(InsertStatement(table, columns, *newValues));
        }
        matched = changed != 0;
        if (matched) {
            const CStatement copy = InsertStatement(table, columns, oldValues);
            for (long long i = 1; i < changed; ++i)
                m_pDatabase->ExecuteSQL(copy);
            if (newValues) {
                QStringList stored;
                for (size_t i = 0; i < columns.size(); ++i)
                    stored << StoredText(newValues->value(static_cast<qsizetype>(i)),
                                         columns[i].m_nSQLType);
                // A row written back as it was is no change: the log stays quiet.
                if (stored != oldValues) {
                    const CLogWords words = Worded(columns, oldValues, stored);
                    Log(words.action, table, words.content, number,
                        MarkedRow(table, CLoggedRow::Change::Changed, columns, stored));
                }
            } else {
                Log(QStringLiteral("删除"), table, RowContent(columns, oldValues), number,
                    MarkedRow(table, CLoggedRow::Change::Removed, columns, oldValues));
            }
            if (m_context.guard) {
                if (QString refusal = m_context.guard(oldValues); !refusal.isEmpty())
                    return {false, refusal};
            }
            transaction.Commit();
        }
    } catch (const CDBException& e) {
        return Failed(e, newValues ? QStringLiteral("修改") : QStringLiteral("删除"));
    }
    if (!matched)
        return {false,
                NoRowText(newValues ? QStringLiteral("修改") : QStringLiteral("删除"), number)};
    return {true, {}};
}

CWriteOutcome CWriter::ExecuteStatement(const QString& sql) const {
    return Execute(sql, QStringLiteral("写入"));
}

CWriteOutcome CWriter::Execute(const QString& sql, const QString& action) const {
    if (!IsConnected())
        return {};
    try {
        m_pDatabase->ExecuteSQL(sql);
    } catch (const CDBException& e) {
        return Failed(e, action);
    }
    return {true, {}};
}

CWriteOutcome CWriter::Failed(const CDBException& e, const QString& action) {
    if (!CDatabase::IsConnectionLost(e))
        return {false, e.ErrorText()};
    // Never run a second time: it may have changed the books before the reply was lost.
    return {false,
            QStringLiteral("与数据库的连接中断了，这一行可能已经%1，也可能没有。表格将重新载入，"
                           "显示账上现在的记录：请核对后再决定是否重新%1。\n")
                    .arg(action) +
                e.ErrorText(),
            true};
}

} // namespace writeback

bool CRowWriter::Shown(const writeback::CWriteOutcome& outcome) {
    m_bConnectionBroke = outcome.connectionBroke;
    m_strNewNumber = outcome.newNumber;
    Prompts().TellFailure(m_pOwner, outcome.failure);
    return outcome.ok;
}
