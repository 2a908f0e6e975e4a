#include "write_back.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CTransaction.h"
#include "column_kinds.h"
#include "prompts.h"
#include "sort_keys.h"
#include "sql_text.h"
#include "text_forms.h"

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
    if (CWriteOutcome checked = CheckNumbers(columns, newValues); !checked.ok)
        return checked;
    return Execute(InsertStatement(table, columns, newValues), QStringLiteral("添加"));
}

CWriteOutcome CWriter::Update(const QString& table, const std::vector<CResultColumn>& columns,
                              const QStringList& oldValues, const QStringList& newValues) const {
    if (!IsConnected())
        return {};
    if (CWriteOutcome checked = CheckNumbers(columns, newValues); !checked.ok)
        return checked;
    if (CWriteOutcome checked = CheckNumbers(columns, oldValues); !checked.ok)
        return checked;
    return ChangeOneRow(table, columns, oldValues, &newValues);
}

CWriteOutcome CWriter::Delete(const QString& table, const std::vector<CResultColumn>& columns,
                              const QStringList& oldValues) const {
    if (!IsConnected())
        return {};
    if (CWriteOutcome checked = CheckNumbers(columns, oldValues); !checked.ok)
        return checked;
    return ChangeOneRow(table, columns, oldValues, nullptr);
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
