#include "command_rights.h"

#include "command_ids.h"

namespace commandrights {

const QString kNeedsManager = QStringLiteral("需要店长权限");

bool NeedsManager(int id) {
    switch (id) {
    case cmd::Settings:
    case cmd::PurchaseMaint:
    case cmd::StockMaint:
    case cmd::SalesMaint:
    case cmd::AuditLog:
    case cmd::CheckLog:
    case cmd::WriteOff:
    case cmd::StockTake:
    case cmd::ImportOpeningStock:
    case cmd::ExportImportTemplate:
    case cmd::StockReconciliation:
        return true;
    default:
        return false;
    }
}

bool MayRun(ERole role, int id) {
    return role == ERole::Manager || !NeedsManager(id);
}

bool NeedsManagerApproval(ERole role, int id) {
    return role != ERole::Manager && id == cmd::SaleReversal;
}

QString OperatorPane(const QString& name, ERole role) {
    return QStringLiteral("操作员：%1（%2）").arg(name, operatorrole::Text(role));
}

} // namespace commandrights
