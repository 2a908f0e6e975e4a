#include "schema.h"

#include "CDBException.h"
#include "CRecordset.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

// The scripts live in the static library; without this call the linker would drop them.
static void LoadSchemaResources() {
    Q_INIT_RESOURCE(schema);
}

namespace schema {

namespace {

const QString kExtensionFile = QStringLiteral("apricot_sqlite.so");

// ":/schema/schema_<name>_<dialect>.sql"; empty for an unknown dialect.
QString ScriptResource(CDatabase::Dialect dialect, const QString& name = QString()) {
    QString suffix;
    switch (dialect) {
    case CDatabase::Dialect::SQLite:
        suffix = QStringLiteral("sqlite");
        break;
    case CDatabase::Dialect::PostgreSQL:
        suffix = QStringLiteral("postgres");
        break;
    case CDatabase::Dialect::Unknown:
        return {};
    }
    return QStringLiteral(":/schema/schema_%1%2.sql")
        .arg(name.isEmpty() ? QString() : name + QLatin1Char('_'), suffix);
}

QStringList ScriptStatements(const QString& resource) {
    if (resource.isEmpty())
        return {};
    LoadSchemaResources();
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return SplitStatements(QString::fromUtf8(file.readAll()));
}

bool TableAnswers(CDatabase& db, const QString& table) {
    CRecordset probe(&db);
    try {
        probe.Open(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE 1<0").arg(table));
        return true;
    } catch (const CDBException&) {
        return false;
    }
}

QString ExecutableDirectory() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
}

} // namespace

// Splits a script at the semicolons that end its statements; quoted texts and "--" comments
// may hold anything, and a trigger ends only at the semicolon after its END.
QStringList SplitStatements(const QString& script) {
    QStringList statements;
    QString current;
    bool inQuote = false;
    for (qsizetype i = 0; i < script.size(); ++i) {
        const QChar c = script[i];
        if (inQuote) {
            current += c;
            if (c == QLatin1Char('\''))
                inQuote = false;
        } else if (c == QLatin1Char('\'')) {
            current += c;
            inQuote = true;
        } else if (c == QLatin1Char('-') && i + 1 < script.size() &&
                   script[i + 1] == QLatin1Char('-')) {
            while (i < script.size() && script[i] != QLatin1Char('\n'))
                ++i;
            current += QLatin1Char('\n');
        } else if (c == QLatin1Char(';')) {
            const QString text = current.trimmed();
            if (text.startsWith(QLatin1String("CREATE TRIGGER"), Qt::CaseInsensitive) &&
                !text.endsWith(QLatin1String("END"), Qt::CaseInsensitive)) {
                current += c;
                continue;
            }
            if (!current.trimmed().isEmpty())
                statements << current.trimmed();
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.trimmed().isEmpty())
        statements << current.trimmed();
    return statements;
}

QStringList TableNames() {
    return {QStringLiteral("操作员"), QStringLiteral("进"), QStringLiteral("存"),
            QStringLiteral("销")};
}

QStringList AllTableNames() {
    return TableNames() << QStringLiteral("日志") << QStringLiteral("账套版本")
                        << QStringLiteral("损") << QStringLiteral("药品")
                        << QStringLiteral("药品条码") << QStringLiteral("追溯码")
                        << QStringLiteral("追溯码去向") << QStringLiteral("账套设置")
                        << QStringLiteral("执业药师") << QStringLiteral("处方")
                        << QStringLiteral("处方销售") << QStringLiteral("麻黄碱登记");
}

bool AnyTableExists(CDatabase& db) {
    return AnyTableExists(db, TableNames());
}

bool AnyTableExists(CDatabase& db, const QStringList& tables) {
    if (tables.isEmpty())
        return false;
    const QString names = QStringList(tables.size(), QStringLiteral("?")).join(QLatin1Char(','));
    sqlparams::Values values;
    for (const QString& table : tables)
        values.emplace_back(table);
    QString sql;
    switch (db.GetDialect()) {
    case CDatabase::Dialect::SQLite:
        sql = QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                             "(%1)")
                  .arg(names);
        break;
    case CDatabase::Dialect::PostgreSQL:
        // Visible means reached by an unqualified name, which is how every statement names them.
        sql = QStringLiteral("SELECT COUNT(*) FROM pg_catalog.pg_class c WHERE c.relname IN (%1) "
                             "AND pg_catalog.pg_table_is_visible(c.oid)")
                  .arg(names);
        break;
    case CDatabase::Dialect::Unknown:
        // Without a catalog to ask, a table exists when a query of it runs.
        for (const QString& table : tables)
            if (TableAnswers(db, table))
                return true;
        return false;
    }
    CRecordset count(&db);
    count.Open(sql, values);
    if (!count.Fetch())
        throw CDBException(QStringLiteral("The catalog query returned no row.\n"));
    return count.GetFieldValue(0).value_or(QString()).toLongLong() > 0;
}

QStringList CreateStatements(CDatabase::Dialect dialect) {
    return ScriptStatements(ScriptResource(dialect));
}

QStringList UpgradeStatements(CDatabase::Dialect dialect, int toVersion) {
    return ScriptStatements(ScriptResource(dialect, QStringLiteral("upgrade%1").arg(toVersion)));
}

void Create(CDatabase& db) {
    const QStringList statements = CreateStatements(db.GetDialect());
    if (statements.isEmpty())
        throw CDBException(QStringLiteral(
            "只能在 SQLite 或 PostgreSQL 数据库中建立账套，这个数据库两者都不是。\n"));

    // One transaction, so that a failure leaves no half set of books behind. A caller that
    // already holds a transaction keeps control of it.
    const bool ownTransaction = db.IsAutoCommit();
    if (ownTransaction)
        db.SetAutoCommit(false);
    try {
        for (const QString& statement : statements)
            db.ExecuteSQL(statement);
        if (ownTransaction) {
            db.CommitTrans();
            db.SetAutoCommit(true);
        }
    } catch (...) {
        if (ownTransaction) {
            try {
                db.Rollback();
                db.SetAutoCommit(true);
            } catch (const CDBException&) {
                // The first error is the one to report.
            }
        }
        throw;
    }
}

QString FindSqliteExtension() {
    const QDir here(ExecutableDirectory());
    const QStringList candidates = {
        here.filePath(kExtensionFile),
        here.filePath(QStringLiteral("../lib/apricot/") + kExtensionFile)};
    for (const QString& candidate : candidates) {
        const QFileInfo info(candidate);
        if (info.isFile())
            return QDir::cleanPath(info.absoluteFilePath());
    }
    return {};
}

QString SqliteConnectString(const QString& databasePath, const QString& extensionPath) {
    return QStringLiteral("Driver=SQLite3;Database=%1;LoadExt=%2;Timeout=5000")
        .arg(QFileInfo(databasePath).absoluteFilePath(),
             QFileInfo(extensionPath).absoluteFilePath());
}

QString SqliteConnectPathProblem(const QString& databasePath, const QString& extensionPath) {
    if (databasePath.contains(QLatin1Char(';')))
        return QStringLiteral("数据库路径中不能有分号（;）：%1").arg(databasePath);
    if (extensionPath.contains(QLatin1Char(';')) || extensionPath.contains(QLatin1Char(',')))
        return QStringLiteral("扩展模块的路径中不能有分号或逗号：%1").arg(extensionPath);
    return {};
}

} // namespace schema
