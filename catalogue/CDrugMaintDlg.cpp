#include "CDrugMaintDlg.h"

#include "CDBException.h"
#include "CDrugCodesDlg.h"
#include "drug_catalogue.h"
#include "drug_codes.h"
#include "price_change.h"
#include "prompts.h"
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
    : CRecordMaintDlg(Book(), db, owner, operatorName), m_pDatabase(db),
      m_strOperator(operatorName), m_bMayChange(mayChange) {
    AddButtons({{IdCodes, "条码…", 253, 241, [this] { OnCodes(); }}});
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

void CDrugMaintDlg::OnCodes() {
    Grid()->CommitEdit();
    const int row = Grid()->GetSelectedRow();
    if (row < 0 || Grid()->IsNewRow()) {
        Prompts().Tell(this, QStringLiteral("请先在表格中选中一种药品"),
                       CPrompts::Icon::Information);
        return;
    }
    CDrugCodesDlg codes(m_pDatabase,
                        {Grid()->GetItemText(row, kName), Grid()->GetItemText(row, kOrigin),
                         Grid()->GetItemText(row, kPackModel)},
                        m_strOperator, m_bMayChange, this);
    codes.exec();
    // A code added to a drug without one became its 条形码.
    if (m_bMayChange)
        Grid()->Reload();
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
    // The cards and further codes name their drug by its three words: it stays while they do.
    Grid()->SetWriteGuard([db](const QStringList& oldValues) {
        const QString name = oldValues.value(kName);
        const QString origin = oldValues.value(kOrigin);
        const QString packModel = oldValues.value(kPackModel);
        if (QString refusal = drugcatalogue::CardsStillName(*db, name, origin, packModel);
            !refusal.isEmpty())
            return refusal;
        return drugcatalogue::FurtherCodesStillName(*db, name, origin, packModel);
    });
    Grid()->SetChangeWording(
        [](const QStringList& names, const QStringList& oldValues,
           const QStringList& newValues) -> std::optional<writeback::CLogWords> {
            QString content = drugcatalogue::PriceChangeContent(names, oldValues, newValues);
            if (content.isEmpty())
                return std::nullopt;
            return writeback::CLogWords{QStringLiteral("调价"), std::move(content)};
        });
}
