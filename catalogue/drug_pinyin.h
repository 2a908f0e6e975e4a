#pragma once
// The catalogue's 拼音码: filled in for drugs that have none, and searched by the initials a
// person types (in the sales entry's scan field or in 名称).
#include <QString>
#include <QStringList>
#include <vector>

class CDatabase;

namespace drugpinyin {

// Every drug of 药品 whose 拼音码 is empty gets the code of its name. The number of drugs
// given one. Runs inside the caller's transaction, if any. Throws CDBException.
int Fill(CDatabase& db);

// A drug that matches, by its three words.
struct CMatch {
    QString name;
    QString origin;
    QString packModel;
};
// The drugs whose 拼音码 starts with `typed` (letters and digits; anything else matches
// nothing), by name, at most `limit`. An empty list when none matches or the catalogue cannot
// be read (then `failure` says why).
std::vector<CMatch> Search(CDatabase* db, const QString& typed, int limit = 20,
                           QString* failure = nullptr);

} // namespace drugpinyin
