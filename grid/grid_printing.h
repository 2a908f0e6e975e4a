#pragma once
// 打印... and 导出 PDF... of what a grid shows: the same pages (CPageLayout) in Qt's print
// preview, from which the user prints, or straight into a PDF file.
#include "result_table.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace gridprinting {

// The pages of `table` as a PDF file at `path` (A4, searchable text), written beside it and
// renamed in. False, with why in `failure`, when it cannot be written; nothing is left then.
bool WritePdf(const QString& path, const QStringList& titles, const CResultTable& table,
              const QString& title, const QString& printedOn, QString* failure);
// Asks for the file (filter "PDF 文件 (*.pdf)"; ".pdf" added to a name without an ending) and
// writes it; a failure is shown. False when cancelled or failed.
bool ExportPdf(QWidget* owner, const QStringList& titles, const CResultTable& table,
               const QString& title, const QString& printedOn);
// The print preview, modal; the user prints from it.
void PrintPreview(QWidget* owner, const QStringList& titles, const CResultTable& table,
                  const QString& title, const QString& printedOn);

} // namespace gridprinting
