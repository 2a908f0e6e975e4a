// apricot-initdb: sets up a new, empty (or demo) set of books, upgrades, restores or checks books,
// or imports an opening-stock file into them.
#include "CBooksSetup.h"
#include "books_restore.h"
#include "check_command.h"
#include "import_command.h"
#include "log_head.h"
#include "schema.h"
#include "upgrade_command.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QStringList>

#include <cstdio>
#include <optional>

namespace {

// Exit codes: the books exist is not a fault of the call, and scripts may want to tell.
constexpr int kExitCreated = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitBooksExist = 3;

const char* const kUsage =
    "用法: apricot-initdb [--demo] 文件夹\n"
    "      apricot-initdb [--demo] --connect '连接串'\n"
    "      apricot-initdb --upgrade 文件夹\n"
    "      apricot-initdb --upgrade --connect '连接串'\n"
    "      apricot-initdb --restore 备份文件 文件夹\n"
    "      apricot-initdb --check [--head n:校验] 文件夹\n"
    "      apricot-initdb --check [--head n:校验] --connect '连接串'\n"
    "      apricot-initdb --import 文件 [--dry-run] [--skip-faulty] [--again] 文件夹\n"
    "      apricot-initdb --import 文件 [--dry-run] [--skip-faulty] [--again] --connect '连接串'\n"
    "第一种在文件夹中建立新的 SQLite 数据库 apricot.db 和 connect.txt；\n"
    "第二种在连接串所指的空数据库（PostgreSQL）中建立各表。\n"
    "--demo  另外写入约四个月的演示进货和销售记录。\n"
    "--upgrade  把文件夹中 connect.txt 所指的账套（没有 connect.txt 时为 apricot.db）或连接串\n"
    "           所指的账套升级到本程序的版本：SQLite 账套先做检查过的备份放进 backups/，\n"
    "           升级在一个事务中完成，失败时不做任何改动；服务器上的账套请先自行备份。\n"
    "--restore  检查备份后用它替换文件夹中 connect.txt 所指的账套（没有 connect.txt 时为\n"
    "           apricot.db），原来的账套连同它的 -wal 等文件改名保留；\n"
    "           有程序正在使用这套账时拒绝恢复。\n"
    "--check  检查账套：SQLite 账套先做完整性检查，再逐行核对日志的校验链，并与 backups/\n"
    "         中最新的备份逐行比对；完好时显示“日志完整：n 条”，退出码 0；否则指出第一处\n"
    "         被修改、删除或插入的行（序号），退出码 1。不做任何改动。\n"
    "--head n:校验  另外核对报表上打印的“日志 n 条 · 校验 xxxxxxxxxxxxxxxx”：第 n 行必须还在，\n"
    "         它的校验必须以这 16 位开头，否则日志在打印之后被改写或删短过，退出码 1。\n"
    "--import  把期初库存文件（.csv 或 .xlsx）导入账套，每一批作为编号“期初”的进货，在一个\n"
    "          事务中完成：有误的行或同一文件已导入过时不做任何改动，退出码 1。\n"
    "--dry-run  只列出有误的行（第几行 · 哪一列 · 原因）和汇总，不做任何改动；有误时退出码 1。\n"
    "--skip-faulty  跳过有误的行，导入其余各行。\n"
    "--again  同一文件（按 SHA-256）已导入过时仍然导入。\n"
    "已有账套时不做任何改动，退出码 3；其他失败退出码 1，用法错误退出码 2。\n";

void PrintLine(std::FILE* stream, const QString& text) {
    std::fputs(text.toUtf8().constData(), stream);
    std::fputc('\n', stream);
}

int Usage(const QString& problem) {
    if (!problem.isEmpty())
        PrintLine(stderr, QStringLiteral("apricot-initdb: ") + problem);
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);

    if (args.size() >= 1 && args[0] == QLatin1String("--restore")) {
        if (args.size() != 3 || args[1].isEmpty() || args[2].isEmpty())
            return Usage(QStringLiteral("--restore 后面要有备份文件和文件夹"));
        CBooksRestore restore(schema::FindSqliteExtension());
        const CBooksRestore::Outcome outcome =
            restore.Restore(args[1], args[2], QDateTime::currentDateTime());
        PrintLine(outcome == CBooksRestore::Outcome::Restored ? stdout : stderr,
                  outcome == CBooksRestore::Outcome::Restored
                      ? restore.Message()
                      : QStringLiteral("apricot-initdb: ") + restore.Message());
        return outcome == CBooksRestore::Outcome::Restored ? kExitCreated : kExitFailed;
    }

    bool demo = false;
    bool upgrade = false;
    bool check = false;
    importcommand::COptions import;
    bool haveImport = false;
    std::optional<auditlog::CChainHead> printedHead;
    QString connect;
    bool haveConnect = false;
    QString folder;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(kUsage, stdout);
            return kExitCreated;
        } else if (arg == QLatin1String("--demo")) {
            demo = true;
        } else if (arg == QLatin1String("--upgrade")) {
            upgrade = true;
        } else if (arg == QLatin1String("--check")) {
            check = true;
        } else if (arg == QLatin1String("--head")) {
            if (printedHead || i + 1 >= args.size())
                return Usage(QStringLiteral(
                    "--head 后面要有且只有一个打印的日志头，如 12:0123456789abcdef"));
            printedHead = auditlog::ParseHead(args[++i]);
            if (!printedHead)
                return Usage(
                    QStringLiteral("--head %1 不是“序号:校验的前 16 位”，如 12:0123456789abcdef")
                        .arg(args[i]));
        } else if (arg == QLatin1String("--import")) {
            if (haveImport || i + 1 >= args.size() || args[i + 1].isEmpty())
                return Usage(QStringLiteral("--import 后面要有且只有一个文件"));
            import.file = args[++i];
            haveImport = true;
        } else if (arg == QLatin1String("--dry-run")) {
            import.dryRun = true;
        } else if (arg == QLatin1String("--skip-faulty")) {
            import.skipFaulty = true;
        } else if (arg == QLatin1String("--again")) {
            import.again = true;
        } else if (arg == QLatin1String("--connect")) {
            if (haveConnect || i + 1 >= args.size())
                return Usage(QStringLiteral("--connect 后面要有且只有一个连接串"));
            connect = args[++i];
            haveConnect = true;
        } else if (arg.startsWith(QLatin1String("--"))) {
            return Usage(QStringLiteral("不认识的选项 %1").arg(arg));
        } else if (folder.isEmpty() && !arg.isEmpty()) {
            folder = arg;
        } else {
            return Usage(QStringLiteral("只能给出一个文件夹"));
        }
    }
    if (haveConnect == !folder.isEmpty())
        return Usage(haveConnect ? QStringLiteral("文件夹和 --connect 只能选一个")
                                 : QStringLiteral("缺少文件夹或 --connect 连接串"));
    if (haveConnect && connect.trimmed().isEmpty())
        return Usage(QStringLiteral("连接串是空的"));

    if ((import.dryRun || import.skipFaulty || import.again) && !haveImport)
        return Usage(QStringLiteral("--dry-run、--skip-faulty 和 --again 只能和 --import 一起用"));
    if (haveImport) {
        if (demo || upgrade || check || printedHead)
            return Usage(QStringLiteral("--import 不能和 --demo、--upgrade 或 --check 一起用"));
        const QDateTime now = QDateTime::currentDateTime();
        const importcommand::CReport report =
            haveConnect ? importcommand::ImportOnConnection(import, connect, now)
                        : importcommand::ImportIntoFolder(import, folder, now);
        for (const QString& line : report.out)
            PrintLine(stdout, line);
        for (const QString& line : report.err)
            PrintLine(stderr, QStringLiteral("apricot-initdb: ") + line);
        return report.exitCode == 0 ? kExitCreated : kExitFailed;
    }

    if (printedHead && !check)
        return Usage(QStringLiteral("--head 只能和 --check 一起用"));
    if (check) {
        if (demo || upgrade)
            return Usage(QStringLiteral("--check 不能和 --demo 或 --upgrade 一起用"));
        const CBooksCheck result = haveConnect ? checkcommand::CheckConnection(connect, printedHead)
                                               : checkcommand::CheckFolder(folder, printedHead);
        if (result.verdict == CBooksCheck::Verdict::Failed) {
            PrintLine(stderr, QStringLiteral("apricot-initdb: ") + result.message);
            return kExitFailed;
        }
        PrintLine(stdout, result.message);
        return result.verdict == CBooksCheck::Verdict::Whole ? kExitCreated : kExitFailed;
    }

    if (upgrade) {
        if (demo)
            return Usage(QStringLiteral("--upgrade 和 --demo 不能一起用"));
        const QDateTime now = QDateTime::currentDateTime();
        const CUpgradeReport report = haveConnect ? upgradecommand::UpgradeConnection(connect, now)
                                                  : upgradecommand::UpgradeFolder(folder, now);
        PrintLine(report.ok ? stdout : stderr,
                  report.ok ? report.message : QStringLiteral("apricot-initdb: ") + report.message);
        return report.ok ? kExitCreated : kExitFailed;
    }

    CBooksSetup setup(demo);
    const CBooksSetup::Outcome outcome =
        haveConnect ? setup.CreateOnConnection(connect) : setup.CreateInFolder(folder);
    switch (outcome) {
    case CBooksSetup::Outcome::Created:
        PrintLine(stdout, setup.Message());
        return kExitCreated;
    case CBooksSetup::Outcome::BooksExist:
        PrintLine(stderr, QStringLiteral("apricot-initdb: ") + setup.Message());
        return kExitBooksExist;
    case CBooksSetup::Outcome::Failed:
        break;
    }
    PrintLine(stderr, QStringLiteral("apricot-initdb: ") + setup.Message());
    return kExitFailed;
}
