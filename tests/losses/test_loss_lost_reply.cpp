// A write-off or a stock-take whose COMMIT reaches the books and then loses its reply (on
// PostgreSQL the connection is really ended, on SQLite only the error is raised): it is looked
// up by its number, told in Chinese, and pressing again never records it twice. And on a server
// that reads backslashes as escapes, typed texts stay texts.
#include "entry_books.h"

#include "CDBException.h"
#include "entry_lookup.h"
#include "loss_text.h"
#include "lost_reply.h"
#include "stock_take.h"
#include "write_off.h"

namespace {

using namespace entrytest;

const losssql::Card kCard = {QStringLiteral("阿莫西林胶囊"), QStringLiteral("石药集团"),
                             QStringLiteral("0.25g*24粒"), QStringLiteral("2005-04-30")};

class LossLostReplyTest : public CLostReplyBooksTest {
protected:
    void SetUp() override {
        CLostReplyBooksTest::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        // One card of 10 boxes at 8.
        ASSERT_TRUE(CPurchaseEntry(&Db()).Add(Batch("8", "10")).recorded);
    }

    QString Stock() { return QueryValue(Db(), "SELECT 现有存货量 FROM 存"); }
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
