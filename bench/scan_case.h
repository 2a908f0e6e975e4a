#pragma once
// The scan at the counter on large books: a code to a filled form, and a code to a recorded
// sale, each the median of several scans spread over the catalogue.
#include <QString>

class CDatabase;

namespace scancase {

// Fills the new books on `db` (tables made, nothing in them) and prints
// scan_code_to_form_ms_<backend> and scan_to_recorded_ms_<backend>. Returns why it stopped,
// or an empty text. Throws CDBException when the books cannot be filled.
QString Run(CDatabase& db, const char* backend);

} // namespace scancase
