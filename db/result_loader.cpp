#include "result_loader.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CRecordset.h"
#include "column_kinds.h"
#include "text_forms.h"

#include <limits>
#include <memory>
#include <new>
#include <string>
#include <string_view>

namespace resultloader {

namespace {

const QString kOutOfMemory = QStringLiteral("Out of memory.");
// When the driver gives no text of its own.
const QString kReadFailed = QStringLiteral("读取查询结果时出错。");

// Removes every `pattern` that is not followed by a further digit: a stamp with microseconds
// ("14:20:05.000120") must not lose the digits in the middle of its fraction.
void RemoveWhole(std::string& text, std::string_view pattern) {
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(pattern, from);
        if (at == std::string::npos)
            return;
        const std::size_t end = at + pattern.size();
        if (end < text.size() && text[end] >= '0' && text[end] <= '9') {
            from = at + 1;
            continue;
        }
        text.erase(at, pattern.size());
        from = at;
    }
}

// The cell-text rules on the UTF-8 bytes of a value (blanks and the stamp's parts are ASCII,
// so no character is cut). The result may point into `scratch`.
std::string_view CleanUtf8(std::string_view value, short sqlType, std::string& scratch) {
    while (!value.empty() && textforms::IsBlank(static_cast<unsigned char>(value.back())))
        value.remove_suffix(1);
    if (!columnkinds::IsTimestamp(sqlType))
        return value;
    scratch.assign(value);
    RemoveWhole(scratch, "00:00:00.000");
    RemoveWhole(scratch, ".000");
    return scratch;
}

} // namespace

QString CellText(std::optional<QString> value, short sqlType) {
    if (!value)
        return {};
    const QByteArray utf8 = value->toUtf8();
    std::string scratch;
    const std::string_view clean =
        CleanUtf8(std::string_view(utf8.constData(), std::size_t(utf8.size())), sqlType, scratch);
    return QString::fromUtf8(clean.data(), qsizetype(clean.size()));
}

bool MayRun(const CDatabase* db, const QString& table, const QString& sql) {
    return db && db->IsOpen() && !table.isEmpty() && !sql.isEmpty() && sql.contains(table);
}

CLoad::CLoad(CDatabase& db, CResultTable& table) : m_db(db), m_table(table) {
    m_table.Clear();
}

CLoad::~CLoad() = default;

bool CLoad::Start(const QString& sql, const sqlparams::Values& values) {
    m_done = true;
    if (sql.isEmpty() || !m_db.IsOpen())
        return false;
    try {
        m_records = std::make_unique<CRecordset>(&m_db);
        try {
            m_records->Open(sql, values);
        } catch (const CDBException& e) {
            return End({false, e.ErrorText()});
        }
        return TakeColumns();
    } catch (const std::bad_alloc&) {
        return End({false, kOutOfMemory});
    }
}

bool CLoad::StartStreaming(const QString& sql, const sqlparams::Values& values) {
    // Another load still open on the reader would have to end first anyway.
    m_db.FinishPendingRead();
    // Only a query goes there: what fails there or computes a column runs here again.
    CDatabase& reader = m_db.IsOpen() && CDatabase::OnlyReads(sql) ? m_db.ResultReader() : m_db;
    if (&reader != &m_db) {
        try {
            auto records = std::make_unique<CRecordset>(&reader);
            records->Open(sql, values);
            bool declared = records->GetODBCFieldCount() > 0;
            for (short i = 0; declared && i < records->GetODBCFieldCount(); ++i) {
                const CODBCFieldInfo& info = records->GetODBCFieldInfo(i);
                declared = !(info.m_nSQLType == SQL_VARCHAR && info.m_nPrecision == 255);
            }
            if (declared) {
                m_db.NotifyStatement(sql);
                m_records = std::move(records);
                return TakeColumns();
            }
        } catch (const CDBException&) {
        } catch (const std::bad_alloc&) {
            return End({false, kOutOfMemory});
        }
    }
    return Start(sql, values);
}

bool CLoad::TakeColumns() {
    const short count = m_records->GetODBCFieldCount();
    std::vector<CResultColumn> columns;
    m_types.clear();
    for (short i = 0; i < count; ++i) {
        const CODBCFieldInfo& info = m_records->GetODBCFieldInfo(i);
        columns.push_back({info.m_strName, info.m_nSQLType});
        m_types.push_back(info.m_nSQLType);
    }
    m_table.SetColumns(std::move(columns));
    if (count == 0)
        return End({true, {}});
    // One driver call per row instead of one per value, where the driver allows it.
    m_records->BindColumns(m_db.GetDialect() == CDatabase::Dialect::PostgreSQL);
    m_done = false;
    return true;
}

bool CLoad::End(CLoadOutcome outcome) {
    m_outcome = std::move(outcome);
    m_done = true;
    m_records.reset();
    if (!m_outcome.ok) {
        if (m_outcome.message.isEmpty())
            m_outcome.message = kReadFailed;
        // A part of the rows would pass for the whole (totals, exports): none stay. Moved, not
        // copied: this may run when memory ran out.
        std::vector<CResultColumn> columns = std::move(m_table.Columns());
        m_table.SetColumns(std::move(columns));
    }
    try {
        m_table.Squeeze();
    } catch (const std::bad_alloc&) {
        // The rows stay with their spare room.
    }
    return m_outcome.ok;
}

int CLoad::FetchSome(int rows) {
    int read = 0;
    try {
        const short count = static_cast<short>(m_types.size());
        while (!m_done && read < rows) {
            if (!m_records->Fetch()) {
                End({true, {}});
                break;
            }
            ++read;
            const int row = m_table.AppendRow();
            for (short k = 0; k < count; ++k) {
                std::string_view value;
                if (m_readHook)
                    m_readHook(row, k);
                if (!m_records->GetFieldUtf8(k, value))
                    value = {};
                const std::string_view text = CleanUtf8(value, m_types[std::size_t(k)], m_scratch);
                if (!text.empty())
                    m_table.SetCellUtf8(row, k, text);
            }
        }
    } catch (const CDBException& e) {
        End({false, e.ErrorText()});
    } catch (const std::bad_alloc&) {
        End({false, kOutOfMemory});
    }
    return read;
}

void CLoad::FetchAll() {
    while (!m_done)
        FetchSome(std::numeric_limits<int>::max());
}

CLoadOutcome Load(CDatabase& db, const QString& sql, CResultTable& table,
                  const sqlparams::Values& values) {
    CLoad load(db, table);
    if (load.Start(sql, values))
        load.FetchAll();
    return load.Outcome();
}

} // namespace resultloader

std::optional<CResultTable> RunStatement(CDatabase* db, const QString& table, const QString& sql,
                                         QString* failure) {
    return RunStatement(db, table, CStatement{sql, {}}, failure);
}

std::optional<CResultTable> RunStatement(CDatabase* db, const QString& table,
                                         const CStatement& statement, QString* failure) {
    if (!resultloader::MayRun(db, table, statement.sql))
        return std::nullopt;
    CResultTable result;
    const resultloader::CLoadOutcome outcome =
        resultloader::Load(*db, statement.sql, result, statement.values);
    if (failure)
        *failure = outcome.message;
    if (!outcome.ok)
        return std::nullopt;
    return result;
}
