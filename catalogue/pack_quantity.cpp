#include "pack_quantity.h"

#include "drug_lookup.h"
#include "text_forms.h"

#include <cmath>

namespace {

constexpr double kTolerance = 1e-6;

} // namespace

namespace packquantity {

std::optional<CPackUnit> Of(double piecesPerBox, const QString& unit) {
    const double whole = std::round(piecesPerBox);
    if (!std::isfinite(piecesPerBox) || whole < 1 || std::abs(piecesPerBox - whole) > kTolerance)
        return std::nullopt;
    return CPackUnit{whole, Unit(unit)};
}

QString Unit(const QString& unit) {
    const QString shown = unit.trimmed();
    return shown.isEmpty() ? QStringLiteral("片") : shown;
}

std::optional<CPackUnit> OfCard(CDatabase* db, const QString& name, const QString& origin,
                                const QString& packModel, QString* failure) {
    const std::optional<CDrug> drug = druglookup::ByName(db, name, origin, packModel, failure);
    return drug ? Of(*drug) : std::nullopt;
}

std::optional<CPackUnit> Of(const CDrug& drug) {
    return Of(drug.piecesPerBox, drug.pieceUnit);
}

std::optional<long long> WholePieces(double boxes, const CPackUnit& pack) {
    const double pieces = boxes * pack.piecesPerBox;
    // Beyond 2^53 a double holds no single pieces any more.
    if (!std::isfinite(pieces) || std::abs(pieces) > 9e15)
        return std::nullopt;
    const double whole = std::round(pieces);
    if (std::abs(pieces - whole) > kTolerance)
        return std::nullopt;
    return static_cast<long long>(whole);
}

QString Text(double boxes, const std::optional<CPackUnit>& pack) {
    if (boxes < 0)
        return QStringLiteral("-") + Text(-boxes, pack);
    const std::optional<long long> pieces = pack ? WholePieces(boxes, *pack) : std::nullopt;
    if (!pieces)
        return textforms::ShortestDouble(boxes) + QStringLiteral(" 盒");
    const auto perBox = static_cast<long long>(pack->piecesPerBox);
    const long long whole = *pieces / perBox;
    const long long rest = *pieces % perBox;
    if (rest == 0)
        return QStringLiteral("%1 盒").arg(whole);
    if (whole == 0)
        return QStringLiteral("%1 %2").arg(QString::number(rest), pack->unit);
    return QStringLiteral("%1 盒 %2 %3")
        .arg(QString::number(whole), QString::number(rest), pack->unit);
}

} // namespace packquantity
