#pragma once
// Where receipts saved as PDF go, and their names.
#include "receipt_content.h"

#include <QString>

class CDatabase;

namespace receiptfiles {

// SQLite books: "receipts" in the books' folder. Server books: "apricot/receipts" in the
// user's data folder (${XDG_DATA_HOME:-~/.local/share}).
QString Folder(const CDatabase& db);
// "<小票号>.pdf"; a reprint "<小票号>-补打-<yyyyMMddHHmmss>.pdf".
QString PdfName(const CReceipt& receipt);

} // namespace receiptfiles
