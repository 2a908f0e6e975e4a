#pragma once
// 期初: the log row that records, when the books begin to be held against their log (their
// creation, or the upgrade that brings the row digests), every card's stock, every operator's
// row and how many rows of 进, 销 and 损 came before. A card is reconciled from it onwards; the
// rows before it are counted, not checked one by one.
#include "audit_log.h"

#include <QString>
#include <map>
#include <optional>

class CDatabase;

namespace openingstock {

// The key of a card in the maps below: its four texts joined by U+001F.
QString CardKey(const QStringList& card);
QStringList CardOf(const QString& key);

struct COpening {
    long long logNumber = 0; // the 序号 of the 期初 row
    // The 期初 row's 单号, made when it was written: a later entry's number sorts after it.
    QString boundary;
    std::map<QString, double> stock;          // card key → 现有存货量
    std::map<QString, QString> operators;     // 用户名 → the digest of the row
    std::map<QString, long long> earlierRows; // 进, 销, 损 → rows before the 期初
};

// The 期初 row of the books open on `db` now, under the 单号 `number`. Throws CDBException.
CLogEntry Entry(CDatabase& db, const QString& operatorName, const QString& number);
// The first 期初 row of the books; nullopt when there is none (books set up before it, or by
// other means). Throws CDBException.
std::optional<COpening> Read(CDatabase& db);

} // namespace openingstock
