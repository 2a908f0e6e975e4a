#pragma once
// Finding a drug of the catalogue: by a barcode (its first code in 药品 or another one in
// 药品条码) or by its three words. Every value is bound.
#include "drug.h"

#include <QString>
#include <optional>

class CDatabase;

namespace druglookup {

// The drug a scanned or typed code names; nullopt when no drug has it, or when the catalogue
// cannot be read (then `failure` says why).
std::optional<CDrug> ByCode(CDatabase* db, const QString& code, QString* failure = nullptr);
// The drug of these three words; nullopt as above.
std::optional<CDrug> ByName(CDatabase* db, const QString& name, const QString& origin,
                            const QString& packModel, QString* failure = nullptr);

} // namespace druglookup
