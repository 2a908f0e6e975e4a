#include "CDrugMaintDlg.h"

#include "CDBException.h"
#include "drug_catalogue.h"
#include "q_grid.h"

#include <QPushButton>

namespace {

// The statement loads 药品's columns in their order: the three words of the key come first,
// then 条形码.
constexpr int kName = 0;
constexpr int kOrigin = 1;
constexpr int kPackModel = 2;
constexpr int kBarcode = 3;
constexpr int kClass = 5;
constexpr int kEphedrine = 6;

} // namespace

CDrugMaintDlg::CDrugMaintDlg(CDatabase* db, QWidget* owner, const QString& operatorName,
                             bool mayChange)
    : CRecordMaintDlg(Book(), db, owner, operatorName) {
    if (mayChange)
        GuardCards(db);
    else
        ReadOnly();
}

CMaintBook CDrugMaintDlg::Book() {
    return {170, QStringLiteral("维护药品目录"), QStringLiteral("药品"),
            QStringLiteral("SELECT 名称,产地,规格型号,条形码,批准文号,类别,含麻黄碱,每盒总量,"
                           "拆零单位,零售价,拆零价,拼音码 FROM 药品")};
}

void CDrugMaintDlg::ReadOnly() {
    Grid()->SetPermissions(true, false, false, false);
    for (int id : {IdSave, IdAdd, IdDelete}) {
        if (auto* button = findChild<QPushButton*>(QString::number(id)))
            button->setEnabled(false);
    }
}

void CDrugMaintDlg::GuardCards(CDatabase* db) {
    // A code names one drug: checked before the row goes, so the message names that drug.
    Grid()->SetRowCheck([db](const QStringList&, QStringList& newValues, bool) {
        if (QString problem = drugcatalogue::CodeProblem(newValues.value(kBarcode));
            !problem.isEmpty())
            return problem;
        if (QString problem =
                drugcatalogue::ClassProblem(newValues.value(kClass), newValues.value(kEphedrine));
            !problem.isEmpty())
            return problem;
        try {
            return drugcatalogue::CodeTakenBy(*db, newValues.value(kBarcode),
                                              newValues.value(kName), newValues.value(kOrigin),
                                              newValues.value(kPackModel));
        } catch (const CDBException& e) {
            return e.ErrorText();
        }
    });
    // The cards name their drug by its three words: it stays while they do.
    Grid()->SetWriteGuard([db](const QStringList& oldValues) {
        return drugcatalogue::CardsStillName(*db, oldValues.value(kName), oldValues.value(kOrigin),
                                             oldValues.value(kPackModel));
    });
}
