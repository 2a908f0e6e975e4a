#include "entry_lookup.h"

#include "CDatabase.h"
#include "CTransaction.h"

#include "entry_number.h"
#include "result_loader.h"
#include "text_forms.h"

namespace entrylookup {

const QString kRecordedAfterLoss = QStringLiteral("已记录（连接曾中断，已核对）");
const QString kNotRecordedAfterLoss =
    QStringLiteral("未记录（连接曾中断，已核对）：账上没有这一笔，可以再按 添加");
const QString kOutcomeUnknown =
    QStringLiteral("结果未知：请在连接恢复后按 更新显示 核对，勿重复录入");
const QString kAlreadyRecorded =
    QStringLiteral("已记录：这一笔在连接中断时已经写入账上，没有重复录入");

std::optional<bool> InBooks(CDatabase* db, const QString& table, const QString& number,
                            QString* failure) {
    const std::optional<CResultTable> rows =
        RunStatement(db, table,
                     CStatement{QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ").arg(table) +
                                    entrynumber::ByNumber(),
                                {number}},
                     failure);
    if (!rows || rows->RowCount() != 1 || rows->ColumnCount() != 1)
        return std::nullopt;
    bool ok = false;
    const long long count = rows->CellText(0, 0).toLongLong(&ok);
    return ok ? std::optional<bool>(count > 0) : std::nullopt;
}

QString Reported(std::optional<bool> inBooks, const QString& driverText, const QString& button) {
    QString notRecorded = kNotRecordedAfterLoss;
    notRecorded.replace(notRecorded.lastIndexOf(QStringLiteral("添加")), 2, button);
    const QString said = !inBooks ? kOutcomeUnknown : *inBooks ? kRecordedAfterLoss : notRecorded;
    const QString driver = textforms::OneLine(driverText);
    return driver.isEmpty() ? said : said + QStringLiteral("（") + driver + QStringLiteral("）");
}

CPendingNumber::CTry CPendingNumber::BeforeTry(CDatabase* db, const QString& table, int part) {
    if (!Holds())
        return {CTry::Step::Write, entrynumber::Next(), {}};
    const QString kept = m_kept;
    QString failure;
    const std::optional<bool> inBooks =
        InBooks(db, table, part > 0 ? entrynumber::Part(kept, part) : kept, &failure);
    if (!inBooks)
        return {CTry::Step::StillUnknown, kept, failure};
    Forget();
    return {*inBooks ? CTry::Step::AlreadyRecorded : CTry::Step::Write, kept, {}};
}

std::optional<CDBException> CommitUnlessLost(CTransaction& transaction) {
    try {
        (void)transaction.Commit();
    } catch (const CDBException& e) {
        if (!CDatabase::IsConnectionLost(e))
            throw;
        return e;
    }
    return std::nullopt;
}

QString LoggedAfterLoss(CDatabase* db, const QString& number, const CDBException& lost,
                        const QString& button) {
    const std::optional<bool> inBooks = InBooks(db, QStringLiteral("日志"), number);
    return inBooks && *inBooks ? QString() : Reported(inBooks, lost.ErrorText(), button);
}

} // namespace entrylookup
