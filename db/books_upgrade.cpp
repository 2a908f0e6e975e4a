#include "books_upgrade.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CTransaction.h"
#include "books_version.h"
#include "schema.h"
#include "text_forms.h"

#include <QStringList>

namespace booksupgrade {

namespace {

CUpgradeOutcome Say(CUpgradeOutcome::Result result, int from, int to, const QString& message) {
    return CUpgradeOutcome{result, from, to, message};
}

CUpgradeOutcome NewerBooks(int version) {
    return Say(CUpgradeOutcome::Result::Refused, version, version,
               QStringLiteral("账套是第 %1 版，比本程序认识的第 %2 版新，没有做任何改动；"
                              "请使用能处理这个版本的新版程序")
                   .arg(version)
                   .arg(booksversion::kNewest));
}

} // namespace

CUpgradeOutcome Upgrade(CDatabase& db, const Inside& inside) {
    int from = 0;
    try {
        from = booksversion::Read(db);
    } catch (const CDBException& e) {
        return Say(CUpgradeOutcome::Result::Failed, 0, 0,
                   QStringLiteral("无法读取账套的版本：%1").arg(textforms::OneLine(e.ErrorText())));
    }
    switch (booksversion::Compare(from)) {
    case booksversion::Standing::Current:
        return Say(CUpgradeOutcome::Result::AlreadyCurrent, from, from, {});
    case booksversion::Standing::Newer:
        return NewerBooks(from);
    case booksversion::Standing::Older:
        break;
    }
    if (!db.IsAutoCommit())
        return Say(CUpgradeOutcome::Result::Failed, from, from,
                   QStringLiteral("连接上有未完成的事务，不能升级账套"));

    const int to = booksversion::kNewest;
    try {
        CTransaction transaction(db);
        // On a server another counter may be upgrading the same books: the second one waits
        // here, then finds them done.
        if (db.GetDialect() == CDatabase::Dialect::PostgreSQL)
            transaction.Execute(QStringLiteral("LOCK TABLE 操作员 IN ACCESS EXCLUSIVE MODE"));
        const int found = booksversion::Read(db);
        if (booksversion::Compare(found) == booksversion::Standing::Current)
            return Say(CUpgradeOutcome::Result::AlreadyCurrent, found, found, {});
        if (booksversion::Compare(found) == booksversion::Standing::Newer)
            return NewerBooks(found);
        from = found;
        for (int version = from + 1; version <= to; ++version) {
            const QStringList steps = schema::UpgradeStatements(db.GetDialect(), version);
            if (steps.isEmpty())
                return Say(CUpgradeOutcome::Result::Failed, from, from,
                           QStringLiteral("不知道如何在这种数据库中把账套升级到第 %1 版，"
                                          "没有做任何改动")
                               .arg(version));
            for (const QString& step : steps)
                transaction.Execute(step);
        }
        if (inside)
            inside(from, to);
        if (booksversion::Read(db) != to)
            return Say(CUpgradeOutcome::Result::Failed, from, from,
                       QStringLiteral("升级后的账套版本不是第 %1 版，没有做任何改动").arg(to));
        // Committed is committed: a failure to switch auto-commit back on is retried by the
        // guard and changes nothing in the books.
        (void)transaction.Commit();
    } catch (const CDBException& e) {
        return Say(CUpgradeOutcome::Result::Failed, from, from,
                   QStringLiteral("账套由第 %1 版升级到第 %2 版失败，没有做任何改动：%3")
                       .arg(from)
                       .arg(to)
                       .arg(textforms::OneLine(e.ErrorText())));
    }
    return Say(CUpgradeOutcome::Result::Upgraded, from, to, {});
}

} // namespace booksupgrade
