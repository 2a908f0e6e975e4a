#include "result_loader.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CRecordset.h"
#include "column_kinds.h"
#include "text_forms.h"

#include <new>
#include <string>
#include <string_view>

namespace resultloader {

namespace {

const QString kOutOfMemory = QStringLiteral("Out of memory.");

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

CLoadOutcome Load(CDatabase& db, const QString& sql, CResultTable& table) {
    table.Clear();
    if (sql.isEmpty() || !db.IsOpen())
        return {};
    try {
        CRecordset records(&db);
        try {
            records.Open(sql);
        } catch (const CDBException& e) {
            return {false, e.ErrorText()};
        }
        const short count = records.GetODBCFieldCount();
        std::vector<CResultColumn> columns;
        std::vector<short> types;
        for (short i = 0; i < count; ++i) {
            const CODBCFieldInfo& info = records.GetODBCFieldInfo(i);
            columns.push_back({info.m_strName, info.m_nSQLType});
            types.push_back(info.m_nSQLType);
        }
        table.SetColumns(std::move(columns));
        if (count == 0)
            return {true, {}};

        // One driver call per row instead of one per value, where the driver allows it.
        records.BindColumns();
        std::string scratch;
        for (;;) {
            try {
                if (!records.Fetch())
                    break;
            } catch (const CDBException& e) {
                table.Squeeze();
                return {false, e.ErrorText()};
            }
            int row = -1;
            for (short k = 0; k < count; ++k) {
                std::string_view value;
                try {
                    if (!records.GetFieldUtf8(k, value))
                        value = {};
                } catch (const CDBException&) {
                    // A value that cannot be read ends the load quietly; the rows so far stay.
                    table.Squeeze();
                    return {};
                }
                if (k == 0)
                    row = table.AppendRow();
                const std::string_view text = CleanUtf8(value, types[std::size_t(k)], scratch);
                if (!text.empty())
                    table.SetCellUtf8(row, k, text);
            }
        }
        table.Squeeze();
        return {true, {}};
    } catch (const std::bad_alloc&) {
        return {false, kOutOfMemory};
    }
}

} // namespace resultloader

std::optional<CResultTable> RunStatement(CDatabase* db, const QString& table, const QString& sql,
                                         QString* failure) {
    if (!resultloader::MayRun(db, table, sql))
        return std::nullopt;
    CResultTable result;
    const resultloader::CLoadOutcome outcome = resultloader::Load(*db, sql, result);
    if (failure)
        *failure = outcome.message;
    if (!outcome.ok)
        return std::nullopt;
    return result;
}
