// A write-off or a stock-take whose COMMIT reaches the books and then loses its reply (on
// PostgreSQL the connection is really ended, on SQLite only the error is raised): it is looked
// up by its number, told in Chinese, and pressing again never records it twice. And on a server
// that reads backslashes as escapes, typed texts stay texts.
#include "entry_books.h"

#include "CDBException.h"
#include "entry_lookup.h"
#include "loss_text.h"
#include "stock_take.h"
#include "write_off.h"

namespace {

using namespace entrytest;

const losssql::Card kCard = {QStringLiteral("阿莫西林胶囊"), QStringLiteral("石药集团"),
                             QStringLiteral("0.25g*24粒"), QStringLiteral("2005-04-30")};
const QString kDriverText = QStringLiteral("[test] 回复前连接中断");

class LossLostReplyTest : public CBooksTest {
protected:
    void SetUp() override {
        CBooksTest::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        // One card of 10 boxes at 8.
        ASSERT_TRUE(CPurchaseEntry(&Db()).Add(Batch("8", "10")).recorded);
        if (Books().GetBackend() == Backend::PostgreSQL)
            m_killer = Books().OpenAnotherConnection();
        Db().SetStatementHook([this](const QString& sql) {
            if (!m_cut.isEmpty() && sql.startsWith(m_cut)) {
                m_cut.clear();
                m_gone = m_stayGone;
                LoseReply();
            } else if (m_gone) {
                LoseReply();
            }
        });
    }
    void TearDown() override {
        if (m_books)
            Db().SetStatementHook({});
    }

    // The next statement that begins with `prefix` runs, then its connection breaks; with
    // `stayGone`, so does every statement after it until Back().
    void CutAfter(const QString& prefix, bool stayGone) {
        m_cut = prefix;
        m_stayGone = stayGone;
    }
    void Back() { m_gone = false; }

    void LoseReply() {
        if (m_killer)
            m_killer->ExecuteSQL(
                QStringLiteral("SELECT pg_terminate_backend(pid, 5000) FROM pg_stat_activity "
                               "WHERE datname=current_database() AND pid<>pg_backend_pid()"));
        throw CDBException(kDriverText + QStringLiteral("\n"), QStringLiteral("08S01"));
    }

    QString Stock() { return QueryValue(Db(), "SELECT 现有存货量 FROM 存"); }

    std::unique_ptr<CDatabase> m_killer;
    QString m_cut;
    bool m_stayGone = false;
    bool m_gone = false;
};

TEST_P(LossLostReplyTest, AStockTakeFoundRecordedIsDoneAndNotRecordedAgain) {
    QString failure;
    std::optional<std::vector<CStockTake::Row>> rows = CStockTake::Read(&Db(), false, &failure);
    ASSERT_TRUE(rows && rows->size() == 1) << failure.toStdString();
    (*rows)[0].counted = QStringLiteral("7");
    CStockTake take(&Db(), QStringLiteral("李店长"));

    CutAfter(QStringLiteral("COMMIT"), false);
    CStockTake::Outcome outcome = take.Confirm(*rows);
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.recorded, 1);
    EXPECT_EQ(outcome.message, entrylookup::kRecordedAfterLoss + QStringLiteral("（") +
                                   kDriverText + QStringLiteral("）"));

    outcome = take.Confirm(*rows);
    EXPECT_EQ(outcome.recorded, 0);
    EXPECT_EQ(Stock(), "7");
    EXPECT_EQ(Count(Db(), "损"), "1");
}

TEST_P(LossLostReplyTest, AWriteOffOfUnknownOutcomeIsLookedUpBeforeItIsWrittenAgain) {
    CWriteOff writeOff(&Db(), QStringLiteral("李店长"));
    const CWriteOff::Form form = {kCard, QStringLiteral("2.5"), losstext::kBroken, {}, {}};

    CutAfter(QStringLiteral("COMMIT"), true);
    CEntryOutcome outcome = writeOff.Add(form);
    EXPECT_FALSE(outcome.recorded);
    EXPECT_TRUE(outcome.status.startsWith(entrylookup::kOutcomeUnknown))
        << outcome.status.toStdString();

    Back();
    outcome = writeOff.Add(form);
    EXPECT_TRUE(outcome.recorded);
    EXPECT_EQ(outcome.status, entrylookup::kAlreadyRecorded);
    EXPECT_EQ(Count(Db(), "损"), "1");
    EXPECT_EQ(Stock(), "7.5");
}

TEST_P(LossLostReplyTest, TextsWithBackslashAndQuoteAreStoredAsTyped) {
    if (Books().GetBackend() != Backend::PostgreSQL)
        GTEST_SKIP() << "only a server reads backslashes as escapes";
    const QString database = QueryValue(Db(), "SELECT current_database()");
    const QString alter =
        QStringLiteral("ALTER DATABASE \"%1\" ")
            .arg(QString(database).replace(QStringLiteral("\""), QStringLiteral("\"\"")));
    Exec(alter + QStringLiteral("SET standard_conforming_strings = off"));
    // The database's setting goes back however the test ends.
    struct CReset {
        CDatabase& db;
        QString sql;
        ~CReset() {
            try {
                db.ExecuteSQL(sql);
            } catch (const CDBException& e) {
                ADD_FAILURE() << e.ErrorText().toStdString();
            }
        }
    } reset{Db(), alter + QStringLiteral("RESET standard_conforming_strings")};
    std::unique_ptr<CDatabase> db = Books().OpenAnotherConnection();
    // Whatever the connection sets when it opens, the session too reads backslashes as escapes.
    db->ExecuteSQL(QStringLiteral("SET standard_conforming_strings = off"));
    ASSERT_EQ(QueryValue(*db, "SHOW standard_conforming_strings"), "off");
    const QString typed = QStringLiteral("\\'; CREATE TABLE pwned(x int); --");
    const CEntryOutcome outcome =
        CWriteOff(db.get()).Add({kCard, QStringLiteral("1"), losstext::kOther, typed, typed});
    EXPECT_TRUE(outcome.recorded) << outcome.status.toStdString();
    EXPECT_EQ(QueryRows(Db(), "SELECT 去向, 备注 FROM 损"),
              (std::vector<QStringList>{{typed, typed}}));
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM information_schema.tables WHERE "
                               "table_name='pwned'"),
              "0");
}

APRICOT_INSTANTIATE_BACKENDS(LossLostReplyTest);

} // namespace
