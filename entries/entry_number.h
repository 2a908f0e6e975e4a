#pragma once
// Every entry's own number (单号), made by the program before the entry is sent: a UUID of
// version 7, whose first 48 bits are the time in milliseconds and the rest random, so numbers
// of several counters never meet and sort roughly by when they were made.
#include <QString>

namespace entrynumber {

// A new number, 36 characters ("0193a3c4-5b6e-7f80-9a1b-2c3d4e5f6071").
QString Next();
// The condition that finds one row by its number, bound to one mark: "单号=? AND 单号<>''". The
// second half lets the partial unique index (numbers that are not empty) serve on SQLite.
QString ByNumber();
// The number of the `index`-th row (from 1) of an entry that writes several: "<number>-<index>".
QString Part(const QString& number, int index);

} // namespace entrynumber
