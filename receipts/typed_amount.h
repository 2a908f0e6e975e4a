#pragma once
// A sum of money as typed at the counter: what a customer hands over at 结账, the cash counted
// at 交班.
#include <QString>
#include <optional>

namespace typedamount {

// "100", "99.5", "99.50": its cents, or nullopt with why in `failure` (naming `what`, such as
// "实收金额"). Never negative, at most two decimals, never more than a till holds.
std::optional<long long> Cents(const QString& text, const QString& what, QString* failure);

} // namespace typedamount
