#include "private_cluster.h"

#include "CDBException.h"
#include "CDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <pwd.h>
#include <stdexcept>
#include <unistd.h>

namespace provetest {

namespace {

const QString kBin = QStringLiteral("/usr/lib/postgresql/15/bin/");
constexpr int kPort = 54331; // the socket lies in our own folder, so it cannot clash
const QString kDatabase = QStringLiteral("apricot_fault");

std::runtime_error Failure(const QString& what) {
    return std::runtime_error(what.toUtf8().toStdString());
}

bool IsRoot() {
    return ::geteuid() == 0;
}

} // namespace

QString CPrivateCluster::Unavailable(bool* skip) {
    *skip = qEnvironmentVariable("APRICOT_SKIP_PG") == QLatin1String("1");
    if (*skip)
        return QStringLiteral("APRICOT_SKIP_PG=1: no PostgreSQL server is started");
    if (!QFileInfo(kBin + QStringLiteral("pg_ctl")).isExecutable())
        return QStringLiteral("PostgreSQL 15 is not installed (%1pg_ctl is missing): install "
                              "postgresql-15 (scripts/install-deps.sh test), or set "
                              "APRICOT_SKIP_PG=1 to skip the PostgreSQL tests")
            .arg(kBin);
    if (IsRoot() && !::getpwnam("postgres"))
        return QStringLiteral("running as root, and there is no user postgres to own a cluster");
    return {};
}

CPrivateCluster::CPrivateCluster()
    // /tmp rather than $TMPDIR: a socket path must stay short, and postgres must reach it.
    : m_folder(QStringLiteral("/tmp/apricot-fault-pg.XXXXXX")) {
    if (!m_folder.isValid())
        throw Failure(QStringLiteral("cannot make a folder for the cluster"));
    if (IsRoot()) {
        m_role = QStringLiteral("postgres");
        const passwd* owner = ::getpwnam("postgres");
        if (!owner || ::chown(QFile::encodeName(m_folder.path()).constData(), owner->pw_uid,
                              owner->pw_gid) != 0)
            throw Failure(QStringLiteral("cannot give the cluster folder to postgres"));
    } else {
        m_role = QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name);
    }
    const QString data = m_folder.filePath(QStringLiteral("data"));
    Run(kBin + QStringLiteral("initdb"),
        {QStringLiteral("-D"), data, QStringLiteral("-U"), m_role, QStringLiteral("-A"),
         QStringLiteral("trust"), QStringLiteral("-E"), QStringLiteral("UTF8"),
         QStringLiteral("--locale=C.UTF-8"), QStringLiteral("-N")});
    QFile conf(data + QStringLiteral("/postgresql.conf"));
    if (!conf.open(QIODevice::Append | QIODevice::Text))
        throw Failure(QStringLiteral("cannot configure the cluster"));
    // Commits reach the WAL before they return, or an immediate stop would lose them; fsync
    // can stay off, since the machine itself does not go down.
    conf.write(QStringLiteral("listen_addresses = ''\nunix_socket_directories = '%1'\nport = %2\n"
                              "fsync = off\n")
                   .arg(m_folder.path())
                   .arg(kPort)
                   .toUtf8());
    conf.close();
    Start();

    CDatabase admin;
    QString connect = ConnectString();
    connect.replace(QStringLiteral("Database=") + kDatabase, QStringLiteral("Database=postgres"));
    try {
        if (!admin.OpenEx(connect))
            throw Failure(QStringLiteral("cannot connect to the new cluster: ") + connect);
        admin.ExecuteSQL(QStringLiteral("CREATE DATABASE ") + kDatabase);
    } catch (const CDBException& e) {
        throw Failure(QStringLiteral("cannot create the test database: ") + e.ErrorText());
    }
}

CPrivateCluster::~CPrivateCluster() {
    if (!m_running)
        return;
    try {
        StopImmediately();
    } catch (const std::exception&) {
        // The folder goes anyway; a server left behind dies with its files.
    }
}

void CPrivateCluster::Run(const QString& program, const QStringList& arguments) const {
    QProcess process;
    process.setWorkingDirectory(m_folder.path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (IsRoot())
        process.start(QStringLiteral("runuser"),
                      QStringList{QStringLiteral("-u"), m_role, QStringLiteral("--"), program} +
                          arguments);
    else
        process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        throw Failure(QStringLiteral("%1 failed: %2")
                          .arg(program, QString::fromLocal8Bit(process.readAll())));
}

void CPrivateCluster::StopImmediately() {
    Run(kBin + QStringLiteral("pg_ctl"),
        {QStringLiteral("-D"), m_folder.filePath(QStringLiteral("data")), QStringLiteral("-m"),
         QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("-t"),
         QStringLiteral("60"), QStringLiteral("stop")});
    m_running = false;
}

void CPrivateCluster::Start() {
    Run(kBin + QStringLiteral("pg_ctl"),
        {QStringLiteral("-D"), m_folder.filePath(QStringLiteral("data")), QStringLiteral("-l"),
         m_folder.filePath(QStringLiteral("server.log")), QStringLiteral("-w"),
         QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("start")});
    m_running = true;
}

bool CPrivateCluster::IsRunning() const {
    return m_running;
}

QString CPrivateCluster::ConnectString() const {
    // psqlODBC takes a socket folder as the server name.
    return QStringLiteral("Driver=PostgreSQL Unicode;Servername=%1;Port=%2;Database=%3;"
                          "Username=%4;")
        .arg(m_folder.path())
        .arg(kPort)
        .arg(kDatabase, m_role);
}

} // namespace provetest
