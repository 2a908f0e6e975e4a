#pragma once
// The log row of a change to a drug's prices (调价), which a 店长 looks for apart from other
// corrections of the catalogue.
#include <QString>
#include <QStringList>

namespace drugcatalogue {

// "阿莫西林胶囊（石药集团，0.25g*24粒）零售价 12.50 → 13.00 元" for a 药品 row changed in its
// prices only, given the column names and the row as it was and as stored; empty when any other
// column changed too, or no price did.
QString PriceChangeContent(const QStringList& names, const QStringList& oldValues,
                           const QStringList& newValues);

} // namespace drugcatalogue
