#pragma once
// Turning a grid row into the INSERT, UPDATE or DELETE of its table, and running it.
#include "result_table.h"
#include <QString>
#include <QStringList>
#include <vector>

class CDatabase;
class QWidget;

namespace writeback {

// What a typed cell is stored and then shown as: a number trimmed, and "0" for an empty or blank
// number; a date-time as typed; any other text without its trailing blanks (the grid never
// shows them, and a row whose stored text differs from the shown one cannot be found again).
QString StoredText(const QString& text, short sqlType);
// The written form of a cell: numeric columns bare, in their StoredText form, every other
// column as one quoted literal with its quotes doubled. A numeric text that is no number is
// quoted too, so it can never change the statement (the writer refuses it before).
QString Literal(const QString& text, short sqlType);
// True when a numeric column may take the text: blanks trimmed, empty or a number.
bool IsNumberText(const QString& text);

// The new values go in as StoredText, the old ones as the table holds them.
QString InsertStatement(const QString& table, const std::vector<CResultColumn>& columns,
                        const QStringList& newValues);
QString UpdateStatement(const QString& table, const std::vector<CResultColumn>& columns,
                        const QStringList& newValues, const QStringList& oldValues);
QString DeleteStatement(const QString& table, const std::vector<CResultColumn>& columns,
                        const QStringList& oldValues);

} // namespace writeback

// Runs the write-back statements of one grid. Column names come from the titles with their
// arrows removed. Every failure is shown (through Prompts(), owner `owner`) before false is
// returned; true means the table now holds what the grid will show.
class CRowWriter {
public:
    CRowWriter(CDatabase* db, QWidget* owner) : m_pDatabase(db), m_pOwner(owner) {}

    bool Insert(const QString& table, const std::vector<CResultColumn>& columns,
                const QStringList& newValues);
    bool Update(const QString& table, const std::vector<CResultColumn>& columns,
                const QStringList& oldValues, const QStringList& newValues);
    bool Delete(const QString& table, const std::vector<CResultColumn>& columns,
                const QStringList& oldValues);
    // One statement, its error shown; false when the connection is missing or closed (silently)
    // or the statement failed.
    bool ExecuteStatement(const QString& sql);

private:
    bool IsConnected() const;
    // Shows the first numeric cell whose text is no number; false then.
    bool CheckNumbers(const std::vector<CResultColumn>& columns, const QStringList& values);
    // Updates (newValues given) or deletes exactly one of the rows equal to `oldValues`.
    bool ChangeOneRow(const QString& table, const std::vector<CResultColumn>& columns,
                      const QStringList& oldValues, const QStringList* newValues);

    CDatabase* m_pDatabase;
    QWidget* m_pOwner;
};
