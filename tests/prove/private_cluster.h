#pragma once
// A PostgreSQL 15 server of the test's own, which the test may stop and start again while
// connections to it are open. It listens only on a Unix socket in its own folder.
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace provetest {

class CPrivateCluster {
public:
    // Empty when a cluster can be made here; otherwise why not. `skip` is set when the user
    // asked to run without PostgreSQL (APRICOT_SKIP_PG=1), the only reason to skip.
    static QString Unavailable(bool* skip);

    // Makes and starts the cluster with an empty database; throws std::runtime_error.
    CPrivateCluster();
    // Stops the server and removes the cluster.
    ~CPrivateCluster();
    CPrivateCluster(const CPrivateCluster&) = delete;
    CPrivateCluster& operator=(const CPrivateCluster&) = delete;

    // pg_ctl stop -m immediate: the server goes at once, as on a crash or a pulled cable.
    void StopImmediately();
    void Start();
    bool IsRunning() const;

    // The ODBC connection string of the test database.
    QString ConnectString() const;

private:
    // Runs a PostgreSQL program as the cluster's owner; throws with its output when it fails.
    void Run(const QString& program, const QStringList& arguments) const;

    QTemporaryDir m_folder;
    QString m_role;
    bool m_running = false;
};

} // namespace provetest
