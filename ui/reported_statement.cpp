#include "reported_statement.h"

#include "prompts.h"

std::optional<CResultTable> RunStatementReported(CDatabase* db, const QString& table,
                                                 const QString& sql, QWidget* owner) {
    QString failure;
    std::optional<CResultTable> rows = RunStatement(db, table, sql, &failure);
    Prompts().TellFailure(owner, failure);
    return rows;
}
