#pragma once
// Running one SELECT into a CResultTable with the grid's cell-text rules. The visible grid and
// the hidden statement runners of the dialogs load through this one code.
#include "result_table.h"
#include "sql_params.h"
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CDatabase;
class CRecordset;

namespace resultloader {

// The text a cell shows for a fetched value: NULL as empty text, trailing blanks removed, and in
// a timestamp column every "00:00:00.000" and then every ".000" removed (a midnight stamp keeps
// the blank before its time: "2003-05-01 ").
QString CellText(std::optional<QString> value, short sqlType);

// Whether a statement may run at all: the connection present and open, both texts non-empty,
// and the table name inside the statement.
bool MayRun(const CDatabase* db, const QString& table, const QString& sql);

// The outcome of a load. `message` is what the user must be shown (the driver's text, or the
// out-of-memory text); it is empty when the load succeeded or was refused before it ran.
struct CLoadOutcome {
    bool ok = false;
    QString message;
};

// A load read in parts: the rows a window shows first at once, the rest when the caller asks.
// Until it is done the statement stays open (on SQLite books it holds them open for reading).
class CLoad {
public:
    // Empties `table`, which the load fills.
    CLoad(CDatabase& db, CResultTable& table);
    ~CLoad();
    CLoad(const CLoad&) = delete;
    CLoad& operator=(const CLoad&) = delete;

    // Runs the statement and reads its columns; false when it failed (see Outcome).
    bool Start(const QString& sql, const sqlparams::Values& values = {});
    // The same, on the connection that reads large results best, where that one describes the
    // result's columns as this one does (columns of tables only). Only a single SELECT is tried
    // there; any other statement runs here, once.
    bool StartStreaming(const QString& sql, const sqlparams::Values& values = {});
    // Reads at most `rows` more rows; returns how many it read.
    int FetchSome(int rows);
    void FetchAll();
    bool Done() const { return m_done; }
    // Meaningful once done. A load that fails while reading rows keeps its columns and no row,
    // so that no part passes for the whole.
    const CLoadOutcome& Outcome() const { return m_outcome; }
    // Tests make a value fail as a driver would: called before each value is read, with its
    // row and column, it may throw CDBException.
    void SetReadHook(std::function<void(int row, short column)> hook) {
        m_readHook = std::move(hook);
    }

private:
    // Reads the columns of the open statement; false (and the load ended) when it has none.
    bool TakeColumns();
    bool End(CLoadOutcome outcome);

    CDatabase& m_db;
    CResultTable& m_table;
    std::unique_ptr<CRecordset> m_records;
    std::vector<short> m_types;
    std::string m_scratch;
    bool m_done = true;
    CLoadOutcome m_outcome;
    std::function<void(int, short)> m_readHook;
};

// Replaces `table` with the result of `sql`; on failure it holds no row. Shows nothing.
CLoadOutcome Load(CDatabase& db, const QString& sql, CResultTable& table,
                  const sqlparams::Values& values = {});

} // namespace resultloader

// A hidden result grid without the widget: the rows of `sql` as cell texts, exactly as a grid
// would show them. Refused silently (nullopt, `failure` left empty) by the grid's rules; a failed
// load gives nullopt and what the grid would show in `failure`.
std::optional<CResultTable> RunStatement(CDatabase* db, const QString& table, const QString& sql,
                                         QString* failure = nullptr);
// The same with the values of the statement's marks bound.
std::optional<CResultTable> RunStatement(CDatabase* db, const QString& table,
                                         const CStatement& statement, QString* failure = nullptr);
