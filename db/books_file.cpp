#include "books_file.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "result_loader.h"
#include "schema.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

QString CBooksCounts::Text() const {
    return QStringLiteral("进 %1 笔，存 %2 张，销 %3 笔").arg(purchases).arg(cards).arg(sales);
}

namespace booksfile {

std::optional<CBooksCounts> Count(CDatabase& db, QString* failure) {
    CBooksCounts counts;
    const std::pair<const char*, long long*> tables[] = {{"操作员", &counts.operators},
                                                         {"进", &counts.purchases},
                                                         {"存", &counts.cards},
                                                         {"销", &counts.sales}};
    for (const auto& [name, count] : tables) {
        const QString table = QString::fromUtf8(name);
        QString why;
        const std::optional<CResultTable> rows =
            RunStatement(&db, table, QStringLiteral("SELECT COUNT(*) FROM ") + table, &why);
        if (!rows || rows->RowCount() != 1) {
            if (failure)
                *failure = QStringLiteral("无法清点表“%1”：%2").arg(table, why.trimmed());
            return std::nullopt;
        }
        *count = rows->CellText(0, 0).toLongLong();
    }
    return counts;
}

std::optional<CBooksCounts> Check(const QString& path, const QString& extension, QString* failure,
                                  const IntegrityRun& integrity) {
    const auto fail = [&](const QString& why) -> std::optional<CBooksCounts> {
        if (failure)
            *failure = why;
        return std::nullopt;
    };
    if (!QFileInfo(path).isFile())
        return fail(QStringLiteral("文件不存在：%1").arg(path));
    const QString problem = schema::SqliteConnectPathProblem(path, extension);
    if (!problem.isEmpty())
        return fail(problem);
    CDatabase copy;
    try {
        if (!copy.OpenEx(schema::SqliteConnectString(path, extension)))
            return fail(QStringLiteral("无法打开 %1").arg(path));
    } catch (const CDBException& e) {
        return fail(QStringLiteral("无法打开 %1：%2").arg(path, e.ErrorText().trimmed()));
    }
    QString why;
    QString verdict;
    if (integrity) {
        try {
            verdict = integrity(copy);
        } catch (const CDBException& e) {
            return fail(QStringLiteral("%1 不是账套：%2").arg(path, e.ErrorText().trimmed()));
        }
    } else {
        const std::optional<CResultTable> rows =
            RunStatement(&copy, QStringLiteral("integrity_check"),
                         QStringLiteral("PRAGMA integrity_check"), &why);
        if (!rows)
            return fail(QStringLiteral("%1 不是账套：%2").arg(path, why.trimmed()));
        // A whole file answers one row, "ok"; a damaged one names its first fault first.
        if (rows->RowCount() > 0)
            verdict = rows->CellText(0, 0);
    }
    if (verdict != QLatin1String("ok"))
        return fail(QStringLiteral("%1 已损坏：%2")
                        .arg(path, verdict.isEmpty() ? QStringLiteral("无结果") : verdict));
    const std::optional<CBooksCounts> counts = Count(copy, &why);
    if (!counts)
        return fail(QStringLiteral("%1 不是账套：%2").arg(path, why));
    return counts;
}

bool SyncToDisk(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool RenameOver(const QString& from, const QString& to) {
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace booksfile
