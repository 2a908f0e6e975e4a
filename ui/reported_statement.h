#pragma once
// The statement runner for windows: a failed load is shown to `owner` as the record grid shows
// it (the driver's text, warning icon, OK), and gives nullopt.
#include "result_loader.h"

class QWidget;

std::optional<CResultTable> RunStatementReported(CDatabase* db, const QString& table,
                                                 const QString& sql, QWidget* owner);
