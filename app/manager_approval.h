#pragma once
// A 店长 standing beside a 营业员: their name and password, checked as the login checks them.
#include <QString>

class CDatabase;

namespace managerapproval {

// Whether `name` is a 店长 in the books of `db` and `password` is theirs. False too when the
// operators cannot be read: nothing is approved unseen.
bool Approves(CDatabase* db, const QString& name, const QString& password);

} // namespace managerapproval
