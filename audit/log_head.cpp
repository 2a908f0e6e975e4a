#include "log_head.h"

#include "result_loader.h"

#include <QRegularExpression>

namespace auditlog {

namespace {

const QString kLog = QStringLiteral("日志");
constexpr int kShownDigits = 16;

QString Start(const QString& hash) {
    return hash.trimmed().left(kShownDigits).toLower();
}

// Reports `why` as the failure of reading the log.
void Fail(QString* failure, const QString& why) {
    if (failure)
        *failure = why.trimmed().isEmpty() ? QStringLiteral("无法读取日志") : why.trimmed();
}

} // namespace

std::optional<CChainHead> Head(CDatabase& db, QString* failure) {
    QString why;
    const std::optional<CResultTable> newest = RunStatement(
        &db, kLog, QStringLiteral("SELECT 序号, 校验 FROM 日志 ORDER BY 序号 DESC LIMIT 1"), &why);
    if (!newest) {
        Fail(failure, why);
        return std::nullopt;
    }
    if (newest->RowCount() == 0)
        return CChainHead{};
    return CChainHead{newest->CellText(0, 0).toLongLong(), Start(newest->CellText(0, 1))};
}

QString HeadText(const CChainHead& head) {
    if (head.rows <= 0)
        return QStringLiteral("日志 0 条");
    return QStringLiteral("日志 %1 条 · 校验 %2").arg(QString::number(head.rows), head.hash16);
}

std::optional<CChainHead> ParseHead(const QString& text) {
    static const QRegularExpression figure(
        QStringLiteral("^([0-9]{1,18}):([0-9A-Fa-f]{%1})$").arg(kShownDigits));
    const QRegularExpressionMatch match = figure.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const long long rows = match.captured(1).toLongLong();
    if (rows < 1)
        return std::nullopt;
    return CChainHead{rows, match.captured(2).toLower()};
}

std::optional<CHeadCheck> CheckHead(CDatabase& db, const CChainHead& printed, QString* failure) {
    QString why;
    const std::optional<CResultTable> row =
        RunStatement(&db, kLog,
                     CStatement{QStringLiteral("SELECT 校验 FROM 日志 WHERE 序号 = ?"),
                                {qlonglong(printed.rows)}},
                     &why);
    if (!row) {
        Fail(failure, why);
        return std::nullopt;
    }
    const QString rowsText = QString::number(printed.rows);
    if (row->RowCount() == 0) {
        const std::optional<CChainHead> now = Head(db, failure);
        if (!now)
            return std::nullopt;
        if (now->rows < printed.rows)
            return CHeadCheck{false,
                              QStringLiteral("日志只有 %1 行，打印时已有 %2 行：后面的行被删除了")
                                  .arg(QString::number(now->rows), rowsText)};
        return CHeadCheck{false,
                          QStringLiteral("日志中已没有打印时的第 %1 行：它被删除了").arg(rowsText)};
    }
    const QString stored = Start(row->CellText(0, 0));
    if (stored != printed.hash16)
        return CHeadCheck{false,
                          QStringLiteral("日志与打印的校验不符：第 %1 行的校验是 %2，打印的是 "
                                         "%3（从这一行或更早起日志被改写过）")
                              .arg(rowsText, stored, printed.hash16)};
    return CHeadCheck{true, QStringLiteral("第 %1 行与打印的校验相符").arg(rowsText)};
}

} // namespace auditlog
