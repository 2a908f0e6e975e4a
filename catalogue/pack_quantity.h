#pragma once
// Stock and counts as a person reads them: whole boxes and the pieces left over ("32 盒 7 粒"),
// where the catalogue knows how many pieces a box holds. The books keep boxes.
#include "drug.h"

#include <QString>
#include <optional>

class CDatabase;

struct CPackUnit {
    double piecesPerBox = 20; // 每盒总量
    QString unit;             // 拆零单位
};

namespace packquantity {

// What the catalogue's row says of a drug's pieces; nullopt when 每盒总量 is no whole number of
// pieces (the boxes then cannot be split into them).
std::optional<CPackUnit> Of(double piecesPerBox, const QString& unit);
std::optional<CPackUnit> Of(const CDrug& drug);
// The pieces of the drug a card names, read from the catalogue (bound); nullopt when it has no
// such drug, or cannot be read (then `failure` says why).
std::optional<CPackUnit> OfCard(CDatabase* db, const QString& name, const QString& origin,
                                const QString& packModel, QString* failure = nullptr);
// A piece's unit as shown: the catalogue's, 片 (its default) where it is blank or unknown.
QString Unit(const QString& unit);

// "32 盒 7 粒", "32 盒", "7 粒", negative with a leading "-". The boxes as stored ("1.333 盒")
// when `pack` is unknown or the boxes are not within 1e-6 of a whole number of pieces.
QString Text(double boxes, const std::optional<CPackUnit>& pack);

// The whole pieces `boxes` hold, when within 1e-6 of a whole number of them.
std::optional<long long> WholePieces(double boxes, const CPackUnit& pack);

} // namespace packquantity
