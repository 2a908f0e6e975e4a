#pragma once
// Books for the scan at the counter: a catalogue of 20,000 drugs, each with an EAN-13 code and
// three stock cards (one expired, one that may be empty, one with stock), and a long history
// of sales, filled set-based in the dialect of the connection.
#include "CDatabase.h"
#include "sql_params.h"

#include <QString>
#include <vector>

namespace scanbooks {

constexpr int kDrugs = 20000;

// The statements that fill new books, in order: drugs, cards, `sales` sales.
std::vector<CStatement> FillStatements(CDatabase::Dialect dialect, int sales);

// Drug `drug`'s name and code, as the catalogue holds them.
QString NameOf(int drug);
QString CodeOf(int drug);
// The expiry of the card a scan of drug `drug` must choose before 2097: the earliest one that
// has not expired and has stock.
QString FirstOutExpiryOf(int drug);

} // namespace scanbooks
