// apricot-initdb --import as a user runs it, on a SQLite folder and through --connect.
#include "CTestBooks.h"
#include "query_rows.h"

#include <QFile>
#include <QProcess>

namespace {

struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ProgramRun RunInitDb(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(APRICOT_INITDB), args);
    ProgramRun run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

class ImportCommandTest : public CBooksTest {
protected:
    // The books as the command is told of them, options put where the case puts them.
    QStringList Args(const QStringList& options) const {
        return GetParam() == Backend::SQLite
                   ? options + QStringList{m_books->Folder()}
                   : QStringList{"--connect", m_books->ConnectString()} + options;
    }
    QString File() {
        const QString path = m_books->Folder() + "/期初库存.csv";
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        // Line 3 has a month that does not exist.
        file.write("名称,产地,规格,批号,有效期至,数量,进价\n"
                   "阿莫西林胶囊,华北制药,0.25g*24粒,A1,2027-05-31,10,2.5\n"
                   "布洛芬缓释胶囊,中美史克,0.3g*20粒,B1,2027-13-01,5,8\n"
                   "维生素C片,东北制药,0.1g*100片,C1,2028.01,3,1.5\n");
        return path;
    }
    QString Purchases() { return QueryValue(Db(), "SELECT COUNT(*) FROM 进"); }
};

TEST_P(ImportCommandTest, FaultsAndAnEarlierImportStopItUnlessTheOptionsSayOtherwise) {
    const QString file = File();
    const ProgramRun dry = RunInitDb(Args({"--import", file, "--dry-run"}));
    EXPECT_EQ(dry.exitCode, 1) << dry.err.toStdString();
    EXPECT_TRUE(dry.out.contains("第 3 行 · 有效期")) << dry.out.toStdString();
    EXPECT_EQ(Purchases(), "0");

    const ProgramRun faulty = RunInitDb(Args({"--import", file}));
    EXPECT_EQ(faulty.exitCode, 1);
    EXPECT_TRUE(faulty.err.contains("--skip-faulty")) << faulty.err.toStdString();
    EXPECT_EQ(Purchases(), "0");

    const ProgramRun skipped = RunInitDb(Args({"--skip-faulty", "--import", file}));
    EXPECT_EQ(skipped.exitCode, 0) << skipped.err.toStdString();
    EXPECT_EQ(QueryRows(Db(), "SELECT 名称,有效截止日期,现有存货量 FROM 存 ORDER BY 有效截止日期"),
              (std::vector<QStringList>{{"阿莫西林胶囊", "2027-05-31", "10"},
                                        {"维生素C片", "2028-01-31", "3"}}));

    const ProgramRun twice = RunInitDb(Args({"--import", file, "--skip-faulty"}));
    EXPECT_EQ(twice.exitCode, 1);
    EXPECT_TRUE(twice.err.contains("导入过")) << twice.err.toStdString();
    EXPECT_EQ(Purchases(), "2");

    const ProgramRun again = RunInitDb(Args({"--import", file, "--skip-faulty", "--again"}));
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_EQ(Purchases(), "4");

    const ProgramRun usage = RunInitDb(Args({"--import"}));
    EXPECT_EQ(usage.exitCode, 2);
}

APRICOT_INSTANTIATE_BACKENDS(ImportCommandTest);

} // namespace
