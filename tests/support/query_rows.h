#pragma once
// Reading whole SELECT results as texts, for assertions.
#include "CDatabase.h"
#include "qt_printers.h"

#include <QString>
#include <QStringList>
#include <vector>

struct QueryResult {
    QStringList columns;
    std::vector<short> types;      // ODBC SQL type codes
    std::vector<QStringList> rows; // NULL as kNullText
};

// What a NULL reads as, so that it cannot pass for an empty text.
inline const QString kNullText = QStringLiteral("(NULL)");

// Runs the statement through CRecordset. Throws CDBException.
QueryResult RunQuery(CDatabase& db, const QString& sql);
std::vector<QStringList> QueryRows(CDatabase& db, const QString& sql);
// The first column of the first row; a null QString when there is no row.
QString QueryValue(CDatabase& db, const QString& sql);
