#include "books_check.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "books_version.h"
#include "connect_file.h"
#include "ledger_check.h"
#include "log_check.h"
#include "result_loader.h"
#include "schema.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace auditlog {

namespace {

CBooksCheck Outcome(CBooksCheck::Verdict verdict, const QString& message) {
    CBooksCheck check;
    check.verdict = verdict;
    check.message = message;
    return check;
}

// SQLite's own check of the file; empty when it passes.
std::optional<QString> IntegrityProblem(CDatabase& db, QString* failure) {
    const std::optional<CResultTable> result = RunStatement(
        &db, QStringLiteral("integrity_check"), QStringLiteral("PRAGMA integrity_check"), failure);
    if (!result)
        return std::nullopt;
    if (result->RowCount() == 1 && result->CellText(0, 0) == QLatin1String("ok"))
        return QString();
    return result->RowCount() > 0 ? result->CellText(0, 0) : QStringLiteral("无结果");
}

// Opened on a connection of its own through the books' driver and extension; never created.
std::optional<CBackupComparison> CompareWithFile(CDatabase& db, const QString& backup,
                                                 QString* failure) {
    const QString extension = SqliteExtensionPath(db.ConnectString());
    const QString problem = schema::SqliteConnectPathProblem(backup, extension);
    if (!QFileInfo(backup).isFile() || !problem.isEmpty()) {
        *failure = problem.isEmpty() ? QStringLiteral("找不到备份 %1").arg(backup) : problem;
        return std::nullopt;
    }
    CDatabase copy;
    try {
        if (!copy.OpenEx(schema::SqliteConnectString(backup, extension))) {
            *failure = QStringLiteral("无法打开备份 %1").arg(backup);
            return std::nullopt;
        }
    } catch (const CDBException& e) {
        *failure = QStringLiteral("无法打开备份 %1：%2").arg(backup, e.ErrorText().trimmed());
        return std::nullopt;
    }
    // A backup made before the upgrade that brought the log holds none to compare.
    try {
        if (booksversion::Read(copy) < 2)
            return CBackupComparison{};
    } catch (const CDBException& e) {
        *failure = QStringLiteral("无法读取备份 %1：%2").arg(backup, e.ErrorText().trimmed());
        return std::nullopt;
    }
    return CompareWithBackup(db, copy, failure);
}

} // namespace

CBooksCheck CheckBooks(CDatabase& db, const QString& backup,
                       const std::optional<CChainHead>& printed) {
    using Verdict = CBooksCheck::Verdict;
    QString failure;
    if (db.GetDialect() == CDatabase::Dialect::SQLite) {
        const std::optional<QString> damage = IntegrityProblem(db, &failure);
        if (!damage)
            return Outcome(Verdict::Failed,
                           QStringLiteral("无法检查账套文件：%1").arg(failure.trimmed()));
        if (!damage->isEmpty())
            return Outcome(Verdict::Broken, QStringLiteral("账套文件已损坏：%1").arg(*damage));
    }
    const std::optional<CChainCheck> chain = CheckChain(db, &failure);
    if (!chain)
        return Outcome(Verdict::Failed, QStringLiteral("无法读取日志：%1").arg(failure.trimmed()));
    std::optional<CBackupComparison> compared;
    if (!backup.isEmpty()) {
        compared = CompareWithFile(db, backup, &failure);
        if (!compared)
            return Outcome(Verdict::Failed, failure);
    }

    std::optional<CHeadCheck> head;
    if (printed) {
        head = CheckHead(db, *printed, &failure);
        if (!head)
            return Outcome(Verdict::Failed,
                           QStringLiteral("无法读取日志：%1").arg(failure.trimmed()));
    }
    const bool headDiffers = head && !head->matches;
    const std::optional<CLedgerCheck> ledger = CheckLedger(db, &failure);
    if (!ledger)
        return Outcome(Verdict::Failed,
                       QStringLiteral("无法核对账上的记录：%1").arg(failure.trimmed()));
    const QStringList problems = LedgerProblems(*ledger);
    const QString ledgerText =
        problems.isEmpty() ? QString()
                           : QStringLiteral("\n账上的记录与日志不符：\n") + problems.join('\n');

    CBooksCheck check;
    check.rows = chain->rows;
    long long first = chain->firstBreak;
    QString why = chain->why;
    if (compared && compared->firstDifference != 0 &&
        (first == 0 || compared->firstDifference < first)) {
        first = compared->firstDifference;
        why =
            compared->why + QStringLiteral("（与备份 %1 比对）").arg(QFileInfo(backup).fileName());
    }
    check.firstBreak = first;
    if (first != 0) {
        check.verdict = Verdict::Broken;
        check.message = QStringLiteral("日志不完整：%1").arg(why);
        if (headDiffers)
            check.message += QLatin1Char('\n') + head->message;
        check.message += ledgerText;
        return check;
    }
    // A whole chain that no longer reaches the printed row, or reaches it by another 校验.
    if (headDiffers) {
        check.verdict = Verdict::Broken;
        check.firstBreak = std::min(printed->rows, chain->rows + 1);
        check.message = head->message + ledgerText;
        return check;
    }
    // Rows changed, removed or added behind the log, and cards off their movements.
    if (!problems.isEmpty()) {
        check.verdict = Verdict::Broken;
        check.message = QStringLiteral("日志完整：%1 条").arg(chain->rows) + ledgerText;
        return check;
    }
    check.verdict = Verdict::Whole;
    check.message = QStringLiteral("日志完整：%1 条").arg(chain->rows);
    if (ledger->hasOpening)
        check.message +=
            QStringLiteral("\n期初之后的进、销、损和操作员的每一行都与日志相符；%1 张库存卡与期初和"
                           "进销损相符。")
                .arg(ledger->cards.size());
    else
        check.message += QStringLiteral("\n账套没有期初记录：库存卡没有核对。");
    if (const QString earlier = EarlierRowsText(*ledger); !earlier.isEmpty())
        check.message += QLatin1Char('\n') + earlier;
    if (compared && compared->rows > 0)
        check.message += QStringLiteral("\n其中备份 %1 中的 %2 条与账套相符。")
                             .arg(QFileInfo(backup).fileName(), QString::number(compared->rows));
    if (head)
        check.message += QLatin1Char('\n') + head->message;
    // The chain alone cannot show a chain rewritten from some row on, or its last rows removed;
    // on a server there is no backup of the program's own to hold it against.
    if (db.GetDialect() == CDatabase::Dialect::PostgreSQL)
        check.message += QStringLiteral("\n"
                                        "服务器上的账套没有与任何备份比对：从某一行起重算了校验、"
                                        "或删掉了最后几行，只有更早的副本（服务器的备份、打印或导出"
                                        "的操作日志）能比出来。");
    return check;
}

QString NewestFile(const QString& folder, const std::function<bool(const QString&)>& accepts) {
    QFileInfo newest;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files)) {
        if (!accepts(file.fileName()))
            continue;
        // Ties by name: two backups written within the same second.
        if (newest.filePath().isEmpty() || file.lastModified() > newest.lastModified() ||
            (file.lastModified() == newest.lastModified() && file.fileName() > newest.fileName()))
            newest = file;
    }
    return newest.filePath().isEmpty() ? QString() : newest.absoluteFilePath();
}

} // namespace auditlog
