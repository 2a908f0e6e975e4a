#include "CTestBooks.h"

#include "CDBException.h"
#include "schema.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <stdexcept>
#include <unistd.h>

namespace {

const char* const kPgVariable = "APRICOT_PG_CONNECT";

std::runtime_error SetupError(const QString& what) {
    return std::runtime_error(what.toUtf8().toStdString());
}

QString WithDatabase(const QString& connect, const QString& database) {
    static const QRegularExpression key(QStringLiteral("(^|;)\\s*Database\\s*=[^;]*"),
                                        QRegularExpression::CaseInsensitiveOption);
    QString out = connect;
    if (out.contains(key))
        return out.replace(key, QStringLiteral("\\1Database=") + database);
    if (!out.isEmpty() && !out.endsWith(QLatin1Char(';')))
        out += QLatin1Char(';');
    return out + QStringLiteral("Database=") + database + QLatin1Char(';');
}

// One PostgreSQL database per test process, so that tests running side by side never share
// books; dropped when the process ends.
class CPgTestDatabase {
public:
    CPgTestDatabase()
        : m_admin(qEnvironmentVariable(kPgVariable)),
          m_name(QStringLiteral("apricot_t_%1").arg(::getpid())) {
        try {
            CDatabase admin;
            if (!admin.OpenEx(m_admin)) {
                m_error = QStringLiteral("cannot connect to %1").arg(m_admin);
                return;
            }
            admin.ExecuteSQL(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
            admin.ExecuteSQL(QStringLiteral("CREATE DATABASE %1").arg(m_name));
            m_connect = WithDatabase(m_admin, m_name);
        } catch (const CDBException& e) {
            m_error = QStringLiteral("cannot create the test database %1 through %2: %3")
                          .arg(m_name, m_admin, e.ErrorText());
        }
    }
    ~CPgTestDatabase() {
        if (m_connect.isEmpty())
            return;
        try {
            CDatabase admin;
            if (admin.OpenEx(m_admin))
                admin.ExecuteSQL(
                    QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
        } catch (const CDBException&) {
            // The cluster may be gone already; it is a throw-away one.
        }
    }
    CPgTestDatabase(const CPgTestDatabase&) = delete;
    CPgTestDatabase& operator=(const CPgTestDatabase&) = delete;

    const QString& Connect() const { return m_connect; }
    const QString& Error() const { return m_error; }

private:
    QString m_admin;
    QString m_name;
    QString m_connect;
    QString m_error;
};

const CPgTestDatabase& PgTestDatabase() {
    static const CPgTestDatabase database;
    return database;
}

} // namespace

QString CTestBooks::SqliteExtension() {
    return QStringLiteral(APRICOT_SQLITE_EXTENSION);
}

QString CTestBooks::Unavailable(Backend backend, bool* skip) {
    if (skip)
        *skip = false;
    if (backend == Backend::SQLite)
        return {};
    if (!qEnvironmentVariableIsEmpty(kPgVariable))
        return {};
    if (skip)
        *skip = qEnvironmentVariable("APRICOT_SKIP_PG") == QLatin1String("1");
    return QStringLiteral("APRICOT_PG_CONNECT is not set: run the tests through scripts/with-pg.sh "
                          "(or scripts/test.sh), or set APRICOT_SKIP_PG=1 to skip PostgreSQL");
}

CTestBooks::CTestBooks(Backend backend, Tables tables) : m_backend(backend) {
    const QString unavailable = Unavailable(backend);
    if (!unavailable.isEmpty())
        throw SetupError(unavailable);
    if (!m_folder.isValid())
        throw SetupError(QStringLiteral("cannot make a temporary folder: ") +
                         m_folder.errorString());

    if (backend == Backend::SQLite) {
        m_connect = schema::SqliteConnectString(QDir(m_folder.path()).filePath("apricot.db"),
                                                SqliteExtension());
    } else {
        const CPgTestDatabase& database = PgTestDatabase();
        if (!database.Error().isEmpty())
            throw SetupError(database.Error());
        m_connect = database.Connect();
    }
    try {
        if (!m_db.OpenEx(m_connect))
            throw SetupError(QStringLiteral("cannot connect: ") + m_connect);
        if (backend == Backend::PostgreSQL)
            DropTables();
        if (tables == Tables::Created)
            schema::Create(m_db);
        else if (tables == Tables::Version1)
            CreateVersion1();
    } catch (const CDBException& e) {
        throw SetupError(
            QStringLiteral("cannot make the books through %1: %2").arg(m_connect, e.ErrorText()));
    }
}

std::unique_ptr<CDatabase> CTestBooks::OpenAnotherConnection() const {
    auto db = std::make_unique<CDatabase>();
    if (!db->OpenEx(m_connect))
        throw SetupError(QStringLiteral("cannot connect: ") + m_connect);
    return db;
}

void CTestBooks::CreateVersion1() {
    // The scripts as the first version's set-up ran them, kept beside this file.
    QFile file(QStringLiteral(APRICOT_BOOKS_V1_DIR "/schema_%1.sql")
                   .arg(m_backend == Backend::SQLite ? QStringLiteral("sqlite")
                                                     : QStringLiteral("postgres")));
    if (!file.open(QIODevice::ReadOnly))
        throw SetupError(QStringLiteral("cannot read ") + file.fileName());
    for (const QString& statement : schema::SplitStatements(QString::fromUtf8(file.readAll())))
        m_db.ExecuteSQL(statement);
}

void CTestBooks::DropTables() {
    for (const QString& table : schema::AllTableNames())
        m_db.ExecuteSQL(QStringLiteral("DROP TABLE IF EXISTS ") + table);
}

void CBooksTest::SetUp() {
    bool skip = false;
    const QString unavailable = CTestBooks::Unavailable(GetParam(), &skip);
    if (skip)
        GTEST_SKIP() << unavailable.toStdString();
    ASSERT_TRUE(unavailable.isEmpty()) << unavailable.toStdString();
    try {
        m_books = std::make_unique<CTestBooks>(GetParam(), InitialTables());
    } catch (const std::exception& e) {
        FAIL() << e.what();
    }
}

void CBooksTest::RecordStatements() {
    Db().SetStatementHook([this](const QString& sql) { m_sent << sql; });
}

void CBooksTest::Exec(const QString& sql) {
    try {
        Db().ExecuteSQL(sql);
    } catch (const CDBException& e) {
        throw std::runtime_error(
            (sql + QStringLiteral("\n  failed: ") + e.ErrorText()).toStdString());
    }
}

bool CBooksTest::Fails(const QString& sql) {
    try {
        Db().ExecuteSQL(sql);
        return false;
    } catch (const CDBException&) {
        return true;
    }
}
