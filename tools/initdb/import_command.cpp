#include "import_command.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "books_connect.h"
#include "books_version.h"
#include "import_columns.h"
#include "import_preview.h"
#include "import_write.h"
#include "money.h"
#include "sql_text.h"

#include <QFile>
#include <QFileInfo>

namespace importcommand {

namespace {

const QString kOperator = QStringLiteral("系统");

CReport Fail(const QString& message) {
    CReport report;
    report.err << message;
    return report;
}

// The column a row's fault is about: its reason begins with the field's name ("有效期“…”不是
// 日期", "缺少批号"), the longest that fits.
QString ColumnOfFault(const QString& reason) {
    const QString about = reason.startsWith(QStringLiteral("缺少")) ? reason.mid(2) : reason;
    QString column;
    for (int f = 0; f < importcolumns::kFields; ++f)
        for (const QString& name :
             importcolumns::Alternatives(static_cast<importcolumns::EField>(f)))
            if (about.startsWith(name) && name.size() > column.size())
                column = name;
    return column;
}

// "第 12 行：有效期…" as the command prints it: "第 12 行 · 有效期 · 有效期…".
QString FaultLine(const CImportBatch& b) {
    const QString head = QStringLiteral("第 %1 行：").arg(b.line);
    const QString reason = b.fault.startsWith(head) ? b.fault.mid(head.size()) : b.fault;
    const QString column = ColumnOfFault(reason);
    return column.isEmpty()
               ? QStringLiteral("第 %1 行 · %2").arg(QString::number(b.line), reason)
               : QStringLiteral("第 %1 行 · %2 · %3").arg(QString::number(b.line), column, reason);
}

QString SummaryLine(const stockimport::CImportSummary& s) {
    return QStringLiteral("共 %1 行，有误 %2 行；新药品 %3 种，新建库存卡 %4 张，追加到已有库存卡 "
                          "%5 张；共 %6 盒，成本 %7 元")
        .arg(QString::number(s.rows), QString::number(s.faulty), QString::number(s.newDrugs),
             QString::number(s.cardsCreated), QString::number(s.cardsAddedTo),
             sqltext::Exact(s.boxes), money::Yuan(s.costCents));
}

CReport ImportInto(CDatabase& db, const COptions& options, const QDateTime& now) {
    try {
        if (booksversion::Compare(booksversion::Read(db)) != booksversion::Standing::Current)
            return Fail(QStringLiteral("账套不是本程序的版本，请先运行 apricot-initdb --upgrade"));
    } catch (const CDBException& e) {
        return Fail(QStringLiteral("无法读取账套版本：") + e.ErrorText().trimmed());
    }
    CImportPreview preview = PreviewImport(db, options.file);
    if (!preview.refusal.isEmpty())
        return Fail(preview.refusal);
    const stockimport::CImportSummary& summary = preview.summary;
    const std::optional<stockimport::CEarlierImport>& earlier = preview.earlier;

    CReport report;
    try {
        for (const CImportBatch& b : preview.batches) {
            if (!b.fault.isEmpty())
                report.out << FaultLine(b);
            else if (b.monthOnly)
                report.out << QStringLiteral("第 %1 行 · 有效期 · 只写到月份，按该月最后一天 %2")
                                  .arg(QString::number(b.line), sqltext::Date(b.expiry));
        }
        report.out << SummaryLine(summary);
        if (earlier)
            report.err << QStringLiteral("这个文件已于 %1 由 %2 导入过%3")
                              .arg(earlier->time, earlier->operatorName,
                                   options.again ? QStringLiteral("，按 --again 再次导入")
                                                 : QStringLiteral("；确要再次导入请加 --again"));
        const bool refusedAsBefore = earlier && !options.again;
        const bool refusedAsFaulty = summary.faulty > 0 && !options.skipFaulty;
        if (refusedAsFaulty)
            report.err << QStringLiteral("有 %1 行有误，没有导入；要跳过有误的行请加 --skip-faulty")
                              .arg(summary.faulty);
        if (options.dryRun) {
            report.out << QStringLiteral("只做检查，没有写入任何数据");
            report.exitCode = refusedAsBefore || summary.faulty > 0 ? 1 : 0;
            return report;
        }
        if (refusedAsBefore || refusedAsFaulty)
            return report;

        const stockimport::CImportOutcome outcome = stockimport::WriteImport(
            db, preview.fileName, preview.digest, preview.Good(), kOperator, now);
        if (!outcome.written) {
            report.err << outcome.failure;
            return report;
        }
        report.out << QStringLiteral("已导入 %1 行：%2 盒，成本 %3 元")
                          .arg(QString::number(outcome.rows), sqltext::Exact(outcome.boxes),
                               money::Yuan(outcome.costCents));
        report.exitCode = 0;
    } catch (const CDBException& e) {
        report.err << QStringLiteral("没有导入：") + e.ErrorText().trimmed();
        report.exitCode = 1;
    }
    return report;
}

} // namespace

CReport ImportOnConnection(const COptions& options, const QString& connect, const QDateTime& now) {
    CDatabase db;
    if (const QString why = booksconnect::Open(db, connect); !why.isEmpty())
        return Fail(why);
    return ImportInto(db, options, now);
}

CReport ImportIntoFolder(const COptions& options, const QString& folder, const QDateTime& now) {
    QString failure;
    const std::optional<QString> connect = booksconnect::OfFolder(folder, &failure);
    if (!connect)
        return Fail(failure);
    // The folder becomes the current one: the file is named before that.
    COptions absolute = options;
    absolute.file = QFileInfo(options.file).absoluteFilePath();
    return booksconnect::InFolder(folder,
                                  [&] { return ImportOnConnection(absolute, *connect, now); });
}

} // namespace importcommand
