// A process killed between two statements of an entry, at every point: the books afterwards
// hold the whole entry or none of it, on both backends.
#include "CDBException.h"
#include "entry_books.h"
#include "entry_child.h"
#include "recording_prompts.h"

#include <csignal>
#include <cstdlib>
#include <functional>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using namespace entrytest;

// What the child ends with when the entry returned before its k-th statement.
constexpr int kEntryCompleted = 3;
constexpr int kChildCannotStart = 4;

// The entries, as the dialogs would hand them over.
void RunScenario(const QString& scenario, CDatabase& db) {
    if (scenario == QLatin1String("new-card")) {
        CPurchaseEntry::Form form = Batch("8.5", "10");
        form.expiry = QDate(2006, 1, 1);
        CPurchaseEntry(&db).Add(form);
    } else if (scenario == QLatin1String("reaverage")) {
        CPurchaseEntry(&db).Add(Batch("2", "9"));
    } else if (scenario == QLatin1String("zero-onto-zero")) {
        CPurchaseEntry::Form form = Batch("2", "0");
        form.expiry = QDate(2007, 1, 1);
        CPurchaseEntry(&db).Add(form);
    } else if (scenario == QLatin1String("sale")) {
        CSalesEntry(&db).Add(SaleOf("3", "20", "0.5"));
    } else if (scenario == QLatin1String("oversale")) {
        CSalesEntry(&db).Add(SaleOf("15", "1", "9"));
    }
}

struct ChildEnd {
    bool killed = false;
    int exitCode = -1;
};

ChildEnd RunChild(const QString& scenario, int k, const QString& connect) {
    const QByteArray program = QByteArrayLiteral("/proc/self/exe");
    const QByteArray name = scenario.toUtf8();
    const QByteArray point = QByteArray::number(k);
    const QByteArray books = connect.toUtf8();
    char* argv[] = {const_cast<char*>(program.constData()), const_cast<char*>(kEntryChildFlag),
                    const_cast<char*>(name.constData()),    const_cast<char*>(point.constData()),
                    const_cast<char*>(books.constData()),   nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, program.constData(), nullptr, nullptr, argv, environ) != 0)
        return {};
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return {};
    if (WIFSIGNALED(status))
        return {WTERMSIG(status) == SIGKILL, -1};
    return {false, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

class EntryAtomicityTest : public CBooksTest {
protected:
    void SetUp() override {
        CBooksTest::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        // A card of 9 boxes at 1 (2005-04-30, 10 bought, 1 sold), a card of stock 0 (2007-01-01).
        ASSERT_TRUE(CPurchaseEntry(&Db()).Add(Batch("1", "10")).recorded);
        CPurchaseEntry::Form empty = Batch("3", "4");
        empty.expiry = QDate(2007, 1, 1);
        ASSERT_TRUE(CPurchaseEntry(&Db()).Add(empty).recorded);
        Exec("UPDATE 存 SET 现有存货量=0 WHERE 有效截止日期='2007-01-01'");
        ASSERT_TRUE(CSalesEntry(&Db()).Add(SaleOf("1", "1", "12", "2003-05-01 09:00:00")).recorded);
    }

    // Kills a child running `scenario` after its 1st, 2nd, ... statement until one runs the
    // entry to its end. Each killed child must have left the books exactly as they were; the
    // one that ran to the end must have left what `whole` accepts. Returns the kill points.
    int KillAtEveryPoint(const QString& scenario,
                         const std::function<void(const std::vector<QStringList>&)>& whole) {
        const std::vector<QStringList> before = AllBooks(Db());
        for (int k = 1; k <= 40; ++k) {
            const ChildEnd end = RunChild(scenario, k, Books().ConnectString());
            if (end.killed) {
                EXPECT_EQ(AllBooks(Db()), before) << "killed after statement " << k;
                continue;
            }
            EXPECT_EQ(end.exitCode, kEntryCompleted) << "after statement " << k;
            whole(AllBooks(Db()));
            return k - 1;
        }
        ADD_FAILURE() << "the entry never ran to its end";
        return 0;
    }
};

TEST_P(EntryAtomicityTest, PurchaseMakingANewCard) {
    const int points = KillAtEveryPoint("new-card", [&](const std::vector<QStringList>&) {
        EXPECT_EQ(Count(Db(), "进"), "3");
        EXPECT_EQ(Cards(Db()), (std::vector<QStringList>{{"1", "9"}, {"8.5", "10"}, {"3", "0"}}));
    });
    // Purchase row, savepoint, card, release.
    EXPECT_GE(points, 4);
}

TEST_P(EntryAtomicityTest, PurchaseReaveragingTheCard) {
    const int points = KillAtEveryPoint("reaverage", [&](const std::vector<QStringList>&) {
        EXPECT_EQ(Count(Db(), "进"), "3");
        // 9 boxes at 1 and 9 at 2.
        EXPECT_EQ(Cards(Db()), (std::vector<QStringList>{{"1.5", "18"}, {"3", "0"}}));
    });
    // Purchase row, savepoint, back to it after the refused card, release, update.
    EXPECT_GE(points, 5);
}

TEST_P(EntryAtomicityTest, RefusedPurchaseLeavesNothingWhereverItStops) {
    const auto before = AllBooks(Db());
    const int points = KillAtEveryPoint(
        "zero-onto-zero", [&](const std::vector<QStringList>& now) { EXPECT_EQ(now, before); });
    EXPECT_GE(points, 4);
}

TEST_P(EntryAtomicityTest, SplitPackSale) {
    const int points = KillAtEveryPoint("sale", [&](const std::vector<QStringList>&) {
        EXPECT_EQ(Count(Db(), "销"), "2");
        EXPECT_EQ(Cards(Db()), (std::vector<QStringList>{{"1", "8.85"}, {"3", "0"}}));
    });
    // Lookup, sale row, stock, savepoint, clamp, release.
    EXPECT_GE(points, 6);
}

TEST_P(EntryAtomicityTest, SaleBeyondTheStockWithItsClamp) {
    const int points = KillAtEveryPoint("oversale", [&](const std::vector<QStringList>&) {
        EXPECT_EQ(Count(Db(), "销"), "2");
        EXPECT_EQ(Count(Db(), "损"), "1");
        EXPECT_EQ(Cards(Db()), (std::vector<QStringList>{{"1", "0"}, {"3", "0"}}));
    });
    EXPECT_GE(points, 6);
}

APRICOT_INSTANTIATE_BACKENDS(EntryAtomicityTest);

} // namespace

int RunEntryChild(int argc, char** argv) {
    if (argc != 5)
        return kChildCannotStart;
    const QString scenario = QString::fromUtf8(argv[2]);
    const int killAfter = std::atoi(argv[3]);
    CRecordingPrompts prompts;
    CDatabase db;
    try {
        if (!db.OpenEx(QString::fromUtf8(argv[4])))
            return kChildCannotStart;
    } catch (const CDBException&) {
        return kChildCannotStart;
    }
    int statements = 0;
    db.SetStatementHook([&](const QString& sql) {
        // After the commit the entry is whole: that is the run to the end.
        if (sql != QLatin1String("COMMIT") && ++statements == killAfter)
            ::kill(::getpid(), SIGKILL);
    });
    RunScenario(scenario, db);
    // Gone at once, as in a crash right after the entry: nothing more reaches the database.
    ::_exit(kEntryCompleted);
}
