#include "write_back.h"

#include "audit_log.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CTransaction.h"
#include "column_kinds.h"
#include "prompts.h"
#include "sort_keys.h"
#include "sql_text.h"
#include "text_forms.h"

#include <QDateTime>

namespace writeback {

namespace {

bool IsDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

qsizetype SkipDigits(const QString& text, qsizetype i) {
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    return i;
}

// name1=value1<separator>name2=value2..., the values as typed (`stored`: to be stored) or as
// the table holds them.
QString Pairs(const std::vector<CResultColumn>& columns, const QStringList& values,
              const QString& separator, bool stored) {
    QString out;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i > 0)
            out += separator;
        const short type = columns[i].m_nSQLType;
        const QString value = values.value(static_cast<qsizetype>(i));
        out += sortkeys::ColumnName(columns[i].m_strName) + QLatin1Char('=') +
               Literal(stored ? StoredText(value, type) : value, type);
    }
    return out;
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

QString Literal(const QString& text, short sqlType) {
    if (columnkinds::IsSqlNumeric(sqlType) && IsNumberText(text))
        return StoredText(text, sqlType);
    return sqltext::Quote(text);
}

QString InsertStatement(const QString& table, const std::vector<CResultColumn>& columns,
                        const QStringList& newValues) {
    QStringList names;
    QStringList values;
    for (size_t i = 0; i < columns.size(); ++i) {
        names << sortkeys::ColumnName(columns[i].m_strName);
        const short type = columns[i].m_nSQLType;
        values << Literal(StoredText(newValues.value(static_cast<qsizetype>(i)), type), type);
    }
    return QStringLiteral("INSERT INTO %1(").arg(table) + names.join(QLatin1Char(',')) +
           QStringLiteral(") VALUES(") + values.join(QLatin1Char(',')) + QLatin1Char(')');
}

QString UpdateStatement(const QString& table, const std::vector<CResultColumn>& columns,
                        const QStringList& newValues, const QStringList& oldValues) {
    return QStringLiteral("UPDATE %1 SET ").arg(table) +
           Pairs(columns, newValues, QStringLiteral(","), true) + QStringLiteral(" WHERE ") +
           Pairs(columns, oldValues, QStringLiteral(" AND "), false);
}

QString DeleteStatement(const QString& table, const std::vector<CResultColumn>& columns,
                        const QStringList& oldValues) {
    return QStringLiteral("DELETE FROM %1 WHERE ").arg(table) +
           Pairs(columns, oldValues, QStringLiteral(" AND "), false);
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

QString NoRowText(const QString& action) {
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
    for (size_t i = 0; i < columns.size(); ++i) {
        if (IsShownOnly(columns[i]))
            inserted[static_cast<qsizetype>(i)] = QString();
    }
    QStringList stored;
    for (size_t i = 0; i < written.size(); ++i)
        stored << StoredText(values.value(static_cast<qsizetype>(i)), written[i].m_nSQLType);
    try {
        CTransaction transaction(*m_pDatabase);
        m_pDatabase->ExecuteSQL(InsertStatement(table, columns, inserted));
        Log(QStringLiteral("添加"), table, RowContent(written, stored));
        (void)transaction.Commit();
    } catch (const CDBException& e) {
        return Failed(e, QStringLiteral("添加"));
    }
    return {true, {}};
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

void CWriter::Log(const QString& action, const QString& table, const QString& content) const {
    auditlog::Append(*m_pDatabase, CLogEntry{m_context.operatorName, action, table, content},
                     QDateTime::currentDateTime());
}

CWriteOutcome CWriter::ChangeOneRow(const QString& table, const std::vector<CResultColumn>& columns,
                                    const QStringList& oldValues,
                                    const QStringList* newValues) const {
    // The grid knows no key: the statement hits every row equal to the one acted on. Where it
    // hit several, the copies the user did not act on are put back, so exactly one row changes.
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
            const QString copy = InsertStatement(table, columns, oldValues);
            for (long long i = 1; i < changed; ++i)
                m_pDatabase->ExecuteSQL(copy);
            if (newValues) {
                QStringList stored;
                for (size_t i = 0; i < columns.size(); ++i)
                    stored << StoredText(newValues->value(static_cast<qsizetype>(i)),
                                         columns[i].m_nSQLType);
                // A row written back as it was is no change: the log stays quiet.
                if (stored != oldValues)
                    Log(QStringLiteral("修改"), table, ChangeContent(columns, oldValues, stored));
            } else {
                Log(QStringLiteral("删除"), table, RowContent(columns, oldValues));
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
        return {false, NoRowText(newValues ? QStringLiteral("修改") : QStringLiteral("删除"))};
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
    Prompts().TellFailure(m_pOwner, outcome.failure);
    return outcome.ok;
}
