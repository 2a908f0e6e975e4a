#include "bench_support.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "connect_string.h"
#include "schema.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace bench {

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double MillisecondsOf(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

double SecondsOf(const std::function<void()>& work) {
    return MillisecondsOf(work) / 1000.0;
}

void Print(const char* name, double value) {
    std::printf("%s %.3f\n", name, value);
}

bool Fail(const char* program, const QString& why) {
    std::fprintf(stderr, "%s: %s\n", program, why.toUtf8().constData());
    return false;
}

QString Sequence(int from, int count) {
    return QStringLiteral("WITH RECURSIVE n(i) AS (SELECT %1 UNION ALL SELECT i + 1 FROM n WHERE "
                          "i + 1 < %2) ")
        .arg(from)
        .arg(from + count);
}

QString CardsStatement(int count, const CardExpressions& card) {
    return Sequence(0, count) +
           QStringLiteral("INSERT INTO 存 SELECT %1, %2, %3, %4, 2.5 + i % 50, 1000 FROM n")
               .arg(card.name, card.origin, card.packModel, card.expiry);
}

QString OpenNewBooks(CDatabase& db, const QString& path) {
    const QString extension = schema::FindSqliteExtension();
    if (extension.isEmpty())
        return QStringLiteral("apricot_sqlite.so not found beside the program");
    if (!db.OpenEx(schema::SqliteConnectString(path, extension)))
        return QStringLiteral("cannot open ") + path;
    schema::Create(db);
    return {};
}

void FillInOneTransaction(CDatabase& db, const std::vector<QString>& statements) {
    db.SetAutoCommit(false);
    for (const QString& sql : statements)
        db.ExecuteSQL(sql);
    db.CommitTrans();
    db.SetAutoCommit(true);
}

void FillInOneTransaction(CDatabase& db, const std::vector<CStatement>& statements) {
    db.SetAutoCommit(false);
    for (const CStatement& statement : statements)
        db.ExecuteSQL(statement);
    db.CommitTrans();
    db.SetAutoCommit(true);
}

QString ServerConnect(const QStringList& arguments) {
    const qsizetype at = arguments.indexOf(QStringLiteral("--connect"));
    if (at >= 0 && at + 1 < arguments.size())
        return arguments[at + 1];
    return qEnvironmentVariable("APRICOT_PG_CONNECT");
}

CServerBooks::CServerBooks(const QString& adminConnect)
    : m_admin(adminConnect), m_name(QStringLiteral("apricot_bench_%1").arg(::getpid())) {
    try {
        CDatabase admin;
        if (!admin.OpenEx(m_admin)) {
            m_error = QStringLiteral("cannot connect through ") + m_admin;
            return;
        }
        // A name of digits and letters only: it cannot be bound, and needs no quoting.
        admin.ExecuteSQL(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
        admin.ExecuteSQL(QStringLiteral("CREATE DATABASE %1").arg(m_name));
        m_connect = connectstring::WithOption(m_admin, QStringLiteral("Database"), m_name);
    } catch (const CDBException& e) {
        m_error = QStringLiteral("cannot make the database %1 through %2: %3")
                      .arg(m_name, m_admin, e.ErrorText());
    }
}

CServerBooks::~CServerBooks() {
    if (m_connect.isEmpty())
        return;
    try {
        CDatabase admin;
        if (admin.OpenEx(m_admin))
            admin.ExecuteSQL(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
    } catch (const CDBException& e) {
        std::fprintf(stderr, "could not drop the database %s: %s\n", m_name.toUtf8().constData(),
                     e.ErrorText().toUtf8().constData());
    }
}

int RunWithWidgets(int argc, char** argv, const std::function<bool()>& run) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return run() ? 0 : 1;
}

bool OnBothBackends(const char* program, const QString& sqlitePath, const QString& server,
                    const std::function<bool(CDatabase&, const char*)>& run) {
    try {
        CDatabase db;
        if (const QString why = OpenNewBooks(db, sqlitePath); !why.isEmpty())
            return Fail(program, why);
        if (!run(db, "sqlite"))
            return false;
    } catch (const CDBException& e) {
        return Fail(program, e.ErrorText());
    }
    if (server.isEmpty()) {
        std::fprintf(stderr,
                     "%s: no PostgreSQL server (--connect, or APRICOT_PG_CONNECT as "
                     "scripts/with-pg.sh sets it): the case on postgresql is skipped\n",
                     program);
        return true;
    }
    const CServerBooks books(server);
    if (!books.Error().isEmpty())
        return Fail(program, books.Error());
    try {
        CDatabase db;
        if (!db.OpenEx(books.Connect()))
            return Fail(program, QStringLiteral("cannot connect through ") + books.Connect());
        schema::Create(db);
        return run(db, "postgresql");
    } catch (const CDBException& e) {
        return Fail(program, e.ErrorText());
    }
}

} // namespace bench
