#pragma once
// Turning a grid row into the INSERT, UPDATE or DELETE of its table, and running it.
#include "audit_log.h"
#include "result_table.h"
#include "sql_params.h"
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class CDatabase;
class CDBException;
class QWidget;

namespace writeback {

// What a typed cell is stored and then shown as: a number trimmed, and "0" for an empty or blank
// number; a date-time as typed; any other text without its trailing blanks (the grid never
// shows them, and a row whose stored text differs from the shown one cannot be found again).
QString StoredText(const QString& text, short sqlType);
// The bound value of a cell: a number in a numeric column (a count when it is a whole one),
// every other cell as its text. A numeric text that is no number stays a text, which the
// database refuses (the writer refuses it before).
sqlparams::Value Bound(const QString& text, short sqlType);
// True when a numeric column may take the text: blanks trimmed, empty or a number.
bool IsNumberText(const QString& text);

// The column that numbers a table's entries, where it has one.
inline const QString kNumberColumn = QStringLiteral("单号");
// Where `columns` hold 单号: its index, else -1.
int NumberColumn(const std::vector<CResultColumn>& columns);

// The new values go in as StoredText, the old ones as the table holds them. A row whose 单号 is
// known is found by it alone; any other by all its columns.
CStatement InsertStatement(const QString& table, const std::vector<CResultColumn>& columns,
                           const QStringList& newValues);
CStatement UpdateStatement(const QString& table, const std::vector<CResultColumn>& columns,
                           const QStringList& newValues, const QStringList& oldValues);
CStatement DeleteStatement(const QString& table, const std::vector<CResultColumn>& columns,
                           const QStringList& oldValues);

// What one write-back came to: `failure` is what the user must be told (the driver's text, a
// cell that is no number, a row that is no longer there); empty when it went through or was
// refused silently (no open connection).
struct CWriteOutcome {
    bool ok = false;
    QString failure;
    // The connection broke while the statement ran: whether it changed the books is unknown,
    // and only reading them again tells.
    bool connectionBroke = false;
    // The 单号 an inserted row was given because its cell was empty.
    QString newNumber = {};
};

// The 内容 of the log row of a grid change: "名称：板蓝根；产地：…", the new values as stored;
// for a change only the columns that changed, "数量：10 → 12".
QString RowContent(const std::vector<CResultColumn>& columns, const QStringList& values);
QString ChangeContent(const std::vector<CResultColumn>& columns, const QStringList& oldValues,
                      const QStringList& newValues);

// A log row's action and content, where a book words one of its changes its own way.
struct CLogWords {
    QString action;
    QString content;
};
// Asked for each changed row with the column names (without arrows), the row as it was and as
// stored; nullopt keeps the usual 修改 with its old → new list.
using ChangeWording = std::function<std::optional<CLogWords>(
    const QStringList& names, const QStringList& oldValues, const QStringList& newValues)>;

// Who writes, and which columns the grid shows but never writes (computed by its statement).
struct CWriteContext {
    QString operatorName;
    QStringList shownOnly; // column names, without arrows
    // What the books must still hold once a row is changed or deleted, asked inside the
    // change's transaction after its log row: the log's lock orders two counters' changes, so
    // each sees what the other committed. A text undoes the change and is the failure shown.
    std::function<QString(const QStringList& oldValues)> guard;
    ChangeWording wording = {};
};

// Runs the write-back statements of one grid, display-free, each with its row in the log in
// the same transaction. Column names come from the titles with their arrows removed; ok means
// the table now holds what the grid will show. A shown-only column is left out of UPDATE,
// DELETE and the log, and a new row writes it empty: the row has no value for it yet.
class CWriter {
public:
    explicit CWriter(CDatabase* db, CWriteContext context = {})
        : m_pDatabase(db), m_context(std::move(context)) {}

    CWriteOutcome Insert(const QString& table, const std::vector<CResultColumn>& columns,
                         const QStringList& newValues) const;
    CWriteOutcome Update(const QString& table, const std::vector<CResultColumn>& columns,
                         const QStringList& oldValues, const QStringList& newValues) const;
    CWriteOutcome Delete(const QString& table, const std::vector<CResultColumn>& columns,
                         const QStringList& oldValues) const;
    CWriteOutcome ExecuteStatement(const QString& sql) const;

private:
    // Runs one statement that `action` names to the user.
    CWriteOutcome Execute(const QString& sql, const QString& action) const;
    // What a failure of the statement that `action` (添加, 修改, 删除) ran comes to.
    static CWriteOutcome Failed(const CDBException& e, const QString& action);
    bool IsConnected() const;
    // The first numeric cell whose text is no number.
    CWriteOutcome CheckNumbers(const std::vector<CResultColumn>& columns,
                               const QStringList& values) const;
    // Updates (newValues given) or deletes exactly one of the rows equal to `oldValues`.
    CWriteOutcome ChangeOneRow(const QString& table, const std::vector<CResultColumn>& columns,
                               const QStringList& oldValues, const QStringList* newValues) const;
    bool IsShownOnly(const CResultColumn& column) const;
    // The columns and values without the shown-only ones.
    std::vector<CResultColumn> Written(const std::vector<CResultColumn>& columns) const;
    QStringList Written(const std::vector<CResultColumn>& columns, const QStringList& values) const;
    // The action and content of a change's log row: the book's own wording, else 修改.
    CLogWords Worded(const std::vector<CResultColumn>& columns, const QStringList& oldValues,
                     const QStringList& newValues) const;
    void Log(const QString& action, const QString& table, const QString& content,
             const QString& entryNumber, const CLoggedRow& row) const;

    CDatabase* m_pDatabase;
    CWriteContext m_context;
};

} // namespace writeback

// The grid's write-back: CWriter's outcome, its failure shown to `owner` through Prompts().
class CRowWriter {
public:
    CRowWriter(CDatabase* db, QWidget* owner, writeback::CWriteContext context = {})
        : m_writer(db, std::move(context)), m_pOwner(owner) {}

    bool Insert(const QString& table, const std::vector<CResultColumn>& columns,
                const QStringList& newValues) {
        return Shown(m_writer.Insert(table, columns, newValues));
    }
    bool Update(const QString& table, const std::vector<CResultColumn>& columns,
                const QStringList& oldValues, const QStringList& newValues) {
        return Shown(m_writer.Update(table, columns, oldValues, newValues));
    }
    bool Delete(const QString& table, const std::vector<CResultColumn>& columns,
                const QStringList& oldValues) {
        return Shown(m_writer.Delete(table, columns, oldValues));
    }
    bool ExecuteStatement(const QString& sql) { return Shown(m_writer.ExecuteStatement(sql)); }
    // The last write failed because the connection broke: the grid must read the books again.
    bool ConnectionBroke() const { return m_bConnectionBroke; }
    // The 单号 the last insert gave its row, to be shown in its cell; empty when none.
    const QString& NewNumber() const { return m_strNewNumber; }

private:
    bool Shown(const writeback::CWriteOutcome& outcome);

    writeback::CWriter m_writer;
    QWidget* m_pOwner;
    bool m_bConnectionBroke = false;
    QString m_strNewNumber;
};
