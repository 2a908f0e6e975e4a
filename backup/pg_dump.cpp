#include "pg_dump.h"

#include "CDatabase.h"
#include "backup_stop.h"
#include "books_file.h"
#include "connect_string.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace pgdump {

namespace {

QString Key(const QString& connect, const char* first, const char* second = nullptr,
            const char* third = nullptr) {
    QStringList keys{QString::fromLatin1(first)};
    for (const char* k : {second, third})
        if (k)
            keys << QString::fromLatin1(k);
    return connectstring::Value(connect, keys);
}

// A dump of hours must not be cut, but a hung server must not hold the counter for ever.
constexpr int kDumpLimitMs = 60 * 60 * 1000;

} // namespace

QString Find() {
    QString found = QStandardPaths::findExecutable(QStringLiteral("pg_dump"));
    if (!found.isEmpty())
        return found;
    // Debian keeps the server's tools beside the server, newest version last.
    const QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QStringList names = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
    for (auto it = names.crbegin(); it != names.crend(); ++it) {
        const QString candidate = versions.filePath(*it + QStringLiteral("/bin/pg_dump"));
        if (QFileInfo(candidate).isExecutable())
            return candidate;
    }
    return {};
}

QStringList Arguments(const QString& connect, const QString& target) {
    QStringList args{QStringLiteral("--format=custom"), QStringLiteral("--no-password"),
                     QStringLiteral("--file=") + target};
    if (const QString host = Key(connect, "Servername", "Server", "Host"); !host.isEmpty())
        args << QStringLiteral("--host=") + host;
    if (const QString port = Key(connect, "Port"); !port.isEmpty())
        args << QStringLiteral("--port=") + port;
    if (const QString user = Key(connect, "Username", "UID", "User"); !user.isEmpty())
        args << QStringLiteral("--username=") + user;
    args << QStringLiteral("--dbname=") + Key(connect, "Database");
    return args;
}

QString Missing(const QString& connect) {
    return QStringLiteral(
               "这台电脑上没有 pg_dump，无法在这里备份。请在数据库服务器上用 PostgreSQL 的 "
               "pg_dump 备份数据库“%1”（例如 pg_dump -Fc -f 备份文件 %1），"
               "或在这台电脑上安装 postgresql-client。")
        .arg(Key(connect, "Database"));
}

CBackupOutcome BackUp(CDatabase& db, const QString& program, const QString& target,
                      const CBackupStop* stop) {
    QString why;
    const std::optional<CBooksCounts> books = booksfile::Count(db, &why);
    if (!books)
        return {false, QStringLiteral("备份失败：") + why};
    const QFileInfo info(target);
    const QString temporary = info.absoluteDir().filePath(QStringLiteral(".") + info.fileName() +
                                                          QStringLiteral(".part"));
    QFile::remove(temporary);

    const QString connect = db.ConnectString();
    QProcess dump;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (const QString password = Key(connect, "Password", "PWD"); !password.isEmpty())
        environment.insert(QStringLiteral("PGPASSWORD"), password);
    dump.setProcessEnvironment(environment);
    dump.start(program, Arguments(connect, temporary));
    // Looked at often, so that a program closing stops the dump at once.
    const QDeadlineTimer limit(kDumpLimitMs);
    bool finished = dump.waitForStarted();
    while (finished && dump.state() != QProcess::NotRunning && !dump.waitForFinished(100))
        finished = !(stop && stop->Stopped()) && !limit.hasExpired();
    if (stop && stop->Stopped()) {
        if (dump.state() != QProcess::NotRunning) {
            dump.kill();
            dump.waitForFinished();
        }
        QFile::remove(temporary);
        return {false, QStringLiteral("备份已中止，没有留下副本")};
    }
    if (!finished || dump.exitStatus() != QProcess::NormalExit || dump.exitCode() != 0) {
        if (dump.state() != QProcess::NotRunning) {
            dump.kill();
            dump.waitForFinished();
        }
        QFile::remove(temporary);
        const QString said = QString::fromLocal8Bit(dump.readAllStandardError()).trimmed();
        return {
            false,
            QStringLiteral("备份失败：pg_dump %1").arg(said.isEmpty() ? dump.errorString() : said)};
    }
    // In one step: a dump that cannot take its name leaves the older one as it was.
    if (!booksfile::RenameOver(temporary, info.absoluteFilePath())) {
        QFile::remove(temporary);
        return {false,
                QStringLiteral("备份失败：无法把副本命名为 %1").arg(info.absoluteFilePath())};
    }
    return {true, QStringLiteral("备份完成：%1（%2）").arg(info.absoluteFilePath(), books->Text())};
}

} // namespace pgdump
