#pragma once
// Which version of the books a connection holds. Books of the first version have no version
// record; every later version keeps it in 账套版本, one row.
#include <QString>

class CDatabase;

namespace booksversion {

// The version this program makes and works with.
constexpr int kNewest = 8;

enum class Standing { Older, Current, Newer };

// The version of the books open on `db`: 1 when they have no 账套版本. Throws CDBException,
// also when the table is there but holds no version.
int Read(CDatabase& db);
// How books of `version` stand to this program.
Standing Compare(int version);

} // namespace booksversion
