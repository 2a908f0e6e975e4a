#include "log_check.h"

#include "audit_log.h"
#include "result_loader.h"

#include <algorithm>

namespace auditlog {

namespace {

// Every column: books of the fourth version add 单号 at the end, older ones (and their backups)
// have seven.
const QString kWholeRows = QStringLiteral("SELECT * FROM 日志 ORDER BY 序号");
constexpr int kNumberColumn = 7;
constexpr int kRowMarkColumn = 8;

} // namespace

std::optional<CChainCheck> CheckChain(CDatabase& db, QString* failure) {
    const std::optional<CResultTable> rows =
        RunStatement(&db, QStringLiteral("日志"), kWholeRows, failure);
    if (!rows)
        return std::nullopt;
    CChainCheck check;
    check.rows = rows->RowCount();
    QString previous;
    long long expected = 1;
    for (int r = 0; r < rows->RowCount(); ++r) {
        const long long number = rows->CellText(r, 0).toLongLong();
        // The grid's text of a date-time: "2024-03-09 08:15:30", a midnight stamp without time.
        const QString stamp = rows->CellText(r, 1).trimmed();
        QDateTime time =
            QDateTime::fromString(stamp.left(19), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!time.isValid())
            time = QDateTime(QDate::fromString(stamp.left(10), QStringLiteral("yyyy-MM-dd")),
                             QTime(0, 0));
        CLogEntry entry{
            rows->CellText(r, 2), rows->CellText(r, 3), rows->CellText(r, 4), rows->CellText(r, 5),
            rows->ColumnCount() > kNumberColumn ? rows->CellText(r, kNumberColumn) : QString()};
        if (rows->ColumnCount() > kRowMarkColumn)
            entry.rowMark = rows->CellText(r, kRowMarkColumn);
        const QString stored = rows->CellText(r, 6);
        if (number != expected) {
            check.firstBreak = number;
            check.why = number > expected ? QStringLiteral("序号 %1 之前有 %2 行被删除")
                                                .arg(number)
                                                .arg(number - expected)
                                          : QStringLiteral("序号 %1 重复或次序错乱").arg(number);
            return check;
        }
        if (stored != ChainHash(previous, number, time, entry)) {
            check.firstBreak = number;
            check.why = QStringLiteral("序号 %1 这一行被修改过，或是后来插入的").arg(number);
            return check;
        }
        previous = stored;
        ++expected;
    }
    return check;
}

std::optional<CBackupComparison> CompareWithBackup(CDatabase& books, CDatabase& backup,
                                                   QString* failure) {
    QString why;
    const std::optional<CResultTable> old =
        RunStatement(&backup, QStringLiteral("日志"), kWholeRows, &why);
    if (!old) {
        if (failure)
            *failure = QStringLiteral("无法读取备份中的日志：%1").arg(why.trimmed());
        return std::nullopt;
    }
    const std::optional<CResultTable> now =
        RunStatement(&books, QStringLiteral("日志"), kWholeRows, &why);
    if (!now) {
        if (failure)
            *failure = QStringLiteral("无法读取日志：%1").arg(why.trimmed());
        return std::nullopt;
    }
    CBackupComparison comparison;
    comparison.rows = old->RowCount();
    const auto numberOf = [](const CResultTable& table, int row) {
        return table.CellText(row, 0).toLongLong();
    };
    const auto differ = [&](long long number, const QString& why) {
        comparison.firstDifference = number;
        comparison.why = why.arg(number);
        return comparison;
    };
    // Both in 序号 order: walk them side by side as far as the backup goes.
    int b = 0;
    for (int o = 0; o < old->RowCount(); ++o) {
        const long long number = numberOf(*old, o);
        if (b < now->RowCount() && numberOf(*now, b) < number)
            return differ(numberOf(*now, b),
                          QStringLiteral("序号 %1 这一行备份中没有，是后来插入的"));
        if (b >= now->RowCount() || numberOf(*now, b) != number)
            return differ(number, QStringLiteral("序号 %1 这一行在备份中有，账套中已被删除"));
        for (int c = 1; c < std::min(old->ColumnCount(), now->ColumnCount()); ++c)
            if (old->CellText(o, c) != now->CellText(b, c))
                return differ(number, QStringLiteral("序号 %1 这一行与备份中的不同，已被修改"));
        ++b;
    }
    return comparison;
}

} // namespace auditlog
