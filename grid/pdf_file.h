#pragma once
// One way a PDF file is written, for the printed grid and the receipts alike: under a hidden
// name beside it, then synced and renamed in, so that no half file is ever left.
#include <QString>
#include <functional>

class QPdfWriter;

namespace pdffile {

// `paint` sets up and draws the pages; false when it failed. False, with "无法写入文件“…”"
// in `failure`, when the file could not be written; nothing is left then.
bool Write(const QString& path, const QString& title, const std::function<bool(QPdfWriter&)>& paint,
           QString* failure);

} // namespace pdffile
