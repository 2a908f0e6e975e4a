#pragma once
// What the CSV and the XLSX reader share: rows as read become a table.
#include "import_file.h"

namespace importrows {

// Trailing empty cells dropped, blank rows left out, the first row left the header.
CImportTable Table(std::vector<CImportRow> rows, const QString& readAs);

} // namespace importrows
