#pragma once
// A drug's codes beyond the first: its first code is 药品.条形码, each further one a row of
// 药品条码, and a code names one drug only across both tables. Each change is one transaction
// with its log row; a refusal or failure comes back as the text to show, and writes nothing.
#include <QDateTime>
#include <QString>
#include <QStringList>

class CDatabase;

namespace drugcatalogue {

// The drug's further codes (药品条码), in order. Throws CDBException.
QStringList FurtherCodes(CDatabase& db, const QString& name, const QString& origin,
                         const QString& packModel);

// 维护药品目录's 条码…: `code` becomes the drug's first code when it has none, else one of its
// further codes; logged as 添加条码. Empty when written.
QString AddCode(CDatabase& db, const QString& name, const QString& origin, const QString& packModel,
                const QString& code, const QString& operatorName, const QDateTime& now);
// Removes one of the drug's further codes, logged as 删除条码. Empty when removed.
QString RemoveCode(CDatabase& db, const QString& name, const QString& origin,
                   const QString& packModel, const QString& code, const QString& operatorName,
                   const QDateTime& now);

// At the counter, a code the catalogue does not know attached by a 店长 to the drug the four
// fields name: as AddCode, logged as 登记条码. Refuses a malformed code, a code another drug has
// and a drug the catalogue lacks. Empty when written.
QString AttachCode(CDatabase& db, const QString& name, const QString& origin,
                   const QString& packModel, const QString& code, const QString& operatorName,
                   const QDateTime& now);

// Asked after a catalogue row was changed or deleted, in the same transaction: a refusal when
// the drug is gone under these words but its further codes still name it. Throws CDBException.
QString FurtherCodesStillName(CDatabase& db, const QString& name, const QString& origin,
                              const QString& packModel);

} // namespace drugcatalogue
